// Placement geometry: where a stretched, filled or fitted picture lies in its area, with
// zoom, pan held at the edges and quarter turns. Every expected rectangle is worked by
// hand in millimetres.
#include "document/PlacementGeometry.h"

#include <QPainter>
#include <QtTest>

using namespace vt;
using Mode = Placement::Mode;

Q_DECLARE_METATYPE(vt::Placement)

namespace {

Placement make(Mode mode, double zoom = 1, double x = 0.5, double y = 0.5, int turns = 0)
{
    Placement p;
    p.mode = mode;
    p.zoom = zoom;
    p.centreX = x;
    p.centreY = y;
    p.turns = turns;
    return p;
}

bool near(const QRectF &a, const QRectF &b)
{
    auto eq = [](double u, double v) { return std::abs(u - v) < 1e-9; };
    return eq(a.x(), b.x()) && eq(a.y(), b.y()) && eq(a.width(), b.width()) && eq(a.height(), b.height());
}

const QSizeF Wide(300, 200), Tall(200, 300), Square(400, 400);
const QSizeF WideArea(120, 60), TallArea(60, 120), SquareArea(100, 100), Disc(117, 117);

} // namespace

class TstPlacement : public QObject
{
    Q_OBJECT
private slots:
    void placedRect_data();
    void placedRect();
    void dragHeldAtTheEdgeRespondsAtOnceBack();
    void composedAreaHasTheAreasShape_data();
    void composedAreaHasTheAreasShape();
    void composedTurnsClockwise_data();
    void composedTurnsClockwise();
    void placedResolution_data();
    void placedResolution();
    void printPictureSize_data();
    void printPictureSize();
    void previewPictureSide_data();
    void previewPictureSide();
};

void TstPlacement::placedRect_data()
{
    QTest::addColumn<QSizeF>("picture");
    QTest::addColumn<QSizeF>("area");
    QTest::addColumn<Placement>("placement");
    QTest::addColumn<QRectF>("expected");
    // fill: the larger of the two scales; the overflow cut evenly.
    QTest::newRow("fill wide in wide: 0.4, 120x80") << Wide << WideArea << make(Mode::Fill) << QRectF(0, -10, 120, 80);
    QTest::newRow("fill wide in tall: 0.6, 180x120") << Wide << TallArea << make(Mode::Fill) << QRectF(-60, 0, 180, 120);
    QTest::newRow("fill wide in square: 0.5") << Wide << SquareArea << make(Mode::Fill) << QRectF(-25, 0, 150, 100);
    QTest::newRow("fill tall in wide: 0.6") << Tall << WideArea << make(Mode::Fill) << QRectF(0, -60, 120, 180);
    QTest::newRow("fill tall in tall: 0.4") << Tall << TallArea << make(Mode::Fill) << QRectF(-10, 0, 80, 120);
    QTest::newRow("fill square in wide: 0.3") << Square << WideArea << make(Mode::Fill) << QRectF(0, -30, 120, 120);
    QTest::newRow("fill wide in disc: 0.585") << Wide << Disc << make(Mode::Fill) << QRectF(-29.25, 0, 175.5, 117);
    // fit: the smaller scale; white bands shared evenly.
    QTest::newRow("fit wide in wide: 0.3, bands 15") << Wide << WideArea << make(Mode::Fit) << QRectF(15, 0, 90, 60);
    QTest::newRow("fit wide in tall: 0.2, bands 40") << Wide << TallArea << make(Mode::Fit) << QRectF(0, 40, 60, 40);
    QTest::newRow("fit tall in square 90: 0.3") << Tall << QSizeF(90, 90) << make(Mode::Fit) << QRectF(15, 0, 60, 90);
    QTest::newRow("fit square in tall: 0.15") << Square << TallArea << make(Mode::Fit) << QRectF(0, 30, 60, 60);
    QTest::newRow("fit square in disc") << Square << Disc << make(Mode::Fit) << QRectF(0, 0, 117, 117);
    QTest::newRow("fit tall in disc: 78 wide") << Tall << Disc << make(Mode::Fit) << QRectF(19.5, 0, 78, 117);
    // stretch: the area, whatever the picture.
    QTest::newRow("stretch wide in tall") << Wide << TallArea << make(Mode::Stretch) << QRectF(0, 0, 60, 120);
    QTest::newRow("stretch tall in wide") << Tall << WideArea << make(Mode::Stretch) << QRectF(0, 0, 120, 60);
    QTest::newRow("stretch square in disc") << Square << Disc << make(Mode::Stretch) << QRectF(0, 0, 117, 117);
    // zoom multiplies the mode's size, about the centre.
    QTest::newRow("fill zoom 2") << Wide << SquareArea << make(Mode::Fill, 2) << QRectF(-100, -50, 300, 200);
    QTest::newRow("fit zoom 2 overflows both ways") << Wide << WideArea << make(Mode::Fit, 2) << QRectF(-30, -30, 180, 120);
    QTest::newRow("fit zoom 1.2: bands across, cut down") << Wide << WideArea << make(Mode::Fit, 1.2)
                                                           << QRectF(6, -6, 108, 72);
    QTest::newRow("stretch zoom 3") << Tall << WideArea << make(Mode::Stretch, 3) << QRectF(-120, -60, 360, 180);
    // pan: the centre moves the picture, but no edge comes inside the area.
    QTest::newRow("pan to the left edge") << Wide << SquareArea << make(Mode::Fill, 1, 0) << QRectF(0, 0, 150, 100);
    QTest::newRow("pan to the right edge") << Wide << SquareArea << make(Mode::Fill, 1, 1) << QRectF(-50, 0, 150, 100);
    QTest::newRow("pan inside") << Wide << SquareArea << make(Mode::Fill, 1, 0.4) << QRectF(-10, 0, 150, 100);
    QTest::newRow("pan zoomed both ways") << Wide << SquareArea << make(Mode::Fill, 2, 0.25, 0.75)
                                          << QRectF(-25, -100, 300, 200);
    QTest::newRow("pan along a band stays centred") << Wide << WideArea << make(Mode::Fit, 1, 0, 1)
                                                    << QRectF(15, 0, 90, 60);
    // quarter turns: a turned wide picture is a tall one.
    QTest::newRow("one turn: fill as tall") << Wide << WideArea << make(Mode::Fill, 1, 0.5, 0.5, 1)
                                            << QRectF(0, -60, 120, 180);
    QTest::newRow("two turns: as unturned") << Wide << TallArea << make(Mode::Fill, 1, 0.5, 0.5, 2)
                                            << QRectF(-60, 0, 180, 120);
    QTest::newRow("three turns: fit as tall") << Wide << QSizeF(90, 90) << make(Mode::Fit, 1, 0.5, 0.5, 3)
                                              << QRectF(15, 0, 60, 90);
    QTest::newRow("one turn stretched") << Wide << WideArea << make(Mode::Stretch, 1, 0.5, 0.5, 1)
                                        << QRectF(0, 0, 120, 60);
    QTest::newRow("empty picture") << QSizeF(0, 0) << WideArea << make(Mode::Fill) << QRectF();
}

