// Titles drawn into the pictures: the surface's text boxes and sizes, where every format
// puts its titles, and that repeated runs reuse buffers and leave no stale title behind.
// Pictures are white, titles red; "ink" is any clearly reddish pixel.
#include "CatalogueState.h"
#include "common/Numbers.h"
#include "document/CoverRender.h"
#include "formats/FormatSelection.h"
#include "print/PagePainter.h"
#include "formats/TitleRendering.h"
#include "platform/PictureSurface.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QtTest>
#include <climits>
#include <sys/resource.h>

using namespace vt;
Q_DECLARE_METATYPE(vt::Placement)

namespace {

QImage blank(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w, h, format);
    img.fill(Qt::white);
    return img;
}

bool isInk(QRgb p)
{
    return qRed(p) - qGreen(p) > 40 && qRed(p) - qBlue(p) > 40;
}

// Bounding box of the ink inside `area` (the whole picture when null); null when none.
QRect inkBox(const QImage &img, QRect area = {})
{
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    area = area.isNull() ? rgb.rect() : area.intersected(rgb.rect());
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (isInk(line[x])) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Ink pixels in `area` and their centroid.
int inkCount(const QImage &img, const QRect &area, QPointF *centroid = nullptr)
{
    int n = 0;
    double sx = 0, sy = 0;
    const QRect r = area.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (isInk(img.pixel(x, y))) {
                ++n;
                sx += x;
                sy += y;
            }
    if (centroid && n)
        *centroid = QPointF(sx / n, sy / n);
    return n;
}

bool samePixels(const QImage &a, const QImage &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

TitleStyle redTitle(const QString &cover, const QString &spine, float size = 15.75f)
{
    TitleStyle s;
    s.CoverText = cover;
    s.SpineText = spine;
    s.FontName = QStringLiteral("Liberation Sans");
    s.FontSize = size;
    s.ForeColor = 0x0000FF; // red in the low byte
    return s;
}

void applyStyle(PictureSurface &surface, const TitleStyle &style, int size, int angle)
{
    surface.setFontName(style.FontName);
    surface.setFontSize(size);
    surface.setBold(style.FontBold);
    surface.setItalic(style.FontItalic);
    surface.setUnderline(style.FontUnderline);
    surface.setTextAngle(angle);
}

// The box a text drawn at (x, y) occupies.
QRect textBox(int angle, int x, int y, int tw, int th)
{
    return angle == 0 ? QRect(x, y, tw, th) : QRect(x - th, y, th, tw);
}

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

bool inside(const QRect &ink, const QRect &box, int slack = 2)
{
    return box.adjusted(-slack, -slack, slack, slack).contains(ink);
}

// The outputs of a run, as bits so table rows can list several.
enum Output { Image1 = 1, Image2 = 2, Image3 = 4, Overlay = 8, SlimSpine = 16, SlimFront = 32 };
constexpr int kOutputs[] = {Image1, Image2, Image3, Overlay, SlimSpine, SlimFront};

QImage pick(const TitledPictures &t, int which)
{
    switch (which) {
    case Image1: return t.image1;
    case Image2: return t.image2;
    case Image3: return t.image3;
    case Overlay: return t.overlay;
    case SlimSpine: return t.slimSpine;
    default: return t.slimFront;
    }
}

// The picture an output is titled from.
QImage &cleanOf(TitleRun &run, int which)
{
    switch (which) {
    case Image1: return run.clean1;
    case Image2: case Overlay: return run.clean2;
    case Image3: return run.clean3;
    case SlimSpine: return run.slimSpine;
    default: return run.slimFront;
    }
}

// Where a title goes in its picture.
enum Placement { SpineCentred, FrontRightHalf, FrontSeventh, FrontFifth };

bool isSlim(int format) { return format == 1 || format == 2 || (format >= 19 && format <= 21); }

// Pictures of different sizes, so a title placed with another picture's size shows.
TitleRun makeRun(int format, const TitleStyle &style)
{
    TitleRun run;
    run.formatIndex = format;
    run.style = style;
    run.clean1 = blank(641, 311);
    run.clean2 = blank(520, 402);
    run.clean3 = blank(377, 355);
    if (isSlim(format)) {
        run.slimSpine = blank(45, 311);
        run.slimFront = blank(301, 311);
    }
    return run;
}

bool sameOutputs(const TitledPictures &a, const TitledPictures &b)
{
    for (int which : kOutputs)
        if (!samePixels(pick(a, which), pick(b, which)))
            return false;
    return a.overlayVisible == b.overlayVisible;
}

} // namespace

class TstTitles : public QObject
{
    Q_OBJECT
private slots:
    void glyphsKeepTheirShapeOnPaper_data();
    void glyphsKeepTheirShapeOnPaper();
    void largeBitmapTakesFewPageFaults();
    void textBoxFollowsAngle_data();
    void textBoxFollowsAngle();
    void nothingDrawnWithoutSizeOrText_data();
    void nothingDrawnWithoutSizeOrText();
    void textSizeIsInPixelsAtAnyScale_data();
    void textSizeIsInPixelsAtAnyScale();
    void drawingLeavesGivenOutPictureAlone();
    void takeInReusesBufferForAnyFormat_data();
    void takeInReusesBufferForAnyFormat();
    void missingFamilyFallsBackToSans_data();
    void missingFamilyFallsBackToSans();

    void titleSizesFollowPictureHeight_data();
    void titleSizesFollowPictureHeight();
    void titlesLandWhereTheFormatPutsThem_data();
    void titlesLandWhereTheFormatPutsThem();
    void backSheetGetsSpineInBothBands_data();
    void backSheetGetsSpineInBothBands();
    void whichPicturesGetTitles_data();
    void whichPicturesGetTitles();
    void newRunLeavesNoTraceOfOldTitle_data();
    void newRunLeavesNoTraceOfOldTitle();
    void longTitleIsReducedToFit_data();
    void longTitleIsReducedToFit();
    void stableSizesReuseBuffers_data();
    void stableSizesReuseBuffers();
};

void TstTitles::textBoxFollowsAngle_data()
{
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("dpi");
    QTest::newRow("0°, 40 px") << 0 << 40 << false << 96;
    QTest::newRow("0°, 40 px on a 300 dpi picture") << 0 << 40 << false << 300;
    QTest::newRow("0°, 40 px on a 72 dpi picture") << 0 << 40 << false << 72;
    QTest::newRow("0°, bold 23 px") << 0 << 23 << true << 96;
    QTest::newRow("0°, 2500 px drawn scaled") << 0 << 2500 << false << 96;
    QTest::newRow("270°, 40 px") << 270 << 40 << false << 96;
    QTest::newRow("270°, 40 px on a 300 dpi picture") << 270 << 40 << false << 300;
    QTest::newRow("270°, bold 23 px") << 270 << 23 << true << 96;
    QTest::newRow("270°, 2500 px drawn scaled") << 270 << 2500 << false << 96;
}

// The box rules, checked on real ink; "W." also shows which way the text reads (the
// wide letter first) and where its baseline lies (the full stop sits on it).
void TstTitles::textBoxFollowsAngle()
{
    QFETCH(int, angle);
    QFETCH(int, size);
    QFETCH(bool, bold);
    QFETCH(int, dpi);
    const QString text = QStringLiteral("W.");
    PictureSurface s;
    TitleStyle style = redTitle({}, {});
    style.FontBold = bold;
    applyStyle(s, style, size, angle);
    const int tw = s.textWidth(text), th = s.textHeight(text);
    QVERIFY(tw > 0 && th >= size);

    const int x = angle == 0 ? 17 : 17 + th, y = 11;
    QImage picture = angle == 0 ? blank(x + tw + 20, y + th + 20) : blank(x + 20, y + tw + 20);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    QVERIFY(s.takeIn(picture));
    QCOMPARE(s.textWidth(text), tw); // measuring does not depend on the picture
    QVERIFY(s.drawText(text, x, y, Qt::red));
    const QImage out = s.giveOut();

    const QRect box = textBox(angle, x, y, tw, th);
    const QRect ink = inkBox(out);
    QVERIFY2(inside(ink, box), qPrintable(QStringLiteral("ink %1 outside box %2")
                                              .arg(describe(ink), describe(box))));
    const int along = angle == 0 ? ink.width() : ink.height();
    const int across = angle == 0 ? ink.height() : ink.width();
    QVERIFY(along >= tw * 7 / 10);
    QVERIFY(across >= th / 2);

    // First and last fifth of the box along the reading direction.
    const int fifth = tw / 5;
    const QRect first = angle == 0 ? QRect(box.x(), box.y(), fifth, th)
                                   : QRect(box.x(), box.y(), th, fifth);
    const QRect last = angle == 0 ? QRect(box.right() - fifth, box.y(), fifth + 1, th)
                                  : QRect(box.x(), box.bottom() - fifth, th, fifth + 1);
    QPointF stop;
    QVERIFY(inkCount(out, first) > 2 * inkCount(out, last, &stop));
    QVERIFY(inkCount(out, last) > 0);
    if (angle == 0)
        QVERIFY(stop.y() > box.center().y()); // baseline at the bottom
    else
        QVERIFY(stop.x() < box.center().x()); // tops face right, so the baseline is on the left
}

void TstTitles::nothingDrawnWithoutSizeOrText_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("angle");
    QTest::newRow("size 0") << 0 << "Title" << 0;
    QTest::newRow("negative size") << -4 << "Title" << 270;
    QTest::newRow("empty text") << 30 << "" << 0;
}

