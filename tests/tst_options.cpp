// The options dialog: per-format print positions and sizes, the sound switch, OK and Cancel.
#include "KeyboardWalk.h"
#include "TestWindow.h"

#include "app/ProgramFolders.h"
#include "app/Settings.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "formats/Catalogue.h"
#include "lang/LanguageFile.h"
#include "ui/dialogs/HoverLiftButton.h"
#include "ui/dialogs/frmOpzioni.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace vt;

namespace {

// A program folder with its catalogue and settings read, as the main window leaves them.
struct Harness
{
    ProgramFolder folder;
    AppState state;
    QStringList log;

    Harness()
    {
        state.AppPath = folder.path();
        decideFolderMode(state);
        state.LastFormatIndex = 21;
        state.FormatCount = 22;
        state.LanguageFileName = QStringLiteral("English.lng");
        readLanguageFile(folder.file("Files/Lang/English.lng"), state.Language);
        ReadCatalogue(catalogueFilePath(state), state);
        state.SoundsOn = true;
        writeSettingsFile(settingsFilePath(state), state, 0, 0);
    }

    OptionsContext context(int mainFormat = 0)
    {
        OptionsContext c;
        c.state = &state;
        c.mainFormat = mainFormat;
        c.playSound = [this](const QString &wav) { log << "sound:" + wav; };
        c.reloadTexts = [this] { log << "reload"; };
        c.writeSettings = [this] {
            log << "settings";
            writeSettingsFile(settingsFilePath(state), state, 0, 0);
        };
        c.formatSelection = [this] { log << "format selection"; };
        return c;
    }
    const CoverFormat &format(int k) const { return state.Catalogue.entries[size_t(k)]; }
    QByteArray catalogueBytes() const { return fileBytes(catalogueFilePath(state)); }
    QByteArray settingsBytes() const { return fileBytes(settingsFilePath(state)); }
};

void type(frmOpzioni &d, int field, const QString &text)
{
    d.field(field)->setText(text);
}

QString shownMask(const frmOpzioni &d)
{
    QString mask;
    for (int i = 0; i < OptionsFieldCount; ++i)
        mask += d.field(i)->isHidden() ? u'0' : u'1';
    return mask;
}

} // namespace

class TstOptions : public QObject
{
    Q_OBJECT
private slots:
    void opensOnMainFormatWithCaptions();
    void showFormat_data();
    void showFormat();
    void hiddenFieldsKeepTheirValues();
    void field3Rule_data();
    void field3Rule();
    void roundDiameter_data();
    void roundDiameter();
    void notANumberStopsAtThatField_data();
    void notANumberStopsAtThatField();
    void okWritesExactlyTheEditedLines();
    void byKeyboardAlone();
    void okRefusesASizeThatIsNoNumber();
    void cancelRestoresBothFiles();
    void hoverSoundFollowsTheSwitch();
    void menuOpensItAndOkRedrawsThePreview();
    void oddSizesDoNotBreakThePreview_data();
    void oddSizesDoNotBreakThePreview();
};

void TstOptions::opensOnMainFormatWithCaptions()
{
    Harness h;
    frmOpzioni d(h.context(3));
    QCOMPARE(d.formatList()->count(), 22);
    QCOMPARE(d.formatList()->currentIndex(), 3);
    QCOMPARE(d.formatList()->itemText(21), h.state.Language[53 + 21]);
    QCOMPARE(d.field(FieldX1)->text(), QString("40"));
    QCOMPARE(d.field(FieldDimC)->text(), QString("151"));
    QCOMPARE(d.windowTitle(), StripAmpersands(h.state.Language[50]));
    QCOMPARE(d.rowLabel(2)->text(), h.state.Language[49] + " 2 (mm)");
    QCOMPARE(d.soundCaption()->text(), h.state.Language[108]);
    QVERIFY(d.soundSwitch()->isChecked());
    QVERIFY(qAbs(d.windowOpacity() - 245.0 / 255.0) < 0.01);
    QCOMPARE(h.log, QStringList{"reload"});
    // The caption toggles the switch.
    QTest::mouseClick(d.soundCaption(), Qt::LeftButton);
    QVERIFY(!d.soundSwitch()->isChecked());
    QTest::mouseClick(d.soundCaption(), Qt::LeftButton);
    QVERIFY(d.soundSwitch()->isChecked());
}

