// The title editor and the hover-lift buttons of the dialogs.
#include "KeyboardWalk.h"
#include "common/Text.h"
#include "lang/LanguageFile.h"
#include "platform/FontFamilies.h"
#include "ui/dialogs/HoverLiftButton.h"
#include "ui/dialogs/frmTitolo.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <deque>

using namespace vt;

namespace {

LanguageTable languageFrom(const QString &fileName)
{
    LanguageTable table;
    const bool ok = readLanguageFile(QStringLiteral(VT_SOURCE_DATA_DIR "/Files/Lang/") + fileName, table);
    if (!ok)
        qFatal("cannot read language file %s", qPrintable(fileName));
    return table;
}

// Stands in for the main window: keeps the title record and the switches, and logs
// every call the editor makes, in order.
struct Harness
{
    AppState state;
    TitleStyle style;
    QStringList log;
    QList<quint32> colourStarts;
    std::deque<std::optional<quint32>> colourAnswers;

    Harness()
    {
        state.Language = languageFrom(QStringLiteral("English.lng"));
        state.TitleOnCover = 1;
        state.TitleOnSpine = 1;
        state.SoundsOn = true;
        style.CoverText = QStringLiteral("Front");
        style.SpineText = QStringLiteral("Spine");
    }

    TitleEditorContext context()
    {
        TitleEditorContext c;
        c.state = &state;
        c.style = &style;
        // As the main window does: a changed front text redraws at once.
        c.setCoverText = [this](const QString &text) {
            log << QStringLiteral("cover:") + text;
            if (style.CoverText != text) {
                style.CoverText = text;
                runFormatSelection();
            }
        };
        c.formatSelection = [this] { runFormatSelection(); };
        c.playSound = [this](const QString &wav) { log << QStringLiteral("sound:") + wav; };
        c.chooseColor = [this](QWidget *, quint32 start) -> std::optional<quint32> {
            colourStarts << start;
            if (colourAnswers.empty())
                return std::nullopt;
            const auto answer = colourAnswers.front();
            colourAnswers.pop_front();
            return answer;
        };
        return c;
    }

    // Records what a redraw would see, so tests can tell the two runs of a confirm apart.
    void runFormatSelection()
    {
        log << QStringLiteral("format:%1|%2|%3").arg(style.CoverText, style.FontName).arg(style.FontBold);
    }
    int count(const QString &prefix) const
    {
        return int(std::count_if(log.begin(), log.end(), [&](const QString &s) { return s.startsWith(prefix); }));
    }
};

template <typename T>
T *child(const QWidget &parent, const char *name)
{
    T *w = parent.findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}

// A family the font list is sure to hold, other than the one passed.
QString installedFamily(const QString &besides = QString())
{
    for (const QString &f : uniqueFontFamilies(QFontDatabase::families()))
        if (f != besides)
            return f;
    return QString();
}

QPoint centreOf(const QWidget *w)
{
    return w->rect().center();
}

// The test pointer stays where the previous case left it, possibly where a button of
// this new dialog lies: start every hover case from the bare background.
void pointerToBackground(frmTitolo &dialog, Harness &h)
{
    QTest::mouseMove(&dialog, QPoint(4, 4));
    QTRY_VERIFY(!dialog.button(0)->isLifted() && !dialog.button(1)->isLifted());
    h.log.clear();
}

} // namespace

class TstTitleEditor : public QObject
{
    Q_OBJECT
private slots:
    void captionsComeFromLanguageTable_data();
    void captionsComeFromLanguageTable();
    void openingShowsStoredTitle_data();
    void openingShowsStoredTitle();
    void openingSizeIsWholeNumber_data();
    void openingSizeIsWholeNumber();
    void sizeField_data();
    void sizeField();
    void colourChooserStartsAtStoredColour();
    void defaultChooserIsColourDialog();
    void confirmStoresEverything_data();
    void confirmStoresEverything();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void byKeyboardAlone();
    void coverTextChangeRedrawsBeforeStyle_data();
    void coverTextChangeRedrawsBeforeStyle();
    void titleSwitchesAndTheirLabels_data();
    void titleSwitchesAndTheirLabels();
    void hoverLiftsAndBackgroundReturns_data();
    void hoverLiftsAndBackgroundReturns();
    void hoverOnUncoveredStripKeepsLift();
    void fontFamiliesOnce_data();
    void fontFamiliesOnce();
    void fontListShowsEachFamilyOnce();
    void wholeButtonTakesThePress_data();
    void wholeButtonTakesThePress();
    void openTitleEditorWaitsForClose();
};