void TstTitles::nothingDrawnWithoutSizeOrText()
{
    QFETCH(int, size);
    QFETCH(QString, text);
    QFETCH(int, angle);
    PictureSurface s;
    applyStyle(s, redTitle({}, {}), size, angle);
    QVERIFY(!s.drawText(text, 5, 5, Qt::red)); // no picture taken in yet
    const QImage clean = blank(60, 30);
    QVERIFY(s.takeIn(clean));
    if (size <= 0) {
        QCOMPARE(s.textWidth(text), 0);
        QCOMPARE(s.textHeight(text), 0);
    }
    QVERIFY(s.drawText(text, 5, 5, Qt::red));
    QVERIFY(samePixels(s.giveOut(), clean));
}

void TstTitles::textSizeIsInPixelsAtAnyScale_data()
{
    QTest::addColumn<int>("size");
    for (int size : {2, 3, 12, 14, 100, 2048, 2049, 20000, 100000})
        QTest::addRow("%d px", size) << size;
}

// The line height is a fixed multiple of the size in pixels, also far beyond the sizes
// the rasteriser handles directly; drawing at any size on a small picture is harmless.
void TstTitles::textSizeIsInPixelsAtAnyScale()
{
    QFETCH(int, size);
    PictureSurface s;
    applyStyle(s, redTitle({}, {}), size, 0);
    const int th = s.textHeight(QStringLiteral("Hg"));
    QVERIFY2(th >= size && th <= size * 5 / 4 + 1, qPrintable(QString::number(th)));
    if (size >= 100) {
        PictureSurface reference;
        applyStyle(reference, redTitle({}, {}), 1000, 0);
        const double perPixel = reference.textWidth(QStringLiteral("Hg")) / 1000.0;
        const double got = s.textWidth(QStringLiteral("Hg")) / double(size);
        QVERIFY(qAbs(got - perPixel) < 0.01 * perPixel);
    }
    QVERIFY(s.takeIn(blank(50, 50)));
    QVERIFY(s.drawText(QStringLiteral("Hg"), -size / 4, -size / 4, Qt::red));
    QCOMPARE(s.width(), 50);
}

