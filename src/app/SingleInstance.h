#pragma once
// One running copy per program folder and user: copies installed in different folders
// (the tests' temporary ones, say) don't see each other, and two users of one installed
// program each run their own copy, with their own files.
//
// The lock and the hand-over socket live in a folder that only the user can enter: a
// lock or a socket in a folder that others can write to could be planted by another
// user, who would then refuse every start or receive the projects handed over.
#include <QLockFile>
#include <QString>
#include <memory>

namespace vt {

struct PrivateFolder
{
    QString path;  // empty when there is none to use
    QString error; // why not, for the user
};

// $XDG_RUNTIME_DIR when it is set; otherwise "vantrelo-<uid>" in the temporary folder,
// created when missing. Either way the folder is used only when it is a real folder
// (not a link), belongs to the user and has mode 0700; otherwise it is refused with a
// message that names it.
PrivateFolder privateRuntimeFolder();

class SingleInstanceLock
{
public:
    // For the user running this process, in privateRuntimeFolder().
    explicit SingleInstanceLock(const QString &appPath);
    SingleInstanceLock(const QString &appPath, const PrivateFolder &folder);
    // True when this process now holds the lock (no other copy runs from the folder).
    // False as well when there is no private folder to put the lock in: see folderError().
    bool acquire();
    bool isHeld() const { return m_lock && m_lock->isLocked(); }
    QString lockFilePath() const { return m_path; }
    // Empty unless the private folder was refused.
    QString folderError() const { return m_folderError; }

private:
    QString m_path;
    QString m_folderError;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace vt
