// Writes a picture as a pixel file (platform/PictureLoading.h), for the program to use
// without decoding it: pixel-file SOURCE.png OUT.
#include "platform/PictureLoading.h"

#include <QImage>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pixel-file SOURCE.png OUT\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull() || source.hasAlphaChannel()) {
        std::fprintf(stderr, "pixel-file: %s is not an opaque picture Qt reads\n", argv[1]);
        return 1;
    }
    const QByteArray bytes = vt::pixelFileBytes(source);
    QSaveFile file(QString::fromLocal8Bit(argv[2]));
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "pixel-file: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