void TstTitles::drawingLeavesGivenOutPictureAlone()
{
    PictureSurface s;
    applyStyle(s, redTitle({}, {}), 20, 0);
    QVERIFY(s.takeIn(blank(80, 40)));
    const QImage before = s.giveOut();
    QVERIFY(s.drawText(QStringLiteral("Hi"), 2, 2, Qt::red));
    QVERIFY(inkBox(before).isNull());
    QVERIFY(!inkBox(s.giveOut()).isNull());
}

void TstTitles::takeInReusesBufferForAnyFormat_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("RGB32") << int(QImage::Format_RGB32);
    QTest::newRow("ARGB32 with transparency") << int(QImage::Format_ARGB32);
    QTest::newRow("indexed") << int(QImage::Format_Indexed8);
    QTest::newRow("grey") << int(QImage::Format_Grayscale8);
    QTest::newRow("24-bit") << int(QImage::Format_RGB888);
}

// A surface that owns its buffer copies (and converts) the next picture of the same size
// into it, with exactly the pixels a fresh conversion gives.
void TstTitles::takeInReusesBufferForAnyFormat()
{
    QFETCH(int, format);
    const bool alpha = format == QImage::Format_ARGB32;
    QImage source(53, 31, QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, qRgba(x * 4, y * 8, (x * y) % 256,
                                        alpha ? (x * 5 + y * 3) % 256 : 255));
    source = source.convertToFormat(QImage::Format(format));
    const QImage::Format wanted =
        source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;

    PictureSurface s;
    QVERIFY(s.takeIn(blank(53, 31, wanted))); // the surface alone now holds that bitmap
    const uchar *buffer = s.giveOut().constBits();
    QVERIFY(s.takeIn(source));
    const QImage taken = s.giveOut();
    QCOMPARE(taken.constBits(), buffer);
    QCOMPARE(taken.format(), wanted);
    QVERIFY(taken == source.convertToFormat(wanted));
}

void TstTitles::missingFamilyFallsBackToSans_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("resolved"); // empty: any font that is not a symbol font
    QTest::newRow("unknown family") << "NoSuchFontFamily123" << "";
    QTest::newRow("Impact, not installed") << "Impact" << "";
    QTest::newRow("Arial, metric twin") << "Arial" << "Liberation Sans";
    QTest::newRow("symbol font by its name") << "Standard Symbols PS" << "Standard Symbols PS";
}

