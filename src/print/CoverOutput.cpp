#include "print/CoverOutput.h"

#include "common/TextFile.h"
#include "lang/LanguageTable.h"
#include "platform/Printers.h"

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vt {

OutputResult renderCoverPdf(QByteArray &pdf, bool portrait, const PageComposer &compose,
                            const PagePictures &pictures, const QString &title)
{
    OutputResult result;
    // Every way out below that produces nothing is the file's fault.
    result.cause = OutputFailure::FileNotWritten;
    // The page is made in memory and written in one piece afterwards, so a write that
    // fails half-way is seen and the earlier file kept (QPdfWriter writing to a buffered
    // file would report success after a short write).
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Vantrelo"));
    writer.setTitle(title);
    // Margins of 0: the inset is applied exactly, not rounded to whole points.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
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
        return result;
    }
    const PrintComposition page = compose(g.printableMm, footerMeasure(&writer));
    result.failures = page.failures;
    paintPage(painter, g, page, pictures, result.failures);
    if (!painter.end()) {
        result.error = QStringLiteral("the PDF could not be finished");
        return result;
    }
    result.produced = true;
    result.cause = OutputFailure::None;
    return result;
}

OutputResult writeCoverPdf(const QString &path, bool portrait, const PageComposer &compose,
                           const PagePictures &pictures, const QString &title)
{
    // Refused before the page is drawn: a device or a pipe stays as it is.
    if (const QString problem = outputTargetProblem(path); !problem.isEmpty())
        return OutputResult{false, problem, {}, OutputFailure::FileNotWritten, path};
    QByteArray pdf;
    OutputResult result = renderCoverPdf(pdf, portrait, compose, pictures, title);
    result.target = path;
    if (!result.produced)
        return result;
    if (!writeBytesAtomically(path, pdf, &result.error)) {
        result.produced = false;
        result.cause = OutputFailure::FileNotWritten;
    }
    return result;
}

OutputResult exportCoverPdf(const QString &output, bool portrait, const PageComposer &compose,
                            const PagePictures &pictures, const QString &title)
{
    if (output != QLatin1String(StandardOutputName))
        return writeCoverPdf(output, portrait, compose, pictures, title);
    QByteArray pdf;
    OutputResult result = renderCoverPdf(pdf, portrait, compose, pictures, title);
    if (!result.produced)
        return result;
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.produced = false;
        result.cause = OutputFailure::FileNotWritten;
        result.error = out.errorString();
        return result;
    }
    errno = 0;
    const qint64 written = out.write(pdf);
    const int cause = errno;
    if (written != pdf.size()) {
        result.produced = false;
        result.cause = OutputFailure::FileNotWritten;
        result.error = cause != 0 ? QString::fromLocal8Bit(std::strerror(cause)) : out.errorString();
    }
    return result;
}

QString exportOutputConflict(const QString &output, const QStringList &inputs)
{
    if (output == QLatin1String(StandardOutputName))
        return QString();
    for (const QString &input : inputs)
        if (!input.isEmpty() && isSameFile(output, input))
            return QStringLiteral("%1 is one of the files the cover is made from; writing the PDF there would destroy it")
                .arg(input);
    return QString();
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
