// Writes the program's icon at the sizes of the desktop's icon theme, from the one
// committed picture: icon-sizes SOURCE.png OUTDIR SIZE... gives OUTDIR/NxN/apps/vantrelo.png.
#include <QDir>
#include <QImage>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: icon-sizes SOURCE.png OUTDIR SIZE...\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "icon-sizes: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    for (int k = 3; k < argc; ++k) {
        const int size = QString::fromLatin1(argv[k]).toInt();
        if (size <= 0 || size > 1024) {
            std::fprintf(stderr, "icon-sizes: bad size %s\n", argv[k]);
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        QDir().mkpath(dir);
        const QImage icon = source.size() == QSize(size, size)
                                ? source
                                : source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QSaveFile file(dir + QStringLiteral("/vantrelo.png"));
        if (!file.open(QIODevice::WriteOnly) || !icon.save(&file, "PNG") || !file.commit()) {
            std::fprintf(stderr, "icon-sizes: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