void TstTitles::missingFamilyFallsBackToSans()
{
    QFETCH(QString, family);
    QFETCH(QString, resolved);
    if (!resolved.isEmpty()
        && !QFontInfo(QFont(resolved)).family().startsWith(resolved, Qt::CaseInsensitive))
        QSKIP("font not installed here");
    if (resolved.isEmpty()
        && QFontInfo(QFont(family)).family().startsWith(family, Qt::CaseInsensitive))
        QSKIP("the family is installed here");
    PictureSurface s;
    TitleStyle style = redTitle({}, {});
    style.FontName = family;
    applyStyle(s, style, 30, 0);
    const QString got = QFontInfo(s.font()).family();
    if (resolved.isEmpty()) {
        const auto systems = QFontDatabase::writingSystems(got);
        QVERIFY2(!systems.contains(QFontDatabase::Symbol), qPrintable(got));
        QVERIFY2(systems.contains(QFontDatabase::Latin), qPrintable(got));
    } else {
        QVERIFY2(got.startsWith(resolved, Qt::CaseInsensitive), qPrintable(got));
    }
    QVERIFY(s.takeIn(blank(200, 50)));
    QVERIFY(s.drawText(QStringLiteral("Hello"), 5, 5, Qt::red));
    QVERIFY(!inkBox(s.giveOut()).isNull());
}

void TstTitles::titleSizesFollowPictureHeight_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("size");
    QTest::addColumn<int>("spine");
    QTest::addColumn<int>("front");
    QTest::newRow("S 12 on 311 px: the chosen size") << 311 << 12.0 << 12 << 14;
    QTest::newRow("S 12 on 622 px: twice") << 622 << 12.0 << 24 << 28;
    QTest::newRow("S 8 on 100 px: rounded down") << 100 << 8.0 << 2 << 3;
    QTest::newRow("S 15.75 on 311 px") << 311 << 15.75 << 15 << 17;
    QTest::newRow("S 15.75 on 933 px") << 933 << 15.75 << 47 << 53;
    QTest::newRow("S 15.75 on 1000 px") << 1000 << 15.75 << 50 << 57;
    QTest::newRow("S 8 on 30 px: no title") << 30 << 8.0 << 0 << 0;
    QTest::newRow("beyond 32 bits: no title") << INT_MAX << 1638.0 << 0 << 0;
}

// The computed sizes, and the front title actually drawn at that size ("H" is about
// seven tenths of the size high).
void TstTitles::titleSizesFollowPictureHeight()
{
    QFETCH(int, height);
    QFETCH(double, size);
    QFETCH(int, spine);
    QFETCH(int, front);
    QCOMPARE(titleFontSizes(height, size), (TitleFontSizes{spine, front}));
    if (height > 1000)
        return;
    TitleRun run;
    run.formatIndex = 4;
    run.style = redTitle(QStringLiteral("H"), {}, float(size));
    run.clean1 = blank(400, height);
    const QRect ink = inkBox(TitleRenderer().render(run).image1);
    if (front == 0) {
        QVERIFY(ink.isNull());
        return;
    }
    QVERIFY2(ink.height() >= front / 2 - 1 && ink.height() <= front * 9 / 10 + 2,
             qPrintable(QString::number(ink.height())));
}

void TstTitles::titlesLandWhereTheFormatPutsThem_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("placement");
    QTest::addColumn<bool>("tie"); // widen the picture until x lands on n + 0.5, n even
    for (int f : {0, 9, 15, 16, 17, 18}) {
        QTest::addRow("%d: spine on the fold", f) << f << int(Image1) << int(SpineCentred) << false;
        QTest::addRow("%d: front in the right half", f)
            << f << int(Image1) << int(FrontRightHalf) << false;
    }
    for (int f : {5, 8})
        QTest::addRow("%d: front in the right half", f)
            << f << int(Image1) << int(FrontRightHalf) << false;
    for (int f : {3, 4, 6, 7})
        QTest::addRow("%d: front a fifth down", f) << f << int(Image1) << int(FrontFifth) << false;
    for (int f = 10; f <= 14; ++f)
        for (int out : {Image1, Image2, Image3})
            QTest::addRow("%d: label picture %d", f, out == Image3 ? 3 : out)
                << f << out << int(FrontSeventh) << false;
    for (int f : {1, 2, 19, 20, 21}) {
        QTest::addRow("%d: spine piece", f) << f << int(SlimSpine) << int(SpineCentred) << false;
        QTest::addRow("%d: front piece", f) << f << int(SlimFront) << int(FrontSeventh) << false;
    }
    QTest::newRow("0: spine, half to even") << 0 << int(Image1) << int(SpineCentred) << true;
    QTest::newRow("0: front, half to even") << 0 << int(Image1) << int(FrontRightHalf) << true;
    QTest::newRow("4: front, half to even") << 4 << int(Image1) << int(FrontFifth) << true;
    QTest::newRow("1: front piece, half to even")
        << 1 << int(SlimFront) << int(FrontSeventh) << true;
}

