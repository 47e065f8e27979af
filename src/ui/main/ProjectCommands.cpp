#include "ui/main/ProjectCommands.h"

#include "platform/StartFolders.h"

#include "app/AppState.h"
#include "common/StepRunner.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "formats/CoverPictures.h"
#include "formats/Templates.h"
#include "platform/FileFilters.h"
#include "platform/PictureLoading.h"
#include "ui/dialogs/CommonDialogs.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

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
    return d;
}

ProjectCommands::ProjectCommands(Form1 &form, AppState &state, ProjectDialogs dialogs)
    : QObject(&form), m_form(form), m_state(state), m_dialogs(std::move(dialogs))
{
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
    m_state.LastProjectFolder = TrovaPath(path);
    loadProject(path);
    m_form.SalvaOpzioni();
}

bool ProjectCommands::loadProject(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    m_state.CurrentProjectPath = path;
    m_projectSavePath = path;

    // The box comes after the busy pointer is gone: it waits for the user.
    QString failure;
    QStringList warnings;
    if (!applyProject(path, failure, warnings)) {
        report(failure);
        return false;
    }
    if (!warnings.isEmpty())
        report(warnings.join(u'\n'));
    return true;
}

bool ProjectCommands::applyProject(const QString &path, QString &failure, QStringList &warnings)
{
    BusyPointer busy;
    StepRunner steps(ErrorPolicy::AbandonWithMessage, [&](const QString &step) {
        if (failure.isEmpty())
            failure = step;
    });

    ProjectReading reading;
    steps.run(QStringLiteral("read"), [&] {
        if (!isRegularFile(path)) {
            failure = QStringLiteral("%1 is not a project file: it is a folder, a device or a pipe.").arg(quoted(path));
            return false;
        }
        if (const qint64 size = QFileInfo(path).size(); size > MaxProjectBytes) {
            failure = QStringLiteral("%1 is not a project file: it is %2 bytes long, and a project is at most 1 MiB.")
                          .arg(quoted(path))
                          .arg(size);
            return false;
        }
        const auto text = readTextFile(path);
        if (!text) {
            failure = QStringLiteral("%1 cannot be opened for reading.").arg(quoted(path));
            return false;
        }
        reading = readProjectText(*text);
        warnings = reading.warnings;
        return true;
    });
    auto lineFailure = [&] {
        failure = QStringLiteral("%1 cannot be loaded: %2.").arg(quoted(path), reading.error->reason);
        return false;
    };
    // Each line is applied only once the reader got that far, in the file's order.
    auto have = [&](int line) { return reading.linesRead >= line || lineFailure(); };
    const ProjectFile &p = reading.project;

    for (int slot = 0; slot < 3; ++slot) {
        steps.run(QStringLiteral("picture"), [&] {
            if (!have(slot + 1))
                return false;
            const QString &line = p.picturePaths[size_t(slot)];
            const QString file = resolvePicturePath(path, line);
            QImage picture;
            if (file.isEmpty()) {
                picture = startingPicture();
            } else {
                picture = loadPicture(file);
                if (picture.isNull()) {
                    // A template of another program folder counts as no picture: the
                    // format's own template takes the slot at the next format selection.
                    if (!QFileInfo::exists(file) && isFreeForPlaceholder(slot, line)) {
                        picture = startingPicture();
                    } else {
                        failure = QStringLiteral("The picture %1 named on line %2 of %3 %4.")
                                      .arg(quoted(file))
                                      .arg(slot + 1)
                                      .arg(quoted(path),
                                           QFileInfo::exists(file) ? QStringLiteral("cannot be read")
                                                                   : QStringLiteral("does not exist"));
                        return false;
                    }
                }
            }
            m_form.setSlotPicture(slot, picture, line);
            return true;
        });
    }
    steps.run(QStringLiteral("outline switch"), [&] {
        if (!have(4))
            return false;
        m_form.outlineSwitch()->setChecked(p.outlineSwitch == 1);
        return true;
    });
    steps.run(QStringLiteral("front title"), [&] {
        if (!have(5))
            return false;
        m_form.setCoverText(p.title.CoverText);
        return true;
    });
    TitleStyle &title = m_form.titleStyleForEditing();
    auto field = [&](int line, auto apply) {
        steps.run(QStringLiteral("title"), [&] {
            if (!have(line))
                return false;
            apply();
            return true;
        });
    };
    field(6, [&] { title.SpineText = p.title.SpineText; });
    field(7, [&] { title.FontName = p.title.FontName; });
    field(8, [&] { title.FontSize = p.title.FontSize; });
    field(9, [&] { title.FontBold = p.title.FontBold; });
    field(10, [&] { title.FontItalic = p.title.FontItalic; });
    field(11, [&] { title.FontUnderline = p.title.FontUnderline; });
    field(12, [&] { title.ForeColor = p.title.ForeColor; });
    field(13, [&] { m_state.TitleOnCover = p.titleOnCover; });
    field(14, [&] { m_state.TitleOnSpine = p.titleOnSpine; });
    steps.run(QStringLiteral("format"), [&] {
        const bool lineRead = reading.linesRead >= 15;
        // The current format is drawn once with everything read so far, even when line 15
        // then fails.
        m_form.Combo1_Click();
        if (!lineRead)
            return lineFailure();
        if (p.formatIndex < 0 || p.formatIndex >= m_form.formatList()->count()) {
            failure = QStringLiteral("%1 cannot be loaded: format %2 on line 15 is not in the format list.")
                          .arg(quoted(path))
                          .arg(p.formatIndex);
            return false;
        }
        m_form.selectFormat(p.formatIndex);
        return true;
    });
    return !steps.abandoned();
}

ProjectFile ProjectCommands::currentProject() const
{
    ProjectFile p;
    for (int slot = 0; slot < 3; ++slot)
        p.picturePaths[size_t(slot)] = m_form.pictures().imageSlots[size_t(slot)].Path;
    p.outlineSwitch = m_form.outlineSwitch()->isChecked() ? 1 : 0;
    p.title = m_form.titleStyle();
    p.titleOnCover = m_state.TitleOnCover;
    p.titleOnSpine = m_state.TitleOnSpine;
    p.formatIndex = qint16(m_form.selectedFormat());
    return p;
}

bool ProjectCommands::writeProject(const QString &path)
{
    QString error;
    {
        BusyPointer busy;
        if (writeBytesAtomically(path, projectBytes(currentProject()), &error))
            return true;
    }
    report(QStringLiteral("The project could not be saved as %1: %2").arg(quoted(path), error));
    return false;
}

bool ProjectCommands::save()
{
    const bool ok = m_projectSavePath.isEmpty() ? saveAs() : writeProject(m_projectSavePath);
    if (ok)
        m_form.playSound(QStringLiteral("Files/Click2.wav"));
    return ok;
}

bool ProjectCommands::saveAs()
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
        return true; // cancelled: nothing failed
    if (QFileInfo::exists(chosen) && m_dialogs.askYesNo
        && !m_dialogs.askYesNo(&m_form, m_state.Language[103] + QStringLiteral("\n\n") + m_state.Language[104],
                               m_state.Language[18]))
        return true;
    m_saveDialogFolder = TrovaPath(chosen);
    m_projectSavePath = chosen;
    return writeProject(chosen);
}

} // namespace vt
