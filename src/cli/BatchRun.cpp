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
#include "print/CalibrationPage.h"
#include "print/CoverOutput.h"
#include "print/PrintCorrections.h"
#include "print/Sheet.h"
#include "project/ProjectFile.h"

#include <QDate>
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

// The dialog's quality value for an IPP print-quality of the command line.
int batchQuality(int ippQuality)
{
    return ippQuality == 5 ? -4 : ippQuality == 4 ? -3 : -1;
}

QString qualityWord(int ippQuality)
{
    return ippQuality == 5 ? QStringLiteral("high") : ippQuality == 4 ? QStringLiteral("normal") : QStringLiteral("draft");
}

// The main window's designed client height: the scale its first format selection uses.
constexpr double DesignClientHeightTwips = 7290;

// The queue --print goes to (the one named, else the default one) and the paper it prints
// on (the one asked for, else the queue's own); error says why there is none.
struct BatchQueue
{
    QString name;
    PaperKind paper = PaperKind::A4;
    QString error;
};

BatchQueue batchQueue(const CommandLine &command)
{
    const bool reachable = isPrintSystemReachable();
    const BatchPrinterChoice choice =
        chooseBatchPrinter(command.printer, reachable ? QPrinterInfo::defaultPrinterName() : QString(),
                           reachable ? installedPrinterNames() : QStringList(), reachable);
    if (!choice.error.isEmpty())
        return {{}, PaperKind::A4, choice.error};
    return {choice.name, command.paper ? *command.paper : printerDefaultPaper(choice.name).value_or(PaperKind::A4),
            {}};
}

// A job on that queue with the command line's copies, named as the queue shows it.
void setUpJob(QPrinter &printer, const BatchQueue &queue, const CommandLine &command, const QString &jobName)
{
    printer.setPrinterName(queue.name);
    printer.setCopyCount(command.copies);
    printer.setDocName(jobName);
}

