// The about box and its credits roll, and the pictures of the menus.
#include "TestWindow.h"

#include "app/AboutScroll.h"
#include "net/WebAddresses.h"
#include "platform/MenuIconTable.h"
#include "ui/dialogs/frmAbout2.h"
#include "ui/main/MenuIcons.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QtTest>

using namespace vt;

class TstAbout : public QObject
{
    Q_OBJECT
private slots:
    void rollAtTicks_data();
    void rollAtTicks();
    void rollMatchesStepByStep();

    void boxShowsNameReleaseAndTexts();
    void boxRollsWhileShown();
    void clicks_data();
    void clicks();
    void escInViewportCloses();
    void anyCloseShowsMainWindowAsItWas();
    void closingHiddenMainWindowClosesBoxAndSaves();

    void menuPicturesResolve_data();
    void menuPicturesResolve();
    void menuPicturesDrawnAsQtDrawsThem_data();
    void menuPicturesDrawnAsQtDrawsThem();
    void everyTableEntryHasItsPictureAfterLanguageSwitch();
    void menuBarShowsPictureBesideCaption();
};

void TstAbout::rollAtTicks_data()
{
    QTest::addColumn<long long>("ticks");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("pause");
    // 4125 high in a 2235 viewport: rises from 2200 to -1890 (409 ticks), waits 120
    // ticks, rises on until it is above -4125 and starts again at 2200.
    QTest::newRow("start") << 0LL << 2200 << 0;
    QTest::newRow("first tick") << 1LL << 2190 << 0;
    QTest::newRow("end in view") << 409LL << -1890 << 0;
    QTest::newRow("pause begins") << 410LL << -1890 << 1;
    QTest::newRow("pause, last still tick") << 529LL << -1890 << 120;
    QTest::newRow("moves on after 120") << 530LL << -1900 << 121;
    QTest::newRow("last line leaving") << 752LL << -4120 << 343; // the counter runs on while it rises
    QTest::newRow("past -4125: restart") << 753LL << 2200 << 0;
    QTest::newRow("second round") << 754LL << 2190 << 0;
    QTest::newRow("many rounds later") << 753LL * 100000 + 410 << -1890 << 1;
    QTest::newRow("negative counts as none") << -5LL << 2200 << 0;
}

void TstAbout::rollAtTicks()
{
    QFETCH(long long, ticks);
    QFETCH(int, top);
    QFETCH(int, pause);
    const AboutScroll s = aboutScrollAfter(ticks);
    QCOMPARE(s.top, top);
    QCOMPARE(s.pause, pause);
}

void TstAbout::rollMatchesStepByStep()
{
    AboutScroll s;
    int lowest = s.top;
    for (int n = 1; n <= 2000; ++n) {
        s = nextAboutScroll(s);
        QCOMPARE(s, aboutScrollAfter(n));
        lowest = std::min(lowest, s.top);
        QVERIFY(s.top >= -AboutContentHeight);
    }
    QCOMPARE(lowest, -4120);
}

void TstAbout::boxShowsNameReleaseAndTexts()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    frmAbout2 box(state, &form, rec.hooks().openExternally);
    QCOMPARE(box.windowTitle(), QString(state.Language[27]).remove(u'&'));
    auto *title = box.findChild<QLabel *>("lblTitle");
    auto *version = box.findChild<QLabel *>("lblVersion");
    QCOMPARE(title->text(), QString("Vantrelo"));
    QCOMPARE(version->text(), QString("Rel. 2.8.0"));
    QCOMPARE(version->x() - (title->geometry().right() + 1), 200 / TwipsPerPixel);
    QCOMPARE(box.findChild<QLabel *>("lblDescription")->text(), state.Language[14]);
    QVERIFY(box.findChild<QLabel *>("lblCredits")->text().endsWith(" - " + state.Language[23]));
    QCOMPARE(box.findChild<QLabel *>("lblHomePage")->text(), QString::fromLatin1(HomePageUrl));
    QCOMPARE(box.findChild<QLabel *>("lblHomePageCap")->text(), QString("Home Page:"));
    QVERIFY(!box.findChild<QLabel *>("imgTitle")->pixmap().isNull());
    QCOMPARE(box.findChild<QLabel *>("Image1")->pixmap().deviceIndependentSize(), QSizeF(150, 120));
}

void TstAbout::boxRollsWhileShown()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QPointer<frmAbout2> box = showAboutBox(state, &form, rec.hooks().openExternally);
    QVERIFY(box->isVisible());
    QVERIFY(!form.isVisible());
    auto *content = box->findChild<QWidget *>("Picture2");
    QCOMPARE(content->mapTo(box->findChild<QWidget *>("Picture1"), QPoint()).y(), qRound(2200 / double(TwipsPerPixel)));
    QTRY_VERIFY(box->scroll().top < 2000); // the 10 ms timer runs
    const int before = box->scroll().top;
    QCOMPARE(content->mapTo(box->findChild<QWidget *>("Picture1"), QPoint()).y(), qRound(before / double(TwipsPerPixel)));
    box->close();
    QTRY_VERIFY(box.isNull()); // discarded: the next box starts from the beginning
}

