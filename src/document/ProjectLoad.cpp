#include "document/ProjectLoad.h"

#include "common/Text.h"
#include "common/TextFile.h"
#include "formats/CoverPictures.h"

#include <QDir>
#include <QFileInfo>

#include <future>

namespace vt {

namespace {

QString quoted(const QString &path)
{
    // Paths come from files and command lines: their control characters are shown escaped.
    return u'"' + escapeControls(QDir::toNativeSeparators(path)) + u'"';
}

ProjectLoadResult failure(const QString &text, int line = 0)
{
    ProjectLoadResult r;
    r.error = text;
    r.line = line;
    return r;
}

} // namespace

ProjectLoadResult loadProjectContent(const QString &path, int formatCount, const PictureLoader &load)
{
    SlotPictureLoader bySlot;
    if (load)
        bySlot = [load](const QString &file, int, int, const Placement &) { return load(file); };
    return loadProjectContent(path, formatCount, bySlot);
}

ProjectLoadResult loadProjectContent(const QString &path, int formatCount, const SlotPictureLoader &load)
{
    if (!isRegularFile(path))
        return failure(QStringLiteral("%1 is not a project file: it is a folder, a device or a pipe.").arg(quoted(path)));
    // A project is a few hundred bytes; reading a huge file would only stall the window.
    if (const qint64 size = QFileInfo(path).size(); size > MaxProjectBytes)
        return failure(QStringLiteral("%1 is not a project file: it is %2 bytes long, and a project is at most 1 MiB.")
                           .arg(quoted(path))
                           .arg(size));
    const auto text = readTextFile(path);
    if (!text)
        return failure(QStringLiteral("%1 cannot be opened for reading.").arg(quoted(path)));
    const ProjectReading reading = readProjectText(*text);
    if (reading.error)
        return failure(QStringLiteral("%1 cannot be loaded: %2.").arg(quoted(path), reading.error->reason),
                       reading.error->line);
    const ProjectFile &p = reading.project;
    if (p.formatIndex < 0 || p.formatIndex >= formatCount)
        return failure(QStringLiteral("%1 cannot be loaded: format %2 on line 15 is not in the format list.")
                           .arg(quoted(path))
                           .arg(p.formatIndex),
                       15);

    // Decoding a photo takes far longer than anything else here: the pictures are
    // decoded side by side, and then taken in slot order as one at a time would be.
    std::array<QString, 3> files;
    std::array<std::future<QImage>, 3> decoding;
    for (int slot = 0; slot < 3; ++slot) {
        const size_t k = size_t(slot);
        files[k] = resolvePicturePath(path, p.picturePaths[k]);
        if (!files[k].isEmpty() && load)
            decoding[k] = std::async(std::launch::async, [&load, &p, &files, slot, k] {
                return load(files[k], slot, p.formatIndex, clampedPlacement(p.placements[k]));
            });
    }
    std::array<QImage, 3> decoded;
    for (size_t k = 0; k < 3; ++k)
        if (decoding[k].valid())
            decoded[k] = decoding[k].get();

    CoverContent c;
    for (int slot = 0; slot < 3; ++slot) {
        const QString &line = p.picturePaths[size_t(slot)];
        const QString &file = files[size_t(slot)];
        QImage picture;
        if (file.isEmpty()) {
            picture = startingPicture();
        } else {
            picture = decoded[size_t(slot)];
            if (picture.isNull()) {
                if (!QFileInfo::exists(file) && isFreeForPlaceholder(slot, line)) {
                    picture = startingPicture();
                } else {
                    return failure(QStringLiteral("The picture %1 named on line %2 of %3 %4.")
                                       .arg(quoted(file))
                                       .arg(slot + 1)
                                       .arg(quoted(path), QFileInfo::exists(file) ? QStringLiteral("cannot be read")
                                                                                  : QStringLiteral("does not exist")),
                                   slot + 1);
                }
            }
        }
        // A project without placements reads as stretched: it prints as it always did.
        c.pictures[size_t(slot)] = {line, picture, clampedPlacement(p.placements[size_t(slot)])};
    }
    c.outline = p.outlineSwitch == 1;
    c.title = p.title;
    c.titleOnCover = p.titleOnCover;
    c.titleOnSpine = p.titleOnSpine;
    c.format = p.formatIndex;
    ProjectLoadResult r;
    r.content = c;
    r.warnings = reading.warnings;
    return r;
}

ProjectFile projectFromContent(const CoverContent &c)
{
    ProjectFile p;
    for (int slot = 0; slot < 3; ++slot)
        p.picturePaths[size_t(slot)] = c.pictures[size_t(slot)].path;
    p.outlineSwitch = c.outline ? 1 : 0;
    p.title = c.title;
    p.titleOnCover = c.titleOnCover;
    p.titleOnSpine = c.titleOnSpine;
    p.formatIndex = qint16(c.format);
    for (int slot = 0; slot < 3; ++slot)
        p.placements[size_t(slot)] = c.pictures[size_t(slot)].placement;
    return p;
}

} // namespace vt