void TstPlacement::placedRect()
{
    QFETCH(QSizeF, picture);
    QFETCH(QSizeF, area);
    QFETCH(Placement, placement);
    QFETCH(QRectF, expected);
    const QRectF found = vt::placedRect(picture, area, placement);
    QVERIFY2(near(found, expected), qPrintable(QStringLiteral("(%1, %2, %3 x %4)")
                                                   .arg(found.x()).arg(found.y()).arg(found.width()).arg(found.height())));
}

void TstPlacement::dragHeldAtTheEdgeRespondsAtOnceBack()
{
    // Filled 150 x 100 in a 100 mm square: 50 mm to spare across.
    const Placement start = make(Mode::Fill);
    // 30 mm right: would leave 5 mm of white at the left, so it stops at the edge,
    // with the centre where the picture really is: 50 / 150.
    const Placement right = draggedPlacement(Wide, SquareArea, start, {30, 0});
    QVERIFY(near(vt::placedRect(Wide, SquareArea, right), QRectF(0, 0, 150, 100)));
    QCOMPARE(right.centreX, 50.0 / 150);
    // 10 mm back moves it 10 mm at once.
    const Placement back = draggedPlacement(Wide, SquareArea, right, {-10, 0});
    QVERIFY(near(vt::placedRect(Wide, SquareArea, back), QRectF(-10, 0, 150, 100)));
    // Up and down there is nothing to spare: the picture stays.
    const Placement down = draggedPlacement(Wide, SquareArea, back, {0, 25});
    QVERIFY(near(vt::placedRect(Wide, SquareArea, down), QRectF(-10, 0, 150, 100)));
}

