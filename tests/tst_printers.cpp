// The command line's PDFs and print jobs as they come out: the paper and its page box,
// refusals that leave nothing behind, and, through real CUPS queues whose drivers print
// less than the whole sheet, where the cover lands on the paper.
#include "PdfPage.h"
#include "ProgramFolder.h"

#include "common/TextFile.h"
#include "platform/Printers.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <cmath>

namespace {

struct RunResult
{
    int code = -1;
    QString err;
};

RunResult runProgram(const QStringList &args, const QString &folder = QStringLiteral(VT_RUN_DIR))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(folder + "/vantrelo", args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

QString tool(const QString &program, const QStringList &args, int *code = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QString();
    if (code)
        *code = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A project of the format with a red picture in every slot and no titles.
QString writeProject(const QString &dir, const QString &name, int format, QString picture = QString())
{
    if (picture.isEmpty()) {
        picture = dir + "/red.png";
        QImage red(400, 300, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(picture);
    }
    const QString path = dir + u'/' + name + QStringLiteral(".vtr");
    vt::writeTextLines(path, {picture, picture, picture, " 0 ", "", "", "Liberation Sans", "12", " 0 ", " 0 ", " 0 ",
                              " 0 ", " 1 ", " 1 ", QStringLiteral(" %1 ").arg(format)});
    return path;
}


bool isRed(QRgb px)
{
    return qRed(px) > 150 && qGreen(px) < 110 && qBlue(px) < 110;
}

// The red rectangle (mm) through a point inside it: its row and its column run out from
// the point to the last red pixel either way.
QRectF redAround(const QImage &page, QPointF insideMm)
{
    const int x = int(insideMm.x() * 10), y = int(insideMm.y() * 10);
    if (!page.valid(x, y) || !isRed(page.pixel(x, y)))
        return QRectF();
    int l = x, r = x, t = y, b = y;
    while (l > 0 && isRed(page.pixel(l - 1, y)))
        --l;
    while (r + 1 < page.width() && isRed(page.pixel(r + 1, y)))
        ++r;
    while (t > 0 && isRed(page.pixel(x, t - 1)))
        --t;
    while (b + 1 < page.height() && isRed(page.pixel(x, b + 1)))
        ++b;
    return QRectF(QPointF(l / 10.0, t / 10.0), QPointF((r + 1) / 10.0, (b + 1) / 10.0));
}

QString describe(const QRectF &r)
{
    return QStringLiteral("(%1, %2)-(%3, %4)").arg(r.left()).arg(r.top()).arg(r.right()).arg(r.bottom());
}

// Left, top, right and bottom edges in millimetres.
using Edges = QList<double>;

// Each edge within tolerance; an edge given as NaN is not checked (clipped by the paper).
bool edgesNear(const QRectF &found, const Edges &expected, double tolerance)
{
    auto ok = [tolerance](double f, double e) { return std::isnan(e) || std::abs(f - e) <= tolerance; };
    return expected.size() == 4 && ok(found.left(), expected[0]) && ok(found.top(), expected[1])
           && ok(found.right(), expected[2]) && ok(found.bottom(), expected[3]);
}

QString describe(const Edges &e)
{
    return QStringLiteral("(%1, %2)-(%3, %4)").arg(e.value(0)).arg(e.value(1)).arg(e.value(2)).arg(e.value(3));
}

// Prints a project of the format through the queue and renders the page cups-pdf
// wrote; a null picture (with the reason in info) when none came out. info gets pdfinfo's
// answer.
QImage printOnQueue(const QString &queue, const QString &output, int format, const QStringList &extraArgs,
                    const QString &dirPath, QString *info)
{
    // The job is named after the project, and cups-pdf names its file after the job:
    // letters only, since it changes some names with digits.
    QString stamp;
    for (const QChar digit : QString::number(QDateTime::currentMSecsSinceEpoch()))
        stamp += QChar(u'a' + digit.digitValue());
    const QString name = QStringLiteral("placed-%1-%2")
                             .arg(QString(QTest::currentDataTag()).remove(QRegularExpression("[^a-z]")), stamp);
    for (const QString &old : QDir(output).entryList({name + "*.pdf"}))
        QFile::remove(output + u'/' + old);
    const QString project = writeProject(dirPath, name, format);
    const RunResult r = runProgram(QStringList{"--print", project, "--printer", queue} + extraArgs);
    if (r.code != 0) {
        *info = r.err;
        return QImage();
    }
    QString pdf;
    for (int i = 0; i < 300 && pdf.isEmpty(); ++i) {
        QTest::qWait(100);
        const QStringList found = QDir(output).entryList({name + "*.pdf"}, QDir::Files);
        if (!found.isEmpty())
            pdf = output + u'/' + found.first();
    }
    // cups-pdf writes the file in place: wait until it is whole.
    for (int i = 0; i < 100 && !pdf.isEmpty(); ++i) {
        const qint64 size = QFileInfo(pdf).size();
        QTest::qWait(300);
        int code = -1;
        if (size > 0 && QFileInfo(pdf).size() == size && (tool("pdfinfo", {pdf}, &code), code == 0))
            break;
    }
    if (pdf.isEmpty()) {
        *info = QStringLiteral("cups-pdf wrote no file named after the project");
        return QImage();
    }
    *info = tool("pdfinfo", {pdf});
    const QImage page = renderPdf(pdf, dirPath);
    QFile::remove(pdf);
    return page;
}

} // namespace

class TstPrinters : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pdfPapers_data();
    void pdfPapers();
    void refusedPagesLeaveNoPdf_data();
    void refusedPagesLeaveNoPdf();

    void sheetsOfTheQueues_data();
    void sheetsOfTheQueues();
    void placedFromThePrintableArea_data();
    void placedFromThePrintableArea();
    void queueRefusals_data();
    void queueRefusals();
    void stoppedQueueWarns();
    void extrasOnAQueue_data();
    void extrasOnAQueue();
};

void TstPrinters::initTestCase()
{
    // Pages that earlier runs printed to the cups-pdf folder: they are not looked at.
    const QString output = qEnvironmentVariable("VT_CUPS_OUTPUT");
    if (!output.isEmpty())
        for (const QString &old : QDir(output).entryList({"placed-*.pdf", "refusal-*.pdf"}, QDir::Files))
            QFile::remove(output + u'/' + old);
}

void TstPrinters::pdfPapers_data()
{
    QTest::addColumn<QStringList>("paperOption");
    QTest::addColumn<QString>("pageSize"); // as pdfinfo says it
    QTest::newRow("A4 by default") << QStringList() << "595.276 x 841.89 pts (A4)";
    QTest::newRow("A4") << QStringList{"--paper", "a4"} << "595.276 x 841.89 pts (A4)";
    QTest::newRow("Letter") << QStringList{"--paper", "letter"} << "612 x 792 pts (letter)";
    QTest::newRow("Legal") << QStringList{"--paper", "legal"} << "612 x 1008 pts\n";
}

void TstPrinters::pdfPapers()
{
    QFETCH(QStringList, paperOption);
    QFETCH(QString, pageSize);
    QTemporaryDir dir;
    const QString project = writeProject(dir.path(), "Holiday snaps", 3);
    const QString pdf = dir.filePath("cover.pdf");
    const RunResult r = runProgram(QStringList{"--export-pdf", pdf, project} + paperOption);
    QVERIFY2(r.code == 0, qPrintable(r.err));

    const QString info = tool("pdfinfo", {pdf});
    QVERIFY2(info.contains("Page size:       " + pageSize), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression("Title:\\s+Holiday snaps\\n")), qPrintable(info));
    // The incremental update is sound, and its catalog asks for printing at actual size.
    int code = -1;
    tool("qpdf", {"--check", pdf}, &code);
    QCOMPARE(code, 0);
    const QRegularExpressionMatch root =
        QRegularExpression("/Root (\\d+) 0 R").match(tool("qpdf", {"--show-object=trailer", pdf}));
    QVERIFY(root.hasMatch());
    const QString catalog = tool("qpdf", {"--show-object=" + root.captured(1), pdf});
    QVERIFY2(catalog.contains(QRegularExpression("/ViewerPreferences\\s*<<\\s*/PrintScaling\\s*/None\\s*>>")),
             qPrintable(catalog));

    // Picture 1 of the jewel case at 5 + 40, 5 + 19.5 from the corner on every paper;
    // 120 mm square.
    const QImage page = renderPdf(pdf, dir.path());
    QVERIFY(!page.isNull());
    const QRectF found = redAround(page, QPointF(105, 85));
    QVERIFY2(edgesNear(found, Edges{45, 24.5, 165, 144.5}, 0.2), qPrintable(describe(found)));
}

void TstPrinters::refusedPagesLeaveNoPdf_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("offset 1e12") << "offset" << QStringList() << 1 << "out of range";
    QTest::newRow("offset 1e12, printed") << "offset" << QStringList{"--print"} << 1 << "out of range";
    QTest::newRow("a JPEG cut short") << "jpeg" << QStringList() << 1 << "photo.jpg";
    QTest::newRow("slim case on landscape Letter") << "crossing" << QStringList{"--paper", "letter"} << 1
                                                   << "crosses the edge";
    QTest::newRow("the same, forced") << "crossing" << QStringList{"--paper", "letter", "--force"} << 0 << "";
    QTest::newRow("an unknown paper") << "crossing" << QStringList{"--paper", "a3"} << 2 << "--paper";
}

