// The cover preview: scale, arrangement, slots, placeholders, drops, and what the
// canvas paints.
#include "CatalogueState.h"
#include "TestWindow.h"

#include "app/AppState.h"
#include "common/TextFile.h"
#include "formats/CoverPictures.h"
#include "formats/FormatSelection.h"
#include "formats/PreviewArrangement.h"
#include "formats/Templates.h"
#include "platform/FileFilters.h"
#include "platform/PictureLoading.h"
#include "ui/main/Form1.h"
#include "ui/main/PictureCommands.h"
#include "ui/main/PlacementCommands.h"
#include "ui/main/PreviewCanvas.h"
#include <QMenu>
#include <QUndoStack>

#include <QCheckBox>
#include <QLabel>
#include <QComboBox>
#include <QMimeData>
#include <QMutex>
#include <QPrinter>
#include <QImageReader>
#include <QPainter>
#include "print/PrintComposition.h"

#include <QtTest>

#include <sys/stat.h>

using namespace vt;

namespace {


QImage solid(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

QString saveJpeg(const QString &dir, const QString &name, QColor c, QSize size = {64, 48})
{
    const QString path = dir + u'/' + name;
    solid(size.width(), size.height(), c).save(path, "JPEG");
    return path;
}


} // namespace

class TstPreview : public QObject
{
    Q_OBJECT
private slots:
    void previewScale_data();
    void previewScale();
    void scaleAndSizeOverflow_data();
    void scaleAndSizeOverflow();
    void noSelectionKeepsSizes();

    void arrangement_data();
    void arrangement();
    void slimPieces_data();
    void slimPieces();
    void sheetSideOverflowKeepsPreviousLength();
    void slimCutRectangles_data();
    void slimCutRectangles();
    void slimPieceFormula_data();
    void slimPieceFormula();
    void formatTableAgreesWithTheCatalogue();
    void discIsTheSameSquareEverywhere_data();
    void discIsTheSameSquareEverywhere();
    void hitTestFollowsStackingOrder();

    void placeholderSuffixes_data();
    void placeholderSuffixes();
    void placeholdersFollowFormat();
    void unreadablePlaceholderTakesPathOnly();
    void placeholdersDecodedAhead_data();
    void placeholdersDecodedAhead();
    void hugePictureIsRefused();

    void dropTakesFirstFileAndSaves();
    void dropOfTextFileWarnsAndKeepsSlot();
    void chosenUnreadableFileWarnsLikeADrop_data();
    void chosenUnreadableFileWarnsLikeADrop();
    void pictureFilterCoversWhatLoads_data();
    void pictureFilterCoversWhatLoads();
    void realDropOnCanvas();
    void initialFolderFallback_data();
    void initialFolderFallback();
    void userPictureSurvivesFormatChanges();
    void canvasPaintsWhereLayoutSays();
    void dragWheelAndMenuAreUndoableEdits();
    void largePhotoPreviewedReducedPrintedWhole();
    void frameAndOutlinesAreCrisp_data();
    void frameAndOutlinesAreCrisp();
    void checkBoxTurnsOutlinesBlack();
    void coverTextChangeRedrawsAtOnce();
    void printerOrientationFollowsFormat();
    void absurdCatalogueStillPaints_data();
    void absurdCatalogueStillPaints();
};

void TstPreview::previewScale_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::newRow("portrait at start-up size") << 4 << 7290.0 << 18 << 18 * 120 << 18 * 120;
    QTest::newRow("landscape at start-up size") << 0 << 7290.0 << 24 << 24 * 274 << 24 * 183;
    QTest::newRow("portrait at double height") << 3 << 14580.0 << 37 << 37 * 120 << 37 * 120;
    QTest::newRow("landscape at double height") << 9 << 14580.0 << 49 << 49 * 257 << 49 * 197;
    // 24.5 / 7290 x 3645 gives 12, but a landscape sheet 12 x 210 = 2520 high would not
    // leave 840 above and below in 3645: the largest that fits is (3645 - 1680) / 210 = 9.36.
    QTest::newRow("half height: the sheet clear of toolbar and status line") << 0 << 3645.0 << 9 << 9 * 274 << 9 * 183;
    // 18.5 / 7290 x 4900 = 12.43 -> 12; 12 x 297 = 3564 > 4900 - 1680 = 3220: 3220 / 297 = 10.8 -> 10.
    QTest::newRow("portrait at the smallest window") << 3 << 4900.0 << 10 << 10 * 120 << 10 * 120;
    // 18.5 / 7290 x 5700 = 14.47 -> 14; 14 x 297 = 4158 > 5700 - 1680 = 4020; 4020 / 297 = 13.5 -> 13.
    QTest::newRow("portrait just too tall") << 3 << 5700.0 << 13 << 13 * 120 << 13 * 120;
    // 18.5 / 7290 x 7000 = 17.76 -> 18; 18 x 297 = 5346 > 7000 - 1680 = 5320; 5320 / 297 = 17.9 -> 17.
    QTest::newRow("portrait a little below start-up size") << 3 << 7000.0 << 17 << 17 * 120 << 17 * 120;
}

void TstPreview::previewScale()
{
    QFETCH(int, format);
    QFETCH(double, height);
    QFETCH(int, scale);
    QFETCH(int, a);
    QFETCH(int, b);
    AppState s = catalogueState();
    computePreviewScale(s, format, height);
    QCOMPARE(int(s.PreviewScale), scale);
    QCOMPARE(s.PreviewA, a);
    QCOMPARE(s.PreviewB, b);
    QCOMPARE(s.CurrentOrientation, s.Catalogue.entries[size_t(format)].Orientation);
}

void TstPreview::scaleAndSizeOverflow_data()
{
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<int>("dimA");
    QTest::addColumn<int>("initialHeight");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("scale");  // expected (20 = unchanged)
    QTest::addColumn<int>("previewA"); // expected (-7 = unchanged)
    QTest::newRow("183 x 273 worked value") << "Verticale" << 183 << 7290 << 7290.0 << 18 << 3294;
    QTest::newRow("lower-case verticale is landscape") << "verticale" << 10 << 7290 << 7290.0 << 24 << 240;
    QTest::newRow("empty orientation is landscape") << "" << 10 << 7290 << 7290.0 << 24 << 240;
    QTest::newRow("scale beyond 16 bits unchanged") << "Verticale" << 10 << 7290 << 7290.0 * 2000 << 20 << 200;
    QTest::newRow("no initial height: scale unchanged") << "Verticale" << 10 << 0 << 7290.0 << 20 << 200;
    QTest::newRow("size beyond 32 bits unchanged") << "Verticale" << 200000000 << 7290 << 7290.0 << 18 << -7;
}