void TstTitleEditor::captionsComeFromLanguageTable_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("entry15");
    QTest::newRow("English") << "English.lng" << QString();
    QTest::newRow("Deutsch") << "Deutsch.lng" << QString();
    QTest::newRow("access key in entry 15") << "English.lng" << "Ti&tle";
}

void TstTitleEditor::captionsComeFromLanguageTable()
{
    QFETCH(QString, file);
    QFETCH(QString, entry15);
    Harness h;
    h.state.Language = languageFrom(file);
    if (!entry15.isEmpty())
        h.state.Language.at(15) = entry15;
    const LanguageTable &t = h.state.Language;
    frmTitolo dialog(h.context());

    QCOMPARE(dialog.windowTitle(), StripAmpersands(t[15]));
    QVERIFY(!dialog.windowTitle().contains(u'&'));
    const std::pair<const char *, QString> captions[] = {
        {"Label3", " " + t[15] + " " + t[39] + " "},
        {"Label10", t[92]}, {"Label8", t[92]}, {"Label11", t[93]}, {"Label9", t[93]},
        {"Label4", t[89]}, {"Label5", t[90]}, {"Label6", t[91]},
        {"Label1_0", "Ok"}, {"Label1_1", t[37]}};
    // The buttons' captions carry an access key ("&Ok"): compared as shown.
    for (const auto &[name, caption] : captions) {
        const QString shown = child<QLabel>(dialog, name)->text();
        QCOMPARE(QString(name).startsWith("Label1_") ? StripAmpersands(shown) : shown, caption);
    }
    QCOMPARE(child<QLabel>(dialog, "Label1_0")->text(), QString("&Ok"));
    for (const auto &[name, caption] : {std::pair{"Check1", "B"}, {"Check2", "i"}, {"Check3", "S"}})
        QCOMPARE(child<QCheckBox>(dialog, name)->text(), QString(caption));
    QVERIFY(!t[92].isEmpty() && !t[37].isEmpty());

    // Long captions must fit: every label is as wide as its text needs and lies inside
    // the dialog.
    dialog.show();
    for (const auto &[name, caption] : captions) {
        const QLabel *l = child<QLabel>(dialog, name);
        QVERIFY2(l->width() >= l->sizeHint().width(), name);
        QVERIFY2(dialog.rect().contains(l->geometry()), name);
    }
    QVERIFY(!dialog.button(0)->caption()->geometry().intersects(dialog.button(1)->picture()->geometry()));
}

void TstTitleEditor::openingShowsStoredTitle_data()
{
    QTest::addColumn<QString>("fontName");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<int>("onCover");
    QTest::addColumn<int>("onSpine");
    QTest::newRow("installed font, bold, both titles") << installedFamily() << true << true << false << false << 1 << 1;
    QTest::newRow("installed font, italic underlined, spine only")
        << installedFamily(installedFamily()) << true << false << true << true << 0 << 1;
    QTest::newRow("font not installed keeps its name") << "No Such Font 42" << false << false << false << true << 1 << 0;
}