// Each title, drawn alone, gives exactly the picture the surface draws at the rounded
// position of its format, and its ink lies in the box there.
void TstTitles::titlesLandWhereTheFormatPutsThem()
{
    QFETCH(int, format);
    QFETCH(int, output);
    QFETCH(int, placement);
    QFETCH(bool, tie);
    const bool spine = placement == SpineCentred;
    const TitleStyle style = redTitle(QStringLiteral("Hg Front"), QStringLiteral("Hg Spine"));
    TitleRun run = makeRun(format, style);
    run.titleOnCover = spine ? 0 : 1;
    run.titleOnSpine = spine ? 1 : 0;
    QImage &clean = cleanOf(run, output);
    const double h = clean.height();
    const TitleFontSizes sizes = titleFontSizes(clean.height(), run.style.FontSize);
    const QString text = spine ? run.style.SpineText : run.style.CoverText;
    PictureSurface reference;
    applyStyle(reference, run.style, spine ? sizes.spine : sizes.front, spine ? 270 : 0);
    const int tw = reference.textWidth(text), th = reference.textHeight(text);
    const auto across = [&](double w) {
        if (placement == SpineCentred)
            return (w + th) / 2;
        return placement == FrontRightHalf ? w / 2 + (w / 2 - tw) / 2 : (w - tw) / 2;
    };
    if (tie) {
        int w = clean.width();
        while (across(w) - std::floor(across(w)) != 0.5 || int(std::floor(across(w))) % 2 != 0)
            ++w;
        clean = blank(w, clean.height());
    }
    const double x = across(clean.width());
    const double y = spine ? (h - tw) / 2 : placement == FrontFifth ? h / 5 : h / 7;
    const QImage titled = pick(TitleRenderer().render(run), output);

    const int ix = int(roundHalfEven(x)), iy = int(roundHalfEven(y));
    QVERIFY(reference.takeIn(clean));
    QVERIFY(reference.drawText(text, ix, iy, Qt::red));
    QVERIFY(samePixels(titled, reference.giveOut()));

    const QRect box = textBox(spine ? 270 : 0, ix, iy, tw, th);
    const QRect ink = inkBox(titled);
    QVERIFY(inside(ink, box));
    QVERIFY((spine ? ink.height() : ink.width()) >= tw * 7 / 10);
}

void TstTitles::backSheetGetsSpineInBothBands_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("width");
    QTest::newRow("3, 520 px wide") << 3 << 520;
    QTest::newRow("6, 755 px wide") << 6 << 755;
    QTest::newRow("3, band narrower than the text") << 3 << 301;
}

void TstTitles::backSheetGetsSpineInBothBands()
{
    QFETCH(int, format);
    QFETCH(int, width);
    TitleRun run = makeRun(format, redTitle(QStringLiteral("Front"), QStringLiteral("Spine")));
    run.clean2 = blank(width, 402);
    const TitledPictures out = TitleRenderer().render(run);
    QVERIFY(out.overlayVisible);
    QVERIFY(samePixels(out.image2, run.clean2)); // picture area 2 itself stays clean
    QVERIFY(!inkBox(out.image1).isNull());

    PictureSurface probe;
    applyStyle(probe, run.style, titleFontSizes(402, run.style.FontSize).spine, 270);
    const int tw = probe.textWidth(run.style.SpineText), th = probe.textHeight(run.style.SpineText);
    const double w = width, b = roundHalfEven(7.0 / 151.0 * w);
    const int y = int(roundHalfEven((402 - tw) / 2.0));
    const QRect left = textBox(270, int(roundHalfEven((b - th) / 2 + th)), y, tw, th);
    const QRect right = textBox(270, int(roundHalfEven(w - (b - th) / 2)), y, tw, th);
    QVERIFY(left.left() < b / 2 && left.right() > b / 2); // centred in the left band
    QVERIFY(right.left() < w - b / 2 && right.right() > w - b / 2);

    const QRect leftInk = inkBox(out.overlay, QRect(0, 0, width / 2, 402));
    const QRect rightInk = inkBox(out.overlay, QRect(width / 2, 0, width - width / 2, 402));
    QVERIFY(inside(leftInk, left));
    QVERIFY(inside(rightInk, right));
    QVERIFY(leftInk.height() >= tw * 7 / 10 && rightInk.height() >= tw * 7 / 10);
    if (left.left() >= 0 && right.right() < width) // both wholly on the sheet
        QCOMPARE(rightInk.size(), leftInk.size());
}

