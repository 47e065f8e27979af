#include "cli/BatchRun.h"

#include "app/AppState.h"
#include "app/ProgramFolders.h"
#include "app/Settings.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "document/CoverDocument.h"
#include "document/CoverRender.h"
#include "document/ProjectLoad.h"
#include "formats/FormatSelection.h"
#include "formats/TemplateWords.h"
#include "lang/LanguageFile.h"
#include "platform/PictureLoading.h"
#include "platform/Printers.h"
#include "print/CoverOutput.h"
#include "project/ProjectFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
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

// The main window's designed client height: the scale its first format selection uses.
constexpr double DesignClientHeightTwips = 7290;

} // namespace

void loadStateForBatch(AppState &state, const QString &appPath)
{
    state.LastFormatIndex = 21;
    state.VersionCaption = makeVersionCaption(VersionMajor, VersionMinor, VersionRevision);
    state.AppPath = appPath;
    decideFolderMode(state);
    state.PreviewScale = 20;
    state.InitialScaleHeight = qint16(DesignClientHeightTwips);
    qint16 savedFormat = 0;
    ReadSettings(settingsFilePath(state), state, savedFormat);
    ReadCatalogue(catalogueReadPath(state), state);
    if (state.LanguageFileName.trimmed().isEmpty())
        state.LanguageFileName =
            chooseInitialLanguage(QLocale::system().name(), state.AppPath + QStringLiteral("/Files/Lang"));
    state.FormatCount = qint16(state.LastFormatIndex + 1);
    const QString folder = state.AppPath + QStringLiteral("/Files/Lang/");
    if (!readLanguageFile(folder + state.LanguageFileName, state.Language, LanguageReading::Normal))
        readLanguageFile(folder + QStringLiteral("English.lng"), state.Language, LanguageReading::Normal);
    readLanguageFile(folder + state.LanguageFileName, state.Language, LanguageReading::StartupSecond);
    state.TitleOnCover = 1;
    state.TitleOnSpine = 1;
}

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

    AppState state;
    loadStateForBatch(state, appPath);
    // Printed as loaded: each picture is decoded at the size its printed area needs.
    const ProjectLoadResult loaded = loadProjectContent(project, state.FormatCount, printResolutionLoader(state));
    if (!loaded.content)
        return failed(err, loaded.error.simplified());

    // Loaded with a change, such as a title cut short: said, and the cover still made.
    for (const QString &warning : loaded.warnings)
        err << "vantrelo: warning: " << warning.simplified() << Qt::endl;

    // The document puts the format's templates into the slots the project leaves blank.
    CoverDocument document;
    document.setTemplateSource(state.AppPath, placeholderLoader(state.AppPath, state.Language, loadPicture),
                               [&state] { return templateWordsKey(state.Language); });
    document.load(*loaded.content, project);
    const CoverContent &cover = document.content();
    computePreviewScale(state, cover.format, DesignClientHeightTwips);
    CoverRenderer renderer;
    const PagePictures pictures = pagePicturesOf(renderer.render(cover, areaSizesMm(state, cover.format)));
    const PageComposer compose = [&state, &cover](QSizeF printable, const TextMeasure &measure) {
        return composeCover(state, cover.format, cover.outline ? 1 : 0, printable, measure);
    };
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