void TstOptions::showFormat_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("mask"); // fields 0..9 shown
    QTest::addColumn<int>("header1");
    QTest::addColumn<bool>("header2");
    QTest::addColumn<bool>("row2");
    QTest::addColumn<bool>("row3");

    QTest::newRow("DVD: one position, two sizes (DimC 0, OffsetY2 0)") << 0 << "1100001100" << 86 << true << false << false;
    QTest::newRow("jewel front and back: two positions, four sizes") << 3 << "1111001111" << 86 << true << true << false;
    QTest::newRow("round label: only the diameter, entry 88") << 10 << "1100001000" << 88 << false << false << false;
    QTest::newRow("two round labels") << 12 << "1111001000" << 88 << false << true << false;
    QTest::newRow("format 14: the third position") << 14 << "1111111000" << 88 << false << true << true;
}

void TstOptions::showFormat()
{
    QFETCH(int, k);
    QFETCH(QString, mask);
    QFETCH(int, header1);
    QFETCH(bool, header2);
    QFETCH(bool, row2);
    QFETCH(bool, row3);
    Harness h;
    // Shown after another format, so nothing is left over from the first one.
    frmOpzioni d(h.context(k == 3 ? 14 : 3));
    d.formatList()->setCurrentIndex(k);
    QCOMPARE(shownMask(d), mask);
    QCOMPARE(d.dimensionHeader(1)->text(), h.state.Language[header1]);
    QCOMPARE(!d.dimensionHeader(2)->isHidden(), header2);
    QCOMPARE(!d.rowLabel(1)->isHidden(), true);
    QCOMPARE(!d.rowLabel(2)->isHidden(), row2);
    QCOMPARE(!d.rowLabel(3)->isHidden(), row3);
    QCOMPARE(d.field(FieldY1)->text(), h.format(k).OffsetY.trimmed());
    QCOMPARE(d.field(FieldDimA)->text(), QString::number(h.format(k).DimA));
    if (row2)
        QCOMPARE(d.field(FieldY2)->text(), h.format(k).OffsetY2.trimmed());
    if (row3)
        QCOMPARE(d.field(FieldY3)->text(), h.state.Format14OffsetY3.trimmed());
}

void TstOptions::hiddenFieldsKeepTheirValues()
{
    Harness h;
    frmOpzioni d(h.context(3)); // shows a second position and sizes first
    d.formatList()->setCurrentIndex(0);
    QCOMPARE(d.field(FieldY2)->text(), QString("149.5")); // still format 3's, hidden
    type(d, FieldDimC, "99");
    type(d, FieldDimD, "98");
    type(d, FieldX1, "7");
    for (int field : {FieldX1, FieldDimC, FieldY2})
        QCOMPARE(d.storeFields(field), std::optional<int>());
    QCOMPARE(h.format(0).OffsetX, QString("7"));
    QCOMPARE(h.format(0).DimC, 0);
    QCOMPARE(h.format(0).DimD, 0);
    QCOMPARE(h.format(0).OffsetX2, QString("0"));
    QCOMPARE(h.format(0).OffsetY2, QString("0"));
    QCOMPARE(h.format(3).OffsetY2, QString("149.5"));
}

void TstOptions::field3Rule_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<QString>("y1");
    QTest::addColumn<QString>("y3");
    QTest::addColumn<QString>("expect");

    QTest::newRow("5 under 12 becomes 12") << 3 << "12" << "5" << "12";
    QTest::newRow("0 under 0.5 becomes 0.5, then 1") << 3 << "0.5" << "0" << "1";
    QTest::newRow("already below the first: kept") << 3 << "3" << "5" << "5";
    QTest::newRow("equal: kept") << 3 << "12" << "12" << "12";
    QTest::newRow("only when field 3 is the one left") << 1 << "12" << "5" << "5";
}