void TstPreview::scaleAndSizeOverflow()
{
    QFETCH(QString, orientation);
    QFETCH(int, dimA);
    QFETCH(int, initialHeight);
    QFETCH(double, height);
    QFETCH(int, scale);
    QFETCH(int, previewA);
    AppState s = catalogueState();
    s.InitialScaleHeight = qint16(initialHeight);
    s.PreviewScale = 20;
    s.PreviewA = -7;
    s.Catalogue.entries[0].Orientation = orientation;
    s.Catalogue.entries[0].DimA = dimA;
    s.Catalogue.entries[0].DimB = 273;
    computePreviewScale(s, 0, height);
    QCOMPARE(int(s.PreviewScale), scale);
    QCOMPARE(s.PreviewA, previewA);
}

void TstPreview::noSelectionKeepsSizes()
{
    AppState s = catalogueState();
    s.PreviewA = 11;
    s.CurrentShape = "before";
    QVERIFY(computePreviewScale(s, -1, 7290)); // portrait
    QCOMPARE(int(s.PreviewScale), 18);
    QCOMPARE(s.PreviewA, 11);
    QCOMPARE(s.CurrentShape, QString("before"));
}

namespace {
PreviewLayout arranged(int format, double width, double height, bool outlines, AppState *out = nullptr)
{
    AppState s = catalogueState();
    computePreviewScale(s, format, height);
    const PreviewLayout l = arrangePreview(s, format, outlines, QSizeF(width, height), PreviewLayout());
    if (out)
        *out = s;
    return l;
}
} // namespace

void TstPreview::arrangement_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("width");
    QTest::addColumn<bool>("outlines");
    QTest::addColumn<QRectF>("sheet");
    QTest::addColumn<QRectF>("area1");
    QTest::addColumn<QRectF>("area2"); // empty: hidden
    QTest::addColumn<QRectF>("area3"); // empty: hidden
    QTest::addColumn<bool>("circles");
    // Start-up client: 9930 x 7290 twips. Portrait scale 18: sheet 3780 x 5346, top 972.
    // Landscape scale 24: sheet 7128 x 5040, top 1125.
    QTest::newRow("0 book case, landscape") << 0 << 9930.0 << false << QRectF(1401, 1125, 7128, 5040)
        << QRectF(1677, 1325, 6576, 4392) << QRectF() << QRectF() << false;
    QTest::newRow("3 jewel front and back") << 3 << 9930.0 << true << QRectF(3075, 972, 3780, 5346)
        << QRectF(3885, 1172, 2160, 2160) << QRectF((9930 - 2718) / 2.0, 1172 + 2160 + 200, 2718, 2124) << QRectF() << false;
    QTest::newRow("8 starts 100 below sheet top") << 8 << 9930.0 << false << QRectF(3075, 972, 3780, 5346)
        << QRectF(3525, 1072, 2880, 1440) << QRectF() << QRectF() << false;
    QTest::newRow("4 has no second area") << 4 << 9930.0 << false << QRectF(3075, 972, 3780, 5346)
        << QRectF(3885, 1172, 2160, 2160) << QRectF() << QRectF() << false;
    QTest::newRow("10 one round label") << 10 << 9930.0 << false << QRectF(3075, 972, 3780, 5346)
        << QRectF(3912, 1172, 2106, 2106) << QRectF() << QRectF() << true;
    QTest::newRow("14 three labels") << 14 << 9930.0 << true << QRectF(3075, 972, 3780, 5346)
        << QRectF(4263, 1172, 1404, 1404) << QRectF(4263, 1172 + 1404 + 200, 1404, 1404)
        << QRectF(4263, 1172 + 2 * 1404 + 400, 1404, 1404) << true;
    QTest::newRow("narrow window: negative lefts") << 0 << 3000.0 << false << QRectF(-2064, 1125, 7128, 5040)
        << QRectF(-1788, 1325, 6576, 4392) << QRectF() << QRectF() << false;
}

void TstPreview::arrangement()
{
    QFETCH(int, format);
    QFETCH(double, width);
    QFETCH(bool, outlines);
    QFETCH(QRectF, sheet);
    QFETCH(QRectF, area1);
    QFETCH(QRectF, area2);
    QFETCH(QRectF, area3);
    QFETCH(bool, circles);
    const PreviewLayout l = arranged(format, width, 7290, outlines);
    QCOMPARE(l.sheet.rect(), sheet);
    QVERIFY(l.sheet.visible);
    QCOMPARE(l.frame.rect(), sheet.adjusted(0, 0, 10, 10));
    QCOMPARE(l.areas[0].rect(), area1);
    QVERIFY(l.areas[0].visible);
    const QRectF areas[] = {area1, area2, area3};
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(l.areas[size_t(k)].visible, !areas[k].isEmpty());
        QCOMPARE(l.outlines[size_t(k)].rect.visible, !areas[k].isEmpty());
        if (areas[k].isEmpty())
            continue;
        QCOMPARE(l.areas[size_t(k)].rect(), areas[k]);
        QCOMPARE(l.outlines[size_t(k)].rect.rect(), areas[k]);
        QCOMPARE(l.outlines[size_t(k)].color, outlines ? OutlineBlack : OutlineGrey);
        QVERIFY(!l.outlines[size_t(k)].dotted);
        QCOMPARE(l.outlines[size_t(k)].shape, circles ? OutlineShape::Circle : OutlineShape::Rectangle);
    }
    QVERIFY(!l.slimBack.visible && !l.slimSpine.visible && !l.slimFront.visible);
}

void TstPreview::slimPieces_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("backMm");
    QTest::addColumn<int>("spineMm");
    QTest::newRow("1 slim 7 mm") << 1 << 274 - 144 << 7;
    QTest::newRow("2 slim 9 mm") << 2 << 274 - 144 << 9;
    // The preview shows the pieces as they print: 261 - 133, where it once showed 126.
    QTest::newRow("19 slim 5 mm") << 19 << 128 << 5;
    QTest::newRow("20 blu-ray slim 7 mm") << 20 << 274 - 148 << 7;
    QTest::newRow("21 blu-ray slim 9 mm") << 21 << 274 - 148 << 9;
}