void TstTitleEditor::openingShowsStoredTitle()
{
    QFETCH(QString, fontName);
    QFETCH(bool, listed);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(int, onCover);
    QFETCH(int, onSpine);
    Harness h;
    h.style.FontName = fontName;
    h.style.FontSize = 22;
    h.style.FontBold = bold;
    h.style.FontItalic = italic;
    h.style.FontUnderline = underline;
    h.style.ForeColor = 0x123456;
    h.state.TitleOnCover = qint16(onCover);
    h.state.TitleOnSpine = qint16(onSpine);
    frmTitolo dialog(h.context());

    QCOMPARE(child<QLineEdit>(dialog, "Text1")->text(), QString("Front"));
    QCOMPARE(child<QLineEdit>(dialog, "Text2")->text(), QString("Spine"));
    QCOMPARE(child<QCheckBox>(dialog, "Check1")->isChecked(), bold);
    QCOMPARE(child<QCheckBox>(dialog, "Check2")->isChecked(), italic);
    QCOMPARE(child<QCheckBox>(dialog, "Check3")->isChecked(), underline);
    QCOMPARE(child<QCheckBox>(dialog, "Check4")->isChecked(), onCover == 1);
    QCOMPARE(child<QCheckBox>(dialog, "Check5")->isChecked(), onSpine == 1);

    auto *fonts = child<QComboBox>(dialog, "Combo1");
    QVERIFY(!fonts->isEditable());
    QCOMPARE(fonts->count(), int(uniqueFontFamilies(QFontDatabase::families()).size()));
    QCOMPARE(fonts->currentIndex() >= 0, listed);
    if (listed)
        QCOMPARE(fonts->currentText(), fontName);

    auto *sizes = child<QComboBox>(dialog, "Combo2");
    QCOMPARE(sizes->count(), 75);
    QCOMPARE(sizes->itemText(0), QString("6"));
    QCOMPARE(sizes->itemText(74), QString("80"));
    QCOMPARE(sizes->currentText(), QString("22"));

    const QLabel *sample = child<QLabel>(dialog, "Label2");
    QCOMPARE(sample->text(), fontName);
    QCOMPARE(dialog.sampleFont().family(), fontName);
    QCOMPARE(dialog.sampleFont().pointSizeF(), 22.0);
    QCOMPARE(dialog.sampleFont().bold(), bold);
    QCOMPARE(dialog.sampleFont().italic(), italic);
    QCOMPARE(dialog.sampleFont().underline(), underline);
    // The sample is written in the window's text colour; the title colour is the swatch's.
    QCOMPARE(sample->palette().color(sample->foregroundRole()), dialog.palette().color(QPalette::WindowText));
    QCOMPARE(dialog.swatchColor(), quint32(0x123456));
    QVERIFY(qAbs(dialog.windowOpacity() - 245.0 / 255.0) < 0.01);

    // Confirming untouched stores the record as it came in.
    const TitleStyle before = h.style;
    dialog.pressButton(0);
    QCOMPARE(h.style, before);
    QCOMPARE(int(h.state.TitleOnCover), onCover);
    QCOMPARE(int(h.state.TitleOnSpine), onSpine);
}

void TstTitleEditor::openingSizeIsWholeNumber_data()
{
    QTest::addColumn<float>("stored");
    QTest::addColumn<QString>("fieldText");
    QTest::addColumn<float>("confirmed");
    QTest::newRow("15.75 becomes 15") << 15.75f << "15" << 15.0f;
    // The list's first entry is "6": the field already shows it before the size is set.
    QTest::newRow("6.5 becomes 6") << 6.5f << "6" << 6.0f;
    QTest::newRow("above the list") << 120.9f << "120" << 120.0f;
    QTest::newRow("below 1 is refused, kept as stored") << 0.5f << "0" << 0.5f;
}

void TstTitleEditor::openingSizeIsWholeNumber()
{
    QFETCH(float, stored);
    QFETCH(QString, fieldText);
    QFETCH(float, confirmed);
    Harness h;
    h.style.FontSize = stored;
    frmTitolo dialog(h.context());
    QCOMPARE(child<QComboBox>(dialog, "Combo2")->currentText(), fieldText);
    dialog.pressButton(0);
    QCOMPARE(h.style.FontSize, confirmed);
}

void TstTitleEditor::sizeField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<double>("expected");
    // The dialog opens at 20.
    QTest::newRow("0 refused") << "0" << false << 20.0;
    QTest::newRow("1 lowest") << "1" << false << 1.0;
    QTest::newRow("1638 highest") << "1638" << false << 1638.0;
    QTest::newRow("1639 refused") << "1639" << false << 20.0;
    QTest::newRow("letters refused") << "abc" << false << 20.0;
    QTest::newRow("negative refused") << "-5" << false << 20.0;
    QTest::newRow("empty refused") << "" << false << 20.0;
    QTest::newRow("leading number of 12abc") << "12abc" << false << 12.0;
    QTest::newRow("point is the decimal separator") << "12.5" << false << 12.5;
    QTest::newRow("comma ends the number") << "12,5" << false << 12.0;
    QTest::newRow("leading blanks skipped") << "  30" << false << 30.0;
    QTest::newRow("typed on the keyboard") << "24" << true << 24.0;
}