void TstOptions::field3Rule()
{
    QFETCH(int, left);
    QFETCH(QString, y1);
    QFETCH(QString, y3);
    QFETCH(QString, expect);
    Harness h;
    frmOpzioni d(h.context(3));
    type(d, FieldY1, y1);
    type(d, FieldY2, y3);
    d.storeFields(left);
    QCOMPARE(d.field(FieldY2)->text(), expect);
    QCOMPARE(h.format(3).OffsetY2, expect);
    QCOMPARE(h.format(3).OffsetY, y1);
    QCOMPARE(d.lastLeftField(), std::optional<int>(left));
}

void TstOptions::roundDiameter_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("secondArea");

    QTest::newRow("one label: A and B") << 10 << "118" << 118 << false;
    QTest::newRow("two labels: all four") << 12 << "118" << 118 << true;
    QTest::newRow("three labels: all four") << 14 << " 118 " << 118 << true;
    QTest::newRow("a half rounds to even (down)") << 10 << "118.5" << 118 << false;
    QTest::newRow("a half rounds to even (up)") << 12 << "119.5" << 120 << true;
}

void TstOptions::roundDiameter()
{
    QFETCH(int, k);
    QFETCH(QString, typed);
    QFETCH(int, size);
    QFETCH(bool, secondArea);
    Harness h;
    const CoverFormat before = h.format(k);
    frmOpzioni d(h.context(k));
    type(d, FieldDimA, typed);
    type(d, FieldDimB, "1"); // hidden for round formats: never read
    QCOMPARE(d.storeFields(FieldDimA), std::optional<int>());
    QCOMPARE(h.format(k).DimA, size);
    QCOMPARE(h.format(k).DimB, size);
    QCOMPARE(h.format(k).DimC, secondArea ? size : before.DimC);
    QCOMPARE(h.format(k).DimD, secondArea ? size : before.DimD);
}

void TstOptions::notANumberStopsAtThatField_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("bad");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("dims"); // DimA..D afterwards

    // Typed: X1 "7", sizes 130/131/160/161 (round: 100), the bad one replaced.
    QTest::newRow("second size: first stored, rest not") << 3 << int(FieldDimB) << "abc" << QList<int>{130, 120, 151, 118};
    QTest::newRow("third size") << 3 << int(FieldDimC) << "1x" << QList<int>{130, 131, 151, 118};
    QTest::newRow("empty first size: no size stored") << 3 << int(FieldDimA) << "" << QList<int>{120, 120, 151, 118};
    QTest::newRow("round diameter with a unit: nothing") << 14 << int(FieldDimA) << "100 mm" << QList<int>{78, 78, 78, 78};
    QTest::newRow("too large for a size") << 0 << int(FieldDimA) << "1e12" << QList<int>{274, 183, 0, 0};
}

void TstOptions::notANumberStopsAtThatField()
{
    QFETCH(int, k);
    QFETCH(int, bad);
    QFETCH(QString, text);
    QFETCH(QList<int>, dims);
    Harness h;
    frmOpzioni d(h.context(k));
    type(d, FieldX1, "7");
    const bool round = k >= 10 && k <= 14;
    type(d, FieldDimA, round ? "100" : "130");
    type(d, FieldDimB, "131");
    type(d, FieldDimC, "160");
    type(d, FieldDimD, "161");
    type(d, FieldX3, "70");
    type(d, bad, text);
    QCOMPARE(d.storeFields(FieldX1), std::optional<int>(bad));
    QCOMPARE(h.format(k).OffsetX, QString("7")); // stored before the sizes
    const CoverFormat &f = h.format(k);
    QCOMPARE((QList<int>{f.DimA, f.DimB, f.DimC, f.DimD}), dims);
    QCOMPARE(h.state.Format14OffsetX3, QString("61")); // after the sizes: not stored
    // The user sees which field and why.
    QVERIFY(d.field(bad)->styleSheet().contains("border"));
    QVERIFY(!d.field(bad)->toolTip().isEmpty());
    // Corrected, the mark goes.
    type(d, bad, "150");
    QCOMPARE(d.storeFields(bad), std::optional<int>());
    QVERIFY(d.field(bad)->styleSheet().isEmpty());
    QVERIFY(d.field(bad)->toolTip().isEmpty());
}

