// The main window's layout, toolbar hover feedback, click sounds and the sound player.
#include "TestWindow.h"

#include "app/MainWindowLayout.h"
#include "app/ToolbarState.h"
#include "lang/LanguageFile.h"
#include "platform/SoundPlayer.h"
#include "ui/main/MenuIcons.h"
#include "platform/PictureLoading.h"
#include "ui/main/PreviewCanvas.h"
#include "ui/main/StartPictures.h"
#include "ui/main/Toolbar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QResource>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QtEndian>
#include <QtTest>

#include <memory>

using namespace vt;

namespace {

void sendMouse(QWidget *w, QEvent::Type type, Qt::MouseButton button = Qt::NoButton, QPoint at = {-1, -1})
{
    const QPointF local = at.x() < 0 ? QPointF(w->rect().center()) : QPointF(at);
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent e(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void moveOver(QWidget *w, QPoint at = {-1, -1}) { sendMouse(w, QEvent::MouseMove, Qt::NoButton, at); }

void click(QWidget *w)
{
    sendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton);
}

QByteArray wav(quint16 format, quint16 channels, quint32 rate, quint16 bits, int frames, bool withFmt = true,
               int claimedData = -1)
{
    const quint16 align = quint16(channels * bits / 8);
    QByteArray fmt, out;
    auto put16 = [](QByteArray &b, quint16 v) { char c[2]; qToLittleEndian(v, c); b.append(c, 2); };
    auto put32 = [](QByteArray &b, quint32 v) { char c[4]; qToLittleEndian(v, c); b.append(c, 4); };
    put16(fmt, format);
    put16(fmt, channels);
    put32(fmt, rate);
    put32(fmt, rate * align);
    put16(fmt, align);
    put16(fmt, bits);
    const QByteArray data(frames * align, '\0');
    QByteArray body = "WAVE";
    if (withFmt) {
        body += "fmt ";
        put32(body, quint32(fmt.size()));
        body += fmt;
    }
    body += "LIST";
    put32(body, 3); // an odd-sized chunk before the data: padded to even
    body += QByteArray("abc\0", 4);
    body += "data";
    put32(body, quint32(claimedData >= 0 ? claimedData : data.size()));
    body += data;
    out = "RIFF";
    put32(out, quint32(body.size()));
    return out + body;
}

LanguageTable english()
{
    LanguageTable t;
    readLanguageFile(QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Lang/English.lng"), t);
    return t;
}

} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void backdropIsTheDrawnPicture();
    void barPicturesAsTheStyleDrawsThem_data();
    void barPicturesAsTheStyleDrawsThem();
    void layout_data();
    void layout();
    void toolbarHover_data();
    void toolbarHover();
    void sunkButtonKeepsItsHome();

    void windowHoverAndTips();
    void soundsOnlyWhenOn_data();
    void soundsOnlyWhenOn();
    void buttonsRunMenuCommands_data();
    void buttonsRunMenuCommands();
    void button8PopsUpCoverSearchMenu();
    void windowFollowsSize_data();
    void windowFollowsSize();

    void wavDuration_data();
    void wavDuration();
    void playerSkipsAtOnce_data();
    void playerSkipsAtOnce();
};

// ---- layout, pure ------------------------------------------------------------------

void TstMainWindow::layout_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("label5");
    QTest::addColumn<QSize>("expectWindow");
    QTest::addColumn<int>("button2Left");
    QTest::addColumn<QRect>("combo1");
    QTest::addColumn<int>("statusTop");
    QTest::addColumn<int>("check1Top");

