#pragma once
// One running copy per program folder and user: copies installed in different folders
// (the tests' temporary ones, say) don't see each other, and two users of one installed
// program each run their own copy, with their own files.
#include <QLockFile>
#include <QString>
#include <memory>

namespace vt {

class SingleInstanceLock
{
public:
    // For the user running this process.
    explicit SingleInstanceLock(const QString &appPath);
    SingleInstanceLock(const QString &appPath, uint userId);
    // True when this process now holds the lock (no other copy runs from the folder).
    bool acquire();
    bool isHeld() const { return m_lock && m_lock->isLocked(); }
    QString lockFilePath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace vt