void TstOptions::okWritesExactlyTheEditedLines()
{
    Harness h;
    const QStringList before = splitLines(*readTextFile(catalogueFilePath(h.state)));
    h.state.SoundsOn = true;
    frmOpzioni d(h.context(3));
    d.soundSwitch()->setChecked(false);
    type(d, FieldX1, "41.5");
    d.storeFields(FieldX1);
    type(d, FieldDimD, "119"); // still in its field when OK is pressed
    d.pressButton(0);

    const QStringList after = splitLines(*readTextFile(catalogueFilePath(h.state)));
    QCOMPARE(after.size(), before.size());
    QStringList changed;
    for (int i = 0; i < before.size(); ++i)
        if (before[i] != after[i])
            changed << QStringLiteral("%1:%2").arg(i).arg(after[i]);
    // Format 3's lines start at 36: DimD is its 6th line, OffsetX its 9th.
    QCOMPARE(changed, (QStringList{"41:119", "44:41.5"}));
    // Sounds went off with the switch: no click, and the settings say so.
    QVERIFY(!h.state.SoundsOn);
    QCOMPARE(splitLines(*readTextFile(settingsFilePath(h.state))).at(4), QString("1"));
    QCOMPARE(h.log, (QStringList{"reload", "settings", "format selection"}));
    QCOMPARE(d.result(), int(QDialog::Accepted));
}

