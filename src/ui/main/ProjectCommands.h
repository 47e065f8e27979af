#pragma once
// Open, Save and Save as of project files, and loading a project named on the command
// line or handed over by a second start. The main window connects the menu items to
// these commands; the dialogs and boxes go through hooks so tests can answer them.
#include "project/ProjectFile.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace vt {

class Form1;
struct AppState;
struct FileDialogRequest;

struct ProjectDialogs
{
    // The open dialog for one existing project file; empty on cancel.
    std::function<QString(QWidget *owner, const QString &title, const QString &filter, const QString &folder)> open;
    // The save dialog (it asks no overwrite question itself); empty on cancel.
    std::function<QString(const FileDialogRequest &request)> save;
    // A question with Yes and No and an exclamation icon; true for Yes.
    std::function<bool(QWidget *owner, const QString &text, const QString &title)> askYesNo;
    // The error box: exclamation icon, OK.
    std::function<void(QWidget *owner, const QString &text, const QString &title)> error;
};
ProjectDialogs defaultProjectDialogs();

class ProjectCommands : public QObject
{
    Q_OBJECT
public:
    ProjectCommands(Form1 &form, AppState &state, ProjectDialogs dialogs = defaultProjectDialogs());

    void setDialogs(ProjectDialogs dialogs) { m_dialogs = std::move(dialogs); }

    void open();
    // Loads a project into the window. A path that names no file does nothing; any other
    // failure shows the error box and keeps what was applied before it. Returns whether
    // the whole project was applied.
    bool loadProject(const QString &path);
    // Open without its dialog: what a project handed over by a second start goes through.
    void openPath(const QString &path);
    // Returns false when a failure was reported.
    bool save();
    bool saveAs();

    // What the window holds now, as a project.
    ProjectFile currentProject() const;

    QString projectSavePath() const { return m_projectSavePath; }
    // Where Save as starts: the program folder until a Save as completes.
    QString saveDialogFolder() const;

    // The filter of both dialogs.
    static QString projectFilter();

private:
    // The load's steps; false with the reason in failure.
    bool applyProject(const QString &path, QString &failure, QStringList &warnings);
    bool writeProject(const QString &path);
    void report(const QString &description);

    Form1 &m_form;
    AppState &m_state;
    ProjectDialogs m_dialogs;
    QString m_projectSavePath;
    std::optional<QString> m_saveDialogFolder;
};

} // namespace vt
