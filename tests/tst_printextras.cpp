// Printing extras: the calibration page, a printer's correction and where it is kept,
// crop marks and bleed, and the command line's options for them.
#include "PageOperations.h"
#include "PdfPage.h"

#include "print/CalibrationPage.h"
#include "print/CutExtras.h"
#include "print/PagePainter.h"
#include "print/PrintCorrections.h"

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace vt;
using Kind = PageOperation::Kind;

Q_DECLARE_METATYPE(vt::PrintCorrection)
Q_DECLARE_METATYPE(vt::PageOperation)

namespace {

// A line as a normalised pair of end points, so either direction compares equal.
QLineF unordered(const QRectF &r)
{
    QPointF a = r.topLeft(), b = r.bottomRight();
    if (std::make_pair(b.x(), b.y()) < std::make_pair(a.x(), a.y()))
        std::swap(a, b);
    return {a, b};
}

QImage whitePage(QSizeF paperMm, double pxPerMm)
{
    QImage page((paperMm * pxPerMm).toSize(), QImage::Format_RGB32);
    page.fill(Qt::white);
    return page;
}

QImage solid(QColor c, QSize size = {300, 200})
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

bool isColour(QRgb p, QColor c)
{
    return std::abs(qRed(p) - c.red()) < 100 && std::abs(qGreen(p) - c.green()) < 100
           && std::abs(qBlue(p) - c.blue()) < 100;
}

// Where a colour begins and ends along a row or a column, in millimetres: the first and
// last pixel at least half covered by it.
std::pair<double, double> runOf(const QImage &img, double pxPerMm, bool row, double atMm, QColor c)
{
    const int at = int(atMm * pxPerMm);
    const int n = row ? img.width() : img.height();
    int first = -1, last = -1;
    for (int i = 0; i < n; ++i) {
        const QRgb p = row ? img.pixel(i, at) : img.pixel(at, i);
        if (isColour(p, c)) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return {-1, -1};
    return {first / pxPerMm, (last + 1) / pxPerMm};
}

struct RunResult
{
    int code = -1;
    QString err;
};

RunResult runProgram(const QStringList &args, const QString &workingDirectory = QString())
{
    QProcess p;
    if (!workingDirectory.isEmpty())
        p.setWorkingDirectory(workingDirectory);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VT_RUN_DIR) + "/vantrelo", args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}


PageOperation picture(PrintPicture which, QRectF rect)
{
    return {Kind::Picture, which, rect, {}};
}

} // namespace

class TstPrintExtras : public QObject
{
    Q_OBJECT
private slots:
    void calibrationRulerTicks_data();
    void calibrationRulerTicks();
    void calibrationSquareAndTexts();
    void calibrationTooSmallSaysSo();

    void correctionMovesAndStretches_data();
    void correctionMovesAndStretches();

    void correctionFileRoundTrip_data();
    void correctionFileRoundTrip();
    void brokenCorrectionFiles_data();
    void brokenCorrectionFiles();
    void unwritableCorrectionFile();

    void cropMarksOutsideTheCover_data();
    void cropMarksOutsideTheCover();
    void bleedMargins_data();
    void bleedMargins();
    void bleedRendered();
    void nothingAddedWhenOff();

    void commandLineTestPagePdf();
    void commandLineUsage_data();
    void commandLineUsage();
    void commandLineBleedAndMarksInThePdf_data();
    void commandLineBleedAndMarksInThePdf();
};

void TstPrintExtras::calibrationRulerTicks_data()
{
    QTest::addColumn<bool>("top");
    QTest::addColumn<int>("mm");
    QTest::addColumn<double>("length"); // 0: no tick
    // Printable area 200 x 287 mm: ticks every mm, 3.5 mm every 5, 5 mm every 10.
    QTest::newRow("top 0") << true << 0 << 5.0;
    QTest::newRow("top 1") << true << 1 << 2.0;
    QTest::newRow("top 5") << true << 5 << 3.5;
    QTest::newRow("top 37") << true << 37 << 2.0;
    QTest::newRow("top 190") << true << 190 << 5.0;
    QTest::newRow("top 200, the last") << true << 200 << 5.0;
    QTest::newRow("top 201, past the area") << true << 201 << 0.0;
    QTest::newRow("left 0") << false << 0 << 5.0;
    QTest::newRow("left 3, in the top ruler's corner") << false << 3 << 0.0;
    QTest::newRow("left 6") << false << 6 << 2.0;
    QTest::newRow("left 45") << false << 45 << 3.5;
    QTest::newRow("left 286") << false << 286 << 2.0;
    QTest::newRow("left 287, the last") << false << 287 << 2.0;
    QTest::newRow("left 288, past the area") << false << 288 << 0.0;
}

