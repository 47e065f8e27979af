// Printing: the page as operations in millimetres, the page as drawn (image, PDF and a
// real print queue), the print dialog and the command line's export and print.
#include "CatalogueState.h"
#include "KeyboardWalk.h"
#include "PageOperations.h"
#include "PdfPage.h"
#include "SmallDisk.h"
#include "TestWindow.h"

#include "app/AppState.h"
#include "common/TextFile.h"
#include "document/CoverRender.h"
#include "formats/FormatSelection.h"
#include "formats/PreviewArrangement.h"
#include "platform/PictureLoading.h"
#include "platform/Printers.h"
#include "print/CoverOutput.h"
#include "print/PrintComposition.h"
#include "ui/dialogs/HoverLiftButton.h"
#include "ui/dialogs/frmStampa.h"
#include "ui/main/PrintCommand.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

using namespace vt;
Q_DECLARE_METATYPE(vt::PaperKind)
using Kind = PageOperation::Kind;

namespace {

// The shipped catalogue with the footer's texts.
AppState printState()
{
    AppState s = catalogueState();
    s.Language.at(22) = QStringLiteral("Printed with");
    s.Language.at(23) = QStringLiteral("covers");
    s.VersionCaption = QStringLiteral("Vantrelo 2.8.0.0");
    return s;
}

// Selects a format as the window does, at the designed height.
void select(AppState &s, int format)
{
    computePreviewScale(s, format, 7290);
}

const QSizeF A4Portrait(200, 287);
const QSizeF A4Landscape(287, 200);

QImage solid(QColor c, QSize size = {300, 200})
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

PagePictures colouredPictures()
{
    PagePictures p;
    p[size_t(PrintPicture::Picture1)] = solid(Qt::red);
    p[size_t(PrintPicture::Picture2)] = solid(Qt::green);
    p[size_t(PrintPicture::Overlay)] = solid(Qt::green);
    p[size_t(PrintPicture::Picture3)] = solid(Qt::blue);
    p[size_t(PrintPicture::SlimBack)] = solid(Qt::red);
    p[size_t(PrintPicture::SlimSpine)] = solid(Qt::green);
    p[size_t(PrintPicture::SlimFront)] = solid(Qt::blue);
    return p;
}

// 1200 x 800 pixels of noise from seed, which no PDF compresses.
QImage noisePicture(quint32 seed)
{
    QImage noise(1200, 800, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
    return noise;
}

bool isColour(QRgb px, QColor c)
{
    return std::abs(qRed(px) - c.red()) < 60 && std::abs(qGreen(px) - c.green()) < 60
           && std::abs(qBlue(px) - c.blue()) < 60;
}

// First and last column of colour c along row y; -1 when none.
std::pair<int, int> runInRow(const QImage &img, int y, QColor c)
{
    int first = -1, last = -1;
    for (int x = 0; x < img.width(); ++x)
        if (isColour(img.pixel(x, y), c)) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}
std::pair<int, int> runInColumn(const QImage &img, int x, QColor c)
{
    int first = -1, last = -1;
    for (int y = 0; y < img.height(); ++y)
        if (isColour(img.pixel(x, y), c)) {
            if (first < 0)
                first = y;
            last = y;
        }
    return {first, last};
}

// The rectangle (in millimetres) where a colour was found around a point inside it.
QRectF foundRect(const QImage &img, double pxPerMm, QPointF insideMm, QColor c)
{
    const int x = int(insideMm.x() * pxPerMm), y = int(insideMm.y() * pxPerMm);
    const auto [l, r] = runInRow(img, y, c);
    const auto [t, b] = runInColumn(img, x, c);
    return QRectF(QPointF(l / pxPerMm, t / pxPerMm), QPointF((r + 1) / pxPerMm, (b + 1) / pxPerMm));
}

// A print dialog over fakes of the print system: every call is logged.
struct FakePrintSystem
{
    AppState state;
    PrintDialogMemory memory;
    QStringList printers{"Draft Jet", "Office Laser", "Photo"};
    QString defaultEntry = "Office Laser,HP LaserJet driver,usb://HP/LaserJet";
    QMap<QString, QList<int>> qualities{{"Draft Jet", {-4, -1}}, {"Office Laser", {-4, -3, -2, -1}}, {"Photo", {-4}}};
    QString current;
    std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>();
    QStringList log;
    QString pdfAnswer;
    bool printSucceeds = true;
    OutputResult printOutcome; // used when printSucceeds is false
    OutputResult pdfOutcome{true, {}, {}, OutputFailure::None, {}};
    QMap<QString, PaperKind> papers{{"Photo", PaperKind::Letter}};
    QMap<QString, QueueWarning> queues{{"Draft Jet", QueueWarning::Stopped}, {"Photo", QueueWarning::NotAccepting}};
    QMap<QString, PrintCorrection> corrections{{"Office Laser", {1.25, -0.5, 100.5, 99.75}}};
    bool coverCrosses = false;
    bool answerYes = true;

    FakePrintSystem()
    {
        state.Language = printState().Language;
        readLanguageFile(QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Lang/English.lng"), state.Language);
        state.CurrentOrientation = "Verticale";
        state.SoundsOn = true;
    }

    PrintDialogContext context()
    {
        PrintDialogContext c;
        c.state = &state;
        c.memory = &memory;
        c.currentPrinter = [this] { return current.isEmpty() ? nullptr : printer.get(); };
        c.currentPrinterName = [this] { return current; };
        c.makeCurrentPrinter = [this](const QString &name) { current = name; };
        c.installedPrinters = [this] { return printers; };
        c.defaultPrinterEntry = [this] { return defaultEntry; };
        c.setSystemDefault = [this](const QString &name, int *, QString *) {
            log << "default:" + name;
            return true;
        };
        c.qualitySupported = [this](const QString &p, int q) { return qualities.value(p).contains(q); };
        c.applyQuality = [this](QPrinter &, int q) { log << QString("quality:%1:%2").arg(current).arg(q); };
        c.printCover = [this](QPrinter &p, const PageSetup &setup) {
            log << QString("print:%1:%2:%3")
                       .arg(current)
                       .arg(p.pageLayout().orientation() == QPageLayout::Portrait ? "portrait" : "landscape")
                       .arg(p.copyCount());
            log << QString("setup:%1:%2:%3:%4,%5,%6,%7")
                       .arg(int(setup.paper))
                       .arg(setup.cropMarks ? "marks" : "none")
                       .arg(setup.bleedMm)
                       .arg(setup.correction.offsetXMm)
                       .arg(setup.correction.offsetYMm)
                       .arg(setup.correction.scaleXPercent)
                       .arg(setup.correction.scaleYPercent);
            if (!printSucceeds)
                return printOutcome;
            OutputResult r;
            r.produced = true;
            return r;
        };
        c.writePdf = [this](const QString &path, const PageSetup &setup) {
            log << "pdf:" + path + (setup.portrait ? ":portrait" : ":landscape");
            log << QString("pdfsetup:%1:%2").arg(int(setup.paper)).arg(setup.correction.isIdentity() ? "exact" : "corrected");
            return pdfOutcome;
        };
        c.choosePdfPath = [this](QWidget *, const QString &proposed) {
            log << "choose:" + proposed;
            return pdfAnswer;
        };
        c.askYesNo = [this](QWidget *, const QString &text, const QString &) {
            log << "ask:" + text;
            return answerYes;
        };
        c.message = [this](QWidget *, const QString &text, const QString &title) { log << "box:" + title + "|" + text; };
        c.playSound = [this](const QString &wav) { log << "sound:" + wav; };
        c.defaultPaper = [this](const QString &p) {
            return papers.contains(p) ? std::optional<PaperKind>(papers.value(p)) : std::nullopt;
        };
        c.queueWarning = [this](const QString &p) { return queues.value(p, QueueWarning::None); };
        c.readCorrection = [this](const QString &p) { return corrections.value(p); };
        c.writeCorrection = [this](const QString &p, const PrintCorrection &k, QString *) {
            corrections[p] = k;
            return true;
        };
        c.sheetView = [this](const QString &, const PageSetup &setup) {
            SheetView v;
            v.paperMm = setup.portrait ? QSizeF(210, 297) : QSizeF(297, 210);
            v.printableMm = QRectF(QPointF(5, 5), v.paperMm - QSizeF(10, 10));
            v.coverMm = {QRectF(10, 10, 120, 120)};
            v.offPrintable = coverCrosses;
            return std::optional<SheetView>(v);
        };
        c.printCalibration = [this](QPrinter &p, const PageSetup &setup) {
            log << QString("calibration:%1:%2").arg(current, setup.portrait && p.pageLayout().orientation()
                                                                       == QPageLayout::Portrait
                                                                   ? "portrait"
                                                                   : "landscape");
            return OutputResult{true, {}, {}, OutputFailure::None, {}, PaperKind::A4};
        };
        return c;
    }
    QStringList entries(const char *prefix) const
    {
        return log.filter(QRegularExpression(QStringLiteral("^") + prefix));
    }
};

QStringList itemsOf(const QComboBox *combo)
{
    QStringList out;
    for (int k = 0; k < combo->count(); ++k)
        out << combo->itemText(k);
    return out;
}

struct RunResult
{
    int code = -1;
    QString err;
    QString out;
};

RunResult runProgram(const QStringList &args, const QString &folder = QStringLiteral(VT_RUN_DIR),
                     const QStringList &extraEnv = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : extraEnv)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM"); // the batch modes must find their own way without a display
    p.setProcessEnvironment(env);
    p.start(folder + "/vantrelo", args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError()), QString::fromUtf8(p.readAllStandardOutput())};
}

QString writeProject(const QString &dir, int format, QString picture = QString())
{
    if (picture.isEmpty()) {
        picture = dir + "/red.png";
        solid(Qt::red, {400, 300}).save(picture);
    }
    const QString path = dir + QStringLiteral("/cover-%1.vtr").arg(format);
    writeTextLines(path, {picture, picture, picture, " 0 ", "", "", "Liberation Sans", "12", " 0 ", " 0 ", " 0 ",
                          " 0 ", " 1 ", " 1 ", QStringLiteral(" %1 ").arg(format)});
    return path;
}

} // namespace