void TstAbout::clicks_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("opensHomePage");
    QTest::newRow("background") << "frmAbout2" << true << false;
    QTest::newRow("title picture") << "imgTitle" << true << false;
    QTest::newRow("product name") << "lblTitle" << true << false;
    QTest::newRow("release") << "lblVersion" << true << false;
    QTest::newRow("description") << "lblDescription" << true << false;
    QTest::newRow("credits") << "lblCredits" << true << false;
    QTest::newRow("home-page link") << "lblHomePage" << false << true;
    QTest::newRow("home-page caption") << "lblHomePageCap" << false << false;
    QTest::newRow("picture") << "Image1" << false << false;
    QTest::newRow("viewport") << "Picture1" << false << false;
}

void TstAbout::clicks()
{
    QFETCH(QString, widget);
    QFETCH(bool, closes);
    QFETCH(bool, opensHomePage);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QPointer<frmAbout2> box = showAboutBox(state, &form, rec.hooks().openExternally);
    QWidget *target = widget == box->objectName() ? box.data() : box->findChild<QWidget *>(widget);
    QVERIFY(target);
    // The background click lands on a corner the window's own controls leave free.
    const QPoint at = target == box.data() ? QPoint(box->width() - 3, 3) : target->rect().center();
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QCOMPARE(rec.opened, opensHomePage ? QStringList{QString::fromLatin1(HomePageUrl)} : QStringList());
    if (closes) {
        QTRY_VERIFY(box.isNull());
        QVERIFY(form.isVisible());
    } else {
        QVERIFY(box && box->isVisible());
        QVERIFY(!form.isVisible());
        box->close();
    }
}

void TstAbout::escInViewportCloses()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QPointer<frmAbout2> box = showAboutBox(state, &form, rec.hooks().openExternally);
    QTest::keyClick(box->findChild<QWidget *>("Picture1"), Qt::Key_Escape);
    QTRY_VERIFY(box.isNull());
    QVERIFY(form.isVisible());
}

void TstAbout::anyCloseShowsMainWindowAsItWas()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    // Away from the screen's corner, where a window shown anew would be put.
    form.move(120, 90);
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.selectFormat(9);
    const QRect geometry = form.geometry();
    const QPoint place = form.pos();
    const Qt::WindowStates windowState = form.windowState();
    QPointer<frmAbout2> box = showAboutBox(state, &form, rec.hooks().openExternally);
    // As the window's own close button does: not one of the box's click rules.
    box->close();
    QTRY_VERIFY(box.isNull());
    QVERIFY(form.isVisible());
    QCOMPARE(form.geometry(), geometry);
    QTest::qWait(20); // the second placing, after the window is mapped
    QCOMPARE(form.pos(), place);
    QCOMPARE(form.geometry(), geometry);
    QCOMPARE(form.windowState(), windowState);
    QCOMPARE(form.selectedFormat(), 9);
    QVERIFY(rec.exits.isEmpty());
}

void TstAbout::closingHiddenMainWindowClosesBoxAndSaves()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QPointer<frmAbout2> box = showAboutBox(state, &form, rec.hooks().openExternally);
    QVERIFY(!QFile::exists(folder.file("Files/Vantrelo.ini")));
    // Qt ends the program only when a visible last window closes: record whether the
    // window was visible each time a close reached it.
    struct CloseWatch : QObject
    {
        QList<bool> visibleAtClose;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Close)
                visibleAtClose << static_cast<QWidget *>(o)->isVisible();
            return false;
        }
    } watch;
    form.installEventFilter(&watch);
    form.close(); // what SIGTERM does
    QTRY_VERIFY(box.isNull());
    QTRY_VERIFY(!form.isVisible());
    QVERIFY(QFile::exists(folder.file("Files/Vantrelo.ini")));
    QVERIFY(!watch.visibleAtClose.isEmpty());
    QVERIFY(watch.visibleAtClose.last());
    form.removeEventFilter(&watch);
}

void TstAbout::menuPicturesResolve_data()
{
    QTest::addColumn<QString>("name");
    for (const MenuIconEntry &e : menuIconTable())
        QTest::addRow("%s %d-%d %s", e.objectName, e.firstIndex, e.lastIndex, e.icon) << QString::fromLatin1(e.icon);
}

void TstAbout::menuPicturesResolve()
{
    QFETCH(QString, name);
    const QIcon icon = menuPicture(name);
    QVERIFY(!icon.isNull());
    // 16 pixels for 100 %, 32 for 200 %: no picture is blown up on a doubled screen.
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY2(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)), qPrintable(name));
}