void TstPrintExtras::calibrationRulerTicks()
{
    QFETCH(bool, top);
    QFETCH(int, mm);
    QFETCH(double, length);
    const PrintComposition page =
        composeCalibrationPage("Office", QDate(2026, 3, 7), QSizeF(200, 287), fixedMeasure);
    // A tick starts at the area's edge and runs into the page.
    const QLineF expected = top ? QLineF(mm, 0, mm, length) : QLineF(0, mm, length, mm);
    int found = 0;
    for (const PageOperation &op : ofKind(page, Kind::Line)) {
        const QLineF l = unordered(op.rect);
        const bool atEdge = top ? (l.y1() == 0 && l.x1() == mm && l.x2() == mm)
                                : (l.x1() == 0 && l.y1() == mm && l.y2() == mm);
        if (atEdge) {
            ++found;
            QCOMPARE(l, expected);
        }
    }
    QCOMPARE(found, length > 0 ? 1 : 0);
}

void TstPrintExtras::calibrationSquareAndTexts()
{
    const QString name = QStringLiteral("Office [A4]=1");
    const TextMeasure measure = [](const QString &text) { return QSizeF(1.5 * text.size(), 3); };
    const PrintComposition page = composeCalibrationPage(name, QDate(2026, 3, 7), QSizeF(200, 287), measure);
    QVERIFY(page.failures.isEmpty());
    const QList<PageOperation> boxes = ofKind(page, Kind::Box);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].rect, QRectF(30, 30, 100, 100));
    const QList<PageOperation> lines = ofKind(page, Kind::Line);
    QList<QLineF> all;
    for (const PageOperation &op : lines)
        all << unordered(op.rect);
    QVERIFY(all.contains(QLineF(80, 30, 80, 130)));
    QVERIFY(all.contains(QLineF(30, 80, 130, 80)));
    // 201 ticks across, 288 down less the 5 in the corner, the two crosshairs.
    QCOMPARE(lines.size(), 201 + 283 + 2);

    QStringList texts;
    QList<QPointF> at;
    for (const PageOperation &op : ofKind(page, Kind::Text)) {
        texts << op.text;
        at << op.rect.topLeft();
    }
    QVERIFY(texts.contains("Printer: Office [A4]=1"));
    QVERIFY(texts.contains("Date: 2026-03-07"));
    QVERIFY(texts.contains("Square: 30 mm from the left, 30 mm from the top of the printable area"));
    // Numbers every 10 mm beside the long ticks: 20 across (10..200), 28 down (10..280).
    QCOMPARE(texts.count("10"), 2);
    QCOMPARE(texts.count("200"), 2);
    QCOMPARE(texts.count("210"), 1);
    QCOMPARE(texts.count("280"), 1);
    QVERIFY(!texts.contains("290") && !texts.contains("0"));
    // Centred under the ticks, 4.5 mm wide; "200" would end past the area's 200 mm and
    // ends at its edge instead.
    QCOMPARE(at[texts.indexOf("190")], QPointF(187.75, 5.6));
    QCOMPARE(at[texts.indexOf("200")], QPointF(195.5, 5.6));
    // The texts stay below the square and inside the area.
    const int printer = texts.indexOf("Printer: Office [A4]=1");
    QVERIFY(at[printer].y() > 130 && at[printer].y() < 287 - 3);

    // A name with a line break stays on one line.
    const PrintComposition odd = composeCalibrationPage("two\nlines", QDate(2026, 3, 7), QSizeF(200, 287), fixedMeasure);
    for (const PageOperation &op : ofKind(odd, Kind::Text))
        QVERIFY(!op.text.contains(u'\n'));
}

void TstPrintExtras::calibrationTooSmallSaysSo()
{
    const PrintComposition page = composeCalibrationPage("Label", QDate(2026, 3, 7), QSizeF(100, 140), fixedMeasure);
    QCOMPARE(page.failures.size(), 1);
    // A nonsense area draws no rulers rather than millions of ticks.
    const PrintComposition huge = composeCalibrationPage("x", QDate(2026, 3, 7), QSizeF(1e9, -5), fixedMeasure);
    QVERIFY(ofKind(huge, Kind::Line).size() <= 1001 + 2);
}

