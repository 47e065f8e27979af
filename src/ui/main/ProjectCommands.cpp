#include "ui/main/ProjectCommands.h"

#include "platform/StartFolders.h"

#include "app/AppState.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "document/CoverDocument.h"
#include "document/ProjectLoad.h"
#include "document/Recovery.h"
#include "platform/FileFilters.h"
#include "platform/PictureLoading.h"
#include "ui/dialogs/CommonDialogs.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>

namespace vt {

namespace {

// The busy pointer for as long as the object lives, so every way out restores it.
struct BusyPointer
{
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

// Paths come from files and command lines: their control characters are shown escaped.
QString quoted(const QString &path)
{
    return u'"' + escapeControls(QDir::toNativeSeparators(path)) + u'"';
}

// A warning box with the three buttons of the question, Cancel also on Escape.
QMessageBox::ButtonRole askWithButtons(QWidget *owner, const UnsavedQuestion &q, bool withCancel)
{
    QMessageBox box(QMessageBox::Warning, q.title, q.text, QMessageBox::NoButton, owner);
    QPushButton *save = box.addButton(q.save, QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(q.discard, QMessageBox::DestructiveRole);
    QPushButton *cancel = withCancel ? box.addButton(q.cancel, QMessageBox::RejectRole) : nullptr;
    box.setDefaultButton(save);
    box.setEscapeButton(withCancel ? static_cast<QAbstractButton *>(cancel) : discard);
    box.exec();
    if (box.clickedButton() == save)
        return QMessageBox::AcceptRole;
    if (box.clickedButton() == discard)
        return QMessageBox::DestructiveRole;
    return QMessageBox::RejectRole;
}

} // namespace

ProjectDialogs defaultProjectDialogs()
{
    ProjectDialogs d;
    d.open = [](QWidget *owner, const QString &title, const QString &filter, const QString &folder) {
        return ShowOpenDialog(owner, 1, title, QString(), filter, folder, QStringLiteral("vtr"));
    };
    d.save = [](const FileDialogRequest &request) { return ShowFileDialog(request); };
    d.askYesNo = [](QWidget *owner, const QString &text, const QString &title) {
        return QMessageBox::warning(owner, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes;
    };
    d.error = [](QWidget *owner, const QString &text, const QString &title) {
        QMessageBox::warning(owner, title, text, QMessageBox::Ok);
    };
    d.askUnsaved = [](QWidget *owner, const UnsavedQuestion &q) {
        switch (askWithButtons(owner, q, true)) {
        case QMessageBox::AcceptRole: return UnsavedAnswer::Save;
        case QMessageBox::DestructiveRole: return UnsavedAnswer::Discard;
        default: return UnsavedAnswer::Cancel;
        }
    };
    d.askRestore = [](QWidget *owner, const UnsavedQuestion &q) {
        return askWithButtons(owner, q, false) == QMessageBox::AcceptRole;
    };
    return d;
}

ProjectCommands::ProjectCommands(Form1 &form, AppState &state, ProjectDialogs dialogs)
    : QObject(&form), m_form(form), m_state(state), m_dialogs(std::move(dialogs))
{
}

CoverDocument &ProjectCommands::document() const
{
    return *m_form.document();
}

QString ProjectCommands::saveDialogFolder() const
{
    // The folder of the last save, else of the last project opened, else Documents.
    return chooseStartFolder(m_saveDialogFolder.value_or(m_state.LastProjectFolder),
                             standardStartFolder(StartFolderKind::Documents), m_state.AppPath);
}

QString ProjectCommands::projectFilter()
{
    return makeFilter({{QStringLiteral("File .vtr (Vantrelo)"), QStringLiteral("*.vtr")}});
}

void ProjectCommands::report(const QString &description)
{
    if (m_dialogs.error)
        m_dialogs.error(&m_form, description, m_state.Language[105]);
}

std::optional<UnsavedAnswer> ProjectCommands::askIfModified()
{
    if (!document().isModified())
        return std::nullopt;
    const LanguageTable &t = m_state.Language;
    UnsavedQuestion q;
    q.text = t.fallbackText(LanguageTable::UnsavedQuestionEntry);
    q.title = StripAmpersands(t[18]);
    q.save = t[6];
    q.discard = t.fallbackText(LanguageTable::DiscardEntry);
    q.cancel = t[37];
    // No way to answer counts as Cancel: work is never dropped without a word.
    return m_dialogs.askUnsaved ? m_dialogs.askUnsaved(&m_form, q) : UnsavedAnswer::Cancel;
}

bool ProjectCommands::maySwitch()
{
    const auto answer = askIfModified();
    if (!answer || *answer == UnsavedAnswer::Discard)
        return true;
    if (*answer == UnsavedAnswer::Cancel)
        return false;
    return saveProject() == SaveOutcome::Saved;
}

bool ProjectCommands::mayClose()
{
    const auto answer = askIfModified();
    if (answer == UnsavedAnswer::Discard)
        emit workDiscarded();
    if (!answer || *answer == UnsavedAnswer::Discard)
        return true;
    if (*answer == UnsavedAnswer::Cancel)
        return false;
    return saveProject() == SaveOutcome::Saved;
}

void ProjectCommands::newProject()
{
    if (!maySwitch())
        return;
    const CoverContent &now = document().content();
    CoverContent blank = blankContent();
    // A new cover keeps the format and the look of the titles, not their words.
    blank.format = now.format;
    blank.title = now.title;
    blank.title.CoverText.clear();
    blank.title.SpineText.clear();
    blank.titleOnCover = now.titleOnCover;
    blank.titleOnSpine = now.titleOnSpine;
    blank.outline = now.outline;
    document().load(blank, QString());
    m_state.CurrentProjectPath.clear();
    m_projectSavePath.clear();
    m_pathsReadFrom.clear();
}

void ProjectCommands::open()
{
    const QString folder = chooseStartFolder(m_state.LastProjectFolder, standardStartFolder(StartFolderKind::Documents),
                                             m_state.AppPath);
    const QString chosen = m_dialogs.open ? m_dialogs.open(&m_form, m_state.Language[101], projectFilter(), folder)
                                          : QString();
    if (chosen.trimmed().isEmpty() || !QFileInfo::exists(chosen))
        return;
    openPath(chosen);
}

void ProjectCommands::openPath(const QString &path)
{
    if (!QFileInfo::exists(path) || !maySwitch())
        return;
    m_state.LastProjectFolder = TrovaPath(path);
    loadProject(path);
    m_form.SalvaOpzioni();
}

bool ProjectCommands::loadProject(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    ProjectLoadResult result;
    {
        BusyPointer busy;
        if (!isRegularFile(path))
            result.error = QStringLiteral("%1 is not a project file: it is a folder, a device or a pipe.").arg(quoted(path));
        else
            result = loadProjectContent(path, m_form.formatList()->count(), loadPicture);
    }
    // The box comes after the busy pointer is gone: it waits for the user.
    if (!result.content) {
        report(result.error.isEmpty() ? QStringLiteral("%1 cannot be loaded.").arg(quoted(path)) : result.error);
        return false;
    }
    m_state.CurrentProjectPath = path;
    m_projectSavePath = path;
    m_pathsReadFrom = path;
    document().load(*result.content, path);
    emit projectUsed(path);
    // Loaded with a change, such as a title cut short: said once the cover shows.
    if (!result.warnings.isEmpty())
        report(result.warnings.join(u'\n'));
    return true;
}

bool ProjectCommands::offerRecovery(const QString &file)
{
    const auto info = inspectRecovery(file);
    if (!info)
        return false;
    const LanguageTable &t = m_state.Language;
    UnsavedQuestion q;
    q.text = t.fallbackText(LanguageTable::RecoveryQuestionEntry);
    q.title = StripAmpersands(t[18]);
    q.save = t.fallbackText(LanguageTable::RestoreEntry);
    q.discard = t.fallbackText(LanguageTable::DiscardEntry);
    if (!m_dialogs.askRestore || !m_dialogs.askRestore(&m_form, q)) {
        QFile::remove(file);
        return false;
    }
    ProjectLoadResult result;
    {
        BusyPointer busy;
        result = loadProjectContent(file, m_form.formatList()->count(), loadPicture);
    }
    if (!result.content) {
        // The file stays: the work in it is the user's, and another try may find the
        // pictures back in place.
        report(result.error);
        return false;
    }
    document().load(*result.content, info->projectPath);
    document().markModified();
    m_state.CurrentProjectPath = info->projectPath;
    m_projectSavePath = info->projectPath;
    m_pathsReadFrom = file;
    return true;
}

ProjectFile ProjectCommands::projectFor(const QString &targetPath) const
{
    ProjectFile p = projectFromContent(document().content());
    storePicturePaths(p, m_pathsReadFrom, targetPath);
    return p;
}

QByteArray ProjectCommands::recoverySnapshot() const
{
    return recoveryBytes(projectFromContent(document().content()), m_pathsReadFrom, document().projectPath());
}

bool ProjectCommands::writeProject(const QString &path)
{
    QString error;
    {
        BusyPointer busy;
        if (writeBytesAtomically(path, projectBytes(projectFor(path)), &error)) {
            document().setProjectPath(path);
            document().markSaved();
            emit projectUsed(path);
            return true;
        }
    }
    report(QStringLiteral("The project could not be saved as %1: %2").arg(quoted(path), error));
    return false;
}

bool ProjectCommands::save()
{
    return saveProject() != SaveOutcome::Failed;
}

bool ProjectCommands::saveAs()
{
    return saveProjectAs() != SaveOutcome::Failed;
}

ProjectCommands::SaveOutcome ProjectCommands::saveProject()
{
    const SaveOutcome outcome = m_projectSavePath.isEmpty()
                                    ? saveProjectAs()
                                    : (writeProject(m_projectSavePath) ? SaveOutcome::Saved : SaveOutcome::Failed);
    if (outcome != SaveOutcome::Failed)
        m_form.playSound(QStringLiteral("Files/Click2.wav"));
    return outcome;
}

ProjectCommands::SaveOutcome ProjectCommands::saveProjectAs()
{
    const QString folder = saveDialogFolder();
    if (m_state.CurrentProjectPath.isEmpty())
        m_state.CurrentProjectPath = StripAmpersands(m_state.Language[102]) + QStringLiteral(".vtr");

    FileDialogRequest request;
    request.initialFolder = folder;
    request.filter = projectFilter();
    request.defaultExtension = QStringLiteral("vtr");
    request.proposedName = m_state.CurrentProjectPath;
    request.title = StripAmpersands(m_state.Language[52]);
    request.owner = &m_form;
    const QString chosen = m_dialogs.save ? m_dialogs.save(request) : QString();
    if (chosen.isEmpty())
        return SaveOutcome::Cancelled;
    if (QFileInfo::exists(chosen) && m_dialogs.askYesNo
        && !m_dialogs.askYesNo(&m_form, m_state.Language[103] + QStringLiteral("\n\n") + m_state.Language[104],
                               m_state.Language[18]))
        return SaveOutcome::Cancelled;
    m_saveDialogFolder = TrovaPath(chosen);
    m_projectSavePath = chosen;
    return writeProject(chosen) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

} // namespace vt
