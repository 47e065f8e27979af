#include "ui/main/BatchRun.h"

#include "app/AppState.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "formats/FormatSelection.h"
#include "platform/Printers.h"
#include "print/CoverOutput.h"
#include "project/ProjectFile.h"
#include "ui/main/Form1.h"
#include "ui/main/ProjectCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextStream>

namespace vt {

namespace {

QString shown(const QString &path)
{
    return escapeControls(QDir::toNativeSeparators(path));
}

int failed(QTextStream &err, const QString &line)
{
    err << "vantrelo: " << line << Qt::endl;
    return 1;
}

} // namespace

int runBatch(const CommandLine &command, const QString &appPath, QTextStream &err)
{
    const QString project = command.project;
    if (!QFileInfo::exists(project))
        return failed(err, QStringLiteral("%1: no such project file").arg(shown(project)));
    if (!isRegularFile(project))
        return failed(err, QStringLiteral("%1: not a project file").arg(shown(project)));

    // Refused like a wrong argument, before anything is read or written.
    if (command.mode == CommandLine::Mode::ExportPdf)
        if (const QString conflict = exportOutputConflict(command.output, projectInputFiles(project));
            !conflict.isEmpty()) {
            failed(err, QStringLiteral("%1: refused: %2").arg(shown(command.output), conflict));
            return 2;
        }

    QString message;
    Form1Hooks hooks;
    hooks.warn = [&message](QWidget *, const QString &text, const QString &) { message = text; };
    hooks.exitNow = [](int) {};
    hooks.openExternally = [](const QString &) { return false; };
    AppState state;
    Form1 form(state, appPath, QString(), hooks);
    form.loadForBatch();

    ProjectDialogs dialogs;
    dialogs.error = [&message](QWidget *, const QString &text, const QString &) { message = text; };
    form.projects()->setDialogs(dialogs);
    if (!form.projects()->loadProject(project))
        return failed(err, message.simplified());
    if (!message.isEmpty()) // loaded with a change, such as a title cut short
        err << "vantrelo: warning: " << message.simplified() << Qt::endl;

    const PageComposer compose = form.pageComposer();
    const PagePictures pictures = form.pagePictures();
    OutputResult result;
    if (command.mode == CommandLine::Mode::ExportPdf) {
        result = exportCoverPdf(command.output, isPortraitOrientation(state.CurrentOrientation), compose, pictures,
                                QFileInfo(project).completeBaseName());
        if (!result.produced)
            return failed(err, QStringLiteral("%1: cannot be written: %2").arg(shown(command.output), result.error));
    } else {
        const bool reachable = isPrintSystemReachable();
        const BatchPrinterChoice choice =
            chooseBatchPrinter(command.printer, reachable ? QPrinterInfo::defaultPrinterName() : QString(),
                               reachable ? installedPrinterNames() : QStringList(), reachable);
        if (!choice.error.isEmpty())
            return failed(err, choice.error);
        const QString name = choice.name;
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(name);
        printer.setPageOrientation(isPortraitOrientation(state.CurrentOrientation) ? QPageLayout::Portrait
                                                                                   : QPageLayout::Landscape);
        printer.setCopyCount(command.copies);
        printer.setDocName(QFileInfo(project).completeBaseName());
        result = printCover(printer, compose, pictures);
        if (!result.produced)
            return failed(err, QStringLiteral("%1: %2").arg(shown(project), result.error));
    }
    if (!result.failures.isEmpty())
        return failed(err, QStringLiteral("%1: the page is incomplete: %2")
                               .arg(shown(project), result.failures.join(QStringLiteral("; "))));
    return 0;
}

} // namespace vt
