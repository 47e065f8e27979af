#include "platform/JpegDecode.h"

#include <QFile>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace vt {

namespace {

struct Errors
{
    jpeg_error_mgr manager;
    std::jmp_buf back;
};

[[noreturn]] void giveUp(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<Errors *>(info->err)->back, 1);
}

void stayQuiet(j_common_ptr) {}

// Markers after which Qt's reader gives something besides the pixels: EXIF (an
// orientation), an ICC profile (a colour space) and comments (the image's text).
bool hasMetadataQtReads(const jpeg_decompress_struct &info)
{
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next) {
        if (m->marker == JPEG_COM)
            return true;
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 4 && std::memcmp(m->data, "Exif", 4) == 0)
            return true;
        if (m->marker == JPEG_APP0 + 2 && m->data_length >= 12 && std::memcmp(m->data, "ICC_PROFILE", 12) == 0)
            return true;
    }
    return false;
}

} // namespace

std::optional<QImage> decodePlainJpeg(const QString &path, const PictureSizeRule &sizeFor)
{
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return std::nullopt;
    jpeg_decompress_struct info;
    Errors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = giveUp;
    errors.manager.output_message = stayQuiet;
    // Declared before the jump point: a failure jumps back past no constructor.
    QImage image;
    bool decoded = false;
    if (setjmp(errors.back) == 0) {
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, file);
        jpeg_save_markers(&info, JPEG_COM, 0xFFFF);
        jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
        jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
        bool plain = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK && info.num_components == 3
                     && info.jpeg_color_space == JCS_YCbCr && info.data_precision == 8
                     && !hasMetadataQtReads(info);
        const QSize size(int(info.image_width), int(info.image_height));
        plain = plain && !size.isEmpty() && std::max(size.width(), size.height()) <= MaxPictureSide
                && wantedSize(size, sizeFor) == size;
        if (plain) {
            info.out_color_space = JCS_EXT_BGRX; // on this little-endian machine, QImage::Format_RGB32
            jpeg_start_decompress(&info);
            image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
            if (!image.isNull() && info.output_components == 4) {
                while (info.output_scanline < info.output_height) {
                    JSAMPROW row = image.scanLine(int(info.output_scanline));
                    jpeg_read_scanlines(&info, &row, 1);
                }
                jpeg_finish_decompress(&info);
                // As Qt's reader sets it.
                if (info.density_unit == 1) {
                    image.setDotsPerMeterX(int(100. * info.X_density / 2.54));
                    image.setDotsPerMeterY(int(100. * info.Y_density / 2.54));
                } else if (info.density_unit == 2) {
                    image.setDotsPerMeterX(int(100. * info.X_density));
                    image.setDotsPerMeterY(int(100. * info.Y_density));
                }
                decoded = true;
            }
        }
    }
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    if (!decoded)
        return std::nullopt;
    return image;
}

} // namespace vt