    const QRect label5(2730, 270, 570, 195);
    // Designed size: the list keeps its 4000 twips, button 2 sits 160 from the right.
    QTest::newRow("designed size") << QSize(9930, 7290 + 300) << QSize(9930, 7290) << label5 << QSize(9930, 7590)
                                   << 9930 - 1380 - 160 << QRect(3400, 210, 4000, 315) << 7290 - 405
                                   << 7290 - 405 - 225 - 200;
    QTest::newRow("too small snaps to the minimum, inner area grows with it")
        << QSize(5000, 3000) << QSize(5000, 2700) << label5 << QSize(8600, 5500) << 8600 - 1540
        << QRect(3400, 210, 8600 - 1540 - 150 - 3400, 315) << 5200 - 405 << 5200 - 830;
    QTest::newRow("only too narrow") << QSize(8000, 9000) << QSize(8000, 8700) << label5 << QSize(8600, 9000)
                                     << 8600 - 1540 << QRect(3400, 210, 3510, 315) << 8700 - 405 << 8700 - 830;
    QTest::newRow("wide: button 2 follows the right edge, list stays 4000")
        << QSize(24000, 15000) << QSize(24000, 14700) << label5 << QSize(24000, 15000) << 24000 - 1540
        << QRect(3400, 210, 4000, 315) << 14700 - 405 << 14700 - 830;
    QTest::newRow("narrow: list shrinks to 150 before button 2")
        << QSize(8700, 6000) << QSize(8700, 5700) << label5 << QSize(8700, 6000) << 8700 - 1540
        << QRect(3400, 210, 8700 - 1540 - 150 - 3400, 315) << 5700 - 405 << 5700 - 830;
    QTest::newRow("short label: list kept 150 clear of button 8")
        << QSize(9930, 7590) << QSize(9930, 7290) << QRect(1000, 270, 300, 195) << QSize(9930, 7590)
        << 9930 - 1540 << QRect(2010 + 435 + 150, 210, 4000, 315) << 7290 - 405 << 7290 - 830;
    QTest::newRow("long label pushes the list right, still shrunk before button 2")
        << QSize(9930, 7590) << QSize(9930, 7290) << QRect(2730, 270, 2500, 195) << QSize(9930, 7590)
        << 9930 - 1540 << QRect(5330, 210, 9930 - 1540 - 150 - 5330, 315) << 7290 - 405 << 7290 - 830;
}

void TstMainWindow::layout()
{
    QFETCH(QSize, window);
    QFETCH(QSize, client);
    QFETCH(QRect, label5);
    QFETCH(QSize, expectWindow);
    QFETCH(int, button2Left);
    QFETCH(QRect, combo1);
    QFETCH(int, statusTop);
    QFETCH(int, check1Top);

    MainWindowLayoutInput in;
    in.window = window;
    in.client = client;
    in.label5 = label5;
    const MainWindowLayout l = layoutMainWindow(in);
    QCOMPARE(l.window, expectWindow);
    QCOMPARE(l.snapped, window != expectWindow);
    const int innerWidth = client.width() + expectWindow.width() - window.width();
    QCOMPARE(l.button2, QRect(button2Left, 190, 1380, 390));
    QCOMPARE(innerWidth - (l.button2.x() + l.button2.width()), 160);
    QCOMPARE(l.combo1, combo1);
    QVERIFY(l.button2.x() - (l.combo1.x() + l.combo1.width()) >= 150);
    QCOMPARE(l.label1, QRect(0, statusTop, innerWidth, 405));
    QCOMPARE(l.shape5, l.label1);
    QCOMPARE(l.check1.topLeft(), QPoint(195, check1Top));
    QCOMPARE(l.label6.top(), check1Top);
    QCOMPARE(l.line1, QLine(-30, 780, expectWindow.width(), 780));
    QCOMPARE(l.sfondo1.topLeft(), QPoint(-60, 790));
    QCOMPARE(l.sfondo1.height(), expectWindow.height() - 780);
    QVERIFY(l.sfondo1.x() + l.sfondo1.width() >= innerWidth); // reaches the right edge
}

// ---- toolbar model, pure ------------------------------------------------------------

