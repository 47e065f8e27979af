#include "print/CoverOutput.h"

#include "common/TextFile.h"
#include "lang/LanguageTable.h"
#include "platform/Printers.h"
#include "print/CutExtras.h"

#include <QBuffer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vt {

namespace {

// The crop marks and bleed the setup asks for, added to the composed page.
PrintComposition withSetupExtras(const PageSetup &setup, PrintComposition page)
{
    if (!setup.cropMarks && setup.bleedMm == 0)
        return page;
    return withCutExtras(page, setup.cropMarks, setup.bleedMm);
}

QPageSize::PageSizeId pageSizeId(PaperKind paper)
{
    switch (paper) {
    case PaperKind::Letter: return QPageSize::Letter;
    case PaperKind::Legal: return QPageSize::Legal;
    case PaperKind::A4: break;
    }
    return QPageSize::A4;
}

// A number for a PDF: up to four decimals, no trailing zeros.
QByteArray pdfNumber(double v)
{
    QByteArray text = QByteArray::number(v, 'f', 4);
    while (text.contains('.') && (text.endsWith('0') || text.endsWith('.')))
        text.chop(1);
    return text == "-0" ? QByteArray("0") : text;
}

// The body of object number within pdf (between "N 0 obj" and "endobj"), the last one
// written, with where it begins; an empty text when there is none.
QByteArray objectBody(const QByteArray &pdf, int number, qsizetype *at = nullptr)
{
    const QByteArray head = QByteArray::number(number) + " 0 obj";
    qsizetype from = pdf.size();
    while ((from = pdf.lastIndexOf(head, from - 1)) >= 0) {
        if (from == 0 || pdf.at(from - 1) == '\n' || pdf.at(from - 1) == '\r')
            break;
    }
    if (from < 0)
        return QByteArray();
    const qsizetype begin = from + head.size();
    const qsizetype stop = pdf.indexOf("endobj", begin);
    if (stop < 0)
        return QByteArray();
    if (at)
        *at = from;
    return pdf.mid(begin, stop - begin).trimmed();
}

} // namespace