void TstOptions::byKeyboardAlone()
{
    Harness h;
    frmOpzioni d(h.context(3));
    // Row by row as the grid reads: X, Y and the two sizes of picture 1, then of picture 2
    // (format 3 has no third picture), the sound switch, OK, Cancel.
    QCOMPARE(tabWalk(&d), (QStringList{"Combo1", "Text1_0", "Text1_1", "Text1_6", "Text1_7", "Text1_2", "Text1_3",
                                       "Text1_8", "Text1_9", "Check1", "Label1_0", "Label1_1"}));
    QVERIFY(tabTo("Check1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(!d.soundSwitch()->isChecked());
    QVERIFY(tabTo("Text1_0"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "41.5");
    // Enter in a field confirms, as the default button's key.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(splitLines(*readTextFile(catalogueFilePath(h.state))).at(44), QString("41.5"));
    QVERIFY(!h.state.SoundsOn);

    // Alt with the underlined letter of Cancel ("&Cancel") cancels.
    frmOpzioni again(h.context(0));
    QCOMPARE(tabWalk(&again).constFirst(), QString("Combo1"));
    QCOMPARE(again.findChild<QLabel *>("Label1_1")->text(), QString("&Cancel"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(again.result(), int(QDialog::Rejected));
}

void TstOptions::okRefusesASizeThatIsNoNumber()
{
    Harness h;
    const QByteArray catalogue = h.catalogueBytes();
    frmOpzioni d(h.context(0));
    type(d, FieldDimA, "wide");
    d.pressButton(0);
    QCOMPARE(h.catalogueBytes(), catalogue);
    QVERIFY(!h.log.contains("settings"));
    QVERIFY(d.field(FieldDimA)->styleSheet().contains("border"));
    type(d, FieldDimA, "275");
    d.pressButton(0);
    QCOMPARE(h.format(0).DimA, 275);
    QVERIFY(h.catalogueBytes() != catalogue);
    QCOMPARE(d.result(), int(QDialog::Accepted));
}

void TstOptions::cancelRestoresBothFiles()
{
    Harness h;
    const QByteArray catalogue = h.catalogueBytes();
    const QByteArray settings = h.settingsBytes();
    const FormatCatalogue stored = h.state.Catalogue;
    frmOpzioni d(h.context(14));
    d.soundSwitch()->setChecked(false);
    type(d, FieldY3, "10");
    type(d, FieldDimA, "50");
    d.storeFields(FieldDimA);
    QCOMPARE(h.format(14).DimA, 50);
    d.pressButton(1);
    QVERIFY(h.state.SoundsOn); // read back from the file
    QVERIFY(h.state.Catalogue == stored);
    QCOMPARE(h.state.Format14OffsetY3, QString("192.5"));
    QCOMPARE(h.catalogueBytes(), catalogue);
    QCOMPARE(h.settingsBytes(), settings);
    QVERIFY(!h.log.contains("sound:Files/Click2.wav")); // the switch was off when pressed
    QCOMPARE(d.result(), int(QDialog::Rejected));

    // Without a readable settings file, Cancel keeps what is in memory.
    QFile::remove(settingsFilePath(h.state));
    h.state.SoundsOn = false;
    frmOpzioni again(h.context(0));
    again.pressButton(1);
    QVERIFY(!h.state.SoundsOn);
}

void TstOptions::hoverSoundFollowsTheSwitch()
{
    Harness h;
    h.state.SoundsOn = false;
    frmOpzioni d(h.context(0));
    d.soundSwitch()->setChecked(true);
    d.button(0)->lift();
    QCOMPARE(h.log.count("sound:Files/Click1.wav"), 1);
    d.button(0)->returnHome();
    d.soundSwitch()->setChecked(false);
    d.button(1)->lift();
    d.button(0)->lift();
    QCOMPARE(h.log.count("sound:Files/Click1.wav"), 1);
    // OK's click follows the switch too, once it has been taken over.
    d.soundSwitch()->setChecked(true);
    d.pressButton(0);
    QVERIFY(h.state.SoundsOn);
    QCOMPARE(h.log.count("sound:Files/Click2.wav"), 1);
}

void TstOptions::menuOpensItAndOkRedrawsThePreview()
{
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    form.selectFormat(3);
    const qint32 before = state.PreviewA;
    QCOMPARE(before, state.PreviewScale * 120);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<frmOpzioni *>(QApplication::activeModalWidget());
        if (!d)
            return;
        seen = d->formatList()->currentIndex() == 3;
        d->field(FieldDimA)->setText("100");
        d->pressButton(0);
    });
    form.action("mnuOpzioni")->trigger();
    QVERIFY(seen);
    QCOMPARE(state.Catalogue.entries[3].DimA, 100);
    // The preview shows the new size at once.
    QCOMPARE(state.PreviewA, state.PreviewScale * 100);
}

void TstOptions::oddSizesDoNotBreakThePreview_data()
{
    QTest::addColumn<QString>("size");
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-50";
    QTest::newRow("huge") << "2000000000";
}

void TstOptions::oddSizesDoNotBreakThePreview()
{
    // The dialog stores any number; the window must survive every one of them.
    QFETCH(QString, size);
    TestWindow w;
    auto &[folder, state, rec, form] = w;
    QVERIFY(form.load());
    for (int k = 0; k < state.FormatCount; ++k) {
        OptionsContext c;
        c.state = &state;
        c.mainFormat = k;
        c.formatSelection = [&form] { form.Combo1_Click(); };
        frmOpzioni d(c);
        for (int f : {FieldDimA, FieldDimB, FieldDimC, FieldDimD})
            d.field(f)->setText(size);
        d.pressButton(0);
        QCOMPARE(state.Catalogue.entries[size_t(k)].DimA, size.toInt());
        form.selectFormat(k);
        form.Combo1_Click();
    }
    QCOMPARE(form.selectedFormat(), state.FormatCount - 1);
}

QTEST_MAIN(TstOptions)
#include "tst_options.moc"