void TstMainWindow::toolbarHover_data()
{
    QTest::addColumn<QString>("moves"); // b<i>: button i, g: background, c: outline switch, l: format label
    QTest::addColumn<QList<int>>("sunk");
    QTest::addColumn<QString>("status"); // tip<i>, e<entry> or empty
    QTest::addColumn<int>("sinks");      // how many moves sank a button (= hover sounds)

    QTest::newRow("button 1 then 9: 1 home, 9 sunk, tip 3") << "b1 b9" << QList<int>{9} << "tip3" << 2;
    QTest::newRow("button 3 shows tip 9") << "b3" << QList<int>{3} << "tip9" << 1;
    QTest::newRow("button 0 shows entry 106") << "b0" << QList<int>{0} << "e106" << 1;
    QTest::newRow("moving within a button sinks once") << "b1 b1 b1" << QList<int>{1} << "tip1" << 1;
    QTest::newRow("background releases and empties") << "b8 g" << QList<int>{} << "" << 1;
    QTest::newRow("next background move restores 14") << "b8 g g" << QList<int>{} << "e14" << 1;
    QTest::newRow("outline switch tip only over an empty line") << "b8 g c" << QList<int>{} << "e29" << 1;
    QTest::newRow("outline switch leaves the idle text") << "g c" << QList<int>{} << "e14" << 0;
    QTest::newRow("format label always") << "b2 l" << QList<int>{2} << "e30" << 1;
    QTest::newRow("back to a released button sinks again") << "b1 b2 b1" << QList<int>{1} << "tip1" << 3;
}

void TstMainWindow::toolbarHover()
{
    QFETCH(QString, moves);
    QFETCH(QList<int>, sunk);
    QFETCH(QString, status);
    QFETCH(int, sinks);

    AppState state;
    state.Language = english();
    for (int i = 0; i <= 9; ++i)
        state.ToolbarTips[size_t(i)] = QStringLiteral("tip%1").arg(i);
    for (int e : {14, 29, 30, 106})
        state.Language.at(e) = QStringLiteral("e%1").arg(e);
    ToolbarState bar(state);
    for (int i = 0; i < 10; ++i)
        bar.setHome(i, QPoint(100 * i, 150));

    int sank = 0;
    for (const QString &m : moves.split(u' ')) {
        if (m.startsWith(u'b'))
            sank += bar.hoverButton(m.mid(1).toInt()) ? 1 : 0;
        else if (m == u"g")
            bar.hoverBackground();
        else if (m == u"c")
            bar.hoverOutlineSwitch();
        else if (m == u"l")
            bar.hoverFormatLabel();
    }
    for (int i = 0; i < 10; ++i) {
        const bool shouldSink = sunk.contains(i);
        QCOMPARE(bar.isRaised(i), shouldSink);
        QCOMPARE(bar.position(i), QPoint(100 * i, 150) + (shouldSink ? QPoint(30, 30) : QPoint()));
    }
    QCOMPARE(bar.status(), status);
    QCOMPARE(sank, sinks);
}

void TstMainWindow::sunkButtonKeepsItsHome()
{
    AppState state;
    ToolbarState bar(state);
    bar.setHome(1, {720, 120});
    bar.setHome(9, {1440, 150});
    bar.hoverButton(9);
    // A resize records homes from where the buttons are shown; the sunk one keeps its own.
    std::array<QPoint, 10> shown;
    for (int i = 0; i < 10; ++i)
        shown[size_t(i)] = bar.position(i);
    bar.recordHomes(shown);
    bar.recordHomes(shown);
    QCOMPARE(QPoint(state.ToolbarButtonLeft[9], state.ToolbarButtonTop[9]), QPoint(1440, 150));
    bar.hoverBackground();
    QCOMPARE(bar.position(9), QPoint(1440, 150));
    QCOMPARE(bar.position(1), QPoint(720, 120));
}

// ---- the window ---------------------------------------------------------------------

