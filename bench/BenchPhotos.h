#pragma once
// Test photos for the benchmarks: large JPEGs with gradients and noise, so that decoding
// and compressing cost what real photos cost. Drawn once and kept in the temporary folder.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QString>

#include <sys/resource.h>

namespace bench {

inline QString photo(int n, QSize size = {6000, 4000})
{
    const QString dir = QDir::tempPath() + QStringLiteral("/vantrelo-bench");
    QDir().mkpath(dir);
    const QString path = size == QSize(6000, 4000)
                             ? QStringLiteral("%1/photo-%2.jpg").arg(dir).arg(n)
                             : QStringLiteral("%1/photo-%2-%3x%4.jpg").arg(dir).arg(n).arg(size.width()).arg(size.height());
    if (QFile::exists(path))
        return path;
    QImage img(size, QImage::Format_RGB32);
    QRandomGenerator rng(quint32(n + 1));
    const int w = size.width(), h = size.height();
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int noise = int(rng.bounded(24));
            line[x] = qRgb((x * 255 / w + noise + n * 60) & 255, (y * 255 / h + noise) & 255,
                           ((x + y) * 255 / (w + h) + noise) & 255);
        }
    }
    img.save(path, "JPEG", 90);
    return path;
}

inline long peakRssMB()
{
    struct rusage u = {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

inline void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        QDir().mkpath(QFileInfo(dst).path());
        QFile::copy(src, dst);
    }
}

} // namespace bench