void TstPlacement::composedAreaHasTheAreasShape_data()
{
    QTest::addColumn<Placement>("placement");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<double>("cap");
    QTest::addColumn<QSize>("canvas");
    // 3000 x 2000 filled into 100 mm: 150 mm wide, 20 px/mm: a 2000 px square.
    QTest::newRow("the picture's own density") << make(Mode::Fill) << QSize(3000, 2000) << 30.0 << QSize(2000, 2000);
    QTest::newRow("capped") << make(Mode::Fill) << QSize(3000, 2000) << 15.0 << QSize(1500, 1500);
    // 300 x 200: 2 px/mm, raised to 10 so titles stay crisp; unless the cap is lower.
    QTest::newRow("raised to the floor") << make(Mode::Fill) << QSize(300, 200) << 30.0 << QSize(1000, 1000);
    QTest::newRow("cap below the floor") << make(Mode::Fill) << QSize(300, 200) << 3.0 << QSize(300, 300);
    // Zoom 1.25: 3000 px over 187.5 mm, 16 px/mm; only the visible part is kept.
    QTest::newRow("zoom counts the visible part") << make(Mode::Fill, 1.25) << QSize(3000, 2000) << 30.0
                                                  << QSize(1600, 1600);
    // Fit: 300 x 200 fits 100 x 66.67 mm, raised to 10 px/mm over the whole area.
    QTest::newRow("fit") << make(Mode::Fit) << QSize(300, 200) << 30.0 << QSize(1000, 1000);
}

void TstPlacement::composedAreaHasTheAreasShape()
{
    QFETCH(Placement, placement);
    QFETCH(QSize, picture);
    QFETCH(double, cap);
    QImage img(picture, QImage::Format_RGB32);
    img.fill(Qt::black);
    const QImage out = composeArea(img, placement, SquareArea, cap);
    QTEST(out.size(), "canvas");
    if (placement.mode == Mode::Fit) {
        // White bands above and below (1/6 of the height each), picture across the middle.
        QCOMPARE(out.pixelColor(500, 50), QColor(Qt::white));
        QCOMPARE(out.pixelColor(500, 500), QColor(Qt::black));
        QCOMPARE(out.pixelColor(500, 950), QColor(Qt::white));
    } else {
        QCOMPARE(out.pixelColor(1, 1), QColor(Qt::black));
    }
    // A plain stretch of a square picture is the picture itself; of another shape it is
    // composed, so titles drawn on it keep their proportions.
    QImage square(500, 500, QImage::Format_RGB32);
    square.fill(Qt::black);
    QCOMPARE(composeArea(square, Placement(), SquareArea, cap).cacheKey(), square.cacheKey());
    QCOMPARE(composeArea(img, Placement(), SquareArea, cap).size().width(),
             composeArea(img, Placement(), SquareArea, cap).size().height());
}

void TstPlacement::composedTurnsClockwise_data()
{
    QTest::addColumn<int>("turns");
    QTest::addColumn<QPoint>("redAt"); // where the picture's top-left red corner shows, in tenths of the area
    QTest::newRow("none: top left") << 0 << QPoint(1, 1);
    QTest::newRow("one: top right") << 1 << QPoint(9, 1);
    QTest::newRow("two: bottom right") << 2 << QPoint(9, 9);
    QTest::newRow("three: bottom left") << 3 << QPoint(1, 9);
}

void TstPlacement::composedTurnsClockwise()
{
    QFETCH(int, turns);
    QFETCH(QPoint, redAt);
    // A square picture, black with a red top-left quarter, stretched (zoom 1) over a
    // 100 mm square: only its turns move the red quarter.
    QImage img(1000, 1000, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter(&img).fillRect(0, 0, 500, 500, Qt::red);
    const QImage out = composeArea(img, make(Mode::Fill, 1, 0.5, 0.5, turns), SquareArea, 30);
    QCOMPARE(out.size(), QSize(1000, 1000));
    QCOMPARE(out.pixelColor(redAt * 100 - QPoint(50, 50) + QPoint(0, 0)), QColor(Qt::red));
    // The opposite corner is black.
    QCOMPARE(out.pixelColor(QPoint(1000, 1000) - redAt * 100), QColor(Qt::black));
}

void TstPlacement::printPictureSize_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSizeF>("area");
    QTest::addColumn<Placement>("placement");
    QTest::addColumn<QSize>("reduced");
    // 127 mm is 5 inches: 600 per inch over it is 3000 pixels, over 63.5 mm 1500.
    const QSizeF square(127, 127), wide(127, 63.5);
    QTest::newRow("stretch: each direction on its own")
        << QSize(6000, 4000) << square << make(Mode::Stretch) << QSize(3000, 3000);
    // Filled 190.5 x 127 mm (7.5 x 5 inches): 4500 x 3000, the proportions kept.
    QTest::newRow("fill keeps the proportions") << QSize(6000, 4000) << square << make(Mode::Fill) << QSize(4500, 3000);
    // Fitted 127 x 84.67 mm: 3000 across.
    QTest::newRow("fit") << QSize(6000, 4000) << square << make(Mode::Fit) << QSize(3000, 2000);
    // Zoom 1.2: 228.6 x 152.4 mm, 9 x 6 inches.
    QTest::newRow("zoomed fill needs more") << QSize(6000, 4000) << square << make(Mode::Fill, 1.2) << QSize(5400, 3600);
    QTest::newRow("zoomed beyond the picture keeps it")
        << QSize(6000, 4000) << square << make(Mode::Fill, 1.5) << QSize(6000, 4000);
    // Turned, 4000 wide and 6000 high, stretched over 5 x 2.5 inches: 3000 of its 4000
    // across and 1500 of its 6000 down, which are the stored picture's height and width.
    QTest::newRow("turned stretch swaps the directions")
        << QSize(6000, 4000) << wide << make(Mode::Stretch, 1, 0.5, 0.5, 1) << QSize(1500, 3000);
    // 5000 x 3333 fitted: 3/5 of it, and 3333 x 0.6 = 1999.8 rounds up, never down.
    QTest::newRow("rounded up") << QSize(5000, 3333) << square << make(Mode::Fit) << QSize(3000, 2000);
    QTest::newRow("small picture kept") << QSize(1000, 800) << square << make(Mode::Fill) << QSize(1000, 800);
    QTest::newRow("no area") << QSize(6000, 4000) << QSizeF() << make(Mode::Fill) << QSize(6000, 4000);
}