class TstPrint : public QObject
{
    Q_OBJECT
private slots:
    void printPositions_data();
    void printPositions();
    void slimPieces_data();
    void slimPieces();
    void secondAreaOnlyWhenTheFormatHasOne();
    void threeLabelsWithPictureOneOutlineLast();
    void footerRule_data();
    void footerRule();
    void noLineWithOutlinesOff();
    void unknownFormatFails();

    void renderedEdges_data();
    void renderedEdges();
    void jpegFilesCarriedOnlyWhenUnchanged_data();
    void jpegFilesCarriedOnlyWhenUnchanged();
    void jpegFileAppendedOnlyAsDecoded_data();
    void jpegFileAppendedOnlyAsDecoded();
    void jpegFrames_data();
    void jpegFrames();
    void largePicturesAreReducedForPrint();
    void placementModesInThePdf_data();
    void placementModesInThePdf();
    void hugePhotosAreReducedOnLoad_data();
    void hugePhotosAreReducedOnLoad();
    void picturesDecodedAtTheAskedSize_data();
    void picturesDecodedAtTheAskedSize();
    void exportOfHugePhotosKeepsThePrintedPixels();

    void dialogGuardAndDefaultEntry();
    void dialogOtherCaseBecomesCurrent();
    void dialogTypedNameAndClearedText();
    void dialogQualityPositionReapplied();
    void dialogCopies_data();
    void dialogCopies();
    void dialogOrientation();
    void dialogCancelPrintsNothing();
    void dialogByKeyboardAlone_data();
    void dialogByKeyboardAlone();
    void dialogKeyboardCancel();
    void dialogFailureShowsOneBox_data();
    void dialogFailureShowsOneBox();
    void pdfIntoUnwritableFolderNamesTheFile();
    void dialogPdfEntry();
    void dialogFirstPickWithoutDefault();
    void dialogFollowsPrinter_data();
    void dialogFollowsPrinter();
    void dialogSetupReachesThePage();
    void dialogOffSheetAsks_data();
    void dialogOffSheetAsks();
    void dialogCalibrationPage();
    void dialogWithoutPrinters();
    void dialogPdfFailureSaysWhy();

    void writtenPdfOnAFullDiskKeepsTheOldFile();
    void pdfDrawnInMemoryWhenTheTemporaryFolderIsFull();
    void commandLineFailures_data();
    void commandLineFailures();
    void exportMatchesTheWindowsPage();

    void realQueue();
};

void TstPrint::printPositions_data()
{
    QTest::addColumn<QString>("offset");
    QTest::addColumn<double>("expected");
    QTest::newRow("whole") << "12" << 12.0;
    QTest::newRow("decimal comma stops the number") << "7,5" << 7.0;
    QTest::newRow("a half stays a half") << "12.5" << 12.5;
    QTest::newRow("another half") << "6.5" << 6.5;
    QTest::newRow("hundredths kept") << "19.25" << 19.25;
    QTest::newRow("thousandths rounded to hundredths") << "8.126" << 8.13;
    QTest::newRow("letter first") << "x12" << 0.0;
    QTest::newRow("blanks before") << "  9" << 9.0;
    QTest::newRow("empty") << "" << 0.0;
}

void TstPrint::printPositions()
{
    QFETCH(QString, offset);
    QFETCH(double, expected);
    AppState s = printState();
    s.Catalogue.entries[4].OffsetX = offset;
    s.Catalogue.entries[4].OffsetY = offset;
    select(s, 4);
    const PrintComposition page = composeCover(s, 4, 0, A4Portrait, fixedMeasure);
    QVERIFY(page.failures.isEmpty());
    const PageOperation first = ofKind(page, Kind::Picture).first();
    QCOMPARE(first.rect.topLeft(), QPointF(expected, expected));
    QCOMPARE(first.rect.size(), QSizeF(s.Catalogue.entries[4].DimA, s.Catalogue.entries[4].DimB));
}

void TstPrint::slimPieces_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("frontStart");
    QTest::addColumn<double>("spineStart");
    QTest::addColumn<double>("spineWidthLess");
    QTest::newRow("1: 7 mm") << 1 << 137.0 << 130.0 << 260.0;
    QTest::newRow("2: 9 mm") << 2 << 139.0 << 130.0 << 260.0;
    QTest::newRow("19: 5 mm") << 19 << 133.0 << 128.0 << 256.0;
    QTest::newRow("20: 132, not 132.5") << 20 << 132.0 << 125.5 << 251.0;
    QTest::newRow("21: 134, not 134.5") << 21 << 134.0 << 125.5 << 251.0;
}

void TstPrint::slimPieces()
{
    QFETCH(int, format);
    QFETCH(double, frontStart);
    QFETCH(double, spineStart);
    QFETCH(double, spineWidthLess);
    AppState s = printState();
    CoverFormat &f = s.Catalogue.entries[size_t(format)];
    f.DimA = 274;
    f.DimB = 183;
    f.OffsetX = "10";
    f.OffsetY = "12";
    select(s, format);
    const PrintComposition page = composeCover(s, format, 1, A4Landscape, fixedMeasure);
    const auto pictures = ofKind(page, Kind::Picture);
    QCOMPARE(pictures.size(), 3);
    QCOMPARE(pictures[0].picture, PrintPicture::SlimBack);
    QCOMPARE(pictures[0].rect, QRectF(10, 12, 274 - frontStart, 183));
    QCOMPARE(pictures[1].picture, PrintPicture::SlimSpine);
    QCOMPARE(pictures[1].rect, QRectF(10 + spineStart, 12, 274 - spineWidthLess, 183));
    QCOMPARE(pictures[2].picture, PrintPicture::SlimFront);
    QCOMPARE(pictures[2].rect, QRectF(10 + frontStart, 12, 274 - frontStart, 183));
    // One outline around the whole cover, after the pieces.
    const auto boxes = ofKind(page, Kind::Box);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().rect, QRectF(10, 12, 274, 183));
    if (format == 1) { // the worked example: back 10..147, spine 140..154, front 147..284, 12..195 down
        QCOMPARE(pictures[0].rect.right(), 147.0);
        QCOMPARE(pictures[1].rect.left(), 140.0);
        QCOMPARE(pictures[1].rect.right(), 154.0);
        QCOMPARE(pictures[2].rect.right(), 284.0);
        QCOMPARE(pictures[2].rect.bottom(), 195.0);
    }
}

void TstPrint::secondAreaOnlyWhenTheFormatHasOne()
{
    AppState s = printState();
    QCOMPARE(s.Catalogue.entries[4].DimC, 0);
    s.Catalogue.entries[4].OffsetX2 = "garbage that is never read";
    select(s, 4);
    PrintComposition page = composeCover(s, 4, 1, A4Portrait, fixedMeasure);
    QCOMPARE(ofKind(page, Kind::Picture).size(), 1);
    QCOMPARE(ofKind(page, Kind::Box).size(), 1);
    QVERIFY(page.failures.isEmpty());

    // Formats 3 and 6 print picture 2 from the overlay that carries the spine titles.
    select(s, 3);
    page = composeCover(s, 3, 1, A4Portrait, fixedMeasure);
    const auto pictures = ofKind(page, Kind::Picture);
    QCOMPARE(pictures.size(), 2);
    QCOMPARE(pictures[1].picture, PrintPicture::Overlay);
    const CoverFormat &f = s.Catalogue.entries[3];
    QCOMPARE(pictures[1].rect, QRectF(*printPosition(f.OffsetX2), *printPosition(f.OffsetY2), f.DimC, f.DimD));
    const auto boxes = ofKind(page, Kind::Box);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.last().rect, pictures[0].rect); // picture 1's outline comes last
}

void TstPrint::threeLabelsWithPictureOneOutlineLast()
{
    AppState s = printState();
    select(s, 14);
    const PrintComposition page = composeCover(s, 14, 1, A4Portrait, fixedMeasure);
    const CoverFormat &f = s.Catalogue.entries[14];
    const auto pictures = ofKind(page, Kind::Picture);
    QCOMPARE(pictures.size(), 3);
    QCOMPARE(pictures[0].rect.size(), QSizeF(f.DimA, f.DimB));
    QCOMPARE(pictures[2].picture, PrintPicture::Picture3);
    QCOMPARE(pictures[2].rect,
             QRectF(*printPosition(s.Format14OffsetX3), *printPosition(s.Format14OffsetY3), f.DimC, f.DimD));
    QVERIFY(ofKind(page, Kind::Box).isEmpty());
    const auto circles = ofKind(page, Kind::Circle);
    QCOMPARE(circles.size(), 3);
    QCOMPARE(circles[0].rect, pictures[1].rect);
    QCOMPARE(circles[1].rect, pictures[2].rect);
    QCOMPARE(circles[2].rect, QRectF(pictures[0].rect.topLeft(), QSizeF(f.DimA, f.DimA)));
    // Picture 1's circle lies over the other labels' pictures: it is drawn after all of them.
    QVERIFY(page.operations.indexOf(circles[2]) > page.operations.indexOf(pictures[2]));
    QCOMPARE(page.operations.indexOf(circles[2]), page.operations.size() - 2); // then only the footer
}

void TstPrint::footerRule_data()
{
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<int>("dimB");
    QTest::addColumn<bool>("printed");
    QTest::newRow("landscape 180 mm high") << "Orizzontale" << 180 << true;
    QTest::newRow("landscape 181 mm high") << "Orizzontale" << 181 << false;
    QTest::newRow("portrait 250 mm high") << "Verticale" << 250 << true;
    QTest::newRow("orientation in other case counts as landscape") << "verticale" << 183 << false;
}

