// The sheet a cover prints on: papers, the page on the sheet in both orientations, a
// cover that crosses the printable area, the finished PDF and pictures cut short.
#include "app/CommandLine.h"
#include "lang/LanguageTable.h"
#include "platform/PictureLoading.h"
#include "print/CoverOutput.h"
#include "print/Sheet.h"

#include <QBuffer>
#include <QtTest>

#include <cmath>

using namespace vt;
Q_DECLARE_METATYPE(std::optional<PaperKind>)
Q_DECLARE_METATYPE(vt::CoverFit)
Q_DECLARE_METATYPE(vt::PrintCorrection)

namespace {

bool near(double a, double b, double tolerance = 0.005)
{
    return std::abs(a - b) <= tolerance;
}

PageOperation pictureAt(const QRectF &rect)
{
    return {PageOperation::Kind::Picture, PrintPicture::Picture1, rect, {}};
}

} // namespace

class TstSheet : public QObject
{
    Q_OBJECT
private slots:
    void paperNames_data();
    void paperNames();
    void pageOnTheSheet_data();
    void pageOnTheSheet();
    void coverFit_data();
    void coverFit();
    void correctionTurnsWithThePage_data();
    void correctionTurnsWithThePage();
    void pdfWithFailuresIsNotWritten_data();
    void pdfWithFailuresIsNotWritten();
    void finishPdfLeavesOtherFilesAlone();
    void finishPdfFollowsTheStructure_data();
    void finishPdfFollowsTheStructure();
    void jpegCutShort_data();
    void jpegCutShort();
    void commandLineOptions_data();
    void commandLineOptions();
};

void TstSheet::paperNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::optional<PaperKind>>("paper");
    QTest::addColumn<QSizeF>("sizeMm");
    QTest::newRow("a4") << "a4" << std::optional(PaperKind::A4) << QSizeF(210, 297);
    QTest::newRow("Letter, capital") << "Letter" << std::optional(PaperKind::Letter) << QSizeF(215.9, 279.4);
    QTest::newRow("LEGAL") << "LEGAL" << std::optional(PaperKind::Legal) << QSizeF(215.9, 355.6);
    QTest::newRow("a5 is not offered") << "a5" << std::optional<PaperKind>() << QSizeF();
    QTest::newRow("empty") << "" << std::optional<PaperKind>() << QSizeF();
}

void TstSheet::paperNames()
{
    QFETCH(QString, name);
    QFETCH(std::optional<PaperKind>, paper);
    QFETCH(QSizeF, sizeMm);
    QCOMPARE(paperFromName(name), paper);
    if (!paper)
        return;
    QCOMPARE(paperName(*paper), name.toLower());
    QCOMPARE(paperSizeMm(*paper), sizeMm);
}

void TstSheet::pageOnTheSheet_data()
{
    QTest::addColumn<QSizeF>("paper");
    QTest::addColumn<QMarginsF>("margins"); // left, top, right, bottom of the sheet
    QTest::addColumn<bool>("portrait");
    QTest::addColumn<QPointF>("origin");
    QTest::addColumn<QSizeF>("printable");
    QTest::addColumn<QSizeF>("pagePaper");
    // A4 with uneven margins: left 4.23, top 16.58, right 6, bottom 8.47.
    const QMarginsF uneven(4.23, 16.58, 6, 8.47);
    QTest::newRow("uneven, portrait") << QSizeF(210, 297) << uneven << true << QPointF(4.23, 16.58)
                                      << QSizeF(199.77, 271.95) << QSizeF(210, 297);
    // Turned +90°: the page's left is the sheet's bottom, its top the sheet's left, its
    // right the sheet's top, its bottom the sheet's right.
    QTest::newRow("uneven, landscape") << QSizeF(210, 297) << uneven << false << QPointF(8.47, 4.23)
                                       << QSizeF(271.95, 199.77) << QSizeF(297, 210);
    QTest::newRow("letter, no margins, landscape") << QSizeF(215.9, 279.4) << QMarginsF() << false
                                                   << QPointF(0, 0) << QSizeF(279.4, 215.9) << QSizeF(279.4, 215.9);
}

