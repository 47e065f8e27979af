// Writes the benchmarks' test photos (6000 x 4000 JPEGs, quality 90, gradients with fine
// noise) and prints their paths, one a line, so that scripts use the very photos the C++
// benchmarks use. Photos already drawn are reused.
// Run: build/bench/bench_photos [COUNT]   (COUNT 1 to 9, default 3)
#include "BenchPhotos.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = true;
    const int count = args.size() > 1 ? args.at(1).toInt(&ok) : 3;
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!ok || count < 1 || count > 9 || args.size() > 2) {
        err << "usage: bench_photos [COUNT]   (COUNT 1 to 9, default 3)" << Qt::endl;
        return 2;
    }
    for (int n = 0; n < count; ++n) {
        const QString path = bench::photo(n);
        if (!QFileInfo(path).isFile()) {
            err << "bench_photos: could not write " << path << Qt::endl;
            return 1;
        }
        out << path << Qt::endl;
    }
    return 0;
}