void TstAbout::menuPicturesDrawnAsQtDrawsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("files"); // the sizes embedded
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("expectedSide");
    const QList<int> tango{16, 22, 24, 32};
    QTest::addRow("tango 16") << "document-print" << tango << 16 << int(QIcon::Normal) << 16;
    QTest::addRow("tango 22") << "document-print" << tango << 22 << int(QIcon::Normal) << 22;
    QTest::addRow("tango 20 from 22") << "document-print" << tango << 20 << int(QIcon::Normal) << 20;
    QTest::addRow("tango 32 at 200 %%") << "document-print" << tango << 32 << int(QIcon::Normal) << 32;
    QTest::addRow("tango 48: never blown up") << "document-print" << tango << 48 << int(QIcon::Normal) << 32;
    QTest::addRow("tango 12 from 16") << "document-print" << tango << 12 << int(QIcon::Normal) << 12;
    QTest::addRow("tango disabled") << "document-print" << tango << 16 << int(QIcon::Disabled) << 16;
    QTest::addRow("tango selected") << "document-print" << tango << 24 << int(QIcon::Selected) << 24;
    QTest::addRow("own 16") << "case-disc" << QList<int>{16, 32} << 16 << int(QIcon::Normal) << 16;
    QTest::addRow("own 24 from 32") << "case-disc" << QList<int>{16, 32} << 24 << int(QIcon::Normal) << 24;
    QTest::addRow("own disabled 32") << "case-disc" << QList<int>{16, 32} << 32 << int(QIcon::Disabled) << 32;
}

// Menu pictures are read only when drawn; what they draw must not differ from the icon
// Qt makes of the same files.
void TstAbout::menuPicturesDrawnAsQtDrawsThem()
{
    QFETCH(QString, name);
    QFETCH(QList<int>, files);
    QFETCH(int, asked);
    QFETCH(int, mode);
    QFETCH(int, expectedSide);
    QIcon qts;
    for (int side : files) {
        QString path = QStringLiteral(":/tango/%1/%2.png").arg(side).arg(name);
        if (!QFile::exists(path))
            path = QStringLiteral(":/pictures/menu/%1/%2.png").arg(side).arg(name);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        qts.addFile(path, QSize(side, side));
    }
    const QIcon ours = menuPicture(name);
    const QSize size(asked, asked);
    const auto iconMode = QIcon::Mode(mode);
    QCOMPARE(ours.actualSize(size, iconMode), QSize(expectedSide, expectedSide));
    QCOMPARE(ours.actualSize(size, iconMode), qts.actualSize(size, iconMode));
    const QImage drawn = ours.pixmap(size, 1.0, iconMode).toImage();
    QCOMPARE(drawn.size(), QSize(expectedSide, expectedSide));
    QCOMPARE(drawn, qts.pixmap(size, 1.0, iconMode).toImage());
    // Painted into a rectangle, as menus do.
    QImage a(40, 40, QImage::Format_ARGB32_Premultiplied), b = a;
    a.fill(Qt::white);
    b.fill(Qt::white);
    QPainter pa(&a), pb(&b);
    ours.paint(&pa, QRect(2, 3, asked, asked), Qt::AlignCenter, iconMode);
    qts.paint(&pb, QRect(2, 3, asked, asked), Qt::AlignCenter, iconMode);
    pa.end();
    pb.end();
    QCOMPARE(a, b);
}

void TstAbout::everyTableEntryHasItsPictureAfterLanguageSwitch()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.applyChosenLanguageFile(folder.file("Files/Lang/Italiano.lng"));
    QCOMPARE(state.LanguageFileName, QString("Italiano.lng"));

    int checked = 0;
    for (QAction *a : form.findChildren<QAction *>()) {
        const QString expected = menuIconFor(a->objectName(), a->data().isValid() ? a->data().toInt() : -1);
        if (expected.isEmpty())
            continue;
        QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
        QCOMPARE(a->icon().pixmap(16).toImage(), menuPicture(expected).pixmap(16).toImage());
        ++checked;
    }
    // Four menu bar entries and the cover-search submenu; File 8, Format 22, Tools 4 and
    // the 6 sites, Donations 1, help 4.
    QCOMPARE(checked, 5 + 8 + 22 + 4 + 6 + 1 + 4);
    for (int k = 0; k < 22; ++k)
        QVERIFY(!menuIconFor("mnuFormato1", k).isEmpty());
    QVERIFY(form.menu("mnuGuida")->menuAction()->icon().isNull());
    QVERIFY(form.menu("mnuGuida")->icon().isNull());
}

void TstAbout::menuBarShowsPictureBesideCaption()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QMenuBar *bar = form.menuBar();
    const QFontMetrics fm(bar->font());
    const QRect withPicture = bar->actionGeometry(form.menu("mnuFile")->menuAction());
    const QRect without = bar->actionGeometry(form.menu("mnuGuida")->menuAction());
    QVERIFY(withPicture.width() >= 16 + fm.size(Qt::TextShowMnemonic, form.menu("mnuFile")->title()).width());
    QVERIFY(without.width() >= fm.size(Qt::TextShowMnemonic, form.menu("mnuGuida")->title()).width());
    // The caption is drawn: the entry's pixels right of the picture are not plain background.
    const QImage shot = bar->grab(withPicture).toImage();
    const QRgb background = shot.pixel(shot.width() - 1, 0);
    bool textDrawn = false;
    for (int x = 16 + 4; x < shot.width() && !textDrawn; ++x)
        for (int y = 0; y < shot.height() && !textDrawn; ++y)
            textDrawn = shot.pixel(x, y) != background;
    QVERIFY(textDrawn);
}

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