void TstPrintExtras::correctionMovesAndStretches_data()
{
    QTest::addColumn<PrintCorrection>("correction");
    QTest::addColumn<QRectF>("expected"); // edges of the red picture on the sheet, mm
    // Printable corner at (10, 8) on the sheet, the picture at (20, 30), 100 x 50 mm.
    QTest::newRow("none") << PrintCorrection{} << QRectF(QPointF(30, 38), QPointF(130, 88));
    // 10 + 1.5 + 20 x 1.01 = 31.7; 8 + 1.5 + 30 x 1.01 = 39.8; 10 + 1.5 + 120 x 1.01 = 132.7;
    // 8 + 1.5 + 80 x 1.01 = 90.3
    QTest::newRow("+1.5 mm, 101 %") << PrintCorrection{1.5, 1.5, 101, 101}
                                    << QRectF(QPointF(31.7, 39.8), QPointF(132.7, 90.3));
    // 10 - 2 + 20 x 0.99 = 27.8; 8 + 3 + 30 x 1.02 = 41.6; 10 - 2 + 120 x 0.99 = 126.8;
    // 8 + 3 + 80 x 1.02 = 92.6
    QTest::newRow("-2 / +3 mm, 99 / 102 %") << PrintCorrection{-2, 3, 99, 102}
                                            << QRectF(QPointF(27.8, 41.6), QPointF(126.8, 92.6));
}

void TstPrintExtras::correctionMovesAndStretches()
{
    QFETCH(PrintCorrection, correction);
    QFETCH(QRectF, expected);
    const double pxPerMm = 20;
    QImage page = whitePage({150, 100}, pxPerMm);
    PrintComposition composition;
    composition.operations << picture(PrintPicture::Picture1, QRectF(20, 30, 100, 50));
    PagePictures pictures;
    pictures[size_t(PrintPicture::Picture1)] = solid(Qt::red);
    PageGeometry g{{10, 8}, {130, 84}, pxPerMm, {150, 100}, correction};
    QStringList failures;
    {
        QPainter painter(&page);
        paintPage(painter, g, composition, pictures, failures);
    }
    QVERIFY(failures.isEmpty());
    const auto [left, right] = runOf(page, pxPerMm, true, 60, Qt::red);
    const auto [top, bottom] = runOf(page, pxPerMm, false, 80, Qt::red);
    const QString where = QString("found (%1, %2)-(%3, %4)").arg(left).arg(top).arg(right).arg(bottom);
    // Half a pixel at 20 px/mm either way.
    auto near = [](double a, double b) { return std::abs(a - b) <= 0.05; };
    QVERIFY2(near(left, expected.left()) && near(right, expected.right()) && near(top, expected.top())
                 && near(bottom, expected.bottom()),
             qPrintable(where));
}

void TstPrintExtras::correctionFileRoundTrip_data()
{
    QTest::addColumn<QString>("printer");
    QTest::newRow("plain") << "Office";
    QTest::newRow("equals and brackets") << "HP=LaserJet [A4]";
    QTest::newRow("line break") << "first\nsecond";
    QTest::newRow("semicolon and percent") << "a;b%20c";
    QTest::newRow("comment sign first") << "#1";
    QTest::newRow("blanks and unicode") << " Drucker Büro 打印机 ";
    QTest::newRow("carriage return and tab") << "a\r\tb";
}

void TstPrintExtras::correctionFileRoundTrip()
{
    QFETCH(QString, printer);
    QTemporaryDir dir;
    const QString file = dir.filePath("sub/PrinterCorrections.ini");
    const PrintCorrection mine{1.5, -2.25, 101, 99.5};
    const PrintCorrection other{-0.5, 0.75, 96, 104};
    QString error;
    QVERIFY2(writePrintCorrection(file, "Other", other, &error), qPrintable(error));
    QVERIFY2(writePrintCorrection(file, printer, mine, &error), qPrintable(error));
    QCOMPARE(readPrintCorrection(file, printer), mine);
    QCOMPARE(readPrintCorrection(file, "Other"), other);
    // A name that is a prefix or part of the other is another printer.
    QCOMPARE(readPrintCorrection(file, printer + "x"), PrintCorrection{});

    // Out of range is stored clamped; the other printer is kept.
    QVERIFY(writePrintCorrection(file, printer, {25, -30, 110, 90}, &error));
    QCOMPARE(readPrintCorrection(file, printer), (PrintCorrection{20, -20, 105, 95}));
    QCOMPARE(readPrintCorrection(file, "Other"), other);

    // Back to none: the printer reads as none, the other is still there.
    QVERIFY(writePrintCorrection(file, printer, {}, &error));
    QCOMPARE(readPrintCorrection(file, printer), PrintCorrection{});
    QCOMPARE(readPrintCorrection(file, "Other"), other);
}