void TstPrint::footerRule()
{
    QFETCH(QString, orientation);
    QFETCH(int, dimB);
    QFETCH(bool, printed);
    AppState s = printState();
    s.Catalogue.entries[9].Orientation = orientation;
    s.Catalogue.entries[9].DimB = dimB;
    select(s, 9);
    const PrintComposition page = composeCover(s, 9, 0, QSizeF(287, 200), fixedMeasure);
    const auto texts = ofKind(page, Kind::Text);
    QCOMPARE(texts.size(), printed ? 1 : 0);
    if (printed) {
        QCOMPARE(texts.first().text, QString("Printed with Vantrelo 2.8.0.0 - covers"));
        // Centred across, ending 5 mm above the printable area's bottom edge.
        QCOMPARE(texts.first().rect, QRectF((287 - 60) / 2.0, 200 - 3 - 5, 60, 3));
    }
}

void TstPrint::noLineWithOutlinesOff()
{
    AppState s = printState();
    for (int format = 0; format <= 21; ++format) {
        select(s, format);
        for (int outlineSwitch : {0, 2}) {
            const PrintComposition page = composeCover(s, format, outlineSwitch, A4Portrait, fixedMeasure);
            QVERIFY2(ofKind(page, Kind::Box).isEmpty() && ofKind(page, Kind::Circle).isEmpty(),
                     qPrintable(QString("format %1").arg(format)));
        }
    }
}

void TstPrint::unknownFormatFails()
{
    AppState s = printState();
    const PrintComposition page = composeCover(s, -1, 1, A4Portrait, fixedMeasure);
    QVERIFY(page.operations.isEmpty());
    QCOMPARE(page.failures.size(), 1);
    s.Catalogue.entries[0].OffsetX = "1e20";
    select(s, 0);
    const PrintComposition huge = composeCover(s, 0, 0, A4Portrait, fixedMeasure);
    QCOMPARE(huge.failures.size(), 1);
    QCOMPARE(ofKind(huge, Kind::Picture).first().rect.left(), 0.0); // keeps its previous value
}

// Where the pictures lie on the page, in millimetres from the paper's corner, worked by
// hand: the 5 mm inset of the page plus the catalogue's print position (halves kept),
// spanning the format's sizes.
struct ExpectedArea
{
    const char *what;
    QColor colour;
    QPointF insideMm;
    QRectF rectMm;
};

QList<ExpectedArea> expectedAreas(int format)
{
    switch (format) {
    case 0: // DVD case: 5 + 6.5, 5 + 8.5; 274 x 183
        return {{"picture 1", Qt::red, {41, 43}, QRectF(QPointF(11.5, 13.5), QPointF(285.5, 196.5))}};
    case 3: // CD jewel case front and back: 5 + 40, 5 + 19.5; 120 x 120
        return {{"picture 1", Qt::red, {75, 55}, QRectF(QPointF(45, 24.5), QPointF(165, 144.5))}};
    case 10: // CD label, a disc: 5 + 41.5, 5 + 85; 117 across, measured through its centre
        return {{"disc", Qt::red, {105, 148.5}, QRectF(QPointF(46.5, 90), QPointF(163.5, 207))}};
    case 1: // DVD slim case 7 mm: 5 + 10, 5 + 8.5; 267 x 183, spine piece at 130, front at 137
        return {{"back", Qt::red, {35, 53}, QRectF(QPointF(15, 13.5), QPointF(145, 196.5))},
                {"front", Qt::blue, {192, 53}, QRectF(QPointF(152, 13.5), QPointF(282, 196.5))}};
    }
    return {};
}

void TstPrint::renderedEdges_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("target");
    for (int f : {0, 3, 10, 1})
        for (const char *t : {"image", "pdf", "pdf of JPEG files"})
            QTest::addRow("format %d, %s", f, t) << f << QString(t);
}

void TstPrint::renderedEdges()
{
    QFETCH(int, format);
    QFETCH(QString, target);
    AppState s = printState();
    select(s, format);
    const bool portrait = isPortraitOrientation(s.CurrentOrientation);
    const double pxPerMm = 10;
    PagePictures pictures = colouredPictures();
    const PageComposer compose = [&](QSizeF printable, const TextMeasure &m) {
        return composeCover(s, format, 1, printable, m);
    };
    QImage page;
    QTemporaryDir dir;
    // Each picture from a JPEG file of its own, which the PDF carries as it is.
    const bool jpegs = target.endsWith("JPEG files");
    QByteArray redFile;
    for (size_t i = 0; jpegs && i < pictures.size(); ++i) {
        const QString file = dir.filePath(QStringLiteral("picture-%1.jpg").arg(i));
        QVERIFY(pictures[i].save(file, nullptr, 90));
        pictures[i] = loadPicture(file);
        QVERIFY(!pictures[i].isNull());
        if (i == size_t(PrintPicture::Picture1))
            redFile = fileBytes(file);
    }
    if (target == "image") {
        // The painter on a page of its own, set up with the PDF's inset.
        const QSizeF paper = portrait ? QSizeF(210, 297) : QSizeF(297, 210);
        page = QImage((paper * pxPerMm).toSize(), QImage::Format_RGB32);
        page.setDotsPerMeterX(10000);
        page.setDotsPerMeterY(10000);
        page.fill(Qt::white);
        QPainter painter(&page);
        PageGeometry g{{5, 5}, paper - QSizeF(10, 10), pxPerMm, paper, {}};
        QStringList failures;
        paintPage(painter, g, compose(g.printableMm, footerMeasure(&page)), pictures, failures);
        QVERIFY(failures.isEmpty());
    } else {
        const QString pdf = dir.filePath("cover.pdf");
        PageSetup setup;
        setup.portrait = portrait;
        const OutputResult r = writeCoverPdf(pdf, setup, compose, pictures);
        QVERIFY2(r.produced, qPrintable(r.error));
        page = renderPdf(pdf, dir.path());
        QVERIFY(!page.isNull());
        const QSize expected = portrait ? QSize(2100, 2970) : QSize(2970, 2100);
        QVERIFY(std::abs(page.width() - expected.width()) <= 1 && std::abs(page.height() - expected.height()) <= 1);
        // A slim case prints its cut pieces, never picture 1 whole.
        if (jpegs && format != 1)
            QVERIFY(fileBytes(pdf).contains(redFile));
    }
    auto near = [](double a, double b) { return std::abs(a - b) <= 0.2; };
    const QList<ExpectedArea> areas = expectedAreas(format);
    QVERIFY(!areas.isEmpty());
    for (const ExpectedArea &area : areas) {
        const QRectF found = foundRect(page, pxPerMm, area.insideMm, area.colour);
        const QRectF &expected = area.rectMm;
        const QString where = QString("%1: found (%2, %3)-(%4, %5), expected (%6, %7)-(%8, %9)")
                                  .arg(area.what)
                                  .arg(found.left()).arg(found.top()).arg(found.right()).arg(found.bottom())
                                  .arg(expected.left()).arg(expected.top()).arg(expected.right()).arg(expected.bottom());
        QVERIFY2(near(found.left(), expected.left()) && near(found.top(), expected.top())
                     && near(found.right(), expected.right()) && near(found.bottom(), expected.bottom()),
                 qPrintable(where));
    }
}

void TstPrint::jpegFilesCarriedOnlyWhenUnchanged_data()
{
    QTest::addColumn<QString>("change");  // what happens between loading and the PDF
    QTest::addColumn<bool>("carried");    // the file's bytes are in the PDF
    QTest::addColumn<QColor>("shown");    // the colour printed in the front's middle
    QTest::addColumn<int>("left");        // and its first and last column, 0.1 mm each
    QTest::addColumn<int>("right");
    QTest::newRow("loaded and printed") << "" << true << QColor(Qt::red) << 450 << 1649;
    QTest::newRow("painted on after loading") << "paint" << false << QColor(Qt::yellow) << 450 << 1649;
    QTest::newRow("file rewritten since") << "rewrite" << false << QColor(Qt::red) << 450 << 1649;
    // 2 mm more on each side.
    QTest::newRow("with bleed") << "bleed" << false << QColor(Qt::red) << 430 << 1669;
    QTest::newRow("loaded reduced") << "reduced" << false << QColor(Qt::red) << 450 << 1649;
    // Picture 2, not from a file, has the size of the stand-in the front is drawn as:
    // the front's object cannot be told apart, and the page is drawn from its pixels.
    QTest::newRow("another picture of the stand-in's size") << "same size" << false << QColor(Qt::red) << 450
                                                            << 1649;
}

void TstPrint::jpegFilesCarriedOnlyWhenUnchanged()
{
    QFETCH(QString, change);
    QFETCH(bool, carried);
    QFETCH(QColor, shown);
    QFETCH(int, left);
    QFETCH(int, right);
    // A jewel case (format 3): the front is 120 x 120 mm at 45, 24.5 on the PDF's page,
    // 600 pixels wide: 127 per inch, well within what the page takes whole.
    AppState s = printState();
    select(s, 3);
    QTemporaryDir dir;
    const QString file = dir.filePath("front.jpg");
    QVERIFY(solid(Qt::red, {600, 600}).save(file, nullptr, 90));
    const QByteArray bytes = fileBytes(file);
    PagePictures pictures = colouredPictures();
    pictures[size_t(PrintPicture::Picture1)] =
        change == "reduced" ? loadPictureAtSize(file, [](QSize) { return QSize(300, 300); }) : loadPicture(file);
    QVERIFY(!pictures[size_t(PrintPicture::Picture1)].isNull());
    PageSetup setup;
    if (change == "paint")
        QPainter(&pictures[size_t(PrintPicture::Picture1)]).fillRect(0, 0, 600, 600, Qt::yellow);
    if (change == "rewrite")
        QVERIFY(solid(Qt::blue, {600, 600}).save(file, nullptr, 90));
    if (change == "bleed")
        setup.bleedMm = 2;
    if (change == "same size")
        pictures[size_t(PrintPicture::Picture2)] = pictures[size_t(PrintPicture::Overlay)] = solid(Qt::green, {5, 3});
    const QString pdf = dir.filePath("cover.pdf");
    const OutputResult r = writeCoverPdf(pdf, setup, [&](QSizeF printable, const TextMeasure &m) {
        return composeCover(s, 3, 0, printable, m);
    }, pictures);
    QVERIFY2(r.produced, qPrintable(r.error));
    QCOMPARE(fileBytes(pdf).contains(bytes), carried);
    const QImage page = renderPdf(pdf, dir.path());
    QVERIFY(!page.isNull());
    // The front's middle and its edges, 0.1 mm a pixel: 45 to 165 mm across.
    QVERIFY(isColour(page.pixel(1050, 845), shown));
    const auto front = runInRow(page, 845, shown);
    QVERIFY2(std::abs(front.first - left) <= 2 && std::abs(front.second - right) <= 2,
             qPrintable(QStringLiteral("%1 to %2").arg(front.first).arg(front.second)));
}

