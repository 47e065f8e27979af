#include "print/CoverOutput.h"

#include "common/TextFile.h"
#include "lang/LanguageTable.h"
#include "platform/Printers.h"
#include "print/CutExtras.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryFile>

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

bool isPdfSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

qsizetype skipPdfSpace(QByteArrayView text, qsizetype at)
{
    while (at < text.size() && isPdfSpace(text[at]))
        ++at;
    return at;
}

// The unsigned number at at (after white space), with at moved past it; -1 when there
// is none or it is too long to be an offset.
qint64 readPdfNumber(QByteArrayView text, qsizetype &at)
{
    at = skipPdfSpace(text, at);
    const qsizetype first = at;
    qint64 value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        if (at - first == 15)
            return -1;
        value = value * 10 + (text[at++] - '0');
    }
    return at > first ? value : -1;
}

bool readPdfWord(QByteArrayView text, qsizetype &at, QByteArrayView word)
{
    at = skipPdfSpace(text, at);
    if (!text.sliced(at).startsWith(word))
        return false;
    at += word.size();
    return true;
}

// The parts of a finished file that its update needs, found through its own structure:
// the last cross-reference table (a classic one, as the writer makes) and its trailer.
// The picture data in between is never read.
class PdfIndex
{
public:
    bool read(const QByteArray &pdf)
    {
        m_pdf = pdf;
        // "startxref", the table's offset and "%%EOF" end the file, in its last bytes.
        const QByteArrayView tail = m_pdf.last(std::min<qsizetype>(m_pdf.size(), 1024));
        const qsizetype keyword = tail.lastIndexOf(QByteArrayView("startxref"));
        if (keyword < 0)
            return false;
        qsizetype at = keyword + 9;
        if (at >= tail.size() || !isPdfSpace(tail[at]))
            return false;
        const qsizetype digits = skipPdfSpace(tail, at);
        const qint64 table = readPdfNumber(tail, at);
        const qsizetype digitsEnd = at;
        if (table < 0 || at >= tail.size() || !isPdfSpace(tail[at]) || !readPdfWord(tail, at, "%%EOF")
            || skipPdfSpace(tail, at) != tail.size())
            return false;
        m_tableOffset = tail.sliced(digits, digitsEnd - digits).toByteArray();
        const qsizetype trailerEnd = m_pdf.size() - tail.size() + keyword;
        // The table: subsections of "first count" and count entries of 20 bytes each.
        at = qsizetype(table);
        if (table >= trailerEnd || !readPdfWord(m_pdf, at, "xref"))
            return false;
        for (;;) {
            const qsizetype before = at;
            if (readPdfWord(m_pdf, at, "trailer"))
                break;
            at = before;
            const qint64 first = readPdfNumber(m_pdf, at);
            const qint64 count = readPdfNumber(m_pdf, at);
            at = skipPdfSpace(m_pdf, at);
            if (first < 0 || count < 0 || count > (trailerEnd - at) / 20)
                return false;
            m_sections.append({first, count, at});
            at += count * 20;
        }
        if (at > trailerEnd)
            return false;
        m_trailer = m_pdf.sliced(at, trailerEnd - at);
        return true;
    }

    // The table offset of the file's update before this one, as written.
    QByteArray tableOffset() const { return m_tableOffset; }
    // The trailer's dictionary, between "trailer" and "startxref".
    QByteArrayView trailer() const { return m_trailer; }

