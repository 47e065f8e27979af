#include "ui/dialogs/frmTitolo.h"

#include "common/AccessKeys.h"

#include "ui/dialogs/ClickOnRelease.h"

#include "common/Numbers.h"
#include "common/StepRunner.h"
#include "common/Text.h"
#include "ui/dialogs/CommonDialogs.h"
#include "platform/FontFamilies.h"
#include "ui/dialogs/HoverLiftButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

#include <cmath>
#include <stdexcept>

namespace vt {

namespace {

constexpr int FirstListedSize = 6;
constexpr int LastListedSize = 80;
constexpr double DialogOpacity = 245.0 / 255.0;


// A caption that toggles its switch when clicked, as the switch's own text would.
using ClickLabel = ClickOnRelease<QLabel>;

// A small square filled with the chosen colour; clicking it (or Space while it has the
// focus) asks for another colour.
class ColourSwatch : public ClickOnRelease<QWidget>
{
public:
    explicit ColourSwatch(QWidget *parent) : ClickOnRelease<QWidget>(parent)
    {
        setFocusPolicy(Qt::StrongFocus);
        setCursor(Qt::PointingHandCursor);
        setFixedSize(22, 22);
    }
    void setColour(const QColor &c)
    {
        m_colour = c;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        p.fillRect(rect().adjusted(1, 1, -1, -1), palette().color(QPalette::Base));
        p.fillRect(rect().adjusted(3, 3, -3, -3), m_colour);
        if (hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = rect().adjusted(1, 1, -1, -1);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
        }
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Space && onClick)
            onClick();
        else
            QWidget::keyPressEvent(event);
    }

private:
    QColor m_colour;
};

QLabel *makeLabel(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    // Captions come from user-editable language files: never read them as markup.
    l->setTextFormat(Qt::PlainText);
    return l;
}

QCheckBox *makeStyleSwitch(QWidget *parent, const char *name, const QString &caption, void (QFont::*set)(bool))
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QLatin1String(name));
    // The fixed captions read as what they switch: bold B, italic i, underlined S.
    QFont f = c->font();
    (f.*set)(true);
    c->setFont(f);
    return c;
}

} // namespace

void openTitleEditor(QWidget *owner, const TitleEditorContext &context)
{
    frmTitolo editor(context, owner);
    editor.exec();
}

frmTitolo::frmTitolo(TitleEditorContext context, QWidget *parent) : QDialog(parent), m_ctx(std::move(context))
{
    if (!m_ctx.state || !m_ctx.style)
        throw std::invalid_argument("title editor without state or title style");
    setObjectName(QStringLiteral("frmTitolo"));
    buildControls();
    load();
}

frmTitolo::~frmTitolo() = default;