void TstMainWindow::windowHoverAndTips()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    MainToolbar *bar = form.toolbar();
    QWidget *b0 = bar->button(0), *b1 = bar->button(1), *b9 = bar->button(9);
    const QPoint home0 = b0->pos(), home1 = b1->pos(), home9 = b9->pos();
    for (int i = 0; i < 10; ++i)
        QCOMPARE(bar->button(i)->isVisible(), MainToolbar::isShown(i));

    moveOver(b1);
    QCOMPARE(b1->pos(), home1 + QPoint(2, 2));
    moveOver(b9);
    QCOMPARE(b1->pos(), home1);
    QCOMPARE(b9->pos(), home9 + QPoint(2, 2));
    QCOMPARE(form.statusLabel()->text(), state.ToolbarTips[3]);
    QVERIFY(!state.ToolbarTips[3].isEmpty());

    moveOver(b0);
    QCOMPARE(form.statusLabel()->text(), state.Language[106]);

    // The strip a sunk button uncovers still counts as the button.
    QWidget *client = form.centralWidget();
    QCOMPARE(b0->pos(), home0 + QPoint(2, 2));
    moveOver(client, home0 + QPoint(1, 1));
    QVERIFY(bar->model().isRaised(0));
    QCOMPARE(b0->pos(), home0 + QPoint(2, 2));

    // Background: the first move releases (and empties), the next restores entry 14.
    moveOver(client, QPoint(client->width() / 2, client->height() / 2));
    QCOMPARE(b0->pos(), home0);
    QVERIFY(!bar->model().isRaised(0));
    QCOMPARE(form.statusLabel()->text(), QString());
    moveOver(form.canvas(), QPoint(5, form.canvas()->height() / 2));
    QCOMPARE(form.statusLabel()->text(), state.Language[14]);

    // The outline switch's tip only replaces an empty line; the format label's always shows.
    moveOver(form.outlineSwitch());
    QCOMPARE(form.statusLabel()->text(), state.Language[14]);
    moveOver(b9);
    moveOver(client, QPoint(client->width() / 2, client->height() / 2));
    moveOver(form.outlineSwitch());
    QCOMPARE(form.statusLabel()->text(), state.Language[29]);
    moveOver(form.formatLabel());
    QCOMPARE(form.statusLabel()->text(), state.Language[30]);
}

void TstMainWindow::soundsOnlyWhenOn_data()
{
    QTest::addColumn<bool>("soundsOn");
    QTest::newRow("sounds on") << true;
    QTest::newRow("sounds off") << false;
}

void TstMainWindow::soundsOnlyWhenOn()
{
    QFETCH(bool, soundsOn);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    state.SoundsOn = soundsOn;
    // The command itself must not open anything here.
    QAction *title = form.action("mnuTitolo");
    QObject::disconnect(title, &QAction::triggered, nullptr, nullptr);

    QWidget *b9 = form.toolbar()->button(9);
    moveOver(b9);
    moveOver(b9); // within the same button: no second tick
    click(b9);
    const QStringList expected = soundsOn ? QStringList{"Files/Click1.wav", "Files/Click2.wav"} : QStringList{};
    QCOMPARE(rec.sounds, expected);
}

void TstMainWindow::buttonsRunMenuCommands_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("action");
    QTest::newRow("0 opens a project") << 0 << "mnuApriDS";
    QTest::newRow("1 prints") << 1 << "mnuFileStampa";
    QTest::newRow("2 donation") << 2 << "mnuDonazioniFaiunadonazione";
    QTest::newRow("3 options") << 3 << "mnuOpzioni";
    QTest::newRow("4 about") << 4 << "mnuMenu1Informazioni";
    QTest::newRow("5 help") << 5 << "mnuMenu1Guida";
    QTest::newRow("9 title editor") << 9 << "mnuTitolo";
}

void TstMainWindow::buttonsRunMenuCommands()
{
    QFETCH(int, button);
    QFETCH(QString, action);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    QAction *a = form.action(action);
    QVERIFY(a);
    // Only which command runs is of interest here, not the dialog it opens.
    QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
    a->setEnabled(true);
    QSignalSpy spy(a, &QAction::triggered);
    runToolbarCommand(form, button);
    QCOMPARE(spy.count(), 1);
    // Nothing else was set off.
    for (int other : {6, 7})
        runToolbarCommand(form, other);
    QCOMPARE(spy.count(), 1);
}

void TstMainWindow::button8PopsUpCoverSearchMenu()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QMenu *menu = form.menu("mnuCercaCover");
    QVERIFY(menu);
    if (menu->actions().isEmpty())
        menu->addAction(QStringLiteral("a search site"));
    click(form.toolbar()->button(8));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
}