void TstSheet::pageOnTheSheet()
{
    QFETCH(QSizeF, paper);
    QFETCH(QMarginsF, margins);
    QFETCH(bool, portrait);
    QFETCH(QPointF, origin);
    QFETCH(QSizeF, printable);
    QFETCH(QSizeF, pagePaper);
    const PageGeometry g = pageGeometryOn(SheetMargins{paper, margins}, portrait, 10);
    const QString got = QStringLiteral("origin %1, %2; printable %3 x %4; paper %5 x %6")
                            .arg(g.originMm.x()).arg(g.originMm.y())
                            .arg(g.printableMm.width()).arg(g.printableMm.height())
                            .arg(g.paperMm.width()).arg(g.paperMm.height());
    QVERIFY2(near(g.originMm.x(), origin.x()) && near(g.originMm.y(), origin.y()), qPrintable(got));
    QVERIFY2(near(g.printableMm.width(), printable.width()) && near(g.printableMm.height(), printable.height()),
             qPrintable(got));
    QVERIFY2(near(g.paperMm.width(), pagePaper.width()) && near(g.paperMm.height(), pagePaper.height()),
             qPrintable(got));
    QCOMPARE(g.dotsPerMm, 10.0);
    QVERIFY(g.correction.isIdentity());
}

void TstSheet::coverFit_data()
{
    QTest::addColumn<QRectF>("picture");
    QTest::addColumn<QRectF>("footer");
    QTest::addColumn<CoverFit>("fit");
    // Against an A4 PDF page, portrait: printable 200 x 287 from 5, 5.
    const QRectF footer(70, 279, 60, 3);
    QTest::newRow("jewel case front") << QRectF(40, 19.5, 120, 120) << footer << CoverFit::Inside;
    QTest::newRow("touching the printable edge") << QRectF(0, 0, 200, 287) << footer << CoverFit::Inside;
    QTest::newRow("0.1 mm into the right margin") << QRectF(80.1, 10, 120, 120) << footer << CoverFit::CrossesPrintable;
    QTest::newRow("above the printable area") << QRectF(10, -3, 120, 120) << footer << CoverFit::CrossesPrintable;
    QTest::newRow("a DVD wrap on portrait A4") << QRectF(6.5, 8.5, 274, 183) << footer << CoverFit::CrossesPaper;
    QTest::newRow("a footer outside does not count") << QRectF(40, 19.5, 120, 120) << QRectF(70, 290, 60, 3)
                                                     << CoverFit::Inside;
}

void TstSheet::coverFit()
{
    QFETCH(QRectF, picture);
    QFETCH(QRectF, footer);
    QFETCH(CoverFit, fit);
    PrintComposition page;
    page.operations << pictureAt(picture) << PageOperation{PageOperation::Kind::Box, {}, picture, {}}
                    << PageOperation{PageOperation::Kind::Text, {}, footer, QStringLiteral("footer")};
    const PageGeometry g = pageGeometryOn(pdfSheet(PaperKind::A4), true, 1);
    QCOMPARE(vt::coverFit(page, g), fit);

    // The print dialog's drawing: the cover's pieces on the paper, the footer left out.
    const SheetView view = sheetViewOf(g, page);
    QCOMPARE(view.paperMm, QSizeF(210, 297));
    QCOMPARE(view.printableMm, QRectF(5, 5, 200, 287));
    QCOMPARE(view.coverMm, (QList<QRectF>{picture.translated(5, 5), picture.translated(5, 5)}));
    QCOMPARE(view.offPrintable, fit != CoverFit::Inside);
    QCOMPARE(view.offPaper, fit == CoverFit::CrossesPaper);
}

void TstSheet::correctionTurnsWithThePage_data()
{
    QTest::addColumn<bool>("portrait");
    QTest::addColumn<PrintCorrection>("onPage");
    // Measured upright: 1.5 mm too far right, 2 mm too high, 1 % too wide, 1 % too short.
    QTest::newRow("portrait: as measured") << true << PrintCorrection{1.5, -2, 101, 99};
    // Landscape: the page's X runs up the sheet and its Y to the sheet's right.
    QTest::newRow("landscape: turned") << false << PrintCorrection{2, 1.5, 99, 101};
}

void TstSheet::correctionTurnsWithThePage()
{
    QFETCH(bool, portrait);
    QFETCH(PrintCorrection, onPage);
    QCOMPARE(correctionOnPage(PrintCorrection{1.5, -2, 101, 99}, portrait), onPage);
}

void TstSheet::pdfWithFailuresIsNotWritten_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("a position out of range") << "position" << "out of range";
    QTest::newRow("a missing picture") << "picture" << "picture 1 is missing";
}