    // The body of object number (between "N 0 obj" and "endobj"), trimmed; an empty
    // text when the table has no object there. Only its dictionary, up to its stream's
    // data, when head is set.
    QByteArray objectBody(int number, bool head = false) const
    {
        for (const Section &section : m_sections) {
            if (number < section.first || number >= section.first + section.count)
                continue;
            qsizetype at = section.entries + (number - section.first) * 20;
            const qint64 offset = readPdfNumber(m_pdf, at);
            const qint64 generation = readPdfNumber(m_pdf, at);
            if (offset < 0 || generation != 0 || !readPdfWord(m_pdf, at, "n") || offset >= m_pdf.size())
                return QByteArray();
            const QByteArray objectHead = QByteArray::number(number) + " 0 obj";
            if (!m_pdf.sliced(offset).startsWith(objectHead))
                return QByteArray();
            const qsizetype begin = offset + objectHead.size();
            qsizetype stop = head ? m_pdf.indexOf(QByteArrayView("stream"), begin) : -1;
            const qsizetype end = m_pdf.sliced(0, stop < 0 ? m_pdf.size() : stop).indexOf(QByteArrayView("endobj"), begin);
            if (end >= 0)
                stop = end;
            if (stop < 0)
                return QByteArray();
            return m_pdf.sliced(begin, stop - begin).trimmed().toByteArray();
        }
        return QByteArray();
    }

private:
    struct Section
    {
        qint64 first;
        qint64 count;
        qsizetype entries;
    };
    QByteArrayView m_pdf;
    QByteArray m_tableOffset;
    QByteArrayView m_trailer;
    QList<Section> m_sections;
};

// The object number that key refers to ("/Key N 0 R") in a dictionary's text; 0 when none.
int referenceIn(const QByteArray &body, const QRegularExpression &key)
{
    const QRegularExpressionMatch m = key.match(QString::fromLatin1(body));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The image objects that the swaps' stand-ins became, found through the page's
// resources by their sizes, in the swaps' order; nothing unless each stand-in is the
// one image of its size there.
QList<int> standInObjects(const PdfIndex &index, const QByteArray &pageBody, const QList<PdfImageSwap> &swaps)
{
    static const QRegularExpression resourcesKey(QStringLiteral("/Resources\\s+(\\d+)\\s+0\\s+R"));
    static const QRegularExpression xobjects(QStringLiteral("/XObject\\s*<<([^>]*)>>"));
    static const QRegularExpression reference(QStringLiteral("(\\d+)\\s+0\\s+R"));
    static const QRegularExpression imageType(QStringLiteral("/Subtype\\s*/Image\\b"));
    static const QRegularExpression width(QStringLiteral("/Width\\s+(\\d+)"));
    static const QRegularExpression height(QStringLiteral("/Height\\s+(\\d+)"));
    const int resources = referenceIn(pageBody, resourcesKey);
    const QRegularExpressionMatch list =
        xobjects.match(QString::fromLatin1(resources > 0 ? index.objectBody(resources) : QByteArray()));
    if (!list.hasMatch())
        return {};
    QList<int> found(swaps.size(), 0);
    for (auto it = reference.globalMatch(list.captured(1)); it.hasNext();) {
        const int number = it.next().captured(1).toInt();
        const QString head = QString::fromLatin1(index.objectBody(number, true));
        const QRegularExpressionMatch w = width.match(head);
        const QRegularExpressionMatch h = height.match(head);
        if (!imageType.match(head).hasMatch() || !w.hasMatch() || !h.hasMatch())
            continue;
        const QSize size(w.captured(1).toInt(), h.captured(1).toInt());
        for (qsizetype k = 0; k < swaps.size(); ++k)
            if (swaps[k].standIn == size) {
                if (found[k] != 0)
                    return {};
                found[k] = number;
            }
    }
    if (found.contains(0))
        return {};
    return found;
}

} // namespace