void TstPrint::jpegFileAppendedOnlyAsDecoded_data()
{
    QTest::addColumn<QString>("change"); // what happens to the file after decoding
    QTest::addColumn<bool>("appended");
    QTest::newRow("unchanged") << "" << true;
    QTest::newRow("rewritten with the same picture") << "rewrite" << false;
    QTest::newRow("cut short") << "cut" << false;
    QTest::newRow("removed") << "remove" << false;
}

void TstPrint::jpegFileAppendedOnlyAsDecoded()
{
    QFETCH(QString, change);
    QFETCH(bool, appended);
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    QVERIFY(solid(Qt::red, {64, 48}).save(path, nullptr, 90));
    const QByteArray bytes = fileBytes(path);
    const QImage picture = loadPicture(path);
    const std::optional<JpegFile> jpeg = unchangedJpegOf(picture);
    QVERIFY(jpeg);
    QCOMPARE(jpeg->frame.size, QSize(64, 48));
    QCOMPARE(jpeg->stamp.size, bytes.size());
    if (change == "rewrite") {
        // The same bytes written again an instant later: the times tell.
        QTest::qWait(20);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
    }
    if (change == "cut")
        QVERIFY(QFile::resize(path, bytes.size() / 2));
    if (change == "remove")
        QVERIFY(QFile::remove(path));
    QByteArray out("head");
    QCOMPARE(appendJpegFile(out, *jpeg), appended);
    QCOMPARE(out, appended ? "head" + bytes : QByteArray("head"));
}

void TstPrint::jpegFrames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size"); // invalid: no frame a PDF takes as it is
    QTest::addColumn<int>("components");
    QTest::newRow("colour") << "colour" << QSize(64, 48) << 3;
    QTest::newRow("grey") << "grey" << QSize(64, 48) << 1;
    QTest::newRow("progressive") << "progressive" << QSize(64, 48) << 3;
    QTest::newRow("arithmetic coding") << "arithmetic" << QSize() << 0;
    QTest::newRow("twelve bits a sample") << "12 bits" << QSize() << 0;
    QTest::newRow("four components") << "cmyk" << QSize() << 0;
    QTest::newRow("header cut short") << "cut" << QSize() << 0;
    QTest::newRow("a PNG") << "png" << QSize() << 0;
}

void TstPrint::jpegFrames()
{
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    QFETCH(int, components);
    QImage picture = solid(Qt::red, {64, 48});
    if (kind == "grey")
        picture = picture.convertToFormat(QImage::Format_Grayscale8);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, kind == "png" ? "png" : "jpeg");
    writer.setProgressiveScanWrite(kind == "progressive");
    QVERIFY(writer.write(picture));
    QByteArray data = buffer.data();
    // The frame header: FF C0 (or C2 when progressive), its length, the precision, the
    // height, the width and the number of components.
    const qsizetype frame = std::max(data.indexOf("\xFF\xC0"), data.indexOf("\xFF\xC2"));
    if (kind != "png")
        QVERIFY(frame > 0);
    if (kind == "arithmetic")
        data[frame + 1] = char(0xC9);
    if (kind == "12 bits")
        data[frame + 4] = 12;
    if (kind == "cmyk")
        data[frame + 9] = 4;
    if (kind == "cut")
        data.truncate(frame + 6);
    const std::optional<JpegFrame> found = readJpegFrame(data);
    QCOMPARE(found.has_value(), size.isValid());
    if (found) {
        QCOMPARE(found->size, size);
        QCOMPARE(found->components, components);
    }
}

void TstPrint::placementModesInThePdf_data()
{
    QTest::addColumn<int>("mode");
    // Width of the red and the blue band of a 3:2 picture 300 px wide (drawn at 1500 x 1000,
    // so the smoothing between the bands is narrower than the tolerance).
    QTest::addColumn<int>("sideBand");
    QTest::addColumn<QRectF>("green"); // where the middle band lands in the 120 mm square, mm
    QTest::addColumn<QRectF>("red");   // and the left band; empty: none shows
    // Fill: the 3:2 picture 120 mm high is 180 mm wide, 30 mm cut at each side: exactly
    // the 50 px side bands (50/300 of 180 mm). The middle band covers the whole area.
    QTest::newRow("fill shows the middle band across") << int(Placement::Mode::Fill) << 50
                                                       << QRectF(0, 0, 120, 120) << QRectF();
    // Fit: 120 x 80 mm, white bands of 20 mm above and below; bands 40 mm each.
    QTest::newRow("fit leaves white bands") << int(Placement::Mode::Fit) << 100 << QRectF(40, 20, 40, 80)
                                            << QRectF(0, 20, 40, 80);
    // Stretch: 300 x 200 over 120 x 120 mm: three equal bands of 40 mm, full height.
    QTest::newRow("stretch shows three equal bands") << int(Placement::Mode::Stretch) << 100
                                                     << QRectF(40, 0, 40, 120) << QRectF(0, 0, 40, 120);
}

void TstPrint::placementModesInThePdf()
{
    QFETCH(int, mode);
    QFETCH(int, sideBand);
    QFETCH(QRectF, green);
    QFETCH(QRectF, red);
    QImage bands(1500, 1000, QImage::Format_RGB32);
    {
        const int side = 5 * sideBand;
        QPainter p(&bands);
        p.fillRect(0, 0, side, 1000, Qt::red);
        p.fillRect(side, 0, 1500 - 2 * side, 1000, Qt::green);
        p.fillRect(1500 - side, 0, side, 1000, Qt::blue);
    }
    AppState s = printState();
    const int format = 4; // a 120 mm square, printed at 40, 83.5
    select(s, format);
    CoverContent c = blankContent();
    c.format = format;
    Placement placement;
    placement.mode = Placement::Mode(mode);
    c.pictures[0] = {QStringLiteral("bands.png"), bands, placement};
    CoverRenderer renderer;
    const PagePictures pictures = pagePicturesOf(renderer.render(c, areaSizesMm(s, format)));
    QTemporaryDir dir;
    const QString pdf = dir.filePath("cover.pdf");
    const OutputResult r = writeCoverPdf(pdf, PageSetup(), [&](QSizeF printable, const TextMeasure &m) {
        return composeCover(s, format, 0, printable, m);
    }, pictures);
    QVERIFY2(r.produced, qPrintable(r.error));
    const QImage page = renderPdf(pdf, dir.path());
    QVERIFY(!page.isNull());
    const QPointF area(PdfMarginMm + 40, PdfMarginMm + 83.5);
    auto check = [&](QColor colour, const QRectF &expected) {
        const QRectF found = foundRect(page, 10, area + expected.center(), colour).translated(-area);
        const QString where = QStringLiteral("%1: found (%2, %3)-(%4, %5)")
                                  .arg(colour.name()).arg(found.left()).arg(found.top())
                                  .arg(found.right()).arg(found.bottom());
        QVERIFY2(std::abs(found.left() - expected.left()) <= 0.3 && std::abs(found.top() - expected.top()) <= 0.3
                     && std::abs(found.right() - expected.right()) <= 0.3
                     && std::abs(found.bottom() - expected.bottom()) <= 0.3,
                 qPrintable(where));
    };
    check(Qt::green, green);
    if (red.isEmpty()) {
        QVERIFY(runInRow(page, int((area.y() + 60) * 10), Qt::red).first < 0);
        QVERIFY(runInRow(page, int((area.y() + 60) * 10), Qt::blue).first < 0);
    } else {
        check(Qt::red, red);
    }
    if (mode == int(Placement::Mode::Fit)) { // white above and below the picture
        const QColor above(page.pixel(int((area.x() + 60) * 10), int((area.y() + 10) * 10)));
        const QColor below(page.pixel(int((area.x() + 60) * 10), int((area.y() + 110) * 10)));
        QCOMPARE(above, QColor(Qt::white));
        QCOMPARE(below, QColor(Qt::white));
    }
}

void TstPrint::largePicturesAreReducedForPrint()
{
    const QImage photo = solid(Qt::gray, {6000, 4000});
    const QImage printed = pictureForPrint(photo, QSizeF(120, 80));
    // 120 mm at 600 pixels per inch is 2835 pixels.
    QCOMPARE(printed.size(), QSize(2835, 1890));
    const QImage small = solid(Qt::gray, {800, 600});
    QCOMPARE(pictureForPrint(small, QSizeF(120, 80)).cacheKey(), small.cacheKey());
}

void TstPrint::hugePhotosAreReducedOnLoad_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("loaded");
    QTest::newRow("JPEG wider than the limit") << "jpg" << QSize(8000, 2000) << QSize(6800, 1700);
    QTest::newRow("PNG taller than the limit") << "png" << QSize(1000, 13600) << QSize(500, 6800);
    QTest::newRow("at the limit stays") << "jpg" << QSize(6800, 100) << QSize(6800, 100);
    // 240 million pixels, far beyond what may be decoded whole: read reduced on the way
    // in, 4000 x 6800 / 60000 = 453.3 pixels wide.
    QTest::newRow("tall JPEG") << "grey jpg" << QSize(4000, 60000) << QSize(453, 6800);
}

void TstPrint::hugePhotosAreReducedOnLoad()
{
    QFETCH(QString, format);
    QFETCH(QSize, size);
    QFETCH(QSize, loaded);
    QTemporaryDir dir;
    // Left half red, right half blue: resampling keeps the halves where they were. A
    // grey picture (a quarter of the memory, for the largest) is black and white.
    const bool grey = format.startsWith("grey ");
    const QColor left = grey ? Qt::black : Qt::red, right = grey ? Qt::white : Qt::blue;
    const QString path = dir.filePath("big." + format.section(u' ', -1));
    {
        QImage img(size, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
        QVERIFY(!img.isNull());
        img.fill(left);
        QPainter(&img).fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()), right);
        QVERIFY(img.save(path, nullptr, 95));
    }
    const QImage picture = loadPicture(path);
    QCOMPARE(picture.size(), loaded);
    QVERIFY(isColour(picture.pixel(loaded.width() / 4, loaded.height() / 2), left));
    QVERIFY(isColour(picture.pixel(loaded.width() * 3 / 4, loaded.height() / 2), right));
}

