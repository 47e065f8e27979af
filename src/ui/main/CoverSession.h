#pragma once
// What the window shows about the cover's state, and what keeps unsaved work safe: the
// title bar (the project's name or "Untitled", with the modified mark) and the recovery
// file written while the cover has unsaved changes.
#include <QObject>
#include <QString>

class QMainWindow;

namespace vt {

class CoverDocument;
class ProjectCommands;
class RecoveryKeeper;
struct AppState;

// "name.vtr[*] - Vantrelo 2.8.0.0"; untitled is the language's word for a cover never saved.
QString coverWindowTitle(const QString &projectPath, const QString &untitled, const QString &versionCaption);

class CoverSession : public QObject
{
    Q_OBJECT
public:
    CoverSession(QMainWindow &window, CoverDocument &document, ProjectCommands &projects, const AppState &state);

    void updateTitle();
    // Starts keeping the recovery file (once the program's folders are known and this
    // copy holds the single-instance lock).
    void keepRecovery(const QString &file, int intervalMs);
    RecoveryKeeper *recovery() const { return m_keeper; }

private:
    QMainWindow &m_window;
    CoverDocument &m_document;
    ProjectCommands &m_projects;
    const AppState &m_state;
    RecoveryKeeper *m_keeper = nullptr;
};

} // namespace vt