void TstTitleEditor::sizeField()
{
    QFETCH(QString, text);
    QFETCH(bool, typed);
    QFETCH(double, expected);
    Harness h;
    h.style.FontSize = 20;
    frmTitolo dialog(h.context());
    auto *sizes = child<QComboBox>(dialog, "Combo2");
    if (typed) {
        dialog.show();
        sizes->lineEdit()->selectAll();
        QTest::keyClicks(sizes->lineEdit(), text);
    } else {
        sizes->setEditText(text);
    }
    QCOMPARE(dialog.sampleFont().pointSizeF(), expected);
    QCOMPARE(sizes->count(), 75); // nothing typed is added to the list
    dialog.pressButton(0);
    QCOMPARE(double(h.style.FontSize), expected);
}

void TstTitleEditor::colourChooserStartsAtStoredColour()
{
    Harness h;
    h.style.ForeColor = 0x0000FF; // red
    h.colourAnswers = {quint32(0x00FF00), std::nullopt};
    frmTitolo dialog(h.context());
    dialog.show();
    QWidget *swatch = child<QWidget>(dialog, "Shape16");

    QTest::mouseClick(swatch, Qt::LeftButton, {}, centreOf(swatch));
    QCOMPARE(dialog.swatchColor(), quint32(0x00FF00));
    QCOMPARE(swatch->grab().toImage().pixelColor(centreOf(swatch)), QColor(0, 255, 0));

    // Second choice in the same session: starts at the stored red again; cancelling it
    // keeps the green just chosen.
    QTest::mouseClick(swatch, Qt::LeftButton, {}, centreOf(swatch));
    QCOMPARE(h.colourStarts, (QList<quint32>{0x0000FF, 0x0000FF}));
    QCOMPARE(dialog.swatchColor(), quint32(0x00FF00));

    dialog.pressButton(0);
    QCOMPARE(h.style.ForeColor, quint32(0x00FF00));
}

void TstTitleEditor::defaultChooserIsColourDialog()
{
    Harness h;
    h.style.ForeColor = 0x336699;
    TitleEditorContext c = h.context();
    c.chooseColor = nullptr;
    frmTitolo dialog(c);
    dialog.show();

    QColor seenStart;
    bool seenParent = false;
    int round = 0;
    auto answer = [&](bool accept) {
        QTimer::singleShot(0, [&, accept] {
            auto *chooser = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
            if (!chooser)
                return;
            seenStart = chooser->currentColor();
            seenParent = chooser->parentWidget() == &dialog;
            chooser->setCurrentColor(QColor(10, 20, 30));
            accept ? chooser->accept() : chooser->reject();
            ++round;
        });
    };
    answer(true);
    dialog.chooseColour();
    QCOMPARE(round, 1);
    QVERIFY(seenParent);
    QCOMPARE(seenStart, QColor(0x99, 0x66, 0x33));
    QCOMPARE(dialog.swatchColor(), quint32(0x1E140A));

    answer(false);
    dialog.chooseColour();
    QCOMPARE(round, 2);
    QCOMPARE(seenStart, QColor(0x99, 0x66, 0x33));
    QCOMPARE(dialog.swatchColor(), quint32(0x1E140A));
}

void TstTitleEditor::confirmStoresEverything_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Ok caption") << "Label1_0";
    QTest::newRow("Ok picture") << "Image1_0";
    QTest::newRow("Enter in first text") << "Text1";
    QTest::newRow("Enter in second text") << "Text2";
}