void TstPrint::picturesDecodedAtTheAskedSize_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSize>("asked"); // what the rule answers for the 1600 x 1200 picture
    QTest::addColumn<QSize>("loaded");
    QTest::newRow("JPEG a quarter across and down") << "jpg" << QSize(400, 300) << QSize(400, 300);
    QTest::newRow("JPEG between the decoder's steps") << "jpg" << QSize(1000, 750) << QSize(1000, 750);
    QTest::newRow("stretched: each direction its own") << "jpg" << QSize(800, 200) << QSize(800, 200);
    QTest::newRow("PNG") << "png" << QSize(400, 300) << QSize(400, 300);
    QTest::newRow("never enlarged") << "jpg" << QSize(3200, 2400) << QSize(1600, 1200);
    QTest::newRow("larger one way only") << "jpg" << QSize(3200, 600) << QSize(1600, 600);
    QTest::newRow("no answer keeps the size") << "jpg" << QSize() << QSize(1600, 1200);
}

void TstPrint::picturesDecodedAtTheAskedSize()
{
    QFETCH(QString, format);
    QFETCH(QSize, asked);
    QFETCH(QSize, loaded);
    QTemporaryDir dir;
    const QString path = dir.filePath("photo." + format);
    QImage img(1600, 1200, QImage::Format_RGB32);
    img.fill(Qt::red);
    QPainter(&img).fillRect(QRect(800, 0, 800, 1200), Qt::blue);
    QVERIFY(img.save(path, nullptr, 95));
    QSize toldSize;
    const QImage picture = loadPictureAtSize(path, [&](QSize s) {
        toldSize = s;
        return asked;
    });
    QCOMPARE(toldSize, QSize(1600, 1200));
    QCOMPARE(picture.size(), loaded);
    QVERIFY(isColour(picture.pixel(loaded.width() / 4, loaded.height() / 2), Qt::red));
    QVERIFY(isColour(picture.pixel(loaded.width() * 3 / 4, loaded.height() / 2), Qt::blue));
}

void TstPrint::exportOfHugePhotosKeepsThePrintedPixels()
{
    // A jewel case (format 3) from a 6000 x 4000 photo, stretched: decoded smaller than
    // the photo, the page still gets 600 per inch of every area. Front 120 x 120 mm:
    // 120 / 25.4 x 600 = 2834.6, so 2835 square; back 151 x 118 mm: 3566.9 x 2787.4,
    // so 3567 x 2788.
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.jpg");
    {
        QImage img(6000, 4000, QImage::Format_RGB32);
        img.fill(Qt::red);
        QPainter(&img).fillRect(QRect(3000, 0, 3000, 4000), Qt::blue);
        QVERIFY(img.save(photo, nullptr, 90));
    }
    const QString project = writeProject(dir.path(), 3, photo);
    const QString pdf = dir.filePath("jewel.pdf");
    const RunResult r = runProgram({"--export-pdf", pdf, project}, folder.path());
    QCOMPARE(r.code, 0);
    QProcess list;
    list.start("pdfimages", {"-list", pdf});
    QVERIFY(list.waitForFinished(20000));
    QStringList sizes;
    for (const QString &line : QString::fromUtf8(list.readAllStandardOutput()).split(u'\n').mid(2)) {
        const QStringList f = line.simplified().split(u' ');
        if (f.size() > 4 && f[2] == "image")
            sizes << f[3] + u'x' + f[4];
    }
    sizes.sort();
    QCOMPARE(sizes, (QStringList{"2835x2835", "3567x2788"}));
}

void TstPrint::dialogGuardAndDefaultEntry()
{
    FakePrintSystem sys;
    frmStampa dialog(sys.context());
    QCOMPARE(itemsOf(dialog.printerList()), (QStringList{"Draft Jet", "Office Laser", "Photo", "PDF file"}));
    QCOMPARE(dialog.printerList()->currentText(), QString("Office Laser"));
    QCOMPARE(sys.current, QString("Office Laser"));
    QVERIFY(sys.memory.selectionGuard); // the default's selection only set the guard
    // Opening set the default printer again to itself.
    QCOMPARE(sys.entries("default:"), QStringList{"default:Office Laser"});
    QCOMPARE(dialog.qualityList()->count(), 4);
    QCOMPARE(dialog.windowTitle(), QString(sys.state.Language[38]).remove(u'&'));
    QVERIFY(std::abs(dialog.windowOpacity() - 245.0 / 255.0) < 0.01);

    // A later pick becomes current and default at once, even if the user then cancels.
    dialog.printerList()->setCurrentIndex(0);
    QCOMPARE(sys.current, QString("Draft Jet"));
    QCOMPARE(sys.entries("default:").last(), QString("default:Draft Jet"));
    QCOMPARE(dialog.qualityList()->count(), 2);
    dialog.pressButton(1);
    QVERIFY(sys.entries("print:").isEmpty());
    QCOMPARE(sys.entries("default:").last(), QString("default:Draft Jet"));
}

void TstPrint::dialogFirstPickWithoutDefault()
{
    FakePrintSystem sys;
    sys.defaultEntry.clear();
    frmStampa dialog(sys.context());
    QVERIFY(sys.current.isEmpty());
    // The user's very first pick is the printer the job goes to.
    dialog.printerList()->setCurrentIndex(2);
    QCOMPARE(sys.current, QString("Photo"));
    dialog.pressButton(0);
    QCOMPARE(sys.entries("print:"), QStringList{"print:Photo:portrait:1"});
}

void TstPrint::dialogFollowsPrinter_data()
{
    QTest::addColumn<int>("printer");
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<double>("offsetX");
    QTest::addColumn<double>("scaleY");
    QTest::newRow("no paper of its own, ready, corrected") << 1 << "A4" << "" << 1.25 << 99.75;
    QTest::newRow("Letter, not accepting") << 2 << "US Letter" << "This printer is not accepting jobs." << 0.0
                                           << 100.0;
    QTest::newRow("stopped") << 0 << "A4"
                             << "This printer is stopped: jobs wait in its queue until it is resumed." << 0.0
                             << 100.0;
}

void TstPrint::dialogFollowsPrinter()
{
    QFETCH(int, printer);
    QFETCH(QString, paper);
    QFETCH(QString, warning);
    QFETCH(double, offsetX);
    QFETCH(double, scaleY);
    FakePrintSystem sys;
    frmStampa dialog(sys.context());
    dialog.show();
    dialog.printerList()->setCurrentIndex(printer);
    QCOMPARE(dialog.paperList()->currentText(), paper);
    QCOMPARE(dialog.queueWarningLabel()->isVisible(), !warning.isEmpty());
    if (!warning.isEmpty())
        QCOMPARE(dialog.queueWarningLabel()->text(), warning);
    QCOMPARE(dialog.correctionField(0)->value(), offsetX);
    QCOMPARE(dialog.correctionField(3)->value(), scaleY);
    QVERIFY(dialog.correctionField(0)->isEnabled());
    QVERIFY(dialog.calibrationButton()->isEnabled());

    // The PDF file has no queue and no correction.
    dialog.printerList()->setCurrentIndex(dialog.printerList()->count() - 1);
    QVERIFY(!dialog.queueWarningLabel()->isVisible());
    QVERIFY(!dialog.correctionField(0)->isEnabled());
    QVERIFY(!dialog.calibrationButton()->isEnabled());
    QVERIFY(dialog.pageSetup().correction.isIdentity());
}

void TstPrint::dialogSetupReachesThePage()
{
    FakePrintSystem sys;
    frmStampa dialog(sys.context());
    dialog.paperList()->setCurrentIndex(2);
    dialog.cropMarksBox()->setChecked(true);
    dialog.bleedField()->setValue(2);
    // A new correction for the office printer is kept for it at once.
    dialog.correctionField(0)->setValue(1.5);
    dialog.correctionField(2)->setValue(101);
    QCOMPARE(sys.corrections.value("Office Laser"), (PrintCorrection{1.5, -0.5, 101, 99.75}));
    dialog.pressButton(0);
    QCOMPARE(sys.entries("setup:"), QStringList{"setup:2:marks:2:1.5,-0.5,101,99.75"});

    // Another printer shows its own (here none); the office one keeps what was entered.
    FakePrintSystem other;
    other.corrections = sys.corrections;
    frmStampa again(other.context());
    again.printerList()->setCurrentIndex(0);
    QCOMPARE(again.correctionField(0)->value(), 0.0);
    again.printerList()->setCurrentIndex(1);
    QCOMPARE(again.correctionField(0)->value(), 1.5);

    // The PDF file is never corrected.
    again.printerList()->setCurrentIndex(again.printerList()->count() - 1);
    other.pdfAnswer = QDir::temp().filePath("vt-setup.pdf");
    again.pressButton(0);
    QCOMPARE(other.entries("pdfsetup:"), QStringList{"pdfsetup:0:exact"});
}

void TstPrint::dialogOffSheetAsks_data()
{
    QTest::addColumn<bool>("crosses");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("printed");
    QTest::newRow("inside: no question") << false << false << 0 << 1;
    QTest::newRow("crossing, No: nothing printed") << true << false << 1 << 0;
    QTest::newRow("crossing, Yes: printed") << true << true << 1 << 1;
}

void TstPrint::dialogOffSheetAsks()
{
    QFETCH(bool, crosses);
    QFETCH(bool, yes);
    QFETCH(int, asked);
    QFETCH(int, printed);
    FakePrintSystem sys;
    sys.coverCrosses = crosses;
    sys.answerYes = yes;
    frmStampa dialog(sys.context());
    dialog.pressButton(0);
    QCOMPARE(sys.entries("ask:").size(), asked);
    if (asked)
        QVERIFY(sys.entries("ask:").first().contains("past the printable area"));
    QCOMPARE(sys.entries("print:").size(), printed);
    QCOMPARE(dialog.result(), printed ? int(QDialog::Accepted) : 0);
}