void TstPrinters::refusedPagesLeaveNoPdf()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, extra);
    QFETCH(int, code);
    QFETCH(QString, mentions);
    QTemporaryDir dir;
    // A program folder of its own, whose catalogue a row may change.
    ProgramFolder folder(true, QStringLiteral(VT_RUN_DIR));
    QString project;
    if (kind == "offset") {
        QByteArray catalogue = fileBytes(folder.file("Files/Covers.ini"));
        QList<QByteArray> lines = catalogue.split('\n');
        QCOMPARE(lines.at(44).trimmed(), QByteArray("40")); // OffsetX of the jewel case
        lines[44] = "1e12\r";
        QFile file(folder.file("Files/Covers.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lines.join('\n'));
        file.close();
        project = writeProject(dir.path(), "offset", 3);
    } else if (kind == "jpeg") {
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(Qt::darkRed);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(picture.save(&buffer, "JPEG", 90));
        bytes.truncate(bytes.size() * 2 / 3);
        QFile file(dir.filePath("photo.jpg"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        project = writeProject(dir.path(), "cut", 4, dir.filePath("photo.jpg"));
    } else {
        project = writeProject(dir.path(), "slim", 1); // 267 mm wide from 10 mm: past Letter's 279.4
    }
    const QString pdf = dir.filePath("out.pdf");
    if (extra.contains("--print")) {
        // Printed instead: no job reaches the queue.
        const QString queue = qEnvironmentVariable("VT_CUPS_ZERO_QUEUE");
        if (queue.isEmpty())
            QSKIP("no test print queues: scripts/test sets them up when run as root with CUPS and cups-pdf installed");
        auto jobs = [&] { return tool("lpstat", {"-W", "all", "-o", queue}).count(u'\n'); };
        const int before = jobs();
        const RunResult r = runProgram({"--print", project, "--printer", queue}, folder.path());
        QVERIFY2(r.code == code, qPrintable(QStringLiteral("exit %1: %2").arg(r.code).arg(r.err)));
        QVERIFY2(r.err.contains(mentions), qPrintable(r.err));
        QCOMPARE(jobs(), before);
        return;
    }
    const RunResult r = runProgram(QStringList{"--export-pdf", pdf, project} + extra, folder.path());
    QVERIFY2(r.code == code, qPrintable(QStringLiteral("exit %1: %2").arg(r.code).arg(r.err)));
    QCOMPARE(QFile::exists(pdf), code == 0);
    if (code != 0)
        QVERIFY2(r.err.contains(mentions), qPrintable(r.err));
}

void TstPrinters::sheetsOfTheQueues_data()
{
    QTest::addColumn<QString>("queueVariable");
    QTest::addColumn<QString>("paper");
    QTest::addColumn<Edges>("margins"); // left, top, right, bottom in mm
    QTest::addColumn<QString>("defaultPaper");
    // From the drivers' imageable areas (points from the lower-left corner; A4 is
    // 595 x 842 pt in the driver, Letter 612 x 792): left, paper height - top, paper
    // width - right, bottom, each x 25.4 / 72.
    QTest::newRow("zero, A4") << "VT_CUPS_ZERO_QUEUE" << "a4" << Edges{0, 0, 0, 0} << "a4";
    QTest::newRow("3 mm, A4") << "VT_CUPS_3MM_QUEUE" << "a4" << Edges{3.00, 3.00, 3.00, 3.00} << "a4";
    QTest::newRow("uneven, A4") << "VT_CUPS_UNEVEN_QUEUE" << "a4" << Edges{4.23, 16.58, 6.00, 8.47} << "a4";
    // "12 24 595 745" for Letter: right 612 - 595 = 17 pt, top 792 - 745 = 47 pt.
    QTest::newRow("uneven, Letter") << "VT_CUPS_UNEVEN_QUEUE" << "letter" << Edges{4.23, 16.58, 6.00, 8.47} << "a4";
    QTest::newRow("Letter queue, Letter") << "VT_CUPS_LETTER_QUEUE" << "letter" << Edges{6.35, 12.70, 6.35, 12.70}
                                          << "letter";
    QTest::newRow("Letter queue, A4") << "VT_CUPS_LETTER_QUEUE" << "a4" << Edges{3.00, 3.00, 3.00, 3.00} << "letter";
}

void TstPrinters::sheetsOfTheQueues()
{
    QFETCH(QString, queueVariable);
    QFETCH(QString, paper);
    QFETCH(Edges, margins);
    QFETCH(QString, defaultPaper);
    const QString queue = qEnvironmentVariable(qPrintable(queueVariable));
    if (queue.isEmpty())
        QSKIP("no test print queues: scripts/test sets them up when run as root with CUPS and cups-pdf installed");
    const std::optional<vt::SheetMargins> sheet = vt::printerSheet(queue, *vt::paperFromName(paper));
    QVERIFY(sheet);
    const QMarginsF &m = sheet->marginsMm;
    const Edges found{m.left(), m.top(), m.right(), m.bottom()};
    auto near = [](double a, double b) { return std::abs(a - b) <= 0.01; };
    QVERIFY2(near(found[0], margins[0]) && near(found[1], margins[1]) && near(found[2], margins[2])
                 && near(found[3], margins[3]),
             qPrintable(describe(found)));
    const std::optional<vt::PaperKind> byDefault = vt::printerDefaultPaper(queue);
    QVERIFY(byDefault);
    QCOMPARE(vt::paperName(*byDefault), defaultPaper);
    // A queue that is not there has no sheet.
    QVERIFY(!vt::printerSheet(queue + "-gone", vt::PaperKind::A4));
}

// Where picture 1 lands on the sheet that comes out of a cups-pdf queue, in millimetres
// from the sheet's top-left corner, worked by hand from the imageable areas that
// scripts/test writes into the queues' drivers (points from the lower-left corner,
// 1 pt = 25.4 / 72 mm; A4 is 595 x 842 pt there, 297.04 mm high; Letter 612 x 792 pt).
//
// Format 3 prints portrait: picture 1 is 120 x 120 at 40, 19.5 from the printable
// area's corner, which lies at the area's left and at its top (paper height - top).
// Format 1 prints landscape, turned +90° onto the sheet: the page's left edge is the
// sheet's bottom margin, its top edge the sheet's left margin. The slim case is 267 x 183
// at 10, 8.5 from that corner, so on the sheet it spans
//   x from left + 8.5 to left + 191.5, y from H - (bottom + 277) to H - (bottom + 10).
void TstPrinters::placedFromThePrintableArea_data()
{
    QTest::addColumn<QString>("queueVariable");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("force");
    QTest::addColumn<Edges>("expected");
    QTest::addColumn<QString>("pageSize");
    const double clipped = std::nan("");
    const QString a4 = "595 x 842 pts (A4)", letter = "612 x 792 pts (letter)";
    // The stock driver: "0 0 595 842", the whole sheet.
    QTest::newRow("stock, portrait") << "VT_CUPS_QUEUE" << 3 << false
                                     << Edges{40, 19.5, 160, 139.5} << a4;
    QTest::newRow("stock, landscape") << "VT_CUPS_QUEUE" << 1 << false
                                      << Edges{8.5, 20.04, 191.5, 287.04} << a4;
    // "0 0 595 842" in a copy of the driver.
    QTest::newRow("zero margins, portrait") << "VT_CUPS_ZERO_QUEUE" << 3 << false
                                            << Edges{40, 19.5, 160, 139.5} << a4;
    QTest::newRow("zero margins, landscape") << "VT_CUPS_ZERO_QUEUE" << 1 << false
                                             << Edges{8.5, 20.04, 191.5, 287.04} << a4;
    // "8.5 8.5 586.5 833.5": 8.5 pt = 3.00 mm on every side.
    QTest::newRow("3 mm, portrait") << "VT_CUPS_3MM_QUEUE" << 3 << false
                                    << Edges{43.00, 22.50, 163.00, 142.50} << a4;
    QTest::newRow("3 mm, landscape") << "VT_CUPS_3MM_QUEUE" << 1 << false
                                     << Edges{11.50, 17.04, 194.50, 284.04} << a4;
    // "12 24 578 795": left 12 pt = 4.23, bottom 24 pt = 8.47, top 842 - 795 = 47 pt =
    // 16.58 mm. Landscape, the slim case is 277 mm long from 8.47 but the page is only
    // 297 - 8.47 - 16.58 = 271.95 mm wide: printed with --force.
    QTest::newRow("uneven, portrait") << "VT_CUPS_UNEVEN_QUEUE" << 3 << false
                                      << Edges{44.23, 36.08, 164.23, 156.08} << a4;
    QTest::newRow("uneven, landscape") << "VT_CUPS_UNEVEN_QUEUE" << 1 << true
                                       << Edges{12.73, 11.57, 195.73, 278.57} << a4;
    // Letter by default, "18 36 594 756": left 18 pt = 6.35, bottom 36 pt = 12.7, top
    // 792 - 756 = 36 pt = 12.7 mm. Both covers pass Letter's edge (the jewel case's back
    // ends at 12.7 + 149.5 + 118 = 280.2 mm, the slim case at 12.7 + 277 = 289.7 mm of
    // 279.4): printed with --force, the slim case cut off at the sheet's top.
    QTest::newRow("Letter, portrait") << "VT_CUPS_LETTER_QUEUE" << 3 << true
                                      << Edges{46.35, 32.2, 166.35, 152.2} << letter;
    QTest::newRow("Letter, landscape") << "VT_CUPS_LETTER_QUEUE" << 1 << true
                                       << Edges{14.85, clipped, 197.85, 256.7} << letter;
}

void TstPrinters::placedFromThePrintableArea()
{
    QFETCH(QString, queueVariable);
    QFETCH(int, format);
    QFETCH(bool, force);
    QFETCH(Edges, expected);
    QFETCH(QString, pageSize);
    const QString queue = qEnvironmentVariable(qPrintable(queueVariable));
    const QString output = qEnvironmentVariable("VT_CUPS_OUTPUT");
    if (queue.isEmpty() || output.isEmpty())
        QSKIP("no test print queues: scripts/test sets them up when run as root with CUPS and cups-pdf installed");

    QTemporaryDir dir;
    QString info;
    const QImage page = printOnQueue(queue, output, format, force ? QStringList{"--force"} : QStringList(), dir.path(),
                                     &info);
    QVERIFY2(info.contains("Page size:       " + pageSize), qPrintable(info));
    QVERIFY(!page.isNull());
    const QPointF inside((expected[0] + expected[2]) / 2,
                         std::isnan(expected[1]) ? expected[3] - 50 : (expected[1] + expected[3]) / 2);
    const QRectF found = redAround(page, inside);
    qInfo("%s: found %s, expected %s", QTest::currentDataTag(), qPrintable(describe(found)),
          qPrintable(describe(expected)));
    QVERIFY2(edgesNear(found, expected, 0.2),
             qPrintable(QStringLiteral("found %1, expected %2").arg(describe(found), describe(expected))));
}

void TstPrinters::queueRefusals_data()
{
    QTest::addColumn<QString>("queueVariable");
    QTest::addColumn<int>("format");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("crossing the printable area") << "VT_CUPS_UNEVEN_QUEUE" << 1 << QStringList() << 1
                                                 << "crosses the printable area";
    QTest::newRow("crossing Letter's edge") << "VT_CUPS_LETTER_QUEUE" << 1 << QStringList() << 1
                                            << "crosses the edge";
    QTest::newRow("Legal asked of a queue, fits") << "VT_CUPS_ZERO_QUEUE" << 4 << QStringList{"--paper", "legal"}
                                                  << 0 << "";
    QTest::newRow("high quality the queue lacks") << "VT_CUPS_QUEUE" << 4 << QStringList{"--quality", "high"} << 1
                                                  << "does not offer high quality";
    QTest::newRow("normal quality it has") << "VT_CUPS_QUEUE" << 4 << QStringList{"--quality", "normal"} << 0 << "";
    QTest::newRow("draft on the quality queue") << "VT_CUPS_QUALITY_QUEUE" << 4 << QStringList{"--quality", "draft"}
                                                << 0 << "";
}

void TstPrinters::queueRefusals()
{
    QFETCH(QString, queueVariable);
    QFETCH(int, format);
    QFETCH(QStringList, extra);
    QFETCH(int, code);
    QFETCH(QString, mentions);
    const QString queue = qEnvironmentVariable(qPrintable(queueVariable));
    if (queue.isEmpty())
        QSKIP("no test print queues: scripts/test sets them up when run as root with CUPS and cups-pdf installed");
    QTemporaryDir dir;
    const RunResult r = runProgram(QStringList{"--print", writeProject(dir.path(), "refusal", format), "--printer", queue}
                                   + extra);
    QVERIFY2(r.code == code, qPrintable(QStringLiteral("exit %1: %2").arg(r.code).arg(r.err)));
    QVERIFY2(r.err.contains(mentions), qPrintable(r.err));
}

void TstPrinters::stoppedQueueWarns()
{
    const QString queue = qEnvironmentVariable("VT_CUPS_STOPPED_QUEUE");
    if (queue.isEmpty())
        QSKIP("no stopped test queue: scripts/test sets one up when run as root with CUPS and cups-pdf installed");
    QTemporaryDir dir;
    const RunResult r = runProgram({"--print", writeProject(dir.path(), "waiting", 4), "--printer", queue});
    // The job is queued, so the run succeeds; the user is told it waits.
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.err.contains("vantrelo: warning: the printer " + queue + " is stopped"), qPrintable(r.err));
    QVERIFY2(tool("lpstat", {"-o", queue}).contains(queue), "the job is not in the stopped queue");
    tool("cancel", {"-a", queue});
}

void TstPrinters::extrasOnAQueue_data()
{
    QTest::addColumn<QString>("queueVariable");
    QTest::addColumn<int>("format");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("correction"); // the stored line's values, empty for none
    QTest::addColumn<Edges>("expected");
    QTest::addColumn<QPointF>("mark");       // a point on a crop mark, or (-1, -1)
    const QPointF none(-1, -1);
    // The jewel front on the zero queue lies at 40..160 x 19.5..139.5 uncorrected.
    // Shift 1.5 right and 1 up, 101 % wide and 99 % high, about the printable corner
    // (0, 0): x 1.5 + 1.01 * 40 = 41.9 to 1.5 + 1.01 * 160 = 163.1; y -1 + 0.99 * 19.5 =
    // 18.305 to -1 + 0.99 * 139.5 = 137.105.
    QTest::newRow("corrected, portrait") << "VT_CUPS_ZERO_QUEUE" << 3 << QStringList() << "1.5;-1;101;99"
                                         << Edges{41.9, 18.305, 163.1, 137.105} << none;
    // The slim case turned on the sheet at 8.5..191.5 x 20.04..287.04: its page X runs up
    // the sheet from the bottom (page x = 297 - sheet y, 9.96..276.96) and its page Y
    // along the sheet (8.5..191.5). Turned, the same correction is page shift (1, 1.5)
    // and scales (99 %, 101 %): page x 1 + 0.99 * 9.96 = 10.86 to 1 + 0.99 * 276.96 =
    // 275.19, so sheet y 21.81 to 286.14; page y 1.5 + 1.01 * 8.5 = 10.085 to 1.5 +
    // 1.01 * 191.5 = 194.915.
    QTest::newRow("corrected, landscape") << "VT_CUPS_ZERO_QUEUE" << 1 << QStringList() << "1.5;-1;101;99"
                                          << Edges{10.085, 21.81, 194.915, 286.14} << none;
    // On the 3 mm queue the front is at 43..163 x 22.5..142.5; 3 mm of bleed on every side.
    QTest::newRow("bleed 3") << "VT_CUPS_3MM_QUEUE" << 3 << QStringList{"--bleed", "3"} << ""
                             << Edges{40, 19.5, 166, 145.5} << none;
    // The top-left corner's left mark runs along y 22.5 from x 43 - 6 = 37 to 41.
    QTest::newRow("crop marks") << "VT_CUPS_3MM_QUEUE" << 3 << QStringList{"--crop-marks"} << ""
                                << Edges{43, 22.5, 163, 142.5} << QPointF(39, 22.5);
}

void TstPrinters::extrasOnAQueue()
{
    QFETCH(QString, queueVariable);
    QFETCH(int, format);
    QFETCH(QStringList, args);
    QFETCH(QString, correction);
    QFETCH(Edges, expected);
    QFETCH(QPointF, mark);
    const QString queue = qEnvironmentVariable(qPrintable(queueVariable));
    const QString output = qEnvironmentVariable("VT_CUPS_OUTPUT");
    if (queue.isEmpty() || output.isEmpty())
        QSKIP("no test print queues: scripts/test sets them up when run as root with CUPS and cups-pdf installed");

    // The program folder is portable: its corrections file sits beside its settings.
    const QString corrections = QStringLiteral(VT_RUN_DIR "/Files/PrinterCorrections.ini");
    QVERIFY(!QFileInfo::exists(corrections));
    const auto removeCorrections = qScopeGuard([&] { QFile::remove(corrections); });
    if (!correction.isEmpty())
        QVERIFY(vt::writeTextLines(corrections, {queue + u'=' + correction}));

    QTemporaryDir dir;
    QString info;
    const QImage page = printOnQueue(queue, output, format, args, dir.path(), &info);
    QVERIFY2(!page.isNull(), qPrintable(info));
    const QPointF inside((expected[0] + expected[2]) / 2, (expected[1] + expected[3]) / 2);
    const QRectF found = redAround(page, inside);
    qInfo("%s: found %s, expected %s", QTest::currentDataTag(), qPrintable(describe(found)),
          qPrintable(describe(expected)));
    QVERIFY2(edgesNear(found, expected, 0.2),
             qPrintable(QStringLiteral("found %1, expected %2").arg(describe(found), describe(expected))));
    if (mark.x() >= 0) {
        // A thin dark line within half a millimetre of where the mark belongs, outside
        // the cover.
        int darkest = 255;
        for (int dy = -5; dy <= 5; ++dy)
            darkest = std::min(darkest, qGray(page.pixel(int(mark.x() * 10), int(mark.y() * 10) + dy)));
        QVERIFY2(darkest < 160, qPrintable(QStringLiteral("no mark at %1, %2").arg(mark.x()).arg(mark.y())));
    }
}

QTEST_MAIN(TstPrinters)
#include "tst_printers.moc"