void TstPrintExtras::brokenCorrectionFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // "fifo", "folder", "none": not a file
    QTest::addColumn<PrintCorrection>("expected"); // for the printer "Office"
    const PrintCorrection none;
    QTest::newRow("missing") << QByteArray("none") << none;
    QTest::newRow("folder") << QByteArray("folder") << none;
    QTest::newRow("pipe") << QByteArray("fifo") << none;
    QTest::newRow("empty") << QByteArray() << none;
    QTest::newRow("good") << QByteArray("Office=1;2;101;99\r\n") << PrintCorrection{1, 2, 101, 99};
    QTest::newRow("without line end, LF file")
        << QByteArray("x=1;1;100;100\nOffice=-1.25;0;100;97.5") << PrintCorrection{-1.25, 0, 100, 97.5};
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe=\x01;\x02\n\x00Office\x00=1;2;3;4", 30) << none;
    QTest::newRow("three values") << QByteArray("Office=1;2;101\n") << none;
    QTest::newRow("five values") << QByteArray("Office=1;2;101;99;5\n") << none;
    QTest::newRow("not numbers") << QByteArray("Office=nan;inf;101;99\n") << none;
    QTest::newRow("decimal comma") << QByteArray("Office=1,5;2;101;99\n") << none;
    QTest::newRow("out of range, clamped") << QByteArray("Office=100;-1e300;200;1\n")
                                           << PrintCorrection{20, -20, 105, 95};
    QTest::newRow("exponent too large") << QByteArray("Office=1e999;0;100;100\n") << none;
    QTest::newRow("no name") << QByteArray("=1;2;101;99\n") << none;
    QTest::newRow("huge, entry first") << QByteArray("Office=3;4;102;98\n") + QByteArray(3 << 20, 'x')
                                       << PrintCorrection{3, 4, 102, 98};
    QTest::newRow("huge, entry past the cap") << QByteArray(3 << 20, 'x') + "\nOffice=3;4;102;98\n" << none;
}

void TstPrintExtras::brokenCorrectionFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(PrintCorrection, expected);
    QTemporaryDir dir;
    const QString file = dir.filePath("PrinterCorrections.ini");
    if (content == "folder") {
        QVERIFY(QDir().mkdir(file));
    } else if (content == "fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    } else if (content != "none") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(readPrintCorrection(file, "Office"), expected);
    QVERIFY(clock.elapsed() < 2000);

    // Writing into it keeps a good entry of another printer and mends the rest.
    if (content == "folder" || content == "fifo") {
        QString error;
        QVERIFY(!writePrintCorrection(file, "Office", {1, 1, 100, 100}, &error));
        QVERIFY(!error.isEmpty());
        return;
    }
    QVERIFY(writePrintCorrection(file, "New", {0.5, 0, 100, 100}));
    QCOMPARE(readPrintCorrection(file, "Office"), expected);
    QCOMPARE(readPrintCorrection(file, "New"), (PrintCorrection{0.5, 0, 100, 100}));
    QVERIFY(QFileInfo(file).size() < 1000);
}

