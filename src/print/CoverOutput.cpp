#include "print/CoverOutput.h"

#include "lang/LanguageTable.h"
#include "platform/Printers.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace vt {

OutputResult writeCoverPdf(const QString &path, bool portrait, const PageComposer &compose,
                           const PagePictures &pictures, const QString &title)
{
    OutputResult result;
    // Every way out below that produces nothing is the file's fault.
    result.cause = OutputFailure::FileNotWritten;
    result.target = path;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Vantrelo"));
        writer.setTitle(title);
        // Margins of 0: the inset is applied exactly, not rounded to whole points.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                         portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setResolution(1200);
        const QSizeF paper = writer.pageLayout().fullRect(QPageLayout::Millimeter).size();
        PageGeometry g;
        g.originMm = {PdfMarginMm, PdfMarginMm};
        g.printableMm = {paper.width() - 2 * PdfMarginMm, paper.height() - 2 * PdfMarginMm};
        g.dotsPerMm = writer.resolution() / 25.4;
        QPainter painter;
        if (!painter.begin(&writer)) {
            result.error = QStringLiteral("the PDF could not be started");
            file.cancelWriting();
            return result;
        }
        const PrintComposition page = compose(g.printableMm, footerMeasure(&writer));
        result.failures = page.failures;
        paintPage(painter, g, page, pictures, result.failures);
        if (!painter.end()) {
            result.error = QStringLiteral("the PDF could not be finished");
            file.cancelWriting();
            return result;
        }
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.produced = true;
    result.cause = OutputFailure::None;
    return result;
}

PageGeometry printerGeometry(QPrinter &printer)
{
    // Read the printable area before switching to full-page coordinates; the origin is
    // then placed by hand, exactly.
    const QPageLayout layout = printer.pageLayout();
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    const QSizeF paper = layout.fullRect(QPageLayout::Millimeter).size();
    PageGeometry g;
    g.originMm = {margins.left(), margins.top()};
    g.printableMm = {paper.width() - margins.left() - margins.right(),
                     paper.height() - margins.top() - margins.bottom()};
    g.dotsPerMm = printer.resolution() / 25.4;
    return g;
}

OutputResult printCover(QPrinter &printer, const PageComposer &compose, const PagePictures &pictures)
{
    OutputResult result;
    const QString name = printer.printerName();
    result.target = name;
    if (name.isEmpty() || !isPrinterAcceptingJobs(name)) {
        result.cause = name.isEmpty() ? OutputFailure::NoPrinter : OutputFailure::PrinterRefused;
        result.error = name.isEmpty() ? QStringLiteral("no printer is chosen")
                                      : QStringLiteral("the printer %1 does not accept jobs").arg(name);
        return result;
    }
    const PageGeometry g = printerGeometry(printer);
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        result.error = QStringLiteral("the printer %1 could not begin the job").arg(name);
        result.cause = OutputFailure::PrinterStopped;
        return result;
    }
    const PrintComposition page = compose(g.printableMm, footerMeasure(&printer));
    result.failures = page.failures;
    paintPage(painter, g, page, pictures, result.failures);
    const bool ended = painter.end();
    printer.setFullPage(false);
    if (!ended) {
        result.error = QStringLiteral("the printer %1 could not finish the job").arg(name);
        result.cause = OutputFailure::PrinterStopped;
        return result;
    }
    result.produced = true;
    return result;
}

QString outputErrorText(const LanguageTable &texts, const OutputResult &result)
{
    auto t = [&texts](int entry) { return texts.fallbackText(entry); };
    if (result.produced)
        return result.failures.isEmpty() ? QString() : t(LanguageTable::PrintErrorPartsEntry);
    switch (result.cause) {
    case OutputFailure::FileNotWritten:
        // The system's reason is the only part not in the user's language; without it
        // "cannot be written" would leave the user guessing between a full disk and a
        // folder without rights.
        return t(LanguageTable::PrintErrorFileEntry)
            .arg(result.target, result.error.isEmpty() ? QStringLiteral("?") : result.error);
    case OutputFailure::NoPrinter:
        return t(LanguageTable::PrintErrorNoPrinterEntry);
    case OutputFailure::PrinterRefused:
        return t(LanguageTable::PrintErrorRefusedEntry).arg(result.target);
    case OutputFailure::PrinterStopped:
    case OutputFailure::None:
        break;
    }
    return t(LanguageTable::PrintErrorStoppedEntry).arg(result.target);
}

} // namespace vt