void TstTitleEditor::confirmStoresEverything()
{
    QFETCH(QString, how);
    Harness h;
    h.colourAnswers = {quint32(0x804020)};
    frmTitolo dialog(h.context());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const QString family = installedFamily(h.style.FontName);
    auto *fonts = child<QComboBox>(dialog, "Combo1");
    fonts->setCurrentIndex(fonts->findText(family));
    QCOMPARE(child<QLabel>(dialog, "Label2")->text(), family);
    child<QComboBox>(dialog, "Combo2")->setEditText("33.5");
    child<QCheckBox>(dialog, "Check1")->setChecked(true);
    child<QCheckBox>(dialog, "Check3")->setChecked(true);
    dialog.chooseColour();
    child<QLineEdit>(dialog, "Text1")->setText("New front");
    // A line break (from a paste) would split the title over two lines.
    child<QLineEdit>(dialog, "Text2")->setText("New\nspine");
    child<QCheckBox>(dialog, "Check5")->setChecked(false);

    QWidget *target = child<QWidget>(dialog, how.toLatin1().constData());
    if (auto *field = qobject_cast<QLineEdit *>(target)) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
    } else {
        QTest::mouseClick(target, Qt::LeftButton, {}, centreOf(target));
    }

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(h.style.CoverText, QString("New front"));
    QCOMPARE(h.style.SpineText, QString("New spine"));
    QCOMPARE(h.style.FontName, family);
    QCOMPARE(h.style.FontSize, 33.5f);
    QVERIFY(h.style.FontBold);
    QVERIFY(!h.style.FontItalic);
    QVERIFY(h.style.FontUnderline);
    QCOMPARE(h.style.ForeColor, quint32(0x804020));
    QCOMPARE(h.state.TitleOnCover, qint16(1));
    QCOMPARE(h.state.TitleOnSpine, qint16(0));
    QCOMPARE(h.log.first(), QString("sound:Files/Click2.wav"));
    QCOMPARE(h.count("sound:Files/Click2.wav"), 1);
    QVERIFY(h.log.last().startsWith("format:New front|" + family + "|1"));
    QVERIFY(!QApplication::overrideCursor()); // the busy pointer is gone again
}

void TstTitleEditor::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("clickSound");
    QTest::newRow("Cancel caption") << "Label1_1" << true;
    QTest::newRow("Cancel picture") << "Image1_1" << true;
    QTest::newRow("Escape key") << "Escape" << false;
    QTest::newRow("window close box") << "close" << false;
}

void TstTitleEditor::cancelChangesNothing()
{
    QFETCH(QString, how);
    QFETCH(bool, clickSound);
    Harness h;
    h.colourAnswers = {quint32(0x804020)};
    const TitleStyle before = h.style;
    frmTitolo dialog(h.context());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    child<QLineEdit>(dialog, "Text1")->setText("Other");
    child<QLineEdit>(dialog, "Text2")->setText("Other spine");
    child<QComboBox>(dialog, "Combo2")->setEditText("40");
    child<QCheckBox>(dialog, "Check2")->setChecked(true);
    child<QCheckBox>(dialog, "Check4")->setChecked(false);
    dialog.chooseColour();

    if (how == "Escape")
        QTest::keyClick(child<QLineEdit>(dialog, "Text2"), Qt::Key_Escape);
    else if (how == "close")
        QVERIFY(dialog.close());
    else
        QTest::mouseClick(child<QWidget>(dialog, how.toLatin1().constData()), Qt::LeftButton);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(h.style, before);
    QCOMPARE(h.state.TitleOnCover, qint16(1));
    QCOMPARE(h.state.TitleOnSpine, qint16(1));
    QCOMPARE(h.count("cover:"), 0);
    QCOMPARE(h.count("format:"), 1);
    QCOMPARE(h.count("sound:Files/Click2.wav"), clickSound ? 1 : 0);
}

