#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace vt {

SingleInstanceLock::SingleInstanceLock(const QString &appPath) : SingleInstanceLock(appPath, uint(::getuid())) {}

SingleInstanceLock::SingleInstanceLock(const QString &appPath, uint userId)
{
    const QFileInfo info(appPath);
    const QString key = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(appPath);
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    // The session's runtime folder when there is one; otherwise the temporary folder
    // (asking Qt for a runtime folder that is not set up only prints a warning). The
    // temporary folder is shared by every user, so the name carries the user's id: one
    // user's running copy must not refuse another's.
    QString dir = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
                      ? QDir::tempPath()
                      : QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    m_path = dir + QStringLiteral("/vantrelo-%1-%2.lock").arg(userId).arg(QString::fromLatin1(hash));
}

bool SingleInstanceLock::acquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never stale by age: a lock counts as long as the process that holds it lives
    // (QLockFile checks the process id itself).
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

} // namespace vt