void TstPrintExtras::unwritableCorrectionFile()
{
    QString error;
    QVERIFY(!writePrintCorrection("/dev/null/PrinterCorrections.ini", "Office", {1, 1, 100, 100}, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!writePrintCorrection(QDir::tempPath() + "/c.ini", QString(), {1, 1, 100, 100}, &error));
}

void TstPrintExtras::cropMarksOutsideTheCover_data()
{
    QTest::addColumn<QList<PageOperation>>("cover");
    QTest::addColumn<QList<QLineF>>("someMarks"); // marks that must be there
    QTest::addColumn<QList<QLineF>>("noMarks");   // marks that must not (they would cross a picture)
    QTest::addColumn<int>("count");

    using P = PrintPicture;
    // A jewel case: the booklet 121 x 120 at (5, 5), the back 151 x 118 at (5, 128).
    QTest::newRow("jewel")
        << QList<PageOperation>{picture(P::Picture1, QRectF(5, 5, 121, 120)),
                                picture(P::Picture2, QRectF(5, 128, 151, 118)),
                                {Kind::Box, {}, QRectF(5, 128, 151, 118), {}},
                                {Kind::Box, {}, QRectF(5, 5, 121, 120), {}}}
        // Booklet: top-left across from x 3 to -1, up from y 3 to -1; bottom-right across
        // 128..132 at y 125. Back: bottom-right across 158..162 at y 246, down 248..252.
        << QList<QLineF>{QLineF(-1, 5, 3, 5), QLineF(5, -1, 5, 3), QLineF(128, 125, 132, 125),
                         QLineF(158, 246, 162, 246), QLineF(156, 248, 156, 252)}
        // Down from the booklet's bottom corners (127..131) is the back (x 5..156, from
        // y 128); up from the back's top-left corner (126..122) is the booklet.
        << QList<QLineF>{QLineF(5, 127, 5, 131), QLineF(126, 127, 126, 131), QLineF(5, 122, 5, 126)}
        << 16 - 3;
    // Slim case: back 10..147, spine 140..154, front 147..284, all 12..195: one cut.
    QTest::newRow("slim")
        << QList<PageOperation>{picture(P::SlimBack, QRectF(10, 12, 137, 183)),
                                picture(P::SlimSpine, QRectF(140, 12, 14, 183)),
                                picture(P::SlimFront, QRectF(147, 12, 137, 183))}
        << QList<QLineF>{QLineF(4, 12, 8, 12), QLineF(10, 6, 10, 10), QLineF(286, 12, 290, 12),
                         QLineF(284, 6, 284, 10), QLineF(4, 195, 8, 195), QLineF(10, 197, 10, 201),
                         QLineF(286, 195, 290, 195), QLineF(284, 197, 284, 201)}
        << QList<QLineF>{QLineF(145, 12, 149, 12), QLineF(149, 12, 153, 12)} << 8;
    // A disc label: the square around the circle, 117 mm at (5, 47); the hole label
    // beside it, 41 at (130, 47) - 4 mm apart, so marks between them would cross.
    QTest::newRow("disc")
        << QList<PageOperation>{picture(P::Picture1, QRectF(5, 47, 117, 117)),
                                picture(P::Picture2, QRectF(126, 47, 41, 41)),
                                {Kind::Circle, {}, QRectF(126, 47, 41, 41), {}},
                                {Kind::Circle, {}, QRectF(5, 47, 117, 117), {}}}
        << QList<QLineF>{QLineF(-1, 47, 3, 47), QLineF(5, 41, 5, 45), QLineF(122, 166, 122, 170),
                         QLineF(169, 88, 173, 88), QLineF(167, 90, 167, 94)}
        // The big disc's top-right mark across (124..128) runs along the small one's top
        // edge; the small one's left marks across (124..120) along the big one's top edge
        // and through it at y 88.
        << QList<QLineF>{QLineF(124, 47, 128, 47), QLineF(120, 47, 124, 47), QLineF(120, 88, 124, 88)} << 16 - 3;
}

void TstPrintExtras::cropMarksOutsideTheCover()
{
    QFETCH(QList<PageOperation>, cover);
    QFETCH(QList<QLineF>, someMarks);
    QFETCH(QList<QLineF>, noMarks);
    QFETCH(int, count);
    PrintComposition page;
    page.operations = cover;
    const PrintComposition marked = withCutExtras(page, true, 0);
    // The cover itself is untouched and first; the marks come after it.
    QCOMPARE(marked.operations.mid(0, cover.size()), cover);
    const QList<PageOperation> lines = ofKind(marked, Kind::Line);
    QCOMPARE(lines.size(), count);
    QList<QLineF> found;
    for (const PageOperation &op : lines) {
        const QLineF l = unordered(op.rect);
        found << l;
        QCOMPARE(l.length(), 4.0);
        QVERIFY(l.dx() == 0 || l.dy() == 0);
        // Half the line's width around it stays off every picture.
        const QRectF ink = QRectF(l.p1(), l.p2()).normalized().adjusted(-0.05, -0.05, 0.05, 0.05);
        for (const PageOperation &op2 : cover)
            if (op2.kind == Kind::Picture)
                QVERIFY2(!ink.intersects(op2.rect), qPrintable(QString("%1,%2-%3,%4").arg(l.x1()).arg(l.y1()).arg(l.x2()).arg(l.y2())));
    }
    for (const QLineF &l : someMarks)
        QVERIFY2(found.contains(unordered(QRectF(l.p1(), l.p2()))),
                 qPrintable(QString("missing %1,%2-%3,%4").arg(l.x1()).arg(l.y1()).arg(l.x2()).arg(l.y2())));
    for (const QLineF &l : noMarks)
        QVERIFY(!found.contains(unordered(QRectF(l.p1(), l.p2()))));
}

void TstPrintExtras::bleedMargins_data()
{
    QTest::addColumn<QList<PageOperation>>("cover");
    QTest::addColumn<double>("bleed");
    QTest::addColumn<QList<QMarginsF>>("expected"); // per picture, in order
    using P = PrintPicture;
    QTest::newRow("one picture") << QList<PageOperation>{picture(P::Picture1, QRectF(5, 5, 121, 120))} << 2.0
                                 << QList<QMarginsF>{{2, 2, 2, 2}};
    QTest::newRow("above 3 is 3") << QList<PageOperation>{picture(P::Picture1, QRectF(5, 5, 121, 120))} << 7.0
                                  << QList<QMarginsF>{{3, 3, 3, 3}};
    // The spine and the front's left edge lie inside the cover: no bleed there.
    QTest::newRow("slim")
        << QList<PageOperation>{picture(P::SlimBack, QRectF(10, 12, 137, 183)),
                                picture(P::SlimSpine, QRectF(140, 12, 14, 183)),
                                picture(P::SlimFront, QRectF(147, 12, 137, 183))}
        << 3.0 << QList<QMarginsF>{{3, 3, 0, 3}, {0, 3, 0, 3}, {0, 3, 3, 3}};
    // Two pieces 3 mm apart: each reaches only to the middle of the gap, 1.5 mm.
    QTest::newRow("close pieces")
        << QList<PageOperation>{picture(P::Picture1, QRectF(5, 5, 121, 120)),
                                picture(P::Picture2, QRectF(5, 128, 151, 118))}
        << 2.5 << QList<QMarginsF>{{2.5, 2.5, 2.5, 1.5}, {2.5, 1.5, 2.5, 2.5}};
}

void TstPrintExtras::bleedMargins()
{
    QFETCH(QList<PageOperation>, cover);
    QFETCH(double, bleed);
    QFETCH(QList<QMarginsF>, expected);
    PrintComposition page;
    page.operations = cover;
    const QList<PageOperation> pictures = ofKind(withCutExtras(page, false, bleed), Kind::Picture);
    QCOMPARE(pictures.size(), expected.size());
    for (int k = 0; k < pictures.size(); ++k) {
        QCOMPARE(pictures[k].rect, cover[k].rect);
        QCOMPARE(pictures[k].bleedMm, expected[k]);
    }
}

void TstPrintExtras::bleedRendered()
{
    // A picture red on its left half, green on its right, 100 x 50 mm at (20, 30) from a
    // corner at (10, 10); with its outline. Then a slim case, its spine green.
    const double pxPerMm = 20;
    QImage halves(200, 100, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < 100; ++y)
        for (int x = 100; x < 200; ++x)
            halves.setPixel(x, y, qRgb(0, 255, 0));
    PagePictures pictures;
    pictures[size_t(PrintPicture::Picture1)] = halves;
    pictures[size_t(PrintPicture::SlimBack)] = solid(Qt::red);
    pictures[size_t(PrintPicture::SlimSpine)] = solid(Qt::green);
    pictures[size_t(PrintPicture::SlimFront)] = solid(Qt::blue);
    PrintComposition page;
    page.operations << picture(PrintPicture::Picture1, QRectF(20, 30, 100, 50))
                    << PageOperation{Kind::Box, {}, QRectF(20, 30, 100, 50), {}}
                    << picture(PrintPicture::SlimBack, QRectF(20, 100, 40, 30))
                    << picture(PrintPicture::SlimSpine, QRectF(55, 100, 20, 30))
                    << picture(PrintPicture::SlimFront, QRectF(60, 100, 40, 30));
    QImage img = whitePage({150, 150}, pxPerMm);
    QStringList failures;
    {
        QPainter painter(&img);
        paintPage(painter, PageGeometry{{10, 10}, {130, 130}, pxPerMm, {150, 150}, {}},
                  withCutExtras(page, false, 2), pictures, failures);
    }
    QVERIFY(failures.isEmpty());
    auto near = [](double a, double b) { return std::abs(a - b) <= 0.05; };
    // Across at 50 mm down (inside the picture, clear of the outline): red from 28 (30 - 2),
    // red to green at 80 as without bleed, green to 132 (130 + 2).
    const auto [redFrom, redTo] = runOf(img, pxPerMm, true, 55, Qt::red);
    const auto [greenFrom, greenTo] = runOf(img, pxPerMm, true, 55, Qt::green);
    QVERIFY2(near(redFrom, 28) && near(redTo, 80) && near(greenFrom, 80) && near(greenTo, 132),
             qPrintable(QString("%1 %2 %3 %4").arg(redFrom).arg(redTo).arg(greenFrom).arg(greenTo)));
    // Down at 100 mm across: green from 38 (40 - 2) to 92 (90 + 2); the slim case below is blue there.
    const auto [top, bottom] = runOf(img, pxPerMm, false, 100, Qt::green);
    QVERIFY2(near(top, 38) && near(bottom, 92), qPrintable(QString("%1 %2").arg(top).arg(bottom)));
    // The outline stays at the cut line: dark at 30 mm across, 60 down.
    const QRgb cut = img.pixel(int(30 * pxPerMm), int(60 * pxPerMm));
    QVERIFY2(qGreen(cut) < 80 && qRed(cut) < 160, qPrintable(QString::number(cut, 16)));

    // Slim, 110..140 down: back from 28 (30 - 2), the visible spine 65..70 (55..60 + 10), the
    // front to 112 (110 + 2): the front does not reach over the spine.
    const auto [backFrom, backTo] = runOf(img, pxPerMm, true, 125, Qt::red);
    const auto [spineFrom, spineTo] = runOf(img, pxPerMm, true, 125, Qt::green);
    const auto [frontFrom, frontTo] = runOf(img, pxPerMm, true, 125, Qt::blue);
    QVERIFY2(near(backFrom, 28) && near(backTo, 65) && near(spineFrom, 65) && near(spineTo, 70)
                 && near(frontFrom, 70) && near(frontTo, 112),
             qPrintable(QString("%1 %2 %3 %4 %5 %6").arg(backFrom).arg(backTo).arg(spineFrom).arg(spineTo)
                            .arg(frontFrom).arg(frontTo)));
    // The spine bleeds up: green at 109 mm down (110 - 1), 67 across; white past the bleed at 107.5.
    QVERIFY(isColour(img.pixel(int(67 * pxPerMm), int(109 * pxPerMm)), Qt::green));
    QVERIFY(isColour(img.pixel(int(67 * pxPerMm), int(107.5 * pxPerMm)), Qt::white));
}

void TstPrintExtras::nothingAddedWhenOff()
{
    PrintComposition page;
    page.operations << picture(PrintPicture::Picture1, QRectF(5, 5, 121, 120))
                    << PageOperation{Kind::Box, {}, QRectF(5, 5, 121, 120), {}};
    page.failures << "x";
    const PrintComposition same = withCutExtras(page, false, 0);
    QCOMPARE(same.operations, page.operations);
    QCOMPARE(same.failures, page.failures);
}

void TstPrintExtras::commandLineTestPagePdf()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("calibration.pdf");
    const RunResult r = runProgram({"--test-page", "--export-pdf", pdf}, dir.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QImage page = renderPdf(pdf, dir.path());
    QVERIFY(!page.isNull());
    // At 254 dpi, 10 px a millimetre. The PDF's printable corner is 5 mm in, so the
    // square's sides lie at 35 and 135 mm from the sheet's top-left corner.
    auto darkRuns = [&](bool row, int at) {
        QList<double> centres;
        const int n = row ? page.width() : page.height();
        int start = -1;
        for (int i = 0; i <= n; ++i) {
            const bool dark = i < n && qGray(row ? page.pixel(i, at) : page.pixel(at, i)) < 160;
            if (dark && start < 0)
                start = i;
            if (!dark && start >= 0) {
                centres << (start + i) / 2.0 / 10.0;
                start = -1;
            }
        }
        return centres;
    };
    for (const bool row : {true, false}) {
        // 60 mm from the corner: through the square, clear of the crosshair at 85 and the rulers.
        QList<double> runs = darkRuns(row, 600);
        runs.removeIf([](double mm) { return mm < 20; });
        QVERIFY2(runs.size() >= 3, qPrintable(QString::number(runs.size())));
        QVERIFY2(std::abs(runs[0] - 35) <= 0.1 && std::abs(runs[1] - 85) <= 0.1 && std::abs(runs[2] - 135) <= 0.1,
                 qPrintable(QString("%1 %2 %3").arg(runs[0]).arg(runs[1]).arg(runs[2])));
        QVERIFY(std::abs((runs[2] - runs[0]) - 100) <= 0.1);
    }
    // The first ruler tick: on the printable corner's edge, 5 mm from the sheet's.
    QList<double> ticks = darkRuns(true, 52); // 0.2 mm below the area's top edge
    QVERIFY(!ticks.isEmpty());
    QVERIFY2(std::abs(ticks.first() - 5) <= 0.1, qPrintable(QString::number(ticks.first())));
    QVERIFY(std::abs(ticks[1] - 6) <= 0.1);
}

void TstPrintExtras::commandLineUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    // Usage errors: 2, before anything is read.
    QTest::newRow("bleed 4") << QStringList{"--bleed", "4", "--export-pdf", "out.pdf", "x.vtr"} << 2;
    QTest::newRow("bleed -1") << QStringList{"--bleed", "-1", "--export-pdf", "out.pdf", "x.vtr"} << 2;
    QTest::newRow("bleed nan") << QStringList{"--bleed", "nan", "--export-pdf", "out.pdf", "x.vtr"} << 2;
    QTest::newRow("bleed 1e0") << QStringList{"--bleed", "1e0", "--export-pdf", "out.pdf", "x.vtr"} << 2;
    QTest::newRow("bleed alone") << QStringList{"--bleed", "2"} << 2;
    QTest::newRow("test page alone") << QStringList{"--test-page"} << 2;
    QTest::newRow("test page with a project") << QStringList{"--test-page", "--export-pdf", "out.pdf", "x.vtr"} << 2;
    QTest::newRow("test page, both ways") << QStringList{"--test-page", "--printer", "p", "--export-pdf", "out.pdf"}
                                          << 2;
    // Failures: 1, saying why.
    QTest::newRow("test page to no such queue") << QStringList{"--test-page", "--printer", "No such queue"} << 1;
    QTest::newRow("test page into no folder") << QStringList{"--test-page", "--export-pdf", "no/out.pdf"} << 1;
}