void TstPreview::slimPieces()
{
    QFETCH(int, format);
    QFETCH(int, backMm);
    QFETCH(int, spineMm);
    for (bool outlines : {false, true}) {
        AppState s;
        const PreviewLayout l = arranged(format, 9930, 7290, outlines, &s);
        const double scale = s.PreviewScale;
        QCOMPARE(l.slimBack.width, backMm * scale);
        QCOMPARE(l.slimFront.width, backMm * scale);
        QCOMPARE(l.slimSpine.width, spineMm * scale);
        QCOMPARE(l.slimBack.left, l.areas[0].left);
        QCOMPARE(l.slimSpine.left, l.slimBack.left + l.slimBack.width - 15);
        QCOMPARE(l.slimFront.left, l.slimSpine.left + l.slimSpine.width - 15);
        QCOMPARE(l.slimBack.height, double(s.PreviewB));
        QVERIFY(!l.areas[0].visible && !l.areas[1].visible && !l.areas[2].visible);
        QVERIFY(l.slimBack.visible && l.slimSpine.visible && l.slimFront.visible);
        // Outline 1 encloses the three pieces: twice the back plus the spine, less the overlaps.
        QCOMPARE(l.outlines[0].rect.width, 2 * backMm * scale + spineMm * scale - 30);
        QCOMPARE(l.outlines[0].color, outlines ? OutlineBlack : OutlineGrey);
        // The spine guide stays dotted grey whatever the switch says.
        QCOMPARE(l.outlines[1].rect.rect(), l.slimSpine.rect());
        QVERIFY(l.outlines[1].dotted);
        QCOMPARE(l.outlines[1].color, OutlineGrey);
        QVERIFY(!l.outlines[2].rect.visible);
    }
}

void TstPreview::sheetSideOverflowKeepsPreviousLength()
{
    AppState s = catalogueState();
    PreviewLayout previous;
    previous.sheet.width = 1234;
    previous.sheet.height = 4321;
    s.CurrentOrientation = "Orizzontale";
    s.PreviewScale = 111; // 297 x 111 overflows 16 bits; 210 x 111 does not
    PreviewLayout l = arrangePreview(s, 0, false, QSizeF(9930, 7290), previous);
    QCOMPARE(l.sheet.width, 1234.0);
    QCOMPARE(l.sheet.height, 210.0 * 111);
    s.CurrentOrientation = "Verticale";
    s.PreviewScale = 157; // both sides overflow
    l = arrangePreview(s, 4, false, QSizeF(9930, 7290), previous);
    QCOMPARE(l.sheet.width, 1234.0);
    QCOMPARE(l.sheet.height, 4321.0);
    QCOMPARE(l.sheet.top, std::nearbyint((7290 - 4321) / 2.0));
}

void TstPreview::slimCutRectangles_data()
{
    QTest::addColumn<int>("W");
    QTest::addColumn<int>("format");
    QTest::addColumn<QRect>("back");
    QTest::addColumn<QRect>("spine");
    QTest::addColumn<QRect>("front");
    // The picture is the whole wrap, cut where the pieces print. Format 1: 267 mm wrap,
    // spine 130..137 mm, front from 137 mm, back and front 130 mm wide. 1602 px is 6 px/mm.
    QTest::newRow("7 mm, 6 px/mm") << 1602 << 1 << QRect(0, 0, 780, 100) << QRect(780, 0, 42, 100)
                                   << QRect(822, 0, 780, 100);
    // Format 20: 258 mm wrap, spine 125.5..132.5 mm, front from 132 mm, 126 mm wide.
    QTest::newRow("Blu-ray 7 mm, 10 px/mm") << 2580 << 20 << QRect(0, 0, 1260, 100) << QRect(1255, 0, 70, 100)
                                            << QRect(1320, 0, 1260, 100);
    // 3 px/mm: spine edges 376.5 -> 376 and 397.5 -> 398 (halves go to even).
    QTest::newRow("Blu-ray 7 mm, 3 px/mm") << 774 << 20 << QRect(0, 0, 378, 100) << QRect(376, 0, 22, 100)
                                           << QRect(396, 0, 378, 100);
    // Format 19: 261 mm wrap, spine 128..133 mm; 522 px is 2 px/mm.
    QTest::newRow("5 mm, 2 px/mm") << 522 << 19 << QRect(0, 0, 256, 100) << QRect(256, 0, 10, 100)
                                   << QRect(266, 0, 256, 100);
}

void TstPreview::slimCutRectangles()
{
    QFETCH(int, W);
    QFETCH(int, format);
    QFETCH(QRect, back);
    QFETCH(QRect, spine);
    QFETCH(QRect, front);
    const auto cuts = slimCuts(W, 100, format);
    QVERIFY(cuts);
    QCOMPARE(cuts->back, back);
    QCOMPARE(cuts->spine, spine);
    QCOMPARE(cuts->front, front);
    QVERIFY(!slimCuts(W, 100, 0)); // not a slim case: nothing is cut
    QVERIFY(!slimCuts(0, 100, format));
}

void TstPreview::slimPieceFormula_data()
{
    QTest::addColumn<double>("wrap");
    QTest::addColumn<int>("spine");
    QTest::addColumn<double>("S");
    QTest::addColumn<double>("K");
    QTest::addColumn<double>("piece");
    QTest::addColumn<double>("spineDrawn");
    // The print offsets the slim cases have always had, from one formula.
    QTest::newRow("DVD 7 mm") << 267.0 << 7 << 130.0 << 137.0 << 130.0 << 7.0;
    QTest::newRow("DVD 9 mm") << 269.0 << 9 << 130.0 << 139.0 << 130.0 << 9.0;
    QTest::newRow("DVD 5 mm") << 261.0 << 5 << 128.0 << 133.0 << 128.0 << 5.0;
    QTest::newRow("Blu-ray 7 mm: 132.5 to 132") << 258.0 << 7 << 125.5 << 132.0 << 126.0 << 7.0;
    QTest::newRow("Blu-ray 9 mm: 134.5 to 134") << 260.0 << 9 << 125.5 << 134.0 << 126.0 << 9.0;
}

void TstPreview::slimPieceFormula()
{
    QFETCH(double, wrap);
    QFETCH(int, spine);
    const SlimPieces p = vt::slimPieces(wrap, spine);
    QTEST(p.spineStart, "S");
    QTEST(p.frontStart, "K");
    QTEST(p.pieceWidth, "piece");
    QTEST(p.spineWidth, "spineDrawn");
}

void TstPreview::formatTableAgreesWithTheCatalogue()
{
    // The table and the shipped catalogue describe the same 22 inserts.
    const AppState s = catalogueState();
    for (int f = 0; f < FormatTraitsCount; ++f) {
        const FormatTraits &t = formatTraits(f);
        const CoverFormat &c = s.Catalogue.entries[size_t(f)];
        const QByteArray row = QByteArray::number(f);
        QVERIFY2(t.isDisc() == (c.Shape == u"Cerchio"), row);
        const int expectedSlots = f == ThreeLabelFormat ? 3 : c.DimC > 0 ? 2 : 1;
        QVERIFY2(t.slotCount == expectedSlots, row);
        if (t.isSlim())
            QVERIFY2(t.slimWrapMm == c.DimA, row);
        QVERIFY2(t.templates[0] != nullptr, row);
    }
    QVERIFY(!formatTraits(-1).isSlim());
    QCOMPARE(formatTraits(22).templates[0], nullptr);
}