bool finishPdf(QByteArray &pdf, QSizeF paperPt)
{
    static const QRegularExpression startXref(QStringLiteral("startxref\\s+(\\d+)\\s+%%EOF\\s*$"));
    static const QRegularExpression trailerKeys(QStringLiteral("/(Size|Root|Info)\\s+(\\d+)"));
    static const QRegularExpression pageObject(QStringLiteral("(?:^|[\\r\\n])(\\d+) 0 obj\\s*<<\\s*/Type\\s*/Page\\b"));
    static const QRegularExpression mediaBox(QStringLiteral("/MediaBox\\s*\\[\\s*([-0-9.]+)\\s+([-0-9.]+)\\s+([-0-9.]+)\\s+([-0-9.]+)\\s*\\]"));
    static const QRegularExpression contents(QStringLiteral("/Contents\\s+(\\d+ 0 R)"));
    const QString text = QString::fromLatin1(pdf);
    const QRegularExpressionMatch xref = startXref.match(text);
    const qsizetype trailerAt = text.lastIndexOf(QLatin1String("trailer"));
    if (!xref.hasMatch() || trailerAt < 0)
        return false;
    int size = 0, root = 0, info = 0;
    for (auto it = trailerKeys.globalMatch(text.mid(trailerAt, xref.capturedStart() - trailerAt)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        (m.captured(1) == u"Size" ? size : m.captured(1) == u"Root" ? root : info) = m.captured(2).toInt();
    }
    const QRegularExpressionMatch page = pageObject.match(text);
    if (size <= 0 || root <= 0 || !page.hasMatch())
        return false;
    const int pageNumber = page.captured(1).toInt();
    QByteArray catalog = objectBody(pdf, root);
    QByteArray pageBody = objectBody(pdf, pageNumber);
    const QRegularExpressionMatch box = mediaBox.match(QString::fromLatin1(pageBody));
    const QRegularExpressionMatch drawing = contents.match(QString::fromLatin1(pageBody));
    if (!catalog.endsWith(">>") || !pageBody.endsWith(">>") || !box.hasMatch() || !drawing.hasMatch())
        return false;

    // The writer's box is the paper in whole points, with the drawing's top at its top:
    // the drawing is moved by the difference in height so that it keeps its place from
    // the top-left corner of the exact paper.
    const double writtenHeight = box.captured(4).toDouble() - box.captured(2).toDouble();
    const double shift = paperPt.height() - writtenHeight;
    const int shiftObject = size;
    QString newPage = QString::fromLatin1(pageBody);
    newPage.replace(box.capturedStart(), box.capturedLength(),
                    QStringLiteral("/MediaBox [0 0 %1 %2]")
                        .arg(QString::fromLatin1(pdfNumber(paperPt.width())), QString::fromLatin1(pdfNumber(paperPt.height()))));
    const QRegularExpressionMatch drawingNow = contents.match(newPage);
    newPage.replace(drawingNow.capturedStart(), drawingNow.capturedLength(),
                    QStringLiteral("/Contents [%1 0 R %2]").arg(shiftObject).arg(drawing.captured(1)));
    catalog.chop(2);
    catalog += "/ViewerPreferences << /PrintScaling /None >>\n>>";

    QByteArray update = pdf.endsWith('\n') ? QByteArray() : QByteArray("\n");
    QList<std::pair<int, qsizetype>> offsets;
    auto add = [&](int number, const QByteArray &body) {
        offsets.append({number, pdf.size() + update.size()});
        update += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
    };
    const QByteArray move = "1 0 0 1 0 " + pdfNumber(shift) + " cm\n";
    add(root, catalog);
    add(pageNumber, newPage.toLatin1());
    add(shiftObject, "<< /Length " + QByteArray::number(move.size()) + " >>\nstream\n" + move + "endstream");
    std::sort(offsets.begin(), offsets.end());
    const qsizetype xrefAt = pdf.size() + update.size();
    update += "xref\n";
    for (const auto &[number, offset] : offsets)
        update += QByteArray::number(number) + " 1\n" + QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    update += "trailer\n<< /Size " + QByteArray::number(size + 1) + " /Root " + QByteArray::number(root) + " 0 R";
    if (info > 0)
        update += " /Info " + QByteArray::number(info) + " 0 R";
    update += " /Prev " + xref.captured(1).toLatin1() + " >>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    pdf += update;
    return true;
}

QStringList missingPictures(const PrintComposition &page, const PagePictures &pictures)
{
    QStringList missing;
    for (const PageOperation &op : page.operations)
        if (op.kind == PageOperation::Kind::Picture && pictures[size_t(op.picture)].isNull()) {
            const QString what = QStringLiteral("picture %1 is missing").arg(int(op.picture) + 1);
            if (!missing.contains(what))
                missing << what;
        }
    return missing;
}

OutputResult renderCoverPdf(QByteArray &pdf, const PageSetup &setup, const PageComposer &compose,
                            const PagePictures &pictures, const QString &title)
{
    OutputResult result;
    // Every way out below that produces nothing is the file's fault.
    result.cause = OutputFailure::FileNotWritten;
    pdf.clear();
    // The page is made in memory and written in one piece afterwards, so a write that
    // fails half-way is seen and the earlier file kept (QPdfWriter writing to a buffered
    // file would report success after a short write).
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Vantrelo"));
    writer.setTitle(title);
    // Margins of 0: the inset is applied exactly, not rounded to whole points.
    writer.setPageLayout(QPageLayout(QPageSize(pageSizeId(setup.paper)),
                                     setup.portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setResolution(1200);
    // A PDF is never corrected: the correction is a printer's.
    const PageGeometry g = pageGeometryOn(pdfSheet(setup.paper), setup.portrait, writer.resolution() / 25.4);
    const PrintComposition page = withSetupExtras(setup, compose(g.printableMm, footerMeasure(&writer)));
    result.failures = page.failures + missingPictures(page, pictures);
    if (!result.failures.isEmpty()) {
        result.error = QStringLiteral("the page is incomplete: %1").arg(result.failures.join(QStringLiteral("; ")));
        return result;
    }
    QPainter painter;
    if (!painter.begin(&writer)) {
        result.error = QStringLiteral("the PDF could not be started");
        return result;
    }
    paintPage(painter, g, page, pictures, result.failures);
    const bool ended = painter.end();
    buffer.close();
    if (!result.failures.isEmpty()) {
        pdf.clear();
        result.error = QStringLiteral("the page is incomplete: %1").arg(result.failures.join(QStringLiteral("; ")));
        return result;
    }
    const QSizeF paperPt = g.paperMm * (72 / 25.4);
    if (!ended || !finishPdf(pdf, paperPt)) {
        pdf.clear();
        result.error = QStringLiteral("the PDF could not be finished");
        return result;
    }
    result.produced = true;
    result.cause = OutputFailure::None;
    return result;
}

OutputResult writeCoverPdf(const QString &path, const PageSetup &setup, const PageComposer &compose,
                           const PagePictures &pictures, const QString &title)
{
    // Refused before the page is drawn: a device or a pipe stays as it is.
    if (const QString problem = outputTargetProblem(path); !problem.isEmpty())
        return OutputResult{false, problem, {}, OutputFailure::FileNotWritten, path};
    QByteArray pdf;
    OutputResult result = renderCoverPdf(pdf, setup, compose, pictures, title);
    result.target = path;
    if (!result.produced)
        return result;
    if (!writeBytesAtomically(path, pdf, &result.error)) {
        result.produced = false;
        result.cause = OutputFailure::FileNotWritten;
    }
    return result;
}

OutputResult exportCoverPdf(const QString &output, const PageSetup &setup, const PageComposer &compose,
                            const PagePictures &pictures, const QString &title)
{
    if (output != QLatin1String(StandardOutputName))
        return writeCoverPdf(output, setup, compose, pictures, title);
    QByteArray pdf;
    OutputResult result = renderCoverPdf(pdf, setup, compose, pictures, title);
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

OutputResult printCover(QPrinter &printer, const PageSetup &setup, const PageComposer &compose,
                        const PagePictures &pictures)
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
    // The origin is where this queue prints on this paper; Qt's own page margins are a
    // default of its own, not the printer's.
    const std::optional<SheetMargins> sheet = printerSheet(name, setup.paper);
    if (!sheet) {
        result.cause = OutputFailure::PrinterRefused;
        result.error = QStringLiteral("the printer %1 does not say where it prints on %2 paper")
                           .arg(name, paperName(setup.paper));
        return result;
    }
    if (!printer.setPageSize(QPageSize(pageSizeId(setup.paper)))) {
        result.cause = OutputFailure::PrinterRefused;
        result.error = QStringLiteral("the printer %1 does not take %2 paper").arg(name, paperName(setup.paper));
        return result;
    }
    printer.setPageOrientation(setup.portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    printer.setFullPage(true);
    PageGeometry g = pageGeometryOn(*sheet, setup.portrait, printer.resolution() / 25.4);
    g.correction = correctionOnPage(setup.correction, setup.portrait);
    // Composed and checked before the job begins: a page that cannot be whole sends
    // nothing to the queue.
    const PrintComposition page = withSetupExtras(setup, compose(g.printableMm, footerMeasure(&printer)));
    result.failures = page.failures + missingPictures(page, pictures);
    if (!result.failures.isEmpty()) {
        printer.setFullPage(false);
        result.error = QStringLiteral("the page is incomplete: %1").arg(result.failures.join(QStringLiteral("; ")));
        return result;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        printer.setFullPage(false);
        result.error = QStringLiteral("the printer %1 could not begin the job").arg(name);
        result.cause = OutputFailure::PrinterStopped;
        return result;
    }
    paintPage(painter, g, page, pictures, result.failures);
    if (!result.failures.isEmpty())
        printer.abort();
    const bool ended = painter.end();
    printer.setFullPage(false);
    if (!result.failures.isEmpty()) {
        result.error = QStringLiteral("the page is incomplete: %1").arg(result.failures.join(QStringLiteral("; ")));
        return result;
    }
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
    // A page with failures is not produced at all: a PDF's names the failures as the
    // reason the file was not written; a printer's says which parts could not be drawn.
    if (!result.failures.isEmpty() && result.cause == OutputFailure::None)
        return t(LanguageTable::PrintErrorPartsEntry);
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
