#pragma once
// Shared by the fuzz targets: a failed property stops the run with a message, so the
// fuzzer keeps the input as a crash; the readers that take a path get the bytes
// through one scratch file per process.

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#define VT_FUZZ_CHECK(cond)                                                                   \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "fuzz property failed at %s:%d: %s\n", __FILE__, __LINE__,   \
                         #cond);                                                              \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

namespace vt::fuzz {

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A file under a private temporary folder, rewritten for every input.
inline QString scratchFile(const QString &name)
{
    static QTemporaryDir dir;
    VT_FUZZ_CHECK(dir.isValid());
    return dir.filePath(name);
}

inline QString writeScratch(const QString &name, const QByteArray &bytes)
{
    const QString path = scratchFile(name);
    QFile f(path);
    VT_FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    VT_FUZZ_CHECK(f.write(bytes) == bytes.size());
    f.close();
    return path;
}

inline QByteArray readScratch(const QString &path)
{
    QFile f(path);
    VT_FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// Image plugins and text codecs are found through the application object.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "vantrelo-fuzz";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

} // namespace vt::fuzz