void TstPrintExtras::commandLineUsage()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QTemporaryDir dir;
    const RunResult r = runProgram(args, dir.path());
    QCOMPARE(r.code, code);
    QVERIFY(!r.err.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath("out.pdf")));
}

void TstPrintExtras::commandLineBleedAndMarksInThePdf_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("CD label") << 10;
    QTest::newRow("slim case") << 1;
}

void TstPrintExtras::commandLineBleedAndMarksInThePdf()
{
    // The cover filled red, without outlines, exported plain and with bleed and crop
    // marks: the red reaches 2 mm further at both ends, and stays red all along (no
    // seam where the slim pieces meet).
    QFETCH(int, format);
    QTemporaryDir dir;
    const QString png = dir.filePath("red.png");
    solid(Qt::red, {400, 400}).save(png);
    const QString project = dir.filePath("cover.vtr");
    QFile f(project);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QString(png + "\r\n" + png + "\r\n" + png + "\r\n 0 \r\n\r\n\r\nLiberation Sans\r\n12\r\n 0 \r\n 0 \r\n 0 \r\n"
                    " 0 \r\n 1 \r\n 1 \r\n %1 \r\n")
                .arg(format)
                .toUtf8());
    f.close();
    const QString plainPdf = dir.filePath("plain.pdf");
    const QString bledPdf = dir.filePath("bled.pdf");
    QCOMPARE(runProgram({"--export-pdf", plainPdf, project}).code, 0);
    const RunResult r = runProgram({"--export-pdf", bledPdf, "--bleed", "2", "--crop-marks", project});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QDir().mkdir(dir.filePath("a"));
    QDir().mkdir(dir.filePath("b"));
    const QImage plain = renderPdf(plainPdf, dir.filePath("a"));
    const QImage bled = renderPdf(bledPdf, dir.filePath("b"));
    QVERIFY(!plain.isNull() && !bled.isNull());
    // Find the red cover in the plain export, then the same row in the other.
    const double pxPerMm = 10;
    int y = -1;
    for (int row = 0; row < plain.height() && y < 0; row += 10)
        if (runOf(plain, pxPerMm, true, row / pxPerMm, Qt::red).first >= 0)
            y = row + 200; // 20 mm into the cover
    QVERIFY(y > 0);
    const auto [plainFrom, plainTo] = runOf(plain, pxPerMm, true, y / pxPerMm, Qt::red);
    const auto [bledFrom, bledTo] = runOf(bled, pxPerMm, true, y / pxPerMm, Qt::red);
    QVERIFY2(std::abs(plainFrom - 2 - bledFrom) <= 0.15 && std::abs(plainTo + 2 - bledTo) <= 0.15,
             qPrintable(QString("plain %1..%2, bled %3..%4").arg(plainFrom).arg(plainTo).arg(bledFrom).arg(bledTo)));
    // At 300 dpi the pieces' edges fall inside pixels, where a seam would show.
    QDir().mkdir(dir.filePath("c"));
    const QImage fine = renderPdf(bledPdf, dir.filePath("c"), 300);
    const double finePerMm = 300 / 25.4;
    const int fineY = int(y / pxPerMm * finePerMm);
    for (int x = int(bledFrom * finePerMm) + 2; x < int(bledTo * finePerMm) - 2; ++x)
        QVERIFY2(qGreen(fine.pixel(x, fineY)) < 20, qPrintable(QString("a light seam at %1 mm").arg(x / finePerMm)));
}

QTEST_MAIN(TstPrintExtras)
#include "tst_printextras.moc"