void TstPlacement::printPictureSize()
{
    QFETCH(QSize, picture);
    QFETCH(QSizeF, area);
    QFETCH(Placement, placement);
    QFETCH(QSize, reduced);
    QCOMPARE(vt::printPictureSize(picture, area, placement, 600), reduced);
}

void TstPlacement::previewPictureSide_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("side");
    QTest::newRow("100 % screen still sharp at 200 %") << 1600 << 1.0 << 1.0 << 3200;
    QTest::newRow("200 % screen") << 1600 << 2.0 << 1.0 << 3200;
    QTest::newRow("300 % screen") << 1600 << 3.0 << 1.0 << 4800;
    QTest::newRow("zoom 2 doubles") << 800 << 1.0 << 2.0 << 3200;
    QTest::newRow("zoom 1.5 takes the next power of two") << 800 << 1.0 << 1.5 << 3200;
    QTest::newRow("zoom 8") << 800 << 1.0 << 8.0 << 12800;
}

void TstPlacement::previewPictureSide()
{
    QFETCH(int, screen);
    QFETCH(double, ratio);
    QFETCH(double, zoom);
    QFETCH(int, side);
    QCOMPARE(vt::previewPictureSide(screen, ratio, zoom), side);
}

QTEST_GUILESS_MAIN(TstPlacement)
void TstPlacement::placedResolution_data()
{
    QTest::addColumn<QSizeF>("picture");
    QTest::addColumn<Placement>("placement");
    QTest::addColumn<double>("ppi");
    // The area is 127 mm square: 5 inches, so 1000 pixels across it give 200 per inch.
    QTest::newRow("fill, whole picture shows") << QSizeF(1000, 1000) << make(Mode::Fill) << 200.0;
    // Zoom 2: only the middle 500 pixels show over the 5 inches.
    QTest::newRow("zoomed fill shows half") << QSizeF(1000, 1000) << make(Mode::Fill, 2) << 100.0;
    // Fit: 2000 x 1000 lies at 127 x 63.5 mm, 400 per inch both ways; the white bands print nothing.
    QTest::newRow("fit counts only the picture") << QSizeF(2000, 1000) << make(Mode::Fit) << 400.0;
    // Stretch: 1000 across, 500 down over 5 inches each: the coarser axis, 100.
    QTest::newRow("stretch, coarse axis") << QSizeF(1000, 500) << make(Mode::Stretch) << 100.0;
    // A quarter turn makes it 500 x 1000; fill covers 127 mm with the 500 pixels across.
    QTest::newRow("turned fill") << QSizeF(1000, 500) << make(Mode::Fill, 1, 0.5, 0.5, 1) << 100.0;
    QTest::newRow("empty picture") << QSizeF() << make(Mode::Fill) << 0.0;
}

void TstPlacement::placedResolution()
{
    QFETCH(QSizeF, picture);
    QFETCH(Placement, placement);
    QFETCH(double, ppi);
    const double got = placedResolutionPpi(picture, QSizeF(127, 127), placement);
    QVERIFY2(std::abs(got - ppi) < 0.01, qPrintable(QString::number(got)));
}

#include "tst_placement.moc"
