#pragma once
// A throwaway program folder for tests: the shipped data copied into a temporary
// directory, portable unless asked otherwise.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

struct ProgramFolder
{
    QTemporaryDir dir;

    explicit ProgramFolder(bool portable = true, const QString &sourceDir = QStringLiteral(VT_SOURCE_DATA_DIR))
    {
        copyTree(sourceDir, path());
        if (portable) {
            QFile marker(path() + "/Files/Portable.ini");
            marker.open(QIODevice::WriteOnly);
        }
    }
    QString path() const { return dir.path(); }
    QString file(const QString &rel) const { return path() + u'/' + rel; }

    static void copyTree(const QString &from, const QString &to)
    {
        QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString src = it.next();
            const QString dst = to + src.mid(from.size());
            QDir().mkpath(QFileInfo(dst).path());
            QFile::copy(src, dst);
            QFile::setPermissions(dst, QFile::permissions(src) | QFile::WriteOwner);
        }
    }
};

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
