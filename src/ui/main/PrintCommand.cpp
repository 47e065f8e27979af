#include "ui/main/PrintCommand.h"

#include "app/AppState.h"
#include "platform/Printers.h"
#include "print/CalibrationPage.h"
#include "print/CoverOutput.h"
#include "print/PrintCorrections.h"
#include "print/Sheet.h"
#include "ui/dialogs/CommonDialogs.h"
#include "ui/main/Form1.h"

#include <QDate>
#include <QFileInfo>
#include <QList>
#include <QMessageBox>
#include <QPrinter>


#include <algorithm>
#include <memory>

namespace vt {

namespace {

// The job's name in the queue: the project's, or "Cover" before it has one.
QString jobName(const AppState &state)
{
    return state.CurrentProjectPath.isEmpty() ? QStringLiteral("Cover")
                                              : QFileInfo(state.CurrentProjectPath).completeBaseName();
}

} // namespace

PrintDialogContext systemPrintContext(Form1 &form, AppState &state, PrintDialogMemory &memory)
{
    PrintDialogContext c;
    c.state = &state;
    c.memory = &memory;
    c.currentPrinter = [&form] { return form.currentPrinter(); };
    c.currentPrinterName = [&form] {
        QPrinter *printer = form.currentPrinter();
        return printer ? printer->printerName() : QString();
    };
    c.makeCurrentPrinter = [&form](const QString &name) {
        if (QPrinter *printer = form.currentPrinter()) {
            if (printer->printerName() != name)
                printer->setPrinterName(name);
            return;
        }
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setPrinterName(name);
        form.setCurrentPrinter(std::move(printer));
    };
    c.installedPrinters = [] { return installedPrinterNames(); };
    c.defaultPrinterEntry = [] { return DefaultPrinterEntry(); };
    c.setSystemDefault = [](const QString &name, int *code, QString *error) {
        const bool ok = setSystemDefaultPrinter(name, error);
        if (!ok && code)
            *code = printSystemLastError();
        return ok;
    };
    c.qualitySupported = [](const QString &printer, int quality) { return isQualitySupported(printer, quality); };
    c.applyQuality = [](QPrinter &printer, int quality) { setPrinterQuality(printer, quality); };
    c.printCover = [&form, &state](QPrinter &printer, const PageSetup &setup) {
        printer.setDocName(jobName(state));
        return form.StampaCopertina(printer, setup);
    };
    c.writePdf = [&form, &state](const QString &path, const PageSetup &setup) {
        const QString title = state.CurrentProjectPath.isEmpty() ? QString()
                                                                 : QFileInfo(state.CurrentProjectPath).completeBaseName();
        return writeCoverPdf(path, setup, form.pageComposer(), form.pagePictures(), title);
    };
    c.choosePdfPath = [&state](QWidget *owner, const QString &proposed) {
        FileDialogRequest request;
        request.owner = owner;
        request.title = state.Language.fallbackText(LanguageTable::PdfFileEntry);
        request.filter = makeFilter({{QStringLiteral("PDF"), QStringLiteral("*.pdf")}});
        request.defaultExtension = QStringLiteral("pdf");
        request.proposedName = proposed;
        return ShowFileDialog(request);
    };
    c.askYesNo = [](QWidget *owner, const QString &text, const QString &title) {
        return QMessageBox::warning(owner, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes;
    };
    c.message = [](QWidget *owner, const QString &text, const QString &title) {
        QMessageBox::warning(owner, title, text, QMessageBox::Ok);
    };
    c.playSound = [&form](const QString &wav) { form.playSound(wav); };
    c.readCorrection = [&state](const QString &printer) {
        return readPrintCorrection(printCorrectionsFile(state), printer);
    };
    c.writeCorrection = [&state](const QString &printer, const PrintCorrection &correction, QString *error) {
        return writePrintCorrection(printCorrectionsFile(state), printer, correction, error);
    };
    c.printCalibration = [](QPrinter &printer, const PageSetup &setup) {
        const QString name = printer.printerName();
        printer.setDocName(QStringLiteral("Calibration page"));
        const PageComposer compose = [name](QSizeF printable, const TextMeasure &measure) {
            return composeCalibrationPage(name, QDate::currentDate(), printable, measure);
        };
        return printCover(printer, setup, compose, PagePictures{});
    };
    // The dialog draws both orientations at every change: the queue's margins for a paper
    // are asked of the print system once per opening.
    struct AskedSheet
    {
        QString printer;
        PaperKind paper;
        std::optional<SheetMargins> sheet;
    };
    auto asked = std::make_shared<QList<AskedSheet>>();
    c.sheetView = [&form, asked](const QString &printer, const PageSetup &setup) -> std::optional<SheetView> {
        std::optional<SheetMargins> sheet;
        if (printer.isEmpty()) {
            sheet = pdfSheet(setup.paper);
        } else {
            auto known = std::find_if(asked->begin(), asked->end(), [&](const AskedSheet &a) {
                return a.printer == printer && a.paper == setup.paper;
            });
            if (known == asked->end())
                known = asked->insert(asked->end(), {printer, setup.paper, printerSheet(printer, setup.paper)});
            sheet = known->sheet;
        }
        if (!sheet)
            return std::nullopt;
        const PageGeometry g = pageGeometryOn(*sheet, setup.portrait, 1);
        // The footer's size does not matter here: only the cover is drawn.
        return sheetViewOf(g, form.pageComposer()(g.printableMm, [](const QString &) { return QSizeF(); }));
    };
    c.defaultPaper = [](const QString &printer) { return printerDefaultPaper(printer); };
    c.queueWarning = [](const QString &printer) {
        switch (printerQueueState(printer)) {
        case QueueState::Stopped: return QueueWarning::Stopped;
        case QueueState::NotAccepting: return QueueWarning::NotAccepting;
        case QueueState::Ready:
        case QueueState::Unknown:
        case QueueState::Missing: break;
        }
        return QueueWarning::None;
    };
    return c;
}

PrintCommand::PrintCommand(Form1 &form, AppState &state) : QObject(&form), m_form(form), m_state(state)
{
    makeContext = [this] { return systemPrintContext(m_form, m_state, m_memory); };
}

void PrintCommand::open()
{
    openPrintDialog(&m_form, makeContext());
}

} // namespace vt
