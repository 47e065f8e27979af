#pragma once
// The recovery file: the cover as it was last written while it had unsaved changes, so a
// program ended by a signal or a crash loses at most the last half minute of work.
//
// The file is a project file (the fifteen lines and the placement section, every picture
// path absolute, so it can be loaded like any project from wherever it lies) followed by
//
//   [recovery]
//   path of the project the cover belongs to (empty for a cover never saved)
//
// which readers of project files never look at.
#include "project/ProjectFile.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QTimer;

namespace vt {

inline constexpr auto RecoverySectionLine = "[recovery]";

// The bytes of a recovery file. Relative picture paths of the project are taken from
// readFrom's folder (the project they were read from) and written absolute.
QByteArray recoveryBytes(ProjectFile project, const QString &readFrom, const QString &projectPath);

struct RecoveryInfo
{
    QString projectPath; // the project the cover belongs to; empty for an unsaved cover
};

// What a recovery file says about itself; nullopt when there is none, or when it is not
// a whole project (a file cut short is not worth offering).
std::optional<RecoveryInfo> inspectRecovery(const QString &file);

// Keeps the recovery file while the cover has unsaved changes: written every interval
// when the cover changed since the last writing, and at once by writeNow() (a signal
// ends the program); removed when the cover becomes unmodified (saved, undone to the
// saved state, discarded, another project loaded) or by discard().
class RecoveryKeeper : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultIntervalMs = 30000;

    // snapshot gives the recovery file's bytes for the cover as it is now.
    RecoveryKeeper(QString file, std::function<QByteArray()> snapshot, QObject *parent = nullptr);

    QString file() const { return m_file; }
    void setInterval(int ms);
    bool isRunning() const;

    // Connect to the document: its modified flag and each change of its content.
    void setModified(bool modified);
    void noteChange();

    // Writes the file now when the cover is modified; true when a file was written.
    bool writeNow();
    // Removes the file and stops writing until the next change.
    void discard();

signals:
    // A writing failed (full disk, folder not writable); the previous file stays whole.
    void writeFailed(const QString &reason);

private:
    QString m_file;
    std::function<QByteArray()> m_snapshot;
    QTimer *m_timer = nullptr;
    bool m_modified = false;
    bool m_changedSinceWrite = false;
};

} // namespace vt