void TstTitleEditor::byKeyboardAlone()
{
    Harness h;
    frmTitolo dialog(h.context());
    QCOMPARE(tabWalk(&dialog), (QStringList{"Text1", "Text2", "Combo1", "Combo2", "Check1", "Check2", "Check3",
                                            "Shape16", "Check4", "Check5", "Label1_0", "Label1_1"}));
    QVERIFY(tabTo("Check1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // bold
    QVERIFY(tabTo("Text1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "Night Train");
    QVERIFY(h.style.CoverText == "Front" || h.style.CoverText == "Night Train");
    // Space on the OK button confirms.
    QVERIFY(tabTo("Label1_0"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(h.style.CoverText, QString("Night Train"));
    QVERIFY(h.style.FontBold);

    // Enter in the spine field confirms too; Escape in a fresh one cancels.
    frmTitolo second(h.context());
    tabWalk(&second);
    QVERIFY(tabTo("Text2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End); // Tab selected the whole text
    QTest::keyClicks(QApplication::focusWidget(), " 2");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(second.result(), int(QDialog::Accepted));
    QCOMPARE(h.style.SpineText, QString("Spine 2"));
    frmTitolo third(h.context());
    tabWalk(&third);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(third.result(), int(QDialog::Rejected));
}

void TstTitleEditor::coverTextChangeRedrawsBeforeStyle_data()
{
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("changed: redrawn with the old font, then the new")
        << "Changed" << QStringList{"cover:Changed", "format:Changed|Arial|0", "format:Changed|Liberation Serif|1"};
    QTest::newRow("unchanged: redrawn once, at the end")
        << "Front" << QStringList{"cover:Front", "format:Front|Liberation Serif|1"};
}

void TstTitleEditor::coverTextChangeRedrawsBeforeStyle()
{
    QFETCH(QString, newText);
    QFETCH(QStringList, expected);
    Harness h;
    h.state.SoundsOn = false;
    frmTitolo dialog(h.context());
    auto *fonts = child<QComboBox>(dialog, "Combo1");
    const int serif = fonts->findText("Liberation Serif");
    if (serif < 0)
        QSKIP("needs fonts-liberation");
    fonts->setCurrentIndex(serif);
    child<QCheckBox>(dialog, "Check1")->setChecked(true);
    child<QLineEdit>(dialog, "Text1")->setText(newText);
    dialog.pressButton(0);
    QCOMPARE(h.log, expected);
}

void TstTitleEditor::titleSwitchesAndTheirLabels_data()
{
    QTest::addColumn<int>("onCover");
    QTest::addColumn<int>("onSpine");
    QTest::addColumn<int>("label8Clicks");
    QTest::addColumn<int>("label9Clicks");
    QTest::addColumn<int>("storedCover");
    QTest::addColumn<int>("storedSpine");
    QTest::newRow("both turned off by their labels") << 1 << 1 << 1 << 1 << 0 << 0;
    QTest::newRow("front turned on") << 0 << 0 << 1 << 0 << 1 << 0;
    QTest::newRow("spine label twice is no change") << 1 << 0 << 0 << 2 << 1 << 0;
}

void TstTitleEditor::titleSwitchesAndTheirLabels()
{
    QFETCH(int, onCover);
    QFETCH(int, onSpine);
    QFETCH(int, label8Clicks);
    QFETCH(int, label9Clicks);
    QFETCH(int, storedCover);
    QFETCH(int, storedSpine);
    Harness h;
    h.state.TitleOnCover = qint16(onCover);
    h.state.TitleOnSpine = qint16(onSpine);
    frmTitolo dialog(h.context());
    dialog.show();
    QWidget *label8 = child<QWidget>(dialog, "Label8");
    QWidget *label9 = child<QWidget>(dialog, "Label9");
    for (int i = 0; i < label8Clicks; ++i)
        QTest::mouseClick(label8, Qt::LeftButton, {}, centreOf(label8));
    for (int i = 0; i < label9Clicks; ++i)
        QTest::mouseClick(label9, Qt::LeftButton, {}, centreOf(label9));
    QCOMPARE(child<QCheckBox>(dialog, "Check4")->isChecked(), storedCover == 1);
    QCOMPARE(child<QCheckBox>(dialog, "Check5")->isChecked(), storedSpine == 1);
    dialog.pressButton(0);
    QCOMPARE(int(h.state.TitleOnCover), storedCover);
    QCOMPARE(int(h.state.TitleOnSpine), storedSpine);
}

void TstTitleEditor::hoverLiftsAndBackgroundReturns_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("overCaption");
    QTest::addColumn<bool>("soundsOn");
    QTest::newRow("Ok caption, sounds on") << 0 << true << true;
    QTest::newRow("Ok picture, sounds on") << 0 << false << true;
    QTest::newRow("Cancel caption, sounds off") << 1 << true << false;
    QTest::newRow("Cancel picture, sounds on") << 1 << false << true;
}

void TstTitleEditor::hoverLiftsAndBackgroundReturns()
{
    QFETCH(int, button);
    QFETCH(bool, overCaption);
    QFETCH(bool, soundsOn);
    Harness h;
    h.state.SoundsOn = soundsOn;
    frmTitolo dialog(h.context());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    pointerToBackground(dialog, h);
    HoverLiftButton *b = dialog.button(button);
    HoverLiftButton *other = dialog.button(1 - button);
    const QPoint pictureHome = b->picture()->pos();
    const QPoint captionHome = b->caption()->pos();
    QCOMPARE(pictureHome, b->pictureHome().topLeft());
    QCOMPARE(captionHome, b->captionHome().topLeft());
    const int expectedSounds = soundsOn ? 1 : 0;

    QWidget *part = overCaption ? static_cast<QWidget *>(b->caption()) : b->picture();
    QTest::mouseMove(part, centreOf(part));
    QTRY_VERIFY(b->isLifted());
    QCOMPARE(b->picture()->pos(), pictureHome - QPoint(2, 2));
    QCOMPARE(b->caption()->pos(), captionHome - QPoint(2, 2));
    QVERIFY(b->caption()->font().underline());
    QVERIFY(!other->isLifted());
    QCOMPARE(h.count("sound:Files/Click1.wav"), expectedSounds);

    // Moving on within the button, to its other part too, is the same entry: no sound.
    // The top-left corner of a lifted part lies outside its home: a move there is still
    // the button's, not the background's.
    QTest::mouseMove(part, centreOf(part) + QPoint(1, 0));
    QTest::mouseMove(part, QPoint(1, 1)); // (0, 0) would mean "the centre" to QTest
    QVERIFY(b->isLifted());
    QWidget *otherPart = overCaption ? static_cast<QWidget *>(b->picture()) : b->caption();
    QTest::mouseMove(otherPart, centreOf(otherPart));
    QVERIFY(b->isLifted());
    QCOMPARE(h.count("sound:Files/Click1.wav"), expectedSounds);

    // The bare background (the dialog's margin) puts it back.
    QTest::mouseMove(&dialog, QPoint(4, 4));
    QTRY_VERIFY(!b->isLifted());
    QCOMPARE(b->picture()->pos(), pictureHome);
    QCOMPARE(b->caption()->pos(), captionHome);
    QVERIFY(!b->caption()->font().underline());

    // A new entry lifts and sounds again.
    QTest::mouseMove(part, centreOf(part));
    QTRY_VERIFY(b->isLifted());
    QCOMPARE(h.count("sound:Files/Click1.wav"), 2 * expectedSounds);
    QCOMPARE(h.count("format:"), 0); // hovering runs no command
}

void TstTitleEditor::hoverOnUncoveredStripKeepsLift()
{
    Harness h;
    frmTitolo dialog(h.context());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    pointerToBackground(dialog, h);
    HoverLiftButton *b = dialog.button(0);
    QTest::mouseMove(b->caption(), centreOf(b->caption()));
    QTRY_VERIFY(b->isLifted());
    // The lift uncovers the caption's home corner; the pointer resting there is still on
    // the button and must not make it drop and lift again.
    const QPoint uncovered = b->captionHome().bottomRight();
    QVERIFY(!b->caption()->geometry().contains(uncovered));
    QCOMPARE(dialog.childAt(uncovered), nullptr);
    QTest::mouseMove(&dialog, uncovered);
    QTest::mouseMove(&dialog, uncovered - QPoint(0, 1));
    QVERIFY(b->isLifted());
    QCOMPARE(h.count("sound:Files/Click1.wav"), 1);
    // One pixel further out is background.
    QTest::mouseMove(&dialog, uncovered + QPoint(1, 1));
    QTRY_VERIFY(!b->isLifted());
}

void TstTitleEditor::fontFamiliesOnce_data()
{
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("three foundries of one family")
        << QStringList{"DejaVu Sans", "Nimbus Sans [UKWN]", "Nimbus Sans [URW ]", "Nimbus Sans [urw]", "Z"}
        << QStringList{"DejaVu Sans", "Nimbus Sans", "Z"};
    QTest::newRow("plain name and a foundry of it") << QStringList{"Arial", "Arial [Monotype]"} << QStringList{"Arial"};
    QTest::newRow("brackets inside a name stay") << QStringList{"Font [v2] Pro"} << QStringList{"Font [v2] Pro"};
    QTest::newRow("a name that is only a bracket") << QStringList{"[x]", "A"} << QStringList{"[x]", "A"};
    QTest::newRow("case differs: two families") << QStringList{"Serif [a]", "serif [b]"} << QStringList{"Serif", "serif"};
    QTest::newRow("nothing") << QStringList{} << QStringList{};
}

void TstTitleEditor::fontFamiliesOnce()
{
    QFETCH(QStringList, families);
    QFETCH(QStringList, listed);
    QCOMPARE(uniqueFontFamilies(families), listed);
}

void TstTitleEditor::fontListShowsEachFamilyOnce()
{
    Harness h;
    h.style.FontName = QStringLiteral("Liberation Sans [unknown foundry]");
    frmTitolo dialog(h.context());
    auto *list = dialog.findChild<QComboBox *>("Combo1");
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->itemText(i);
    QCOMPARE(shown, uniqueFontFamilies(QFontDatabase::families()));
    QCOMPARE(QSet<QString>(shown.begin(), shown.end()).size(), shown.size());
    // A title stored with a foundry finds its family in the list.
    QCOMPARE(list->currentText(), QString("Liberation Sans"));
}

void TstTitleEditor::wholeButtonTakesThePress_data()
{
    // Where in the button's rectangle (picture, gap, caption side by side) the press and
    // the release land, as fractions of its width and height.
    QTest::addColumn<int>("button");
    QTest::addColumn<QPointF>("press");
    QTest::addColumn<QPointF>("release");
    QTest::addColumn<bool>("clicks");
    for (int b = 0; b < 2; ++b) {
        const QString name = b == 0 ? "Ok" : "Cancel";
        QTest::addRow("%s: gap between picture and caption", qPrintable(name)) << b << QPointF(-1, 0.5) << QPointF(-1, 0.5) << true;
        QTest::addRow("%s: top-left corner", qPrintable(name)) << b << QPointF(0, 0) << QPointF(0, 0) << true;
        QTest::addRow("%s: bottom-right corner", qPrintable(name)) << b << QPointF(1, 1) << QPointF(1, 1) << true;
        QTest::addRow("%s: above the caption", qPrintable(name)) << b << QPointF(0.9, 0) << QPointF(0.9, 0) << true;
        QTest::addRow("%s: press on picture, release on caption", qPrintable(name)) << b << QPointF(0.05, 0.5) << QPointF(0.9, 0.5) << true;
        QTest::addRow("%s: dragged off before release", qPrintable(name)) << b << QPointF(0.5, 0.5) << QPointF(1.5, 0.5) << false;
    }
}

void TstTitleEditor::wholeButtonTakesThePress()
{
    QFETCH(int, button);
    QFETCH(QPointF, press);
    QFETCH(QPointF, release);
    QFETCH(bool, clicks);
    Harness h;
    frmTitolo dialog(h.context());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    HoverLiftButton *b = dialog.button(button);
    const QRect area = b->pictureHome().united(b->captionHome());
    QCOMPARE(area.size(), b->sizeHint());
    // x = -1: the middle of the gap, which lies right after the picture.
    const int gapX = area.left() + b->picture()->pixmap().deviceIndependentSize().toSize().width() + HoverLiftButton::GapPixels / 2;
    auto at = [&](QPointF f) {
        return QPoint(f.x() < 0 ? gapX : area.left() + qRound(f.x() * (area.width() - 1)),
                      area.top() + qRound(f.y() * (area.height() - 1)));
    };
    QSignalSpy spy(b, &HoverLiftButton::clicked);
    const QPoint down = at(press), up = at(release);
    QWidget *target = dialog.childAt(down);
    QVERIFY2(target == b->picture() || target == b->caption(), "the press falls on the dialog behind the button");
    QTest::mousePress(target, Qt::LeftButton, {}, target->mapFrom(&dialog, down));
    QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFrom(&dialog, up));
    QCOMPARE(spy.count(), clicks ? 1 : 0);
}

void TstTitleEditor::openTitleEditorWaitsForClose()
{
    Harness h;
    QWidget owner;
    owner.show();
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        auto *editor = qobject_cast<frmTitolo *>(QApplication::activeModalWidget());
        if (!editor)
            return;
        wasModal = editor->isModal() && editor->parentWidget() == &owner;
        editor->findChild<QLineEdit *>("Text1")->setText("From the loop");
        QTest::mouseClick(editor->button(0)->caption(), Qt::LeftButton);
    });
    openTitleEditor(&owner, h.context());
    QVERIFY(wasModal);
    QCOMPARE(h.style.CoverText, QString("From the loop"));
    // The editor is destroyed on return: no dialog is left behind.
    QCOMPARE(owner.findChildren<frmTitolo *>().size(), 0);
}

QTEST_MAIN(TstTitleEditor)
#include "tst_titleeditor.moc"