bool finishPdf(QByteArray &pdf, QSizeF paperPt, const QList<PdfImageSwap> &swaps)
{
    static const QRegularExpression trailerKeys(QStringLiteral("/(Size|Root|Info)\\s+(\\d+)"));
    static const QRegularExpression pagesKey(QStringLiteral("/Pages\\s+(\\d+)\\s+0\\s+R"));
    static const QRegularExpression firstKid(QStringLiteral("/Kids\\s*\\[\\s*(\\d+)\\s+0\\s+R"));
    static const QRegularExpression pageType(QStringLiteral("^<<\\s*/Type\\s*/Page\\b"));
    static const QRegularExpression mediaBox(QStringLiteral("/MediaBox\\s*\\[\\s*([-0-9.]+)\\s+([-0-9.]+)\\s+([-0-9.]+)\\s+([-0-9.]+)\\s*\\]"));
    static const QRegularExpression contents(QStringLiteral("/Contents\\s+(\\d+ 0 R)"));
    PdfIndex index;
    if (!index.read(pdf))
        return false;
    int size = 0, root = 0, info = 0;
    for (auto it = trailerKeys.globalMatch(QString::fromLatin1(index.trailer())); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        (m.captured(1) == u"Size" ? size : m.captured(1) == u"Root" ? root : info) = m.captured(2).toInt();
    }
    if (size <= 0 || root <= 0)
        return false;
    // The one page: the first kid of the catalogue's page tree.
    QByteArray catalog = index.objectBody(root);
    const int pages = referenceIn(catalog, pagesKey);
    const int pageNumber = pages > 0 ? referenceIn(index.objectBody(pages), firstKid) : 0;
    if (pageNumber <= 0)
        return false;
    QByteArray pageBody = index.objectBody(pageNumber);
    const QString pageText = QString::fromLatin1(pageBody);
    const QRegularExpressionMatch box = mediaBox.match(pageText);
    const QRegularExpressionMatch drawing = contents.match(pageText);
    if (!catalog.endsWith(">>") || !pageBody.endsWith(">>") || !pageType.match(pageText).hasMatch()
        || !box.hasMatch() || !drawing.hasMatch())
        return false;

    // The writer's box is the paper in whole points, with the drawing's top at its top:
    // the drawing is moved by the difference in height so that it keeps its place from
    // the top-left corner of the exact paper.
    const double writtenHeight = box.captured(4).toDouble() - box.captured(2).toDouble();
    const double shift = paperPt.height() - writtenHeight;
    const int shiftObject = size;
    QString newPage = pageText;
    newPage.replace(box.capturedStart(), box.capturedLength(),
                    QStringLiteral("/MediaBox [0 0 %1 %2]")
                        .arg(QString::fromLatin1(pdfNumber(paperPt.width())), QString::fromLatin1(pdfNumber(paperPt.height()))));
    const QRegularExpressionMatch drawingNow = contents.match(newPage);
    newPage.replace(drawingNow.capturedStart(), drawingNow.capturedLength(),
                    QStringLiteral("/Contents [%1 0 R %2]").arg(shiftObject).arg(drawing.captured(1)));
    const QList<int> swapped = swaps.isEmpty() ? QList<int>() : standInObjects(index, pageBody, swaps);
    if (swapped.size() != swaps.size())
        return false;
    catalog.chop(2);
    catalog += "/ViewerPreferences << /PrintScaling /None >>\n>>";
    const QByteArray previousTable = index.tableOffset();

    // The update is written onto the file's end, in room made once: a carried file's
    // data is read straight into it, never held twice.
    const qsizetype written = pdf.size();
    qint64 carried = 0;
    for (const PdfImageSwap &swap : swaps)
        carried += swap.jpeg.stamp.size;
    pdf.reserve(pdf.size() + carried + 4096);
    if (!pdf.endsWith('\n'))
        pdf += '\n';
    QList<std::pair<int, qsizetype>> offsets;
    auto add = [&](int number, const QByteArray &body) {
        offsets.append({number, pdf.size()});
        pdf += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
    };
    const QByteArray move = "1 0 0 1 0 " + pdfNumber(shift) + " cm\n";
    add(root, catalog);
    add(pageNumber, newPage.toLatin1());
    add(shiftObject, "<< /Length " + QByteArray::number(move.size()) + " >>\nstream\n" + move + "endstream");
    // The stand-in's object number now names the file's data: the page draws it where
    // it drew the stand-in, and the stand-in's own bytes are left unused.
    for (qsizetype k = 0; k < swaps.size(); ++k) {
        const JpegFile &jpeg = swaps[k].jpeg;
        offsets.append({swapped[k], pdf.size()});
        pdf += QByteArray::number(swapped[k]) + " 0 obj\n<< /Type /XObject /Subtype /Image /Width "
            + QByteArray::number(jpeg.frame.size.width()) + " /Height " + QByteArray::number(jpeg.frame.size.height())
            + " /BitsPerComponent 8 /ColorSpace " + (jpeg.frame.components == 1 ? "/DeviceGray" : "/DeviceRGB")
            + " /Filter /DCTDecode /Length " + QByteArray::number(jpeg.stamp.size) + " >>\nstream\n";
        if (!appendJpegFile(pdf, jpeg)) {
            pdf.truncate(written);
            return false;
        }
        pdf += "\nendstream\nendobj\n";
    }
    std::sort(offsets.begin(), offsets.end());
    const qsizetype xrefAt = pdf.size();
    pdf += "xref\n";
    for (const auto &[number, offset] : offsets)
        pdf += QByteArray::number(number) + " 1\n" + QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(size + 1) + " /Root " + QByteArray::number(root) + " 0 R";
    if (info > 0)
        pdf += " /Info " + QByteArray::number(info) + " 0 R";
    pdf += " /Prev " + previousTable + " >>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
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

namespace {

// The pictures that reach the page whole and unchanged from a JPEG file: each is drawn
// as a small stand-in, whose image object then gets the file's own data. The file is
// carried as it is, with not a pixel lost, and nothing is encoded again.
QList<PdfImageSwap> carriedJpegs(const PrintComposition &page, PagePictures &pictures)
{
    QList<PdfImageSwap> swaps;
    QHash<qint64, QImage> standIns; // one per picture, however many areas show it
    for (size_t i = 0; i < pictures.size(); ++i) {
        QImage &picture = pictures[i];
        bool used = false;
        bool asIs = true;
        for (const PageOperation &op : page.operations)
            if (op.kind == PageOperation::Kind::Picture && size_t(op.picture) == i) {
                used = true;
                asIs = asIs && op.bleedMm.isNull() && printsAsIs(picture, op.rect.size());
            }
        if (picture.isNull() || !used || !asIs)
            continue;
        if (const auto it = standIns.constFind(picture.cacheKey()); it != standIns.cend()) {
            picture = *it;
            continue;
        }
        std::optional<JpegFile> jpeg = unchangedJpegOf(picture);
        if (!jpeg)
            continue;
        // A few pixels in a size no picture of a cover has, each its own.
        QImage standIn(5 + int(swaps.size()), 3, QImage::Format_RGB32);
        standIn.fill(Qt::gray);
        standIns.insert(picture.cacheKey(), standIn);
        swaps.append({standIn.size(), *jpeg});
        picture = standIn;
    }
    return swaps;
}

// Draws the page as a PDF into device, unfinished. produced tells whether the painter
// started and ended without a failed step. With carry, JPEG files that the page uses
// whole are drawn as stand-ins for swaps to replace.
OutputResult drawCoverPdf(QIODevice &device, const PageSetup &setup, const PageComposer &compose,
                          PagePictures pictures, const QString &title, QSizeF &paperPt, bool carry,
                          QList<PdfImageSwap> &swaps)
{
    OutputResult result;
    // Every way out below that produces nothing is the file's fault.
    result.cause = OutputFailure::FileNotWritten;
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("Vantrelo"));
    writer.setTitle(title);
    // Margins of 0: the inset is applied exactly, not rounded to whole points.
    writer.setPageLayout(QPageLayout(QPageSize(pageSizeId(setup.paper)),
                                     setup.portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setResolution(1200);
    // A PDF is never corrected: the correction is a printer's.
    const PageGeometry g = pageGeometryOn(pdfSheet(setup.paper), setup.portrait, writer.resolution() / 25.4);
    paperPt = g.paperMm * (72 / 25.4);
    const PrintComposition page = withSetupExtras(setup, compose(g.printableMm, footerMeasure(&writer)));
    result.failures = page.failures + missingPictures(page, pictures);
    if (!result.failures.isEmpty()) {
        result.error = QStringLiteral("the page is incomplete: %1").arg(result.failures.join(QStringLiteral("; ")));
        return result;
    }
    swaps.clear();
    if (carry)
        swaps = carriedJpegs(page, pictures);
    QPainter painter;
    if (!painter.begin(&writer)) {
        result.error = QStringLiteral("the PDF could not be started");
        return result;
    }
    paintPage(painter, g, page, pictures, result.failures);
    const bool ended = painter.end();
    if (!result.failures.isEmpty()) {
        result.error = QStringLiteral("the page is incomplete: %1").arg(result.failures.join(QStringLiteral("; ")));
        return result;
    }
    if (!ended) {
        result.error = QStringLiteral("the PDF could not be finished");
        return result;
    }
    result.produced = true;
    return result;
}

// One drawing of the file, with JPEG files carried (carry) or not; carried tells whether
// any was.
OutputResult renderOnce(QByteArray &pdf, const PageSetup &setup, const PageComposer &compose,
                        const PagePictures &pictures, const QString &title, bool carry, bool &carried)
{
    QSizeF paperPt;
    QList<PdfImageSwap> swaps;
    OutputResult result;
    // The whole file's bytes, finished; false (and nothing) when they are not a PDF as
    // written.
    auto finished = [&] {
        carried = carried || !swaps.isEmpty();
        if (finishPdf(pdf, paperPt, swaps))
            return true;
        pdf.clear();
        return false;
    };
    // The page is drawn into a scratch file and taken back whole once finished: the
    // pictures' compressed data (12 MB for a 24-megapixel photo) then stays out of
    // memory while the pictures are held. A scratch folder without room for it may fail
    // the drawing's end, or keep a file cut short without a word (a buffered file): such
    // a file does not finish, and the page is drawn again in memory.
    pdf.clear();
    QTemporaryFile scratch;
    if (scratch.open()) {
        result = drawCoverPdf(scratch, setup, compose, pictures, title, paperPt, carry, swaps);
        if (!result.failures.isEmpty())
            return result; // the page's fault: memory would not help
        if (result.produced && scratch.flush() && scratch.seek(0)) {
            pdf = scratch.readAll();
            if (finished()) {
                result.cause = OutputFailure::None;
                return result;
            }
        }
        scratch.close();
    }
    pdf.clear();
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    result = drawCoverPdf(buffer, setup, compose, pictures, title, paperPt, carry, swaps);
    buffer.close();
    if (!result.produced || !finished()) {
        pdf.clear();
        if (result.produced)
            result.error = QStringLiteral("the PDF could not be finished");
        result.produced = false;
        return result;
    }
    result.cause = OutputFailure::None;
    return result;
}

} // namespace

OutputResult renderCoverPdf(QByteArray &pdf, const PageSetup &setup, const PageComposer &compose,
                            const PagePictures &pictures, const QString &title)
{
    bool carried = false;
    const OutputResult result = renderOnce(pdf, setup, compose, pictures, title, true, carried);
    // A file that did not finish with JPEG files carried (a stand-in not found as drawn)
    // is drawn again from the pixels alone.
    if (result.produced || !result.failures.isEmpty() || !carried)
        return result;
    return renderOnce(pdf, setup, compose, pictures, title, false, carried);
}

OutputResult writeCoverPdf(const QString &path, const PageSetup &setup, const PageComposer &compose,
                           const PagePictures &pictures, const QString &title)
{
    // Refused before the page is drawn: a device or a pipe stays as it is.
    if (const QString problem = outputTargetProblem(path); !problem.isEmpty())
        return OutputResult{false, problem, {}, OutputFailure::FileNotWritten, path, PaperKind::A4};
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
    result.paper = setup.paper;
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
        result.cause = OutputFailure::PaperNotTaken;
        result.error = QStringLiteral("the printer %1 does not say where it prints on %2 paper")
                           .arg(name, paperName(setup.paper));
        return result;
    }
    if (!printer.setPageSize(QPageSize(pageSizeId(setup.paper)))) {
        result.cause = OutputFailure::PaperNotTaken;
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
    case OutputFailure::PaperNotTaken:
        return t(LanguageTable::PaperNotTakenEntry)
            .arg(result.target, t(LanguageTable::PaperA4Entry + int(result.paper)));
    case OutputFailure::PrinterRefused:
        return t(LanguageTable::PrintErrorRefusedEntry).arg(result.target);
    case OutputFailure::PrinterStopped:
    case OutputFailure::None:
        break;
    }
    return t(LanguageTable::PrintErrorStoppedEntry).arg(result.target);
}

} // namespace vt