void TstPreview::discIsTheSameSquareEverywhere_data()
{
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<QRectF>("square");
    QTest::newRow("square label") << QRectF(41.5, 85, 117, 117) << QRectF(41.5, 85, 117, 117);
    QTest::newRow("wider: centred across") << QRectF(10, 20, 100, 80) << QRectF(20, 20, 80, 80);
    QTest::newRow("taller: centred down") << QRectF(0, 0, 78, 90) << QRectF(0, 6, 78, 78);
}

void TstPreview::discIsTheSameSquareEverywhere()
{
    QFETCH(QRectF, area);
    QTEST(discSquare(area), "square");
    // Print outlines a label with that square.
    AppState s = catalogueState();
    s.PreviewScale = 10;
    s.PreviewA = 1000;
    s.PreviewB = 800;
    const PrintComposition page = composeCover(s, 10, 1, QSizeF(200, 287), {});
    QList<QRectF> circles;
    for (const PageOperation &op : page.operations)
        if (op.kind == PageOperation::Kind::Circle)
            circles << op.rect;
    QCOMPARE(circles.size(), 1);
    // Format 10 prints at 41.5, 85: a 100 x 80 mm area gets the circle 80 mm across,
    // centred: 41.5 + 10.
    QCOMPARE(circles.first(), QRectF(51.5, 85, 80, 80));
}

void TstPreview::hitTestFollowsStackingOrder()
{
    PreviewLayout l;
    l.areas[1] = {0, 0, 100, 100, true};
    l.overlay = {0, 0, 100, 100, true};
    l.slimSpine = {200, 0, 50, 100, true};
    l.slimBack = {100, 0, 115, 100, true};
    QCOMPARE(hitTest(l, {50, 50}), std::optional(PreviewView::Image8));
    QCOMPARE(hitTest(l, {210, 50}), std::optional(PreviewView::Image4)); // back lies over the spine
    QCOMPARE(hitTest(l, {230, 50}), std::optional(PreviewView::Image6));
    QCOMPARE(hitTest(l, {400, 50}), std::nullopt);
    l.overlay.visible = false;
    QCOMPARE(hitTest(l, {50, 50}), std::optional(PreviewView::Image2));
    QCOMPARE(slotOfView(PreviewView::Image8), 1);
    QCOMPARE(slotOfView(PreviewView::Image7), 0);
    QCOMPARE(slotOfView(PreviewView::Image3), 2);
}

void TstPreview::placeholderSuffixes_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("free");
    QTest::newRow("empty") << 0 << "" << true;
    QTest::newRow("blanks") << 2 << "   " << true;
    QTest::newRow("template anywhere") << 1 << "/home/u/01 Empty Smile.jpg" << true;
    QTest::newRow("7 mm for slot 1") << 0 << "/x/01 Empty Smile 7 mm.jpg" << true;
    QTest::newRow("9 mm for slot 1") << 0 << "/x/02 Empty Smile 9 mm.jpg" << true;
    QTest::newRow("9 mm not for slot 2") << 1 << "/x/02 Empty Smile 9 mm.jpg" << false;
    QTest::newRow("case-sensitive") << 0 << "/x/01 empty smile.jpg" << false;
    QTest::newRow("user photo") << 0 << "/home/u/photo.jpg" << false;
}

void TstPreview::placeholderSuffixes()
{
    QFETCH(int, slot);
    QFETCH(QString, path);
    QFETCH(bool, free);
    QCOMPARE(isFreeForPlaceholder(slot, path), free);
}

void TstPreview::placeholdersFollowFormat()
{
    const QString app = QStringLiteral(VT_SOURCE_DATA_DIR);
    CoverPictures p;
    for (int k = 0; k < 3; ++k)
        putPictureInSlot(p, k, startingPicture(), QString());
    CaricaCopertineSmile(p, 3, app, loadPicture);
    QVERIFY(p.imageSlots[0].Path.endsWith("CD-DVD Front/01 Empty Smile.jpg"));
    QVERIFY(p.imageSlots[1].Path.endsWith("CD-DVD Back/01 Empty Smile.jpg"));
    QCOMPARE(p.image8.cacheKey(), p.imageSlots[1].CleanCopy.cacheKey());
    QVERIFY(p.imageSlots[2].Path.isEmpty()); // no placeholder named: left as it is
    CaricaCopertineSmile(p, 10, app, loadPicture);
    for (int k = 0; k < 3; ++k)
        QVERIFY(p.imageSlots[size_t(k)].Path.endsWith("Modelli/CD-DVD/01 Empty Smile.jpg"));
    CaricaCopertineSmile(p, 20, app, loadPicture);
    QVERIFY(p.imageSlots[0].Path.endsWith("01 Empty Smile 7 mm.jpg"));
    CaricaCopertineSmile(p, 21, app, loadPicture);
    QVERIFY(p.imageSlots[0].Path.endsWith("02 Empty Smile 9 mm.jpg"));
    // Every shipped template exists and has the proportions of its insert.
    AppState s = catalogueState();
    for (int f = 0; f <= 21; ++f) {
        const auto paths = placeholderPaths(f);
        QVERIFY2(QFile::exists(app + u'/' + paths[0]), qPrintable(paths[0]));
        const QImage img = loadPicture(app + u'/' + paths[0]);
        const CoverFormat &c = s.Catalogue.entries[size_t(isSlimFormat(f) ? 0 : f)];
        const double widthMm = isSlimFormat(f) ? c.DimA : s.Catalogue.entries[size_t(f)].DimA;
        const double heightMm = s.Catalogue.entries[size_t(f)].DimB;
        if (f == 16 || f == 17)
            continue; // these share the book-case picture, stretched
        QVERIFY2(qAbs(img.width() / double(img.height()) - widthMm / heightMm) < 0.01, qPrintable(QString::number(f)));
        QVERIFY(img.width() >= widthMm / 25.4 * 150 - 1); // at least 150 dpi at true size
    }
}