void TstTitles::whichPicturesGetTitles_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("onCover");
    QTest::addColumn<int>("onSpine");
    QTest::addColumn<QString>("cover");
    QTest::addColumn<QString>("spine");
    QTest::addColumn<int>("titled");
    const QString c = QStringLiteral("Front"), s = QStringLiteral("Spine");
    const int slim = SlimSpine | SlimFront, labels = Image1 | Image2 | Image3;
    const int both[22] = {Image1, slim, slim, Image1 | Overlay, Image1, Image1, Image1 | Overlay,
                          Image1, Image1, Image1, labels, labels, labels, labels, labels,
                          Image1, Image1, Image1, Image1, slim, slim, slim};
    for (int f = 0; f < 22; ++f)
        QTest::addRow("%d, both titles", f) << f << 1 << 1 << c << s << both[f];
    QTest::newRow("5, spine only: none") << 5 << 0 << 1 << c << s << 0;
    QTest::newRow("8, spine only: none") << 8 << 0 << 1 << c << s << 0;
    QTest::newRow("0, spine only") << 0 << 0 << 1 << c << s << int(Image1);
    QTest::newRow("3, spine only: overlay") << 3 << 0 << 1 << c << s << int(Overlay);
    QTest::newRow("3, front only: clean overlay") << 3 << 1 << 0 << c << s << int(Image1);
    QTest::newRow("10, spine only: none") << 10 << 0 << 1 << c << s << 0;
    QTest::newRow("1, spine only") << 1 << 0 << 1 << c << s << int(SlimSpine);
    QTest::newRow("1, front only") << 1 << 1 << 0 << c << s << int(SlimFront);
    for (int f : {0, 1, 3, 10}) {
        QTest::addRow("%d, both switches off", f) << f << 0 << 0 << c << s << 0;
        QTest::addRow("%d, empty titles, underlined", f) << f << 1 << 1 << "" << "" << 0;
    }
    QTest::newRow("4, blanks typed are underlined") << 4 << 1 << 1 << "   " << "" << int(Image1);
    QTest::newRow("switch value 2 is not on") << 0 << 2 << 2 << c << s << 0;
    QTest::newRow("no format selected") << -1 << 1 << 1 << c << s << 0;
    QTest::newRow("index past the formats") << 22 << 1 << 1 << c << s << 0;
}

// Every output either carries ink or is pixel for pixel its clean picture; the overlay
// and the slim pieces exist only for their formats.
void TstTitles::whichPicturesGetTitles()
{
    QFETCH(int, format);
    QFETCH(int, onCover);
    QFETCH(int, onSpine);
    QFETCH(QString, cover);
    QFETCH(QString, spine);
    QFETCH(int, titled);
    TitleStyle style = redTitle(cover, spine);
    style.FontUnderline = true;
    TitleRun run = makeRun(format, style);
    run.titleOnCover = qint16(onCover);
    run.titleOnSpine = qint16(onSpine);
    const TitledPictures out = TitleRenderer().render(run);
    const bool backSheet = format == 3 || format == 6;
    QCOMPARE(out.overlayVisible, backSheet);
    QCOMPARE(out.overlay.isNull(), !backSheet);
    QCOMPARE(out.slimSpine.isNull(), !isSlim(format));
    QCOMPARE(out.slimFront.isNull(), !isSlim(format));
    for (int which : kOutputs) {
        const QImage picture = pick(out, which);
        if (titled & which)
            QVERIFY2(!inkBox(picture).isNull(), qPrintable(QString::number(which)));
        else
            QVERIFY2(picture.isNull() || samePixels(picture, cleanOf(run, which)),
                     qPrintable(QString::number(which)));
    }
}

void TstTitles::newRunLeavesNoTraceOfOldTitle_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("first");
    QTest::addColumn<bool>("keepFirst");
    for (int f : {0, 3, 10, 1}) {
        QTest::addRow("%d: AAAA then B", f) << f << "AAAA" << false;
        QTest::addRow("%d: AAAA then B, first result kept", f) << f << "AAAA" << true;
        QTest::addRow("%d: B twice", f) << f << "B" << false;
    }
}

void TstTitles::newRunLeavesNoTraceOfOldTitle()
{
    QFETCH(int, format);
    QFETCH(QString, first);
    QFETCH(bool, keepFirst);
    TitleRenderer renderer;
    TitleRun run = makeRun(format, redTitle(first, first));
    TitledPictures firstOut = renderer.render(run);
    TitledPictures firstCopy = firstOut;
    for (QImage *p : {&firstCopy.image1, &firstCopy.image2, &firstCopy.image3, &firstCopy.overlay,
                      &firstCopy.slimSpine, &firstCopy.slimFront})
        *p = p->copy();
    if (!keepFirst)
        firstOut = {};

    run.style = redTitle(QStringLiteral("B"), QStringLiteral("B"));
    const TitledPictures second = renderer.render(run);
    QVERIFY(sameOutputs(second, TitleRenderer().render(run)));
    if (keepFirst)
        QVERIFY(sameOutputs(firstOut, firstCopy));
}