void TstSheet::pdfWithFailuresIsNotWritten()
{
    QFETCH(QString, failure);
    QFETCH(QString, mentions);
    const PageComposer compose = [&](QSizeF, const TextMeasure &) {
        PrintComposition page;
        page.operations << pictureAt(QRectF(10, 10, 50, 50));
        if (failure == "position")
            page.failures << QStringLiteral("print position X \"1e12\" is out of range");
        return page;
    };
    PagePictures pictures;
    if (failure != "picture") {
        pictures[0] = QImage(30, 30, QImage::Format_RGB32);
        pictures[0].fill(Qt::red);
    }
    QByteArray pdf("earlier bytes");
    const OutputResult r = renderCoverPdf(pdf, PageSetup(), compose, pictures);
    QVERIFY(!r.produced);
    QVERIFY(pdf.isEmpty());
    QVERIFY2(r.failures.join(u';').contains(mentions), qPrintable(r.failures.join(u';')));

    // And written to a file: no file at all, and the user is told it was not written and why.
    QTemporaryDir dir;
    const QString path = dir.filePath("cover.pdf");
    const OutputResult written = writeCoverPdf(path, PageSetup(), compose, pictures);
    QVERIFY(!written.produced);
    QVERIFY(!QFile::exists(path));
    const QString told = outputErrorText(LanguageTable(), written);
    QVERIFY2(told.startsWith("The cover was not printed") && told.contains(path) && told.contains(mentions),
             qPrintable(told));
}

void TstSheet::finishPdfLeavesOtherFilesAlone()
{
    for (const QByteArray &other : {QByteArray("%PDF-1.4\nnot really\n%%EOF\n"), QByteArray(),
                                    QByteArray("trailer << /Size 3 /Root 1 0 R >>\nstartxref\n9\n%%EOF\n")}) {
        QByteArray pdf = other;
        QVERIFY(!finishPdf(pdf, QSizeF(595.2756, 841.8898)));
        QCOMPARE(pdf, other);
    }
}

namespace {

// A one-page PDF as a writer makes it, with its cross-reference table worked out from
// the objects as given.
QByteArray handMadePdf(const QList<QByteArray> &objects, qsizetype tableShift = 0, const QByteArray &end = "")
{
    QByteArray pdf("%PDF-1.4\n");
    QByteArray table = "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const QByteArray &object : objects) {
        table += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += object;
    }
    const qsizetype at = pdf.size();
    pdf += table + "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
        + QByteArray::number(at + tableShift) + "\n%%EOF\n" + end;
    return pdf;
}

} // namespace

void TstSheet::finishPdfFollowsTheStructure_data()
{
    QTest::addColumn<QByteArray>("pdf");
    QTest::addColumn<QByteArray>("update"); // empty: left alone
    const QByteArray catalog = "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";
    const QByteArray tree = "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n";
    const QByteArray page = "3 0 obj\n<< /Type /Page /Parent 2 0 R /Contents 4 0 R /MediaBox [0 0 595 842] >>\nendobj\n";
    const QByteArray drawing = "4 0 obj\n<< /Length 0 >>\nstream\n\nendstream\nendobj\n";
    // The file is 414 bytes: the update's objects start there, and its table at 683.
    QTest::newRow("as written") << handMadePdf({catalog, tree, page, drawing})
                                << QByteArray("1 0 obj\n<< /Type /Catalog /Pages 2 0 R /ViewerPreferences << /PrintScaling /None >>\n>>\nendobj\n"
                                              "3 0 obj\n<< /Type /Page /Parent 2 0 R /Contents [5 0 R 4 0 R] /MediaBox [0 0 595.2756 841.8898] >>\nendobj\n"
                                              "5 0 obj\n<< /Length 21 >>\nstream\n1 0 0 1 0 -0.1102 cm\nendstream\nendobj\n"
                                              "xref\n1 1\n0000000414 00000 n \n3 1\n0000000508 00000 n \n5 1\n0000000613 00000 n \n"
                                              "trailer\n<< /Size 6 /Root 1 0 R /Prev 251 >>\nstartxref\n683\n%%EOF\n");
    QTest::newRow("startxref beside the table") << handMadePdf({catalog, tree, page, drawing}, 1) << QByteArray();
    QTest::newRow("bytes after the end") << handMadePdf({catalog, tree, page, drawing}, 0, "junk") << QByteArray();
    QTest::newRow("no page tree") << handMadePdf({"1 0 obj\n<< /Type /Catalog >>\nendobj\n", tree, page, drawing})
                                  << QByteArray();
    QTest::newRow("the kid is a page tree")
        << handMadePdf({catalog, "2 0 obj\n<< /Type /Pages /Kids [2 0 R] /Count 1 >>\nendobj\n", page, drawing})
        << QByteArray();
    QTest::newRow("the page has no box")
        << handMadePdf({catalog, tree, "3 0 obj\n<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>\nendobj\n", drawing})
        << QByteArray();
    // The table says where object 3 is; another number there means the table is wrong.
    QTest::newRow("the table points at another object")
        << handMadePdf({catalog, tree, QByteArray(page).replace("3 0 obj", "6 0 obj"), drawing}) << QByteArray();
}

void TstSheet::finishPdfFollowsTheStructure()
{
    QFETCH(QByteArray, pdf);
    QFETCH(QByteArray, update);
    QByteArray finished = pdf;
    QCOMPARE(finishPdf(finished, QSizeF(595.2756, 841.8898)), !update.isEmpty());
    QCOMPARE(finished, pdf + update);
}