void TstMainWindow::windowFollowsSize_data()
{
    QTest::addColumn<QSize>("asked");
    QTest::newRow("1600 x 1000") << QSize(1600, 1000);
    QTest::newRow("below the minimum") << QSize(200, 150);
    QTest::newRow("designed") << QSize(662, 520);
    QTest::newRow("wider than 32767 twips") << QSize(2500, 900);
}

void TstMainWindow::windowFollowsSize()
{
    QFETCH(QSize, asked);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(asked);
    QTRY_VERIFY(form.width() >= 8600 / 15 && form.height() >= 5500 / 15);
    if (asked.width() >= 8600 / 15)
        QCOMPARE(form.width(), asked.width());
    QWidget *client = form.centralWidget();
    QWidget *b2 = form.toolbar()->button(2);
    // 160 twips are 10.67 pixels: within a pixel.
    QVERIFY(qAbs((client->width() - (b2->x() + b2->width())) * 15 - 160) < 15);
    QCOMPARE(QPoint(state.ToolbarButtonLeft[2], state.ToolbarButtonTop[2]), QPoint(client->width() * 15 - 1540, 190));
    // Sinking and releasing brings it back to that home, however wide the window.
    const QPoint home2 = b2->pos();
    form.toolbar()->hoverButton(2);
    QCOMPARE(b2->pos(), home2 + QPoint(2, 2));
    form.toolbar()->hoverBackground(client->mapToGlobal(QPoint(client->width() / 2, client->height() / 2)));
    QCOMPARE(b2->pos(), home2);
    QWidget *combo = form.formatList();
    QVERIFY(b2->x() - (combo->x() + combo->width()) >= 150 / 15);
    QCOMPARE(form.statusLabel()->geometry().bottom(), client->height() - 1);
    QCOMPARE(form.statusLabel()->width(), client->width());
    // 200 twips above the status line, to the pixel (twips round to whole pixels).
    QVERIFY(qAbs(form.statusLabel()->y() - form.outlineSwitch()->height() - form.outlineSwitch()->y() - 200 / 15) <= 1);
}

// ---- sounds ---------------------------------------------------------------------------

void TstMainWindow::wavDuration_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("ms"); // -1: refused

    QTest::newRow("16-bit mono, 100 ms") << wav(1, 1, 44100, 16, 4410) << 100;
    QTest::newRow("8-bit stereo, 50 ms") << wav(1, 2, 8000, 8, 400) << 50;
    QTest::newRow("float, 20 ms") << wav(3, 1, 48000, 32, 960) << 20;
    QTest::newRow("shipped hover tick")
        << fileBytes(QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Click1.wav")) << 30;
    QTest::newRow("shipped click") << fileBytes(QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Click2.wav")) << 70;
    QTest::newRow("data shorter than claimed: what is there")
        << wav(1, 1, 1000, 16, 10, true, 1'000'000) << 10;
    QTest::newRow("empty file") << QByteArray() << -1;
    QTest::newRow("not RIFF") << QByteArray("JFIF0000WAVEfmt ") << -1;
    QTest::newRow("no format chunk") << wav(1, 1, 44100, 16, 100, false) << -1;
    QTest::newRow("no channels") << wav(1, 0, 44100, 16, 100) << -1;
    QTest::newRow("no rate") << wav(1, 1, 0, 16, 100) << -1;
    QTest::newRow("compressed format") << wav(2, 1, 44100, 16, 100) << -1;
    QTest::newRow("no samples") << wav(1, 1, 44100, 16, 0) << -1;
    QTest::newRow("header cut short") << wav(1, 1, 44100, 16, 100).left(30) << -1;
    QTest::newRow("an hour long: no click") << wav(1, 1, 1000, 8, 3'600'000) << -1;
}

void TstMainWindow::wavDuration()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, ms);
    const auto d = wavDurationMs(bytes);
    QCOMPARE(d.value_or(-1), ms);
}

