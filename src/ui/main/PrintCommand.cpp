#include "ui/main/PrintCommand.h"

#include "app/AppState.h"
#include "platform/Printers.h"
#include "print/CalibrationPage.h"
#include "print/CoverOutput.h"
#include "print/PrintCorrections.h"
#include "ui/dialogs/CommonDialogs.h"
#include "ui/main/Form1.h"

#include <QDate>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>

#include <cups/cups.h>

namespace vt {

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
            *code = int(cupsLastError());
        return ok;
    };
    c.qualitySupported = [](const QString &printer, int quality) { return isQualitySupported(printer, quality); };
    c.applyQuality = [](QPrinter &printer, int quality) { setPrinterQuality(printer, quality); };
    c.printCover = [&form](QPrinter &printer, const PageSetup &) { return form.StampaCopertina(printer); };
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
    c.printCalibration = [](QPrinter &printer, const PageSetup &) {
        const QString name = printer.printerName();
        printer.setDocName(QStringLiteral("Calibration page"));
        const PageComposer compose = [name](QSizeF printable, const TextMeasure &measure) {
            return composeCalibrationPage(name, QDate::currentDate(), printable, measure);
        };
        return printCover(printer, compose, PagePictures{});
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
