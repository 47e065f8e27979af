#pragma once
// New, Open, Save and Save as of project files, loading a project named on the command
// line or handed over by a second start, the question before unsaved changes are lost,
// and the offer to restore the recovery file. The main window connects the menu items to
// these commands; the dialogs and boxes go through hooks so tests can answer them.
//
// The cover itself is the window's CoverDocument. A project is read whole before the
// document takes it, so a load that fails changes nothing: not the pictures, not the
// path Save writes to, not the modified mark.
#include "project/ProjectFile.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace vt {

class CoverDocument;
class Form1;
struct AppState;
struct FileDialogRequest;

// The answer to the question before unsaved changes would be lost.
enum class UnsavedAnswer { Save, Discard, Cancel };

struct UnsavedQuestion
{
    QString text, title, save, discard, cancel;
};

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
    // Save / Discard / Cancel; Cancel when the box is closed.
    std::function<UnsavedAnswer(QWidget *owner, const UnsavedQuestion &question)> askUnsaved;
    // The start's offer of the recovery file (text, title, restore, discard): true restores.
    std::function<bool(QWidget *owner, const UnsavedQuestion &question)> askRestore;
};
ProjectDialogs defaultProjectDialogs();

class ProjectCommands : public QObject
{
    Q_OBJECT
public:
    ProjectCommands(Form1 &form, AppState &state, ProjectDialogs dialogs = defaultProjectDialogs());

    void setDialogs(ProjectDialogs dialogs) { m_dialogs = std::move(dialogs); }

    // A blank cover in the current format, after the question when there are unsaved
    // changes.
    void newProject();
    void open();
    // Loads a project into the document. A path that names no file does nothing; any
    // other failure shows the error box and leaves the document as it was. Returns
    // whether the project was loaded. Asks nothing: callers ask first.
    bool loadProject(const QString &path);
    // Open without its dialog, after the question: a project handed over by a second
    // start, or chosen from the recent projects.
    void openPath(const QString &path);
    // Returns false when a failure was reported.
    bool save();
    bool saveAs();

    // When the cover has unsaved changes: asks Save / Discard / Cancel and saves on Save.
    // True when the caller may go on and replace the cover (nothing unsaved, saved, or
    // discarded).
    bool maySwitch();
    // The same before the program ends; a Discard also removes the recovery file, since
    // the user chose to drop that work.
    bool mayClose();

    // The start's offer of a recovery file left by a run that ended with unsaved work.
    // Restored: the document holds it, modified, with the project it belonged to.
    // Declined: the file is removed. Returns whether a cover was restored.
    bool offerRecovery(const QString &file);

    // What the document holds now, as the project file Save writes to path.
    ProjectFile projectFor(const QString &targetPath) const;
    // The recovery file's bytes for the cover as it is now.
    QByteArray recoverySnapshot() const;

    QString projectSavePath() const { return m_projectSavePath; }
    // Where Save as starts: the program folder until a Save as completes.
    QString saveDialogFolder() const;
    // The project relative picture paths of the document were read from.
    QString picturePathsReadFrom() const { return m_pathsReadFrom; }

    // The filter of both dialogs.
    static QString projectFilter();

signals:
    // A project was opened or saved under this path (for the recent projects).
    void projectUsed(const QString &path);
    // The user discarded the unsaved work before the program ends.
    void workDiscarded();

private:
    enum class SaveOutcome { Saved, Cancelled, Failed };
    SaveOutcome saveProject();
    SaveOutcome saveProjectAs();
    bool writeProject(const QString &path);
    std::optional<UnsavedAnswer> askIfModified();
    void report(const QString &description);
    CoverDocument &document() const;

    Form1 &m_form;
    AppState &m_state;
    ProjectDialogs m_dialogs;
    QString m_projectSavePath;
    QString m_pathsReadFrom;
    std::optional<QString> m_saveDialogFolder;
};

} // namespace vt