void TstTitles::longTitleIsReducedToFit_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("output");
    QTest::newRow("front across a narrow sheet") << 4 << int(Image1);
    QTest::newRow("spine along a short spine piece") << 1 << int(SlimSpine);
}

// The title keeps its size and its line: ink runs from edge to edge along the text and
// stays one line high across it.
void TstTitles::longTitleIsReducedToFit()
{
    QFETCH(int, format);
    QFETCH(int, output);
    const QString text = QStringLiteral("A very long title that cannot fit");
    TitleRun run = makeRun(format, redTitle(text, text, 60));
    run.clean1 = blank(120, 311);
    run.slimSpine = blank(45, 100);
    const QImage titled = pick(TitleRenderer().render(run), output);
    const bool spine = output == SlimSpine;
    const TitleFontSizes sizes = titleFontSizes(titled.height(), run.style.FontSize);
    PictureSurface probe;
    applyStyle(probe, run.style, spine ? sizes.spine : sizes.front, spine ? 270 : 0);
    const int room = spine ? titled.height() : titled.width();
    QVERIFY(probe.textWidth(text) > 2 * room);
    // The whole title shows, smaller: it nearly fills its room without touching both
    // of its ends, and its line is thinner than the size asked for.
    const QRect ink = inkBox(titled);
    const int length = spine ? ink.height() : ink.width();
    QVERIFY2(length >= room * 8 / 10 && length <= room, qPrintable(QString::number(length)));
    if (spine)
        QVERIFY(ink.top() > 0 || ink.bottom() < titled.height() - 1);
    else
        QVERIFY(ink.left() > 0 || ink.right() < titled.width() - 1);
    QVERIFY((spine ? ink.width() : ink.height()) < probe.textHeight(text));
}

void TstTitles::stableSizesReuseBuffers_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("pictureFormat");
    QTest::newRow("0, picture 1") << 0 << int(Image1) << int(QImage::Format_RGB32);
    QTest::newRow("0, transparent picture 1") << 0 << int(Image1) << int(QImage::Format_ARGB32);
    QTest::newRow("0, picture 1 from 24-bit") << 0 << int(Image1) << int(QImage::Format_RGB888);
    QTest::newRow("3, overlay") << 3 << int(Overlay) << int(QImage::Format_RGB32);
    QTest::newRow("10, label 3") << 10 << int(Image3) << int(QImage::Format_RGB32);
    QTest::newRow("1, spine piece") << 1 << int(SlimSpine) << int(QImage::Format_RGB32);
    QTest::newRow("1, front piece") << 1 << int(SlimFront) << int(QImage::Format_RGB32);
}

// Once the caller has let go of a run's pictures, the next run with pictures of the same
// sizes draws into the very same buffers.
void TstTitles::stableSizesReuseBuffers()
{
    QFETCH(int, format);
    QFETCH(int, output);
    QFETCH(int, pictureFormat);
    TitleRun run = makeRun(format, redTitle(QStringLiteral("Front"), QStringLiteral("Spine")));
    for (QImage *p : {&run.clean1, &run.clean2, &run.clean3, &run.slimSpine, &run.slimFront})
        if (!p->isNull())
            *p = p->convertToFormat(QImage::Format(pictureFormat));
    TitleRenderer renderer;
    TitledPictures out = renderer.render(run);
    const uchar *buffer = pick(out, output).constBits();
    QVERIFY(buffer != cleanOf(run, output).constBits());
    out = {};
    out = renderer.render(run);
    QCOMPARE(pick(out, output).constBits(), buffer);
    QVERIFY(sameOutputs(out, TitleRenderer().render(run)));
}