void frmTitolo::buildControls()
{
    // Creation order is the keyboard order: the texts first.
    m_label3 = makeLabel(this, "Label3");
    QFont heading = m_label3->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    m_label3->setFont(heading);

    m_label10 = makeLabel(this, "Label10");
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_label10->setBuddy(m_text1);
    m_label11 = makeLabel(this, "Label11");
    m_text2 = new QLineEdit(this);
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_label11->setBuddy(m_text2);
    for (QLineEdit *field : {m_text1, m_text2}) {
        field->setMinimumWidth(360);
        connect(field, &QLineEdit::returnPressed, this, [this] { pressButton(0); });
    }

    m_label4 = makeLabel(this, "Label4");
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setEditable(false);
    // The width must not follow the installed fonts' names.
    m_combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo1->setMinimumContentsLength(20);
    m_combo1->setMaxVisibleItems(16);
    m_label4->setBuddy(m_combo1);
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        const QString family = m_combo1->itemText(index);
        QFont f = m_label2->font();
        f.setFamily(family);
        m_label2->setFont(f);
        m_label2->setText(family);
    });

    m_label5 = makeLabel(this, "Label5");
    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    m_combo2->setEditable(true);
    // Typing a size and pressing Enter must not grow the list of sizes.
    m_combo2->setInsertPolicy(QComboBox::NoInsert);
    m_combo2->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo2->setMinimumContentsLength(5);
    m_label5->setBuddy(m_combo2);
    connect(m_combo2, &QComboBox::editTextChanged, this, &frmTitolo::applySizeText);
    connect(m_combo2, &QComboBox::textActivated, this, &frmTitolo::applySizeText);

    m_check1 = makeStyleSwitch(this, "Check1", QStringLiteral("B"), &QFont::setBold);
    m_check2 = makeStyleSwitch(this, "Check2", QStringLiteral("i"), &QFont::setItalic);
    m_check3 = makeStyleSwitch(this, "Check3", QStringLiteral("S"), &QFont::setUnderline);
    for (QCheckBox *c : {m_check1, m_check2, m_check3})
        connect(c, &QCheckBox::toggled, this, &frmTitolo::applyStyleSwitches);

    m_label6 = makeLabel(this, "Label6");
    auto *swatch = new ColourSwatch(this);
    swatch->setObjectName(QStringLiteral("Shape16"));
    swatch->onClick = [this] { chooseColour(); };
    m_shape16 = swatch;

    m_label2 = makeLabel(this, "Label2");
    m_label2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_label2->setAlignment(Qt::AlignCenter);
    // The sample shows the text as the title will look, at any size: a fixed box that
    // clips large sizes rather than a dialog that grows with them.
    m_label2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_label2->setMinimumWidth(300);
    m_label2->setFixedHeight(80);
    // Window text on the window background: the title colour is the swatch's business.
    m_label2->setForegroundRole(QPalette::WindowText);
    m_label2->setBackgroundRole(QPalette::Window);

    m_check4 = new QCheckBox(this);
    m_check4->setObjectName(QStringLiteral("Check4"));
    auto *label8 = new ClickLabel(this);
    label8->setObjectName(QStringLiteral("Label8"));
    label8->setTextFormat(Qt::PlainText);
    label8->onClick = [this] { m_check4->setChecked(!m_check4->isChecked()); };
    m_label8 = label8;
    m_check5 = new QCheckBox(this);
    m_check5->setObjectName(QStringLiteral("Check5"));
    auto *label9 = new ClickLabel(this);
    label9->setObjectName(QStringLiteral("Label9"));
    label9->setTextFormat(Qt::PlainText);
    label9->onClick = [this] { m_check5->setChecked(!m_check5->isChecked()); };
    m_label9 = label9;

    const qreal ratio = devicePixelRatioF();
    m_buttons[0] = new HoverLiftButton(drawDialogPicture(DialogPicture::Confirm, 24, ratio), QStringLiteral("Ok"),
                                       this, QStringLiteral("Image1_0"), QStringLiteral("Label1_0"));
    m_buttons[1] = new HoverLiftButton(drawDialogPicture(DialogPicture::Cancel, 24, ratio), QString(), this,
                                       QStringLiteral("Image1_1"), QStringLiteral("Label1_1"));
    auto *background = new HoverLiftBackground(this);
    background->watch(this);
    for (int n = 0; n < 2; ++n) {
        m_buttons[n]->setHoverSound([this] { play(QStringLiteral("Files/Click1.wav")); });
        connect(m_buttons[n], &HoverLiftButton::clicked, this, [this, n] { pressButton(n); });
        background->addButton(m_buttons[n]);
    }

    // Enter confirms from anywhere (the title fields included); Tab reads row by row.
    m_buttons[0]->setDefault(true);
    setTabChain({m_text1, m_text2, m_combo1, m_combo2, m_check1, m_check2, m_check3, m_shape16, m_check4, m_check5,
                 m_buttons[0]->caption(), m_buttons[1]->caption()});

    // Layout: labels in one column, fields in the other; the buttons sit in a reserved
    // strip at the bottom, placed by hand because the hover lift moves them.
    auto *sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(6);
    sizeRow->addWidget(m_combo2);
    sizeRow->addSpacing(12);
    sizeRow->addWidget(m_check1);
    sizeRow->addWidget(m_check2);
    sizeRow->addWidget(m_check3);
    sizeRow->addStretch(1);
    sizeRow->addSpacing(12);
    sizeRow->addWidget(m_label6);
    sizeRow->addWidget(m_shape16);

    auto *switchRow = new QHBoxLayout;
    switchRow->setSpacing(4);
    switchRow->addWidget(m_check4);
    switchRow->addWidget(m_label8);
    switchRow->addSpacing(24);
    switchRow->addWidget(m_check5);
    switchRow->addWidget(m_label9);
    switchRow->addStretch(1);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->addWidget(m_label10, 0, 0);
    grid->addWidget(m_text1, 0, 1);
    grid->addWidget(m_label11, 1, 0);
    grid->addWidget(m_text2, 1, 1);
    grid->setRowMinimumHeight(2, 4);
    grid->addWidget(m_label4, 3, 0);
    grid->addWidget(m_combo1, 3, 1);
    grid->addWidget(m_label5, 4, 0);
    grid->addLayout(sizeRow, 4, 1);
    grid->addWidget(m_label2, 5, 1);
    grid->setRowMinimumHeight(6, 2);
    grid->addLayout(switchRow, 7, 1);
    grid->setColumnStretch(1, 1);

    auto *outer = new QVBoxLayout(this);
    // A fixed-size dialog; the hand-placed buttons need the size to be final.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->setContentsMargins(18, 14, 18, 14);
    outer->setSpacing(0);
    outer->addWidget(m_label3);
    outer->addSpacing(12);
    outer->addLayout(grid);
    outer->addSpacing(16);
    m_buttonSpace = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
    outer->addItem(m_buttonSpace);
}