void TstPrint::dialogCalibrationPage()
{
    FakePrintSystem sys;
    sys.state.CurrentOrientation = "Orizzontale";
    frmStampa dialog(sys.context());
    QVERIFY(!dialog.portraitShown());
    // Upright whatever the cover's orientation, on the printer chosen, and the dialog stays.
    QTest::mouseClick(dialog.calibrationButton(), Qt::LeftButton);
    QCOMPARE(sys.entries("calibration:"), QStringList{"calibration:Office Laser:portrait"});
    QVERIFY(sys.entries("print:").isEmpty());
    QCOMPARE(dialog.result(), 0);
}

void TstPrint::dialogOtherCaseBecomesCurrent()
{
    FakePrintSystem sys;
    sys.printers = {"Draft Jet", "office laser"};
    sys.memory.selectionGuard = true; // a later opening in the same run
    frmStampa dialog(sys.context());
    // Not selected in the list (names differ in case), but current and default all the same.
    QCOMPARE(dialog.printerList()->currentIndex(), -1);
    QCOMPARE(dialog.printerList()->currentText(), QString("Office Laser"));
    QCOMPARE(sys.current, QString("office laser"));
    QCOMPARE(sys.entries("default:"), QStringList{"default:office laser"});
}

void TstPrint::dialogTypedNameAndClearedText()
{
    FakePrintSystem sys;
    frmStampa dialog(sys.context());
    const int defaultsBefore = sys.entries("default:").size();
    QLineEdit *edit = dialog.printerList()->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, "Nobody");
    QCOMPARE(sys.current, QString("Office Laser")); // nothing matched: stays
    QVERIFY(sys.entries("default:").size() > defaultsBefore); // set again as default
    QCOMPARE(sys.entries("default:").last(), QString("default:Office Laser"));

    // A cleared text selects the first installed printer.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(sys.current, QString("Draft Jet"));
    QCOMPARE(dialog.printerList()->currentText(), QString("Draft Jet"));
}

void TstPrint::dialogQualityPositionReapplied()
{
    FakePrintSystem sys;
    frmStampa dialog(sys.context());
    dialog.qualityList()->setCurrentIndex(2); // low, on the four-quality printer
    QCOMPARE(sys.state.PrintQualityIndex, qint16(2));
    QCOMPARE(sys.entries("quality:").last(), QString("quality:Office Laser:-2"));
    const int applied = sys.entries("quality:").size();
    dialog.printerList()->setCurrentIndex(0); // high and draft only
    QCOMPARE(dialog.qualityList()->count(), 2);
    QCOMPARE(dialog.qualityList()->currentIndex(), -1); // position 2 does not exist
    QCOMPARE(sys.entries("quality:").size(), applied); // the printer keeps its own quality
    dialog.printerList()->setCurrentIndex(1); // back to four: position 2 again
    QCOMPARE(dialog.qualityList()->currentIndex(), 2);
    QCOMPARE(sys.entries("quality:").last(), QString("quality:Office Laser:-2"));
}

void TstPrint::dialogCopies_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("copies"); // 0: left as it was
    QTest::newRow("3") << "3" << 3;
    QTest::newRow("2.5 rounds to even") << "2.5" << 2;
    QTest::newRow("3.5 rounds to even") << "3.5" << 4;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("letters") << "two" << 0;
    QTest::newRow("0.4 rounds to nothing") << "0.4" << 0;
    QTest::newRow("above 999 is capped") << "5000" << 999;
    QTest::newRow("too large to count") << "99999" << 0;
}

void TstPrint::dialogCopies()
{
    QFETCH(QString, text);
    QFETCH(int, copies);
    QCOMPARE(copiesFromText(text).value_or(0), copies);

    FakePrintSystem sys;
    sys.printer->setCopyCount(7);
    frmStampa dialog(sys.context());
    dialog.copiesField()->setEditText(text);
    dialog.pressButton(0);
    QCOMPARE(sys.entries("print:"), QStringList{QString("print:Office Laser:portrait:%1").arg(copies ? copies : 7)});
}

void TstPrint::dialogOrientation()
{
    FakePrintSystem sys;
    frmStampa dialog(sys.context());
    QVERIFY(!dialog.portraitIcon()->isHidden());
    QVERIFY(dialog.landscapeIcon()->isHidden());
    dialog.show();
    QTest::mouseClick(dialog.portraitIcon(), Qt::LeftButton);
    QVERIFY(dialog.portraitIcon()->isHidden());
    QVERIFY(!dialog.landscapeIcon()->isHidden());
    dialog.pressButton(0);
    QCOMPARE(sys.entries("print:"), QStringList{"print:Office Laser:landscape:1"});

    FakePrintSystem wide;
    wide.state.CurrentOrientation = "Orizzontale";
    frmStampa landscape(wide.context());
    QVERIFY(landscape.portraitIcon()->isHidden());
    QVERIFY(!landscape.landscapeIcon()->isHidden());
}