// The front title of format 4 (a 120 mm square) as it lands on paper at 10 px/mm, for
// a white picture of the given size placed as asked: its ink box in millimetres from
// the area's corner.
static QRectF titleOnPaper(QSize picture, const vt::Placement &placement)
{
    AppState s = catalogueState();
    const int format = 4;
    computePreviewScale(s, format, 7290);
    CoverContent c = blankContent();
    c.format = format;
    c.title = redTitle(QStringLiteral("MY HOLIDAY"), QString());
    c.pictures[0] = {QStringLiteral("p.png"), blank(picture.width(), picture.height()), placement};
    CoverRenderer renderer;
    const PagePictures pictures = pagePicturesOf(renderer.render(c, areaSizesMm(s, format)));
    QImage page(1300, 1300, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    PrintComposition only;
    only.operations.append({PageOperation::Kind::Picture, PrintPicture::Picture1, QRectF(0, 0, 120, 120), {}});
    QStringList failures;
    paintPage(painter, PageGeometry{{5, 5}, {130, 130}, 10, {140, 140}, {}}, only, pictures, failures);
    painter.end();
    const QRect ink = inkBox(page, QRect(50, 50, 1200, 1200));
    return QRectF((ink.left() - 50) / 10.0, (ink.top() - 50) / 10.0, ink.width() / 10.0, ink.height() / 10.0);
}

void TstTitles::glyphsKeepTheirShapeOnPaper_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<vt::Placement>("placement");
    auto with = [](vt::Placement::Mode mode, double zoom = 1) {
        vt::Placement p;
        p.mode = mode;
        p.zoom = zoom;
        return p;
    };
    QTest::newRow("3:1 stretched") << QSize(900, 300) << with(vt::Placement::Mode::Stretch);
    QTest::newRow("1:3 stretched") << QSize(300, 900) << with(vt::Placement::Mode::Stretch);
    QTest::newRow("3:1 filled") << QSize(900, 300) << with(vt::Placement::Mode::Fill);
    QTest::newRow("1:3 fitted") << QSize(300, 900) << with(vt::Placement::Mode::Fit);
    QTest::newRow("3:1 filled at zoom 3") << QSize(900, 300) << with(vt::Placement::Mode::Fill, 3);
    QTest::newRow("1:3 turned once") << QSize(300, 900) << [&] {
        vt::Placement p = with(vt::Placement::Mode::Fill);
        p.turns = 1;
        return p;
    }();
}

void TstTitles::glyphsKeepTheirShapeOnPaper()
{
    QFETCH(QSize, picture);
    QFETCH(vt::Placement, placement);
    // On a square picture the title is what it always was: the reference.
    const QRectF square = titleOnPaper(QSize(1200, 1200), vt::Placement()); // 10 px/mm, as on paper
    QVERIFY(!square.isEmpty());
    const QRectF found = titleOnPaper(picture, placement);
    QVERIFY(!found.isEmpty());
    const double ratio = (found.width() / found.height()) / (square.width() / square.height());
    QVERIFY2(std::abs(ratio - 1) <= 0.02, qPrintable(QString::number(ratio)));
    // Same size and place in the area: within a pixel row of rounding at 10 px/mm and
    // the 2 % of the proportions.
    QVERIFY2(std::abs(found.width() - square.width()) <= square.width() * 0.02 + 0.2,
             qPrintable(QString("%1 vs %2").arg(found.width()).arg(square.width())));
    QVERIFY(std::abs(found.top() - square.top()) <= 0.5);
    QVERIFY(std::abs(found.center().x() - square.center().x()) <= 0.5);
}

QTEST_MAIN(TstTitles)
void TstTitles::largeBitmapTakesFewPageFaults()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer faults in shadow memory for every page touched; counts mean nothing here");
#endif
    QFile thp("/sys/kernel/mm/transparent_hugepage/enabled");
    if (!thp.open(QIODevice::ReadOnly) || thp.readAll().contains("[never]"))
        QSKIP("this system offers no transparent huge pages");
    // A photo-sized picture, shared by the surface until the first title is drawn.
    QImage clean(6000, 4000, QImage::Format_RGB32);
    clean.fill(QColor(10, 20, 30));
    for (int round = 0; round < 2; ++round) {
        PictureSurface s;
        QVERIFY(s.takeIn(clean));
        s.setFontName("Liberation Sans");
        s.setFontSize(200);
        struct rusage before = {}, after = {};
        getrusage(RUSAGE_SELF, &before);
        QVERIFY(s.drawText("Title", 100, 100, Qt::white));
        getrusage(RUSAGE_SELF, &after);
        // 96 MB in 4 KB pages would be some 23 000 faults.
        const long faults = after.ru_minflt - before.ru_minflt;
        QVERIFY2(faults < 4000, qPrintable(QString::number(faults)));
        const QImage out = s.giveOut();
        QCOMPARE(out.size(), clean.size());
        int drawn = 0, cleanChanged = 0;
        for (int y = 100; y < 400; y += 2)
            for (int x = 100; x < 900; x += 2) {
                drawn += out.pixel(x, y) != QColor(10, 20, 30).rgb();
                cleanChanged += clean.pixel(x, y) != QColor(10, 20, 30).rgb();
            }
        QVERIFY(drawn > 100);
        QCOMPARE(cleanChanged, 0); // the clean picture itself is untouched
        QCOMPARE(out.pixel(5000, 3000), clean.pixel(5000, 3000));
    }
}

#include "tst_titles.moc"