void TstSheet::jpegCutShort_data()
{
    QTest::addColumn<double>("kept"); // share of the file's bytes kept
    QTest::addColumn<bool>("thumbnail"); // a small JPEG inside an EXIF segment at the start
    QTest::addColumn<QByteArray>("appended"); // bytes added after the cut
    QTest::addColumn<bool>("loads");
    QTest::newRow("whole") << 1.0 << false << QByteArray() << true;
    QTest::newRow("cut at 60 %") << 0.6 << false << QByteArray() << false;
    QTest::newRow("only the end marker missing") << -2.0 << false << QByteArray() << false;
    QTest::newRow("bytes after the end marker") << 1.0 << false << QByteArray("\0\0padding\xFF\0", 11) << true;
    QTest::newRow("thumbnail, whole") << 1.0 << true << QByteArray() << true;
    QTest::newRow("thumbnail, cut at 60 %") << 0.6 << true << QByteArray() << false;
    QTest::newRow("thumbnail, only the end marker missing") << -2.0 << true << QByteArray() << false;
}

void TstSheet::jpegCutShort()
{
    QFETCH(double, kept);
    QFETCH(bool, thumbnail);
    QFETCH(QByteArray, appended);
    QFETCH(bool, loads);
    auto jpeg = [](int width, int height) {
        QImage picture(width, height, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPEG", 90);
        return bytes;
    };
    QByteArray bytes = jpeg(400, 300);
    QVERIFY(bytes.startsWith("\xFF\xD8") && bytes.endsWith("\xFF\xD9"));
    if (thumbnail) {
        // APP1 "Exif": a big-endian TIFF header, an empty first directory, then the
        // thumbnail with its own scan and end marker.
        const QByteArray small = jpeg(16, 12);
        const QByteArray exif = QByteArray("Exif\0\0MM\0\x2A\0\0\0\x08\0\0\0\0\0\0", 20) + small;
        const int length = int(exif.size()) + 2;
        QVERIFY(length < 65536);
        QByteArray segment("\xFF\xE1");
        segment += char(length >> 8);
        segment += char(length & 0xFF);
        bytes.insert(2, segment + exif);
    }
    if (kept < 0)
        bytes.chop(int(-kept));
    else
        bytes.truncate(qsizetype(bytes.size() * kept));
    bytes += appended;
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const QImage loaded = loadPicture(path);
    QCOMPARE(!loaded.isNull(), loads);
    if (loads)
        QCOMPARE(loaded.size(), QSize(400, 300));
}

void TstSheet::commandLineOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<std::optional<PaperKind>>("paper");
    QTest::addColumn<int>("quality");
    QTest::addColumn<bool>("force");
    const std::optional<PaperKind> none;
    QTest::newRow("export on letter") << QStringList{"--export-pdf", "o.pdf", "--paper", "letter", "p.vtr"} << true
                                      << std::optional(PaperKind::Letter) << 0 << false;
    QTest::newRow("print on legal, forced, high") << QStringList{"--print", "p.vtr", "--paper=Legal", "--force",
                                                                 "--quality", "high"}
                                                  << true << std::optional(PaperKind::Legal) << 5 << true;
    QTest::newRow("print in draft") << QStringList{"--print", "p.vtr", "--quality", "draft"} << true << none << 3
                                    << false;
    QTest::newRow("normal quality") << QStringList{"--print", "p.vtr", "--quality", "normal"} << true << none << 4
                                    << false;
    QTest::newRow("a5 refused") << QStringList{"--export-pdf", "o.pdf", "--paper", "a5", "p.vtr"} << false << none
                                << 0 << false;
    QTest::newRow("unknown quality") << QStringList{"--print", "p.vtr", "--quality", "best"} << false << none << 0
                                     << false;
    QTest::newRow("quality is for printing") << QStringList{"--export-pdf", "o.pdf", "--quality", "high", "p.vtr"}
                                             << false << none << 0 << false;
}

void TstSheet::commandLineOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, usable);
    QFETCH(std::optional<PaperKind>, paper);
    QFETCH(int, quality);
    QFETCH(bool, force);
    const CommandLine c = parseCommandLine(arguments, [](const QString &) { return false; });
    QCOMPARE(c.mode != CommandLine::Mode::UsageError, usable);
    if (!usable) {
        QVERIFY(!c.error.isEmpty());
        return;
    }
    QCOMPARE(c.paper, paper);
    QCOMPARE(c.quality, quality);
    QCOMPARE(c.force, force);
}

QTEST_MAIN(TstSheet)
#include "tst_sheet.moc"