void TstPreview::placeholdersDecodedAhead_data()
{
    QTest::addColumn<QStringList>("ahead");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QList<int>>("decodes"); // of a, b and c, once everything was asked
    QTest::addRow("named and asked once") << QStringList{"a", "b"} << QStringList{"a", "b"} << QList<int>{1, 1, 0};
    QTest::addRow("asked again: decoded again") << QStringList{"a"} << QStringList{"a", "a"} << QList<int>{2, 0, 0};
    QTest::addRow("never asked") << QStringList{"a", "b"} << QStringList{"b"} << QList<int>{1, 1, 0};
    QTest::addRow("not named") << QStringList{"a"} << QStringList{"c", "a"} << QList<int>{1, 0, 1};
    QTest::addRow("named twice") << QStringList{"b", "b"} << QStringList{"b"} << QList<int>{0, 1, 0};
    QTest::addRow("nothing ahead") << QStringList{} << QStringList{"a", "c"} << QList<int>{1, 0, 1};
}

// The start decodes the saved format's placeholders while it builds the window: each
// decoded picture is handed out once, for its own file.
void TstPreview::placeholdersDecodedAhead()
{
    QFETCH(QStringList, ahead);
    QFETCH(QStringList, asked);
    QFETCH(QList<int>, decodes);
    QMutex guard;
    QHash<QString, int> calls;
    // a decodes to 1 x 1 pixels, b to 2 x 2, c to 3 x 3.
    auto sideOf = [](const QString &path) { return path == "a" ? 1 : path == "b" ? 2 : 3; };
    auto load = [&](const QString &path) {
        const QMutexLocker lock(&guard);
        ++calls[path];
        return QImage(sideOf(path), sideOf(path), QImage::Format_RGB32);
    };
    {
        const PictureLoader loader = loaderDecodingAhead(ahead, load);
        for (const QString &path : asked)
            QCOMPARE(loader(path).size(), QSize(sideOf(path), sideOf(path)));
    }
    QCOMPARE((QList<int>{calls.value("a"), calls.value("b"), calls.value("c")}), decodes);
}

void TstPreview::unreadablePlaceholderTakesPathOnly()
{
    ProgramFolder folder;
    QFile broken(folder.file("Modelli/VHS/01 Empty Smile.jpg"));
    QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a jpeg at all");
    broken.close();
    CoverPictures p;
    putPictureInSlot(p, 0, startingPicture(), QString());
    CaricaCopertineSmile(p, 9, folder.path(), loadPicture);
    QCOMPARE(p.imageSlots[0].CleanCopy.cacheKey(), startingPicture().cacheKey());
    QCOMPARE(p.imageSlots[0].Path, folder.file("Modelli/VHS/01 Empty Smile.jpg"));
    QFile::remove(folder.file("Modelli/Box/01 Empty Smile.jpg"));
    CaricaCopertineSmile(p, 0, folder.path(), loadPicture); // missing file: nothing changes
    QCOMPARE(p.imageSlots[0].Path, folder.file("Modelli/VHS/01 Empty Smile.jpg"));
}

void TstPreview::hugePictureIsRefused()
{
    // A PNG header claiming 60000 x 60000 pixels (14 GB decoded) must be refused, not allocated.
    QTemporaryDir dir;
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::blue);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    small.save(&buf, "PNG");
    // Patch width and height in the IHDR chunk (bytes 16..23) and its CRC, so the file
    // is a well-formed PNG that only its size makes impossible.
    const quint32 big = qToBigEndian(quint32(60000));
    memcpy(png.data() + 16, &big, 4);
    memcpy(png.data() + 20, &big, 4);
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 12; i < 12 + 4 + 13; ++i) {
        crc ^= quint8(png[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    const quint32 crcBig = qToBigEndian(crc ^ 0xFFFFFFFFu);
    memcpy(png.data() + 29, &crcBig, 4);
    buf.close();
    QBuffer patched(&png);
    patched.open(QIODevice::ReadOnly);
    QCOMPARE(QImageReader(&patched).size(), QSize(60000, 60000)); // the header reads fine
    QFile f(dir.filePath("huge.png"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(png);
    f.close();
    QVERIFY(loadPicture(f.fileName()).isNull());
    QVERIFY(loadPicture(dir.filePath("absent.jpg")).isNull());
    // A named pipe or a device would block or never end: refused at once.
    QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("pipe.jpg")).constData(), 0600) == 0);
    QVERIFY(loadPicture(dir.filePath("pipe.jpg")).isNull());
    QVERIFY(loadPicture("/dev/zero").isNull());
    QVERIFY(!readTextFile(dir.filePath("pipe.jpg")).has_value());
    // A 50-megapixel picture loads, its longer side reduced to what any cover can print.
    QImage fifty(8660, 5774, QImage::Format_RGB32);
    fifty.fill(Qt::darkGreen);
    QVERIFY(fifty.save(dir.filePath("fifty.bmp")));
    QCOMPARE(loadPicture(dir.filePath("fifty.bmp")).size(), QSize(6800, 4533));
}

void TstPreview::dropTakesFirstFileAndSaves()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QTemporaryDir pics;
    const QString a = saveJpeg(pics.path(), "a.jpg", Qt::red);
    const QString b = saveJpeg(pics.path(), "b.jpg", Qt::green);
    const QString c = saveJpeg(pics.path(), "c.jpg", Qt::blue);
    QVERIFY(form.load());
    form.selectFormat(14);
    form.LoadSlotByDrop(2, {c, a, b});
    QCOMPARE(form.pictures().imageSlots[2].Path, c);
    QVERIFY(qBlue(form.pictures().imageSlots[2].CleanCopy.pixel(5, 5)) > 200);
    QCOMPARE(state.LastPictureFolder, pics.path());
    QCOMPARE(splitLines(*readTextFile(folder.file("Files/Vantrelo.ini"))).at(3), pics.path());
    // Slot 2's overlay shows the same picture.
    form.LoadSlotByDrop(1, {b});
    QCOMPARE(form.pictures().image8.cacheKey(), form.pictures().imageSlots[1].CleanCopy.cacheKey());
    QVERIFY(rec.warnings.isEmpty());
}

void TstPreview::dropOfTextFileWarnsAndKeepsSlot()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QTemporaryDir other;
    QFile text(other.filePath("notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    QVERIFY(form.load());
    const QString before = form.pictures().imageSlots[0].Path;
    form.LoadSlotByDrop(0, {text.fileName()});
    QCOMPARE(rec.warnings, QStringList{state.Language[18] + "|" + state.Language[110]});
    QCOMPARE(form.pictures().imageSlots[0].Path, before);
    QCOMPARE(state.LastPictureFolder, other.path()); // set before the load failed
    form.LoadSlotByDrop(0, {});
    QCOMPARE(rec.warnings.size(), 2);
}

void TstPreview::chosenUnreadableFileWarnsLikeADrop_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loads");
    QTest::newRow("text") << QByteArray("hello") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("truncated jpeg") << QByteArray("\xFF\xD8\xFF\xE0", 4) << false;
    QTest::newRow("a picture") << QByteArray() << true;
}