void frmTitolo::load()
{
    StepRunner steps(ErrorPolicy::SkipAndContinue);
    const TitleStyle &style = *m_ctx.style;
    const AppState &state = *m_ctx.state;

    steps.run(QStringLiteral("texts"), [&] {
        m_text1->setText(style.CoverText);
        m_text2->setText(style.SpineText);
    });
    steps.run(QStringLiteral("captions"), [&] { applyCaptions(); });
    steps.run(QStringLiteral("switches"), [&] {
        m_check4->setChecked(state.TitleOnCover != 0);
        m_check5->setChecked(state.TitleOnSpine != 0);
    });
    steps.run(QStringLiteral("button homes"), [&] {
        reserveButtonRoom();
        layout()->activate();
        layoutButtons();
    });
    steps.run(QStringLiteral("font list"), [&] {
        const QSignalBlocker block(m_combo1);
        m_combo1->clear();
        m_combo1->addItems(uniqueFontFamilies(QFontDatabase::families()));
    });
    steps.run(QStringLiteral("size list"), [&] {
        const QSignalBlocker block(m_combo2);
        m_combo2->clear();
        for (int size = FirstListedSize; size <= LastListedSize; ++size)
            m_combo2->addItem(QString::number(size));
    });
    steps.run(QStringLiteral("sample font name"), [&] {
        QFont f = m_label2->font();
        f.setFamily(style.FontName);
        m_label2->setFont(f);
    });
    steps.run(QStringLiteral("sample size"), [&] {
        // A size the font system cannot take (from a damaged project) keeps the default.
        if (!(style.FontSize > 0.0f) || !std::isfinite(style.FontSize))
            return false;
        QFont f = m_label2->font();
        f.setPointSizeF(double(style.FontSize));
        m_label2->setFont(f);
        return true;
    });
    steps.run(QStringLiteral("swatch"), [&] { setSwatchColor(style.ForeColor); });
    steps.run(QStringLiteral("style switches"), [&] {
        m_check1->setChecked(style.FontBold);
        m_check2->setChecked(style.FontItalic);
        m_check3->setChecked(style.FontUnderline);
        applyStyleSwitches();
    });
    steps.run(QStringLiteral("font selection"), [&] { selectFontFamily(m_label2->font().family()); });
    steps.run(QStringLiteral("size field"), [&] {
        const double whole = std::trunc(m_label2->font().pointSizeF());
        if (!std::isfinite(whole))
            return false;
        m_combo2->setEditText(QString::number(qint64(whole)));
        // The same text as before raises no change, yet the sample must take the whole number.
        applySizeText(m_combo2->currentText());
        return true;
    });
    steps.run(QStringLiteral("sample text"), [&] {
        QFont f = m_label2->font();
        f.setBold(style.FontBold);
        f.setItalic(style.FontItalic);
        f.setUnderline(style.FontUnderline);
        m_label2->setFont(f);
        m_label2->setText(f.family());
    });
    steps.run(QStringLiteral("translucency"), [&] { setWindowOpacity(DialogOpacity); });
}

void frmTitolo::applyCaptions()
{
    setWindowTitle(StripAmpersands(text(15)));
    m_label3->setText(QStringLiteral(" ") + text(15) + QStringLiteral(" ") + text(39) + QStringLiteral(" "));
    m_label10->setText(text(92));
    m_label11->setText(text(93));
    m_label4->setText(text(89));
    m_label5->setText(text(90));
    m_label6->setText(text(91));
    m_label8->setText(text(92));
    m_label9->setText(text(93));
    const QStringList captions = withAccessKeys({QStringLiteral("Ok"), text(37)});
    m_buttons[0]->setCaption(captions[0]);
    m_buttons[1]->setCaption(captions[1]);
}

void frmTitolo::reserveButtonRoom()
{
    const QSize row = dialogButtonRowSize(*m_buttons[0], *m_buttons[1]);
    m_buttonSpace->changeSize(row.width(), row.height(), QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout()->invalidate();
}

void frmTitolo::layoutButtons()
{
    // Bottom right, confirm before cancel, inside the strip the layout keeps free.
    placeDialogButtons(*this, *m_buttons[0], *m_buttons[1]);
}

void frmTitolo::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutButtons();
}