// The calibration page, always portrait. It goes out without the printer's stored
// correction: what the user measures on it is then the whole correction to enter, not
// what is left over after the last one.
int runTestPage(const CommandLine &command, QTextStream &err)
{
    const QDate today = QDate::currentDate();
    OutputResult result;
    if (command.mode == CommandLine::Mode::ExportPdf) {
        const PageComposer compose = [today](QSizeF printable, const TextMeasure &measure) {
            return composeCalibrationPage(QStringLiteral("PDF file"), today, printable, measure);
        };
        PageSetup setup;
        setup.paper = command.paper.value_or(PaperKind::A4);
        result = exportCoverPdf(command.output, setup, compose, PagePictures{}, QStringLiteral("Calibration page"));
        if (!result.produced)
            return failed(err, QStringLiteral("%1: cannot be written: %2").arg(shown(command.output), result.error));
    } else {
        const BatchQueue queue = batchQueue(command);
        if (!queue.error.isEmpty())
            return failed(err, queue.error);
        const QString name = queue.name;
        const PageComposer compose = [today, name](QSizeF printable, const TextMeasure &measure) {
            return composeCalibrationPage(name, today, printable, measure);
        };
        PageSetup setup;
        setup.paper = queue.paper;
        QPrinter printer(QPrinter::HighResolution);
        setUpJob(printer, queue, command, QStringLiteral("Calibration page"));
        result = printCover(printer, setup, compose, PagePictures{});
        if (!result.produced)
            return failed(err, QStringLiteral("calibration page: %1").arg(result.error));
    }
    if (!result.failures.isEmpty())
        return failed(err, QStringLiteral("the calibration page is incomplete: %1")
                               .arg(result.failures.join(QStringLiteral("; "))));
    return 0;
}

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
    if (command.testPage)
        return runTestPage(command, err);
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
    PageSetup setup;
    setup.portrait = isPortraitOrientation(state.CurrentOrientation);
    setup.paper = command.paper.value_or(PaperKind::A4);
    setup.cropMarks = command.cropMarks;
    setup.bleedMm = command.bleedMm;
    // The outputs add the crop marks and bleed the setup asks for.
    const PageComposer compose = coverComposer(state, cover);
    const QString title = QFileInfo(project).completeBaseName();
    // A cover past the printable area would be cut off by the printer, past the paper by
    // the paper's edge: refused unless asked for, before anything is written or sent.
    // The cover itself counts, not its crop marks or bleed, which are meant to lie outside.
    auto refusedFit = [&](const SheetMargins &sheet, const QString &where) -> QString {
        const PageGeometry g = pageGeometryOn(sheet, setup.portrait, 1);
        const CoverFit fit = coverFit(compose(g.printableMm, TextMeasure()), g);
        if (fit == CoverFit::Inside || command.force)
            return QString();
        const QString orientation = setup.portrait ? QStringLiteral("portrait") : QStringLiteral("landscape");
        return QStringLiteral("%1: the cover crosses %2 of %3 %4 paper on %5; use --force to make it anyway")
            .arg(shown(project),
                 fit == CoverFit::CrossesPaper ? QStringLiteral("the edge") : QStringLiteral("the printable area"),
                 orientation, paperName(setup.paper), where);
    };
    OutputResult result;
    if (command.mode == CommandLine::Mode::ExportPdf) {
        if (const QString refusal = refusedFit(pdfSheet(setup.paper), QStringLiteral("the PDF")); !refusal.isEmpty())
            return failed(err, refusal);
        result = exportCoverPdf(command.output, setup, compose, pictures, title);
        if (!result.produced && !result.failures.isEmpty())
            return failed(err, QStringLiteral("%1: the page is incomplete, no PDF written: %2")
                                   .arg(shown(project), result.failures.join(QStringLiteral("; "))));
        if (!result.produced)
            return failed(err, QStringLiteral("%1: cannot be written: %2").arg(shown(command.output), result.error));
    } else {
        const BatchQueue queue = batchQueue(command);
        if (!queue.error.isEmpty())
            return failed(err, queue.error);
        const QString name = queue.name;
        // Without --paper the queue gets the paper it holds by default.
        setup.paper = queue.paper;
        const std::optional<SheetMargins> sheet = printerSheet(name, setup.paper);
        if (!sheet)
            return failed(err, QStringLiteral("%1: the printer does not say where it prints on %2 paper")
                                   .arg(name, paperName(setup.paper)));
        if (const QString refusal = refusedFit(*sheet, QStringLiteral("the printer ") + name); !refusal.isEmpty())
            return failed(err, refusal);
        // The correction measured for this very queue; PDF files never get one.
        setup.correction = readPrintCorrection(printCorrectionsFile(state), name);
        QPrinter printer(QPrinter::HighResolution);
        setUpJob(printer, queue, command, title);
        if (command.quality != 0) {
            const int dialogQuality = batchQuality(command.quality);
            if (!isQualitySupported(name, dialogQuality))
                return failed(err, QStringLiteral("%1: the printer does not offer %2 quality")
                                       .arg(name, qualityWord(command.quality)));
            setPrinterQuality(printer, dialogQuality);
        }
        // A stopped queue takes the job and keeps it: said, since nothing comes out yet.
        const QueueState queueState = printerQueueState(name);
        result = printCover(printer, setup, compose, pictures);
        if (!result.produced && !result.failures.isEmpty())
            return failed(err, QStringLiteral("%1: the page is incomplete, nothing sent to the printer: %2")
                                   .arg(shown(project), result.failures.join(QStringLiteral("; "))));
        if (!result.produced)
            return failed(err, QStringLiteral("%1: %2").arg(shown(project), result.error));
        if (queueState == QueueState::Stopped)
            err << "vantrelo: warning: the printer " << name
                << " is stopped; the job waits in its queue until the printer is resumed" << Qt::endl;
    }
    if (!result.failures.isEmpty())
        return failed(err, QStringLiteral("%1: the page is incomplete: %2")
                               .arg(shown(project), result.failures.join(QStringLiteral("; "))));
    return 0;
}

} // namespace vt