void TstPreview::chosenUnreadableFileWarnsLikeADrop()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, loads);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QTemporaryDir other;
    QString path = other.filePath("chosen.jpg");
    if (loads) {
        path = saveJpeg(other.path(), "chosen.jpg", QColor(0, 0, 255));
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QVERIFY(form.load());
    const QString before = form.pictures().imageSlots[1].Path;
    form.loadSlotFromChosenFile(1, path);
    QCOMPARE(state.LastPictureFolder, other.path());
    if (loads) {
        QVERIFY(rec.warnings.isEmpty());
        QCOMPARE(form.pictures().imageSlots[1].Path, path);
    } else {
        QCOMPARE(rec.warnings, QStringList{state.Language[18] + "|" + state.Language[110]});
        QCOMPARE(form.pictures().imageSlots[1].Path, before);
    }
}

void TstPreview::pictureFilterCoversWhatLoads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("first");  // shown under the first filter
    QTest::addColumn<bool>("second"); // shown under "*.jpg"
    QTest::newRow("jpg") << "photo.jpg" << true << true;
    QTest::newRow("JPG") << "PHOTO.JPG" << true << false;
    QTest::newRow("jpeg") << "photo.jpeg" << true << false;
    QTest::newRow("Png") << "scan.Png" << true << false;
    QTest::newRow("webp") << "web.webp" << true << false;
    QTest::newRow("TIFF") << "print.TIFF" << true << false;
    QTest::newRow("bmp") << "old.bmp" << true << false;
    QTest::newRow("gif") << "anim.gif" << true << false;
    QTest::newRow("text") << "notes.txt" << false << false;
    QTest::newRow("no extension") << "jpg" << false << false;
}

void TstPreview::pictureFilterCoversWhatLoads()
{
    QFETCH(QString, name);
    QFETCH(bool, first);
    QFETCH(bool, second);
    LanguageTable texts;
    texts.entries[20] = "JPEG pictures";
    texts.entries[21] = "All files";
    texts.entries[49] = "Picture";
    const QStringList filters = toQtNameFilters(pictureOpenFilter(texts));
    QCOMPARE(filters.size(), 3);
    QVERIFY(filters[0].startsWith("Picture ("));
    QCOMPARE(filters[1], QString("JPEG pictures (*.jpg)"));
    QCOMPARE(filters[2], QString("All files (*)"));
    QCOMPARE(filterMatches(filters[0], name), first);
    QCOMPARE(filterMatches(filters[1], name), second);
    QVERIFY(filterMatches(filters[2], name));
    // Whatever the image plugins read, in either case.
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        QVERIFY2(filterMatches(filters[0], "a." + QString::fromLatin1(format).toUpper()), format.constData());
        QVERIFY2(filterMatches(filters[0], "a." + QString::fromLatin1(format).toLower()), format.constData());
    }
}

void TstPreview::realDropOnCanvas()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QTemporaryDir pics;
    const QString a = saveJpeg(pics.path(), "drop me.jpg", Qt::red);
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.selectFormat(4);
    const QPointF centre = form.previewLayout().areas[0].rect().center() / 15.0;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(pics.filePath("second.jpg"))});
    QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.canvas(), &enter);
    QDragMoveEvent move(centre.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.canvas(), &move);
    QVERIFY(move.isAccepted());
    QDropEvent drop(centre, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.canvas(), &drop);
    QCOMPARE(form.pictures().imageSlots[0].Path, a);
    // Outside every picture area the drop is refused.
    QDragMoveEvent away(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.canvas(), &away);
    QVERIFY(!away.isAccepted());
}

void TstPreview::initialFolderFallback_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("kept");
    QTest::newRow("existing folder") << QDir::tempPath() << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks") << "   " << false;
    QTest::newRow("gone") << "/no/such/folder/anywhere" << false;
}

void TstPreview::initialFolderFallback()
{
    QFETCH(QString, last);
    QFETCH(bool, kept);
    AppState s;
    s.AppPath = "/opt/vantrelo";
    s.LastPictureFolder = last;
    // Never the program folder's templates: the user's pictures folder (or home, where the
    // desktop has none).
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QCOMPARE(initialPictureFolder(s), kept ? last : QFileInfo(pictures).isDir() ? pictures : QDir::homePath());
}

void TstPreview::userPictureSurvivesFormatChanges()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QTemporaryDir pics;
    // A user's file named like a template is treated as one and replaced.
    const QString mine = saveJpeg(pics.path(), "mine.jpg", Qt::red);
    const QString lookalike = saveJpeg(pics.path(), "01 Empty Smile.jpg", Qt::green);
    QVERIFY(form.load());
    QVERIFY(form.loadPictureIntoSlot(0, mine));
    QVERIFY(form.loadPictureIntoSlot(1, lookalike));
    for (int f : {3, 10, 1, 0, 14, 21})
        form.selectFormat(f);
    QCOMPARE(form.pictures().imageSlots[0].Path, mine);
    QVERIFY(form.pictures().imageSlots[1].Path.startsWith(folder.path() + "/Modelli/"));
}

void TstPreview::largePhotoPreviewedReducedPrintedWhole()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QTemporaryDir pics;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.selectFormat(4); // a 120 mm square
    // The offscreen screen is 800 x 600: the preview works from the photo reduced to a
    // longer side of 1600 (sharp at 200 %), 1600 x 1200; filled into the square it shows
    // its middle 1200 x 1200. Print fills the square from the photo itself: 3000 x 3000.
    QVERIFY(form.loadPictureIntoSlot(0, saveJpeg(pics.path(), "large.jpg", QColor(255, 0, 0), {4000, 3000})));
    QCOMPARE(form.document()->content().pictures[0].picture.size(), QSize(4000, 3000));
    QCOMPARE(form.pictures().imageSlots[0].CleanCopy.size(), QSize(1200, 1200));
    QCOMPARE(form.pagePictures()[size_t(PrintPicture::Picture1)].size(), QSize(3000, 3000));
    // A small picture is previewed as it is, and printed from what the preview shows.
    QVERIFY(form.loadPictureIntoSlot(0, saveJpeg(pics.path(), "small.jpg", QColor(0, 0, 255), {600, 400})));
    QCOMPARE(form.pagePictures()[size_t(PrintPicture::Picture1)].cacheKey(),
             form.pictures().imageSlots[0].Picture.cacheKey());
}