void frmTitolo::applySizeText(const QString &sizeText)
{
    const double v = parseLeadingNumber(sizeText).value_or(0.0);
    if (v < MinimumFontSize || v > MaximumFontSize)
        return;
    QFont f = m_label2->font();
    f.setPointSizeF(v);
    m_label2->setFont(f);
}

void frmTitolo::applyStyleSwitches()
{
    QFont f = m_label2->font();
    f.setBold(m_check1->isChecked());
    f.setItalic(m_check2->isChecked());
    f.setUnderline(m_check3->isChecked());
    m_label2->setFont(f);
}

void frmTitolo::selectFontFamily(const QString &family)
{
    const int index = m_combo1->findText(familyWithoutFoundry(family), Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_combo1->setCurrentIndex(index);
    // A font the system lacks (a project made elsewhere) stays the title's font; the
    // list shows its name greyed rather than an empty box.
    m_combo1->setPlaceholderText(index < 0 ? family : QString());
}

void frmTitolo::setSwatchColor(quint32 color)
{
    m_swatchColor = color;
    static_cast<ColourSwatch *>(m_shape16)->setColour(fromColorRef(color));
}

QFont frmTitolo::sampleFont() const
{
    return m_label2->font();
}

HoverLiftButton *frmTitolo::button(int n) const
{
    return n == 0 || n == 1 ? m_buttons[n] : nullptr;
}

void frmTitolo::play(const QString &relativeWav) const
{
    if (m_ctx.state->SoundsOn && m_ctx.playSound)
        m_ctx.playSound(relativeWav);
}

void frmTitolo::chooseColour()
{
    // The chooser starts at the stored title colour, not at a colour picked earlier in
    // this session.
    const quint32 start = m_ctx.style->ForeColor;
    std::optional<quint32> chosen;
    if (m_ctx.chooseColor) {
        chosen = m_ctx.chooseColor(this, start);
    } else {
        // A fresh chooser each time, so its custom colours do not carry over.
        ShowColor dialog;
        dialog.sethOwner(this);
        dialog.setRGBResult(start);
        dialog.showColor();
        if (!dialog.ColorAnnulla())
            chosen = dialog.RGBResult();
    }
    if (chosen)
        setSwatchColor(*chosen);
}

void frmTitolo::pressButton(int n)
{
    if (m_finished)
        return;
    play(QStringLiteral("Files/Click2.wav"));
    finish(n);
}

void frmTitolo::reject()
{
    finish(1);
}

void frmTitolo::finish(int n)
{
    if (m_finished)
        return;
    m_finished = true;

    StepRunner steps(ErrorPolicy::SkipAndContinue);
    if (n == 0) {
        TitleStyle &style = *m_ctx.style;
        AppState &state = *m_ctx.state;
        const QFont sample = m_label2->font();
        steps.run(QStringLiteral("hide"), [&] { hide(); });
        const bool busy = steps.run(QStringLiteral("busy"), [&] { QApplication::setOverrideCursor(Qt::WaitCursor); });
        steps.run(QStringLiteral("cover text"), [&] {
            // A pasted line break would split the title; the texts are single lines.
            const QString cover = singleLine(m_text1->text());
            if (m_ctx.setCoverText) {
                m_ctx.setCoverText(cover);
            } else if (style.CoverText != cover) {
                style.CoverText = cover;
                if (m_ctx.formatSelection)
                    m_ctx.formatSelection();
            }
        });
        steps.run(QStringLiteral("font"), [&] {
            style.FontName = sample.family();
            style.FontSize = float(sample.pointSizeF());
            style.FontBold = sample.bold();
            style.FontItalic = sample.italic();
            style.FontUnderline = sample.underline();
        });
        steps.run(QStringLiteral("colour"), [&] { style.ForeColor = m_swatchColor; });
        steps.run(QStringLiteral("spine text"), [&] { style.SpineText = singleLine(m_text2->text()); });
        steps.run(QStringLiteral("switches"), [&] {
            state.TitleOnCover = m_check4->isChecked() ? 1 : 0;
            state.TitleOnSpine = m_check5->isChecked() ? 1 : 0;
        });
        if (busy)
            steps.run(QStringLiteral("normal pointer"), [&] { QApplication::restoreOverrideCursor(); });
    }
    steps.run(QStringLiteral("format selection"), [&] {
        if (m_ctx.formatSelection)
            m_ctx.formatSelection();
    });
    QDialog::done(n == 0 ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace vt