void TstMainWindow::playerSkipsAtOnce_data()
{
    QTest::addColumn<QString>("output"); // "yes", "no", or "module": asked of the module
    QTest::addColumn<QString>("module"); // the multimedia module, in the temporary folder
    QTest::addColumn<QString>("file");   // relative to the temporary folder
    QTest::addColumn<int>("outcome");

    QTest::newRow("no audio output") << "no" << "absent.so" << "good.wav" << int(SoundPlayer::Outcome::NoOutput);
    QTest::newRow("missing file") << "yes" << "absent.so" << "absent.wav" << int(SoundPlayer::Outcome::Missing);
    QTest::newRow("a folder") << "yes" << "absent.so" << "folder.wav" << int(SoundPlayer::Outcome::Missing);
    QTest::newRow("broken file") << "yes" << "absent.so" << "broken.wav" << int(SoundPlayer::Outcome::Broken);
    // The module is what plays: without it, or with a file that is no module, the
    // sound is skipped as when nothing can be heard.
    QTest::newRow("no module") << "module" << "absent.so" << "good.wav" << int(SoundPlayer::Outcome::NoOutput);
    QTest::newRow("module not a library") << "module" << "broken.wav" << "good.wav"
                                          << int(SoundPlayer::Outcome::NoOutput);
    QTest::newRow("output but no module") << "yes" << "absent.so" << "good.wav"
                                          << int(SoundPlayer::Outcome::NoOutput);
}

void TstMainWindow::playerSkipsAtOnce()
{
    QFETCH(QString, output);
    QFETCH(QString, module);
    QFETCH(QString, file);
    QFETCH(int, outcome);
    QTemporaryDir dir;
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("good.wav", wav(1, 1, 44100, 16, 44100)); // a whole second
    write("broken.wav", QByteArray("RIFF\x10\0\0\0WAVEdata\x04\0\0\0abcd", 24));
    QDir(dir.path()).mkdir("folder.wav");

    std::function<bool()> hasOutput;
    if (output != "module")
        hasOutput = [output] { return output == "yes"; };
    SoundPlayer player(dir.filePath(module), hasOutput);
    QElapsedTimer t;
    t.start();
    QCOMPARE(int(player.play(dir.filePath(file))), outcome);
    QVERIFY2(t.elapsed() < 200, qPrintable(QString::number(t.elapsed())));
}

void TstMainWindow::barPicturesAsTheStyleDrawsThem_data()
{
    QTest::addColumn<int>("picture");
    QTest::newRow("menu bar overflow") << int(QStyle::SP_ToolBarHorizontalExtensionButton);
    QTest::newRow("vertical bar overflow") << int(QStyle::SP_ToolBarVerticalExtensionButton);
    QTest::newRow("any other picture") << int(QStyle::SP_DialogOkButton);
}

// The program's style reads the bars' overflow pictures late, and must still give the
// very pictures of the style it stands in for, at every size.
void TstMainWindow::barPicturesAsTheStyleDrawsThem()
{
    QFETCH(int, picture);
    const std::unique_ptr<QStyle> ours(styleWithDeferredBarPictures());
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(QApplication::style()->name()));
    QVERIFY(plain);
    const auto sp = QStyle::StandardPixmap(picture);
    const QIcon late = ours->standardIcon(sp);
    const QIcon own = plain->standardIcon(sp);
    QVERIFY(!own.isNull());
    QCOMPARE(late.availableSizes(), own.availableSizes());
    for (int side : {16, 24, 32}) {
        const QImage expected = own.pixmap(side, side).toImage();
        QVERIFY(!expected.isNull());
        QCOMPARE(late.pixmap(side, side).toImage(), expected);
        QCOMPARE(late.pixmap(side, side, QIcon::Disabled).toImage(), own.pixmap(side, side, QIcon::Disabled).toImage());
    }
}

void TstMainWindow::backdropIsTheDrawnPicture()
{
    const QImage backdrop = windowBackdrop();
    const QImage drawn = readPng(QStringLiteral(VT_SOURCE_DIR "/src/ui/main/art/background.png"));
    QCOMPARE(backdrop.size(), QSize(1200, 760));
    QCOMPARE(backdrop, drawn.convertToFormat(QImage::Format_RGB32));
    // Used where the program's bytes lie: the start neither decodes nor copies it.
    const QResource pixels(QStringLiteral(":/art/background.pixels"));
    QCOMPARE(backdrop.constBits(), reinterpret_cast<const uchar *>(pixels.data()) + 12);
}

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