void TstPreview::dragWheelAndMenuAreUndoableEdits()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QTemporaryDir pics;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.selectFormat(4); // a 120 mm square
    QVERIFY(form.loadPictureIntoSlot(0, saveJpeg(pics.path(), "wide.jpg", QColor(255, 0, 0), {600, 400})));
    CoverDocument &doc = *form.document();
    QCOMPARE(doc.content().pictures[0].placement, Placement::forNewPicture());
    const int before = doc.undoStack()->count();
    PreviewCanvas *canvas = form.canvas();
    const QPointF centre = QRectF(form.previewLayout().areas[0].rect().topLeft() / 15,
                                  form.previewLayout().areas[0].rect().size() / 15).center();
    auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, canvas->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(canvas, &e);
    };
    // Drag 10 px right, in two moves: one step to undo. The filled picture is 180 mm
    // wide in 120 mm; 10 px is 150 twips, 150 / PreviewScale mm.
    mouse(QEvent::MouseButtonPress, centre, Qt::LeftButton);
    mouse(QEvent::MouseMove, centre + QPointF(5, 0), Qt::LeftButton);
    mouse(QEvent::MouseMove, centre + QPointF(10, 0), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, centre + QPointF(10, 0), Qt::NoButton);
    QVERIFY(rec.warnings.isEmpty()); // no open dialog: a drag is no click
    const double movedMm = 150.0 / state.PreviewScale;
    QVERIFY(std::abs(doc.content().pictures[0].placement.centreX - (0.5 - movedMm / 180)) < 1e-9);
    QCOMPARE(doc.undoStack()->count(), before + 1);
    // The wheel zooms by steps of 1.25.
    QWheelEvent wheel(centre, canvas->mapToGlobal(centre), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    QCOMPARE(doc.content().pictures[0].placement.zoom, 1.5625);
    // The menu: fit, then remove; each undoable.
    std::unique_ptr<QMenu> menu(form.placements()->menuFor(PreviewView::Image1, &form));
    menu->findChild<QAction *>("placementFit")->trigger();
    QCOMPARE(doc.content().pictures[0].placement.mode, Placement::Mode::Fit);
    menu->findChild<QAction *>("placementTurn")->trigger();
    QCOMPARE(doc.content().pictures[0].placement.turns, 1);
    menu->findChild<QAction *>("placementRemove")->trigger();
    QVERIFY(doc.content().pictures[0].path.endsWith("Modelli/CD-DVD Front/01 Empty Smile.jpg"));
    doc.undoStack()->undo();
    QVERIFY(doc.content().pictures[0].path.endsWith("wide.jpg"));
    QCOMPARE(form.pictures().imageSlots[0].Path, doc.content().pictures[0].path);
    // The menu speaks the language loaded, not the program's built-in English.
    state.Language.entries[size_t(LanguageTable::PlacementFitEntry)] = QStringLiteral("&Adatta l'immagine intera");
    std::unique_ptr<QMenu> italian(form.placements()->menuFor(PreviewView::Image1, &form));
    QCOMPARE(italian->findChild<QAction *>("placementFit")->text(), QString("&Adatta l'immagine intera"));
    QCOMPARE(italian->findChild<QAction *>("placementRemove")->text(), QString("Re&move picture"));
}

void TstPreview::canvasPaintsWhereLayoutSays()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QTemporaryDir pics;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.loadPictureIntoSlot(0, saveJpeg(pics.path(), "red.jpg", QColor(255, 0, 0), {400, 400})));
    form.selectFormat(4);
    QCOMPARE(form.canvas()->size(), QSize(662, 486));
    const QImage shot = form.canvas()->grab().toImage();
    const PreviewLayout &l = form.previewLayout();
    // Sheet: 3780 x 5346 twips at (3075, 972): pixels 205..457 across, from 64.8 down.
    QCOMPARE(l.sheet.rect(), QRectF(3075, 972, 3780, 5346));
    QCOMPARE(QColor(shot.pixel(206, 70)), QColor(Qt::white));
    QVERIFY(QColor(shot.pixel(203, 70)) != QColor(Qt::white));
    // Area 1: 2160 twips square at (3885, 1172): 144 px from (259, 78.1).
    const QRect area = l.areas[0].rect().toRect();
    QCOMPARE(area, QRect(3885, 1172, 2160, 2160));
    const QColor inside(shot.pixel(259 + 72, 78 + 72));
    QVERIFY2(inside.red() > 200 && inside.green() < 60, qPrintable(inside.name()));
    QCOMPARE(QColor(shot.pixel(259 + 144 + 3, 78 + 72)), QColor(Qt::white));
    // A repaint without changes scales nothing again.
    const int cached = form.canvas()->cachedPixmapCount();
    form.canvas()->repaint();
    QCOMPARE(form.canvas()->cachedPixmapCount(), cached);
}

void TstPreview::frameAndOutlinesAreCrisp_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QSize>("client"); // pixels
    QTest::addColumn<double>("ratio");
    QTest::addColumn<bool>("outlines");
    // The designed client area, and what a window of 800 x 600 leaves below its menu bar.
    const QSize sizes[] = {{662, 486}, {800, 578}};
    for (int f = 0; f < 22; ++f)
        for (const QSize &size : sizes)
            for (const double ratio : {1.0, 2.0})
                QTest::addRow("format %d, %dx%d at %.0f%%", f, size.width(), size.height(), ratio * 100)
                    << f << size << ratio << bool((f + int(ratio)) % 2);
    // A fractional scale on an odd width: half pixels everywhere unless the painter snaps.
    for (int f = 0; f < 22; ++f)
        QTest::addRow("format %d, 663x487 at 150%%", f) << f << QSize(663, 487) << 1.5 << bool(f % 2);
}