void TstPrint::dialogCancelPrintsNothing()
{
    FakePrintSystem sys;
    {
        frmStampa dialog(sys.context());
        dialog.show();
        QTest::mouseClick(dialog.button(1)->caption(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
    QVERIFY(sys.entries("print:").isEmpty());
    QVERIFY(sys.entries("pdf:").isEmpty());
    QCOMPARE(sys.entries("sound:"), QStringList{"sound:Files/Click2.wav"});
    sys.state.SoundsOn = false;
    sys.log.clear();
    frmStampa quiet(sys.context());
    quiet.pressButton(1);
    QVERIFY(sys.entries("sound:").isEmpty());
}

void TstPrint::dialogByKeyboardAlone_data()
{
    QTest::addColumn<QString>("confirm");
    QTest::newRow("Enter in the copies field") << "enter";
    QTest::newRow("Space on the print button") << "space";
    QTest::newRow("Enter on the print button") << "button-enter";
    QTest::newRow("access key Alt+P") << "alt";
}

void TstPrint::dialogByKeyboardAlone()
{
    QFETCH(QString, confirm);
    FakePrintSystem sys;
    frmStampa dialog(sys.context());
    // Reading order: printer, paper, the orientation shown, quality, copies, the cut
    // extras, the printer's correction, its calibration page, Print, Cancel.
    QCOMPARE(tabWalk(&dialog),
             (QStringList{"Combo1", "cboPaper", "Image2", "cboQualita", "Combo2", "chkCropMarks", "txtBleed",
                          "txtOffsetX", "txtOffsetY", "txtScaleX", "txtScaleY", "cmdCalibration", "Label1_0",
                          "Label1_1"}));
    QVERIFY(dialog.button(0)->isDefault());
    QCOMPARE(dialog.button(0)->caption()->text(), QString("&Print"));
    QCOMPARE(dialog.button(1)->caption()->text(), QString("&Cancel"));

    // Another printer by arrow key, landscape by Space on the orientation picture, 3 copies.
    QVERIFY(tabTo("Combo1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(dialog.printerList()->currentText(), QString("Photo"));
    QVERIFY(tabTo("Image2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(!dialog.portraitShown());
    QCOMPARE(focusName(), QString("Image3")); // the focus stays on the orientation
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(dialog.portraitShown());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(tabTo("Combo2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "3");
    QVERIFY(sys.entries("print:").isEmpty());

    if (confirm == "enter") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else if (confirm == "space" || confirm == "button-enter") {
        QVERIFY(tabTo("Label1_0"));
        // The focus shows on the button: its caption is drawn differently with it.
        const QImage focused = dialog.button(0)->caption()->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(dialog.button(0)->caption()->grab().toImage() != focused);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), confirm == "space" ? Qt::Key_Space : Qt::Key_Return);
    } else {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
    }
    QCOMPARE(sys.entries("print:"), QStringList{"print:Photo:landscape:3"});
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TstPrint::dialogKeyboardCancel()
{
    FakePrintSystem sys;
    frmStampa dialog(sys.context());
    QCOMPARE(tabWalk(&dialog).size(), 14);
    // Enter on Cancel cancels: a focused button takes Enter from the default one.
    QVERIFY(tabTo("Label1_1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(sys.entries("print:").isEmpty());
}

void TstPrint::dialogFailureShowsOneBox_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<bool>("produced");
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("systemReason");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<PaperKind>("paper");
    QTest::newRow("queue refuses: printer named, dialog stays")
        << "English.lng" << false << false << int(OutputFailure::PrinterRefused) << "Office Laser" << ""
        << "Printing failed"
        << "The cover was not printed: the printer Office Laser does not accept jobs. Choose another printer." << true << PaperKind::A4;
    QTest::newRow("job stopped, in French")
        << "Français.lng" << false << false << int(OutputFailure::PrinterStopped) << "Office Laser" << ""
        << "Échec de l'impression"
        << "La jaquette n'a pas été imprimée : l'imprimante Office Laser a interrompu le travail." << true << PaperKind::A4;
    QTest::newRow("unwritable PDF, in German: file and reason named")
        << "Deutsch.lng" << true << false << int(OutputFailure::FileNotWritten) << "/proc/cover.pdf"
        << "Permission denied" << "Drucken fehlgeschlagen"
        << "Das Cover wurde nicht gedruckt: Die Datei /proc/cover.pdf kann nicht geschrieben werden "
           "(Permission denied). Wählen Sie einen anderen Ordner oder Dateinamen."
        << true << PaperKind::A4;
    QTest::newRow("paper the queue lacks, in Portuguese: printer and paper named")
        << "Portuguese.lng" << false << false << int(OutputFailure::PaperNotTaken) << "Office Laser" << ""
        << "Falha na impressão"
        << "A capa não foi impressa: a impressora Office Laser não aceita papel Ofício EUA. Escolha outro papel ou outra "
           "impressora."
        << true << PaperKind::Legal;
    QTest::newRow("no printer, in Spanish")
        << "Spanish.lng" << false << false << int(OutputFailure::NoPrinter) << "" << "" << "Error de impresión"
        << "La carátula no se imprimió: no hay ninguna impresora elegida." << true << PaperKind::A4;
    QTest::newRow("page with parts missing: nothing sent, told, dialog stays")
        << "Italiano.lng" << false << false << int(OutputFailure::None) << "" << "" << "Stampa non riuscita"
        << "La copertina non è stata stampata: alcune immagini o alcuni testi non si possono disegnare." << true << PaperKind::A4;
}

void TstPrint::dialogFailureShowsOneBox()
{
    QFETCH(QString, language);
    QFETCH(bool, pdf);
    QFETCH(bool, produced);
    QFETCH(int, cause);
    QFETCH(QString, target);
    QFETCH(QString, systemReason);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, staysOpen);
    QFETCH(PaperKind, paper);
    FakePrintSystem sys;
    QVERIFY(readLanguageFile(QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Lang/") + language, sys.state.Language));
    OutputResult outcome;
    outcome.produced = produced;
    outcome.cause = OutputFailure(cause);
    outcome.target = target;
    outcome.error = systemReason;
    outcome.paper = paper;
    if (OutputFailure(cause) == OutputFailure::None)
        outcome.failures << "picture 2";
    sys.printSucceeds = false;
    sys.printOutcome = outcome;
    sys.pdfOutcome = outcome;
    sys.pdfAnswer = "/proc/cover.pdf";
    frmStampa dialog(sys.context());
    dialog.show();
    if (pdf)
        dialog.printerList()->setCurrentIndex(dialog.printerList()->count() - 1);
    dialog.pressButton(0);
    QCOMPARE(sys.entries("box:"), QStringList{"box:" + title + "|" + text});
    QCOMPARE(dialog.isVisible(), staysOpen);
    QCOMPARE(dialog.result(), staysOpen ? 0 : int(QDialog::Accepted));
    // The user picks another printer or file and tries again from the same dialog.
    if (staysOpen) {
        sys.printSucceeds = true;
        sys.pdfOutcome = OutputResult{true, {}, {}, OutputFailure::None, {}, PaperKind::A4};
        dialog.pressButton(0);
        QCOMPARE(sys.entries("box:").size(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
}

void TstPrint::pdfIntoUnwritableFolderNamesTheFile()
{
    const QString path = "/proc/cover.pdf";
    const OutputResult r = writeCoverPdf(path, PageSetup(), [](QSizeF, const TextMeasure &) { return PrintComposition(); },
                                         PagePictures{});
    QVERIFY(!r.produced);
    QCOMPARE(int(r.cause), int(OutputFailure::FileNotWritten));
    QCOMPARE(r.target, path);
    QVERIFY(!r.error.isEmpty());
}

void TstPrint::dialogPdfEntry()
{
    FakePrintSystem sys;
    sys.state.CurrentProjectPath = "/home/u/covers/Holiday.vtr";
    frmStampa dialog(sys.context());
    const int defaults = sys.entries("default:").size();
    dialog.printerList()->setCurrentIndex(dialog.printerList()->count() - 1);
    QVERIFY(dialog.pdfChosen());
    QCOMPARE(itemsOf(dialog.qualityList()), QStringList{sys.state.Language[95]});
    QCOMPARE(dialog.copiesField()->currentText(), QString("1"));
    QVERIFY(!dialog.copiesField()->isEnabled());
    QCOMPARE(sys.entries("default:").size(), defaults); // never the system's default

    // Cancelling the file dialog prints nothing and keeps the print dialog open.
    dialog.pressButton(0);
    QCOMPARE(sys.entries("choose:"), QStringList{"choose:/home/u/covers/Holiday.pdf"});
    QVERIFY(sys.entries("pdf:").isEmpty());
    QVERIFY(sys.entries("box:").isEmpty());
    QCOMPARE(dialog.result(), 0);

    sys.pdfAnswer = "/tmp/out.pdf";
    dialog.pressButton(0);
    QCOMPARE(sys.entries("pdf:"), QStringList{"pdf:/tmp/out.pdf:portrait"});
    QVERIFY(sys.entries("print:").isEmpty());

    QCOMPARE(proposedPdfPath(QString()), QString("Cover.pdf"));
    QCOMPARE(proposedPdfPath("Cover.vtr"), QString("Cover.pdf"));
    QCOMPARE(proposedPdfPath("/a/b.c.vtr"), QString("/a/b.c.pdf"));
}

void TstPrint::dialogWithoutPrinters()
{
    FakePrintSystem sys;
    sys.printers.clear();
    sys.defaultEntry.clear();
    sys.pdfAnswer = "/tmp/x.pdf";
    frmStampa dialog(sys.context());
    QCOMPARE(itemsOf(dialog.printerList()), QStringList{"PDF file"});
    QVERIFY(dialog.pdfChosen());
    QCOMPARE(dialog.qualityList()->count(), 1);
    dialog.pressButton(0);
    QCOMPARE(sys.entries("pdf:").size(), 1);
    QVERIFY(sys.entries("default:").isEmpty());
    QVERIFY(sys.entries("box:").isEmpty());
}

void TstPrint::dialogPdfFailureSaysWhy()
{
    FakePrintSystem sys;
    sys.pdfAnswer = "/full/cover.pdf";
    sys.pdfOutcome = OutputResult{false, "No space left on device", {}, OutputFailure::FileNotWritten, "/full/cover.pdf", PaperKind::A4};
    frmStampa dialog(sys.context());
    dialog.printerList()->setCurrentIndex(dialog.printerList()->count() - 1);
    QVERIFY(dialog.pdfChosen());
    dialog.pressButton(0);
    QCOMPARE(sys.entries("pdf:").size(), 1);
    // One box that names the file and the system's reason; never a success.
    const QStringList boxes = sys.entries("box:");
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].contains("/full/cover.pdf") && boxes[0].contains("No space left on device"), qPrintable(boxes[0]));
}

void TstPrint::writtenPdfOnAFullDiskKeepsTheOldFile()
{
    SmallDisk disk;
    if (!disk.isMounted())
        QSKIP("a small tmpfs needs root");
    AppState s = printState();
    select(s, 0);
    const QString pdf = disk.file("cover.pdf");
    QFile old(pdf);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\n") == 4);
    old.close();
    // Pictures of noise do not compress: the page is far larger than the disk.
    PagePictures pictures = colouredPictures();
    pictures[size_t(PrintPicture::Picture1)] = noisePicture(1);
    PageSetup landscape;
    landscape.portrait = false;
    const OutputResult r = writeCoverPdf(pdf, landscape, [&](QSizeF printable, const TextMeasure &m) {
        return composeCover(s, 0, 0, printable, m);
    }, pictures);
    QVERIFY(!r.produced);
    QCOMPARE(r.error, QString("No space left on device"));
    QCOMPARE(fileBytes(pdf), QByteArray("old\n"));
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"cover.pdf"});
}

// The page is drawn into a scratch file first; a temporary folder without room for it
// must not cost the export.
void TstPrint::pdfDrawnInMemoryWhenTheTemporaryFolderIsFull()
{
    QTemporaryDir out;
    SmallDisk disk;
    if (!disk.isMounted())
        QSKIP("a small tmpfs needs root");
    AppState s = printState();
    select(s, 0);
    PagePictures pictures = colouredPictures();
    pictures[size_t(PrintPicture::Picture1)] = noisePicture(7);
    PageSetup landscape;
    landscape.portrait = false;
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(disk.path()));
    const QString pdf = out.filePath("cover.pdf");
    const OutputResult r = writeCoverPdf(pdf, landscape, [&](QSizeF printable, const TextMeasure &m) {
        return composeCover(s, 0, 0, printable, m);
    }, pictures);
    if (savedTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTmp);
    QVERIFY2(r.produced, qPrintable(r.error));
    const QByteArray bytes = fileBytes(pdf);
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY2(bytes.size() > 200 * 1024, qPrintable(QString::number(bytes.size()))); // more than the 40 KiB disk
    QVERIFY(bytes.trimmed().endsWith("%%EOF"));
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TstPrint::commandLineFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("missing project") << "missing-project" << 1 << "nothere.vtr: no such project file";
    QTest::newRow("missing picture") << "missing-picture" << 1 << "gone.png";
    QTest::newRow("unwritable output") << "unwritable" << 1 << "cannot be written";
    QTest::newRow("unknown printer") << "unknown-printer" << 1 << "No Such Queue: unknown printer";
    QTest::newRow("bad option") << "bad-option" << 2 << "Usage:";
    QTest::newRow("window without a display") << "window" << 2 << "no display";
    QTest::newRow("help without a display") << "help" << 0 << "";
    QTest::newRow("version without a display") << "version" << 0 << "";
    QTest::newRow("print system unreachable") << "no-cups" << 1 << "the print system (CUPS) cannot be reached";
    QTest::newRow("output is the project") << "onto-project" << 2 << "refused";
    QTest::newRow("output is a link to a picture") << "onto-picture" << 2 << "refused";
    QTest::newRow("output is a pipe") << "onto-pipe" << 1 << "not a regular file";
    QTest::newRow("output on a full disk") << "full-disk" << 1 << "cannot be written: No space left on device";
    QTest::newRow("export written") << "ok" << 0 << "";
    QTest::newRow("export to standard output") << "stdout" << 0 << "";
}

void TstPrint::commandLineFailures()
{
    QFETCH(QString, kind);
    QFETCH(int, code);
    QFETCH(QString, mentions);
    QTemporaryDir dir;
    const QString project = writeProject(dir.path(), 3);
    const QByteArray projectBefore = fileBytes(project);
    QStringList args, env;
    SmallDisk disk;
    const QString pipe = dir.filePath("pipe.pdf");
    if (kind == "unknown-printer" && !isPrintSystemReachable())
        QSKIP("needs a running CUPS scheduler; the choice itself is checked in tst_common");
    if (kind == "no-cups") {
        args = {"--print", project, "--printer", "Office"};
        env = {"CUPS_SERVER=" + dir.filePath("no-scheduler.sock")};
    } else if (kind == "onto-project") {
        args = {"--export-pdf", project, project};
    } else if (kind == "onto-picture") {
        QVERIFY(QFile::link(dir.filePath("red.png"), dir.filePath("red-link.pdf")));
        args = {"--export-pdf", dir.filePath("red-link.pdf"), project};
    } else if (kind == "onto-pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
        args = {"--export-pdf", pipe, project};
    } else if (kind == "full-disk") {
        if (!disk.isMounted())
            QSKIP("a small tmpfs needs root");
        QFile old(disk.file("o.pdf"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\n") == 4);
        old.close();
        // A picture of noise: the PDF is far larger than the disk.
        QImage noise(600, 400, QImage::Format_RGB32);
        quint32 seed = 7;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
        QVERIFY(noise.save(dir.filePath("noise.png")));
        args = {"--export-pdf", disk.file("o.pdf"), writeProject(dir.path(), 4, dir.filePath("noise.png"))};
    } else if (kind == "stdout") {
        args = {"--export-pdf", "-", project};
    } else if (kind == "missing-project")
        args = {"--export-pdf", dir.filePath("o.pdf"), dir.filePath("nothere.vtr")};
    else if (kind == "missing-picture")
        args = {"--export-pdf", dir.filePath("o.pdf"), writeProject(dir.path(), 4, dir.filePath("gone.png"))};
    else if (kind == "unwritable")
        args = {"--export-pdf", dir.filePath("no/such/folder/o.pdf"), project};
    else if (kind == "unknown-printer")
        args = {"--print", project, "--printer", "No Such Queue"};
    else if (kind == "bad-option")
        args = {"--export-pdf"};
    else if (kind == "window")
        args = {project};
    else if (kind == "help")
        args = {"--help"};
    else if (kind == "version")
        args = {"--version"};
    else
        args = {"--export-pdf", dir.filePath("o.pdf"), project};
    const QByteArray pictureBefore = fileBytes(dir.filePath("red.png"));
    const RunResult r = runProgram(args, QStringLiteral(VT_RUN_DIR), env);
    QVERIFY2(r.code == code, qPrintable(QString("exit %1: %2").arg(r.code).arg(r.err)));
    // Whatever failed, the files the cover is made from are untouched.
    QCOMPARE(fileBytes(project), projectBefore);
    QCOMPARE(fileBytes(dir.filePath("red.png")), pictureBefore);
    if (kind == "stdout") {
        QVERIFY2(r.out.startsWith("%PDF-1.4") && r.out.trimmed().endsWith("%%EOF"), qPrintable(r.out.left(40)));
        QVERIFY(!QFile::exists(dir.filePath("-")));
        return;
    }
    if (kind == "onto-pipe") {
        QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
        struct stat st = {};
        QVERIFY(::stat(QFile::encodeName(pipe).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    }
    if (kind == "full-disk")
        QCOMPARE(fileBytes(disk.file("o.pdf")), QByteArray("old\n"));
    if (kind == "help" || kind == "version") {
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QVERIFY(r.out.contains(kind == "help" ? "Usage:" : "Vantrelo 2.8.0.0"));
        return;
    }
    if (code == 0) {
        QVERIFY(QFile::exists(dir.filePath("o.pdf")));
        return;
    }
    QVERIFY2(r.err.contains(mentions), qPrintable(r.err));
    QVERIFY(!QFile::exists(dir.filePath("o.pdf")));
    if (code == 1) // one line that says what failed
        QCOMPARE(r.err.trimmed().split(u'\n').filter(QRegularExpression("^vantrelo: ")).size(), 1);
}

void TstPrint::exportMatchesTheWindowsPage()
{
    // The command line prints what the window would: same program folder data, same
    // pictures and titles; and it writes nothing of its own.
    ProgramFolder folder(false, QStringLiteral(VT_RUN_DIR));
    QFile::remove(folder.file("Files/Vantrelo.ini"));
    const QByteArray catalogue = fileBytes(folder.file("Files/Covers.ini"));
    QTemporaryDir dir;
    const QString project = writeProject(dir.path(), 0);
    const QString pdf = dir.filePath("cover.pdf");
    const RunResult r = runProgram({"--export-pdf", pdf, project}, folder.path());
    QCOMPARE(r.code, 0);
    QProcess info;
    info.start("pdfinfo", {pdf});
    QVERIFY(info.waitForFinished(20000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(text.contains("Pages:           1"), qPrintable(text));
    QVERIFY2(text.contains("841.89 x 595.276 pts (A4)"), qPrintable(text)); // format 0 is landscape
    QVERIFY(!QFile::exists(folder.file("Files/Vantrelo.ini")));
    QCOMPARE(fileBytes(folder.file("Files/Covers.ini")), catalogue);

    const QImage page = renderPdf(pdf, dir.path());
    QVERIFY(!page.isNull());
    // Format 0 from 5 + 6.5 mm to 5 + 6.5 + 274 mm (worked out above, in expectedAreas).
    const QRectF found = foundRect(page, 10, QPointF(41, 113), Qt::red);
    QVERIFY2(std::abs(found.left() - 11.5) <= 0.2 && std::abs(found.right() - 285.5) <= 0.2,
             qPrintable(QString("%1..%2").arg(found.left()).arg(found.right())));
}

void TstPrint::realQueue()
{
    const QString queue = qEnvironmentVariable("VT_CUPS_QUEUE");
    const QString qualityQueue = qEnvironmentVariable("VT_CUPS_QUALITY_QUEUE");
    const QString output = qEnvironmentVariable("VT_CUPS_OUTPUT");
    if (queue.isEmpty() || output.isEmpty())
        QSKIP("no test print queue: scripts/test sets one up when run as root with CUPS and cups-pdf installed");

    // What the queues accept: cups-pdf only medium, its copy with a quality option all three.
    QVERIFY(installedPrinterNames().contains(queue));
    QCOMPARE(isQualitySupported(queue, -4), false);
    QCOMPARE(isQualitySupported(queue, -3), true);
    if (!qualityQueue.isEmpty()) {
        QCOMPARE(isQualitySupported(qualityQueue, -4), true);
        QCOMPARE(isQualitySupported(qualityQueue, -1), true);
    }

    auto waitForPdf = [&](const QStringList &before) -> QString {
        for (int i = 0; i < 300; ++i) {
            const QStringList now = QDir(output).entryList({"*.pdf"}, QDir::Files, QDir::Time);
            for (const QString &f : now)
                if (!before.contains(f)) {
                    const QString path = output + u'/' + f;
                    // cups-pdf writes the file in place: wait until its size settles.
                    QTest::qWait(300);
                    return path;
                }
            QTest::qWait(100);
        }
        return QString();
    };
    auto listing = [&] { return QDir(output).entryList({"*.pdf"}, QDir::Files); };
    auto checkPage = [&](const QString &pdf, const QPointF &origin, int format) {
        QTemporaryDir dir;
        const QImage page = renderPdf(pdf, dir.path());
        QVERIFY2(!page.isNull(), qPrintable(pdf));
        AppState s = printState();
        const CoverFormat &f = s.Catalogue.entries[size_t(format)];
        const QPointF p1 = origin + QPointF(*printPosition(f.OffsetX), *printPosition(f.OffsetY));
        const QRectF found = foundRect(page, 10, p1 + QPointF(20, 20), Qt::red);
        const QString where = QString("(%1, %2)-(%3, %4) against (%5, %6) size %7 x %8")
                                  .arg(found.left()).arg(found.top()).arg(found.right()).arg(found.bottom())
                                  .arg(p1.x()).arg(p1.y()).arg(f.DimA).arg(f.DimB);
        QVERIFY2(std::abs(found.left() - p1.x()) <= 0.3 && std::abs(found.top() - p1.y()) <= 0.3
                     && std::abs(found.right() - (p1.x() + f.DimA)) <= 0.3
                     && std::abs(found.bottom() - (p1.y() + f.DimB)) <= 0.3,
                 qPrintable(where));
    };

    // Through the command line.
    QTemporaryDir dir;
    const QString project = writeProject(dir.path(), 4);
    QStringList before = listing();
    const RunResult r = runProgram({"--print", project, "--printer", queue});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QString pdf = waitForPdf(before);
    QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote nothing");
    // The stock cups-pdf driver prints all of A4: its ImageableArea is "0 0 595 842", so
    // the page's origin is the paper's corner (Qt's own page margins would say 3.53 mm).
    const QPointF origin(0, 0);
    checkPage(pdf, origin, 4);

    // Through the print dialog of a real window.
    TestWindow w;
    QVERIFY(w.form.load());
    QVERIFY(w.form.loadPictureIntoSlot(0, dir.filePath("red.png")));
    w.form.selectFormat(4);
    w.form.Combo1_Click();
    PrintDialogContext context = systemPrintContext(w.form, w.state, w.form.printCommand()->memory());
    context.message = [](QWidget *, const QString &text, const QString &) { QFAIL(qPrintable(text)); };
    frmStampa dialog(context, &w.form);
    const int index = dialog.printerList()->findText(queue);
    QVERIFY(index >= 0);
    dialog.printerList()->setCurrentIndex(index);
    dialog.printerList()->setCurrentIndex(index == 0 && dialog.printerList()->count() > 2 ? 1 : 0);
    dialog.printerList()->setCurrentIndex(index);
    QCOMPARE(w.form.currentPrinter()->printerName(), queue);
    QCOMPARE(DefaultPrinterEntry().section(u',', 0, 0), queue);
    QProcess lpstat;
    lpstat.start("lpstat", {"-d"});
    QVERIFY(lpstat.waitForFinished(10000));
    QVERIFY2(QString::fromUtf8(lpstat.readAllStandardOutput()).contains(queue), "lpstat -d does not name the queue");
    before = listing();
    dialog.pressButton(0);
    pdf = waitForPdf(before);
    QVERIFY2(!pdf.isEmpty(), "cups-pdf wrote nothing for the dialog's print");
    checkPage(pdf, origin, 4);
}

QTEST_MAIN(TstPrint)
#include "tst_print.moc"
