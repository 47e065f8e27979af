#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vt {

namespace {

// The folder as lstat sees it: a link is not followed, so a link planted in the
// temporary folder that points at one of the user's folders is refused too.
QString whyNotPrivate(const QString &path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("%1 cannot be used: %2.").arg(path, QString::fromLocal8Bit(strerror(errno)));
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("%1 is not a folder.").arg(path);
    if (st.st_uid != ::getuid())
        return QStringLiteral("%1 belongs to another user (user id %2).").arg(path).arg(st.st_uid);
    if ((st.st_mode & 07777) != 0700)
        return QStringLiteral("%1 has mode %2, not 0700: other users can reach into it.")
            .arg(path, QString::number(st.st_mode & 07777, 8).rightJustified(4, u'0'));
    return {};
}

} // namespace

PrivateFolder privateRuntimeFolder()
{
    PrivateFolder folder;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString path;
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime)) {
        path = QDir::cleanPath(runtime);
    } else {
        path = QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/vantrelo-%1").arg(::getuid());
        // Made private from the start; an existing one is checked below like any other.
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
            folder.error = QStringLiteral("%1 cannot be made: %2.").arg(path, QString::fromLocal8Bit(strerror(errno)));
    }
    if (folder.error.isEmpty())
        folder.error = whyNotPrivate(path);
    if (!folder.error.isEmpty()) {
        folder.error = QStringLiteral("The folder for the program's lock is not safe to use.\n%1\n"
                                      "Only a folder of your own with mode 0700 keeps other users from "
                                      "taking over the program's lock and the projects it is handed. "
                                      "Remove that folder or set XDG_RUNTIME_DIR to a private folder, then "
                                      "start the program again.")
                           .arg(folder.error);
        return folder;
    }
    folder.path = path;
    return folder;
}

SingleInstanceLock::SingleInstanceLock(const QString &appPath) : SingleInstanceLock(appPath, privateRuntimeFolder()) {}

SingleInstanceLock::SingleInstanceLock(const QString &appPath, const PrivateFolder &folder)
    : m_folderError(folder.error)
{
    const QFileInfo info(appPath);
    const QString key = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(appPath);
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    if (!folder.path.isEmpty())
        m_path = folder.path + QStringLiteral("/vantrelo-%1.lock").arg(QString::fromLatin1(hash));
}

bool SingleInstanceLock::acquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    if (m_path.isEmpty())
        return false;
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never stale by age: a lock counts as long as the process that holds it lives
    // (QLockFile checks the process id itself).
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

} // namespace vt