void TstPreview::frameAndOutlinesAreCrisp()
{
    QFETCH(int, format);
    QFETCH(QSize, client);
    QFETCH(double, ratio);
    QFETCH(bool, outlines);
    const PreviewLayout l = arranged(format, client.width() * 15.0, client.height() * 15.0, outlines);
    PreviewCanvas canvas;
    canvas.resize(client);
    canvas.setPreview(l, {});
    QImage shot(client * ratio, QImage::Format_RGB32);
    shot.setDevicePixelRatio(ratio);
    {
        QPainter p(&shot);
        canvas.paintPreview(p, QRect(QPoint(), client), ratio);
    }
    const QRgb background = canvas.palette().window().color().rgb();
    const QRgb frame = qRgb(96, 96, 96), white = qRgb(255, 255, 255);
    // Only whole colours anywhere: no half-covered pixel smears an edge.
    QSet<QRgb> outlineColours;
    for (const Outline &o : l.outlines)
        if (o.rect.visible)
            outlineColours.insert(o.color.rgb());
    const QSet<QRgb> allowed = QSet<QRgb>{background, frame, white} + outlineColours;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (!allowed.contains(shot.pixel(x, y)))
                QFAIL(qPrintable(QString("pixel (%1, %2) is %3").arg(x).arg(y).arg(QColor(shot.pixel(x, y)).name())));

    // The frame shows beyond the sheet's right edge and below its bottom edge: from the
    // far side inwards, the background gives way to the frame and then to the sheet.
    const QPointF mid = l.sheet.rect().center() / 15.0 * ratio;
    auto edgeFrom = [&](QPoint from, QPoint step) {
        QPoint pt = from;
        while (shot.rect().contains(pt) && shot.pixel(pt) == background)
            pt += step;
        int frameRun = 0;
        while (shot.rect().contains(pt) && shot.pixel(pt) == frame) {
            ++frameRun;
            pt += step;
        }
        return shot.rect().contains(pt) && shot.pixel(pt) == white ? frameRun : -1;
    };
    QVERIFY2(edgeFrom(QPoint(shot.width() - 1, int(mid.y())), QPoint(-1, 0)) >= 1, "no frame at the right");
    QVERIFY2(edgeFrom(QPoint(int(mid.x()), shot.height() - 1), QPoint(0, -1)) >= 1, "no frame at the bottom");

    // Each outline is one device pixel wide: across an area's middle, every run of
    // outline pixels is a single pixel, and a rectangle's two sides are both there.
    // (Outlines may share an edge, the slim cases' dotted spine guide with the cover's
    // outline: any outline's colour counts.)
    for (const Outline &o : l.outlines) {
        if (!o.rect.visible)
            continue;
        const QPointF c = o.rect.rect().center() / 15.0 * ratio;
        for (const bool across : {true, false}) {
            int runs = 0, run = 0, longest = 0;
            const int n = across ? shot.width() : shot.height();
            for (int k = 0; k <= n; ++k) {
                const QPoint pt = across ? QPoint(k, int(c.y())) : QPoint(int(c.x()), k);
                if (k < n && outlineColours.contains(shot.pixel(pt))) {
                    ++run;
                } else if (run) {
                    ++runs;
                    longest = std::max(longest, run);
                    run = 0;
                }
            }
            QCOMPARE(longest, 1);
            if (o.shape == OutlineShape::Rectangle && !o.dotted)
                QVERIFY(runs >= 2);
        }
    }
}

void TstPreview::checkBoxTurnsOutlinesBlack()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.selectFormat(3);
    QCOMPARE(form.previewLayout().outlines[0].color, OutlineGrey);
    form.outlineSwitch()->click();
    QCOMPARE(form.previewLayout().outlines[0].color, OutlineBlack);
    QCOMPARE(form.previewLayout().outlines[1].color, OutlineBlack);
    // Its caption toggles it back and redraws.
    QTest::mouseClick(form.findChild<QLabel *>("Label6"), Qt::LeftButton);
    QVERIFY(!form.outlineSwitch()->isChecked());
    QCOMPARE(form.previewLayout().outlines[0].color, OutlineGrey);
}

void TstPreview::coverTextChangeRedrawsAtOnce()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.selectFormat(0);
    const ImageSlot &slot = form.pictures().imageSlots[0];
    QCOMPARE(slot.Picture.cacheKey(), slot.CleanCopy.cacheKey()); // no title yet
    form.setCoverText("Front");
    QVERIFY(slot.Picture.cacheKey() != slot.CleanCopy.cacheKey()); // titled without another call
    const QImage first = slot.Picture.copy();
    // The other fields wait for the next format selection.
    TitleStyle style = form.titleStyle();
    style.FontBold = true;
    form.setTitleStyle(style);
    QCOMPARE(slot.Picture, first);
    form.Combo1_Click();
    QVERIFY(slot.Picture != first);
    // Format 3's back sheet is titled in the overlay, which lies exactly on area 2.
    form.selectFormat(3);
    QVERIFY(form.previewLayout().overlay.visible);
    QCOMPARE(form.previewLayout().overlay.rect(), form.previewLayout().areas[1].rect());
    form.selectFormat(4);
    QVERIFY(!form.previewLayout().overlay.visible);
    // Slim cases show the titled front piece; the back piece stays as cut.
    form.selectFormat(1);
    const QImage front = form.pictures().slimFront;
    QVERIFY(!front.isNull());
    int red = 0;
    for (int y = 0; y < front.height() / 3; ++y)
        for (int x = 0; x < front.width(); ++x)
            red += qRed(front.pixel(x, y)) > 200 && qGreen(front.pixel(x, y)) < 80;
    QVERIFY(red > 20);
    const int backWidth = form.pictures().slimBack.width();
    QCOMPARE(form.pictures().slimFront.width(), backWidth);
}

void TstPreview::printerOrientationFollowsFormat()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    auto pdf = std::make_unique<QPrinter>();
    pdf->setOutputFormat(QPrinter::PdfFormat);
    pdf->setPageOrientation(QPageLayout::Portrait);
    QPrinter *printer = pdf.get();
    form.setCurrentPrinter(std::move(pdf));
    QVERIFY(form.load());
    QCOMPARE(form.formatList()->currentIndex(), 0);
    QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Landscape);
    form.selectFormat(4); // "Verticale"
    QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Portrait);
    form.selectFormat(9);
    QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Landscape);
    form.selectFormat(-1); // nothing selected: as for a portrait format
    QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Portrait);
}

void TstPreview::absurdCatalogueStillPaints_data()
{
    QTest::addColumn<QByteArray>("block"); // format 0's first lines
    QTest::newRow("huge sizes") << QByteArray("X\r\n30000\r\n20000\r\nVerticale\r\n30000\r\n30000\r\n");
    QTest::newRow("negative sizes") << QByteArray("X\r\n-500\r\n-2147483648\r\nOrizzontale\r\n-1\r\n5\r\n");
    QTest::newRow("32-bit extremes") << QByteArray("X\r\n2147483647\r\n2147483647\r\nCerchio\r\n2147483647\r\n1\r\n");
    QTest::newRow("binary") << QByteArray("\x01\x02\xff\x00\r\n\xfe", 8);
}

void TstPreview::absurdCatalogueStillPaints()
{
    QFETCH(QByteArray, block);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QFile catalogue(folder.file("Files/Covers.ini"));
    QVERIFY(catalogue.open(QIODevice::WriteOnly | QIODevice::Truncate));
    catalogue.write(block);
    catalogue.close();
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (int f : {0, 1, 3, 14}) {
        form.selectFormat(f);
        QVERIFY(!form.canvas()->grab().isNull());
    }
    form.resize(200, 150); // below any sensible size
    QApplication::processEvents();
    QVERIFY(!form.canvas()->grab().isNull());
}

QTEST_MAIN(TstPreview)
#include "tst_preview.moc"
