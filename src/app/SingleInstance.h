#pragma once
// One running copy per program folder: copies installed in different folders (the
// tests' temporary ones, say) don't see each other.
#include <QLockFile>
#include <QString>
#include <memory>

namespace vt {

class SingleInstanceLock
{
public:
    explicit SingleInstanceLock(const QString &appPath);
    // True when this process now holds the lock (no other copy runs from the folder).
    bool acquire();
    QString lockFilePath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace vt
