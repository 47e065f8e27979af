#include "ui/dialogs/frmOpzioni.h"

#include "common/AccessKeys.h"
#include "ui/dialogs/ClickOnRelease.h"

#include "app/ProgramFolders.h"
#include "app/Settings.h"
#include "common/StepRunner.h"
#include "common/Text.h"
#include "formats/Catalogue.h"
#include "ui/dialogs/HoverLiftButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <stdexcept>

namespace vt {

namespace {

constexpr int FieldWidth = 80;
const char *const BadFieldStyle = "QLineEdit { border: 2px solid #c0392b; border-radius: 2px; padding: 1px; }";

QLabel *makeLabel(QWidget *parent, const QString &name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    // Captions come from user-editable language files: never read them as markup.
    l->setTextFormat(Qt::PlainText);
    return l;
}

// Hidden fields keep their room, so the dialog does not jump from format to format.
void keepRoomWhenHidden(QWidget *w)
{
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

} // namespace

void openOptionsDialog(QWidget *owner, const OptionsContext &context)
{
    frmOpzioni dialog(context, owner);
    dialog.exec();
}

frmOpzioni::frmOpzioni(OptionsContext context, QWidget *parent) : QDialog(parent), m_ctx(std::move(context))
{
    if (!m_ctx.state)
        throw std::invalid_argument("options dialog without state");
    setObjectName(QStringLiteral("frmOpzioni"));
    if (parent)
        setWindowIcon(parent->windowIcon());
    buildControls();
    load();
}

frmOpzioni::~frmOpzioni() = default;

void frmOpzioni::buildControls()
{
    m_header = makeLabel(this, QStringLiteral("Label2"));
    QFont heading = m_header->font();
    heading.setBold(true);
    m_header->setFont(heading);

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo1->setMinimumContentsLength(36);
    m_combo1->setMaxVisibleItems(22);
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this] { showFormat(); });

    m_colX = makeLabel(this, QStringLiteral("Label3"));
    m_colY = makeLabel(this, QStringLiteral("Label4"));
    m_dimHeader1 = makeLabel(this, QStringLiteral("Label5"));
    m_dimHeader2 = makeLabel(this, QStringLiteral("Label6"));
    for (QLabel *h : {m_colX, m_colY, m_dimHeader1, m_dimHeader2}) {
        h->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        keepRoomWhenHidden(h);
    }
    for (int r = 0; r < 3; ++r) {
        m_rowLabels[size_t(r)] = makeLabel(this, QStringLiteral("Label7_%1").arg(r));
        keepRoomWhenHidden(m_rowLabels[size_t(r)]);
    }
    for (int i = 0; i < OptionsFieldCount; ++i) {
        auto *f = new QLineEdit(this);
        f->setObjectName(QStringLiteral("Text1_%1").arg(i));
        f->setFixedWidth(FieldWidth);
        f->setAlignment(Qt::AlignRight);
        keepRoomWhenHidden(f);
        f->installEventFilter(this);
        // Typing again takes the mark off: the next store judges the new text.
        connect(f, &QLineEdit::textEdited, this, [this, i] {
            if (m_badField == i)
                markField(std::nullopt);
        });
        m_fields[size_t(i)] = f;
    }

    m_check1 = new QCheckBox(this);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_label8 = makeLabel(this, QStringLiteral("Label8"));
    m_label8->installEventFilter(this);

    const qreal ratio = devicePixelRatioF();
    m_buttons[0] = new HoverLiftButton(drawDialogPicture(DialogPicture::Confirm, 24, ratio), QString(), this,
                                       QStringLiteral("Image1_0"), QStringLiteral("Label1_0"));
    m_buttons[1] = new HoverLiftButton(drawDialogPicture(DialogPicture::Cancel, 24, ratio), QString(), this,
                                       QStringLiteral("Image1_1"), QStringLiteral("Label1_1"));
    auto *background = new HoverLiftBackground(this);
    background->watch(this);
    for (int n = 0; n < 2; ++n) {
        // The switch, not the stored setting, decides: a change is heard at once.
        m_buttons[n]->setHoverSound([this] {
            if (m_check1->isChecked() && m_ctx.playSound)
                m_ctx.playSound(QStringLiteral("Files/Click1.wav"));
        });
        connect(m_buttons[n], &HoverLiftButton::clicked, this, [this, n] { pressButton(n); });
        background->addButton(m_buttons[n]);
    }

    // Enter confirms from anywhere; Tab reads the grid row by row.
    m_buttons[0]->setDefault(true);
    setTabChain({m_combo1, m_fields[FieldX1], m_fields[FieldY1], m_fields[FieldDimA], m_fields[FieldDimB],
                 m_fields[FieldX2], m_fields[FieldY2], m_fields[FieldDimC], m_fields[FieldDimD], m_fields[FieldX3],
                 m_fields[FieldY3], m_check1, m_buttons[0]->caption(), m_buttons[1]->caption()});

    // Columns: row label, X, Y, size 1, size 2.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->addWidget(m_colX, 0, 1);
    grid->addWidget(m_colY, 0, 2);
    grid->setColumnMinimumWidth(3, 10);
    grid->addWidget(m_dimHeader1, 0, 4);
    grid->addWidget(m_dimHeader2, 0, 5);
    const int cells[3][4] = {{FieldX1, FieldY1, FieldDimA, FieldDimB},
                             {FieldX2, FieldY2, FieldDimC, FieldDimD},
                             {FieldX3, FieldY3, -1, -1}};
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(m_rowLabels[size_t(r)], r + 1, 0);
        const int columns[4] = {1, 2, 4, 5};
        for (int c = 0; c < 4; ++c)
            if (cells[r][c] >= 0)
                grid->addWidget(m_fields[size_t(cells[r][c])], r + 1, columns[c]);
    }
    grid->setColumnStretch(0, 1);

    auto *soundRow = new QHBoxLayout;
    soundRow->setSpacing(4);
    soundRow->addWidget(m_check1);
    soundRow->addWidget(m_label8);
    soundRow->addStretch(1);

    auto *outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->setContentsMargins(18, 14, 18, 14);
    outer->setSpacing(0);
    outer->addWidget(m_header);
    outer->addSpacing(6);
    outer->addWidget(m_combo1);
    outer->addSpacing(14);
    outer->addLayout(grid);
    outer->addSpacing(14);
    outer->addLayout(soundRow);
    outer->addSpacing(14);
    m_buttonSpace = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
    outer->addItem(m_buttonSpace);
}

void frmOpzioni::load()
{
    StepRunner steps(ErrorPolicy::SkipAndContinue);
    steps.run(QStringLiteral("captions"), [&] { applyCaptions(); });
    steps.run(QStringLiteral("sound switch"), [&] { m_check1->setChecked(m_ctx.state->SoundsOn); });
    steps.run(QStringLiteral("button homes"), [&] {
        reserveButtonRoom();
        layout()->activate();
        layoutButtons();
    });
    steps.run(QStringLiteral("reload texts"), [&] {
        if (m_ctx.reloadTexts)
            m_ctx.reloadTexts();
    });
    steps.run(QStringLiteral("format list"), [&] {
        {
            const QSignalBlocker block(m_combo1);
            m_combo1->clear();
            for (int i = 0; i < m_ctx.state->FormatCount; ++i)
                m_combo1->addItem(text(53 + i));
            m_combo1->setCurrentIndex(-1);
        }
        const int k = m_ctx.mainFormat;
        m_combo1->setCurrentIndex(k >= 0 && k < m_combo1->count() ? k : -1);
        // Selecting the same entry again raises no change, yet the fields must be filled.
        showFormat();
    });
    steps.run(QStringLiteral("translucency"), [&] { setWindowOpacity(Opacity); });
}

void frmOpzioni::applyCaptions()
{
    setWindowTitle(StripAmpersands(text(50)));
    m_header->setText(QStringLiteral(" ") + text(30) + QStringLiteral(" "));
    m_colX->setText(text(47));
    m_colY->setText(text(48));
    m_dimHeader1->setText(text(86));
    m_dimHeader2->setText(text(87));
    m_label8->setText(text(108));
    const QStringList captions = withAccessKeys({text(51), text(37)});
    m_buttons[0]->setCaption(captions[0]);
    m_buttons[1]->setCaption(captions[1]);
    for (int r = 0; r < 3; ++r)
        m_rowLabels[size_t(r)]->setText(text(49) + QStringLiteral(" %1").arg(r + 1) + QStringLiteral(" (mm)"));
}

void frmOpzioni::reserveButtonRoom()
{
    const QSize row = dialogButtonRowSize(*m_buttons[0], *m_buttons[1]);
    m_buttonSpace->changeSize(row.width(), row.height(), QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout()->invalidate();
}

void frmOpzioni::layoutButtons()
{
    // Bottom right, confirm before cancel, inside the strip the layout keeps free.
    placeDialogButtons(*this, *m_buttons[0], *m_buttons[1]);
}

void frmOpzioni::showFormat()
{
    OptionsFieldTexts current;
    for (int i = 0; i < OptionsFieldCount; ++i)
        current[size_t(i)] = m_fields[size_t(i)]->text();
    const OptionsView v = showOptionsFormat(*m_ctx.state, m_combo1->currentIndex(), current);
    markField(std::nullopt);
    for (int i = 0; i < OptionsFieldCount; ++i) {
        m_fields[size_t(i)]->setText(v.text[size_t(i)]);
        m_fields[size_t(i)]->setVisible(v.shown[size_t(i)]);
    }
    m_dimHeader1->setText(text(v.dimension1HeaderEntry));
    m_dimHeader2->setVisible(v.dimension2HeaderShown);
    m_rowLabels[1]->setVisible(v.row2Shown);
    m_rowLabels[2]->setVisible(v.row3Shown);
}

std::optional<int> frmOpzioni::storeFields(int i)
{
    m_lastLeft = i;
    OptionsFieldTexts texts;
    for (int f = 0; f < OptionsFieldCount; ++f)
        texts[size_t(f)] = m_fields[size_t(f)]->text();
    const StoreOutcome out = storeOptionsFields(*m_ctx.state, m_combo1->currentIndex(), i, texts);
    if (out.field3Corrected)
        m_fields[FieldY2]->setText(texts[FieldY2]);
    markField(out.stoppedAt);
    return out.stoppedAt;
}

void frmOpzioni::markField(std::optional<int> bad)
{
    if (m_badField && *m_badField != bad.value_or(-1)) {
        QLineEdit *old = m_fields[size_t(*m_badField)];
        old->setStyleSheet(QString());
        old->setToolTip(QString());
    }
    m_badField = bad;
    if (bad) {
        QLineEdit *f = m_fields[size_t(*bad)];
        f->setStyleSheet(QLatin1String(BadFieldStyle));
        // No language entry says this; the reason in plain words beats a silent field.
        f->setToolTip(QStringLiteral("Not a number of millimetres: this size and the ones after it were not stored."));
    }
}

bool frmOpzioni::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !m_finished) {
        for (int i = 0; i < OptionsFieldCount; ++i)
            if (watched == m_fields[size_t(i)]) {
                storeFields(i);
                break;
            }
    }
    if (watched == m_label8 && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && m_label8->rect().contains(mouse->position().toPoint()))
            m_check1->setChecked(!m_check1->isChecked());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmOpzioni::pressButton(int n)
{
    finish(n, true);
}

void frmOpzioni::reject()
{
    finish(1, false);
}

void frmOpzioni::finish(int n, bool withSound)
{
    if (m_finished)
        return;
    AppState &state = *m_ctx.state;
    StepRunner steps(ErrorPolicy::SkipAndContinue);
    steps.run(QStringLiteral("sounds"), [&] { state.SoundsOn = m_check1->isChecked(); });
    steps.run(QStringLiteral("click"), [&] {
        if (withSound && state.SoundsOn && m_ctx.playSound)
            m_ctx.playSound(QStringLiteral("Files/Click2.wav"));
    });
    std::optional<int> stopped;
    steps.run(QStringLiteral("store"), [&] { stopped = storeFields(m_lastLeft.value_or(0)); });
    if (n == 0 && stopped) {
        // A size that is no number would be lost without a word: keep the dialog open on
        // it, marked, so the user can correct it or cancel.
        m_fields[size_t(*stopped)]->setFocus();
        m_fields[size_t(*stopped)]->selectAll();
        return;
    }
    m_finished = true;
    if (n == 0) {
        steps.run(QStringLiteral("settings"), [&] {
            if (m_ctx.writeSettings)
                m_ctx.writeSettings();
        });
        steps.run(QStringLiteral("catalogue"), [&] {
            return m_ctx.writeCatalogue ? m_ctx.writeCatalogue() : writeCatalogueFile(catalogueFilePath(state), state);
        });
    } else {
        steps.run(QStringLiteral("settings"), [&] {
            // A settings file that cannot be read would put defaults in place (sounds
            // on): the values in memory stay as they are instead.
            const AppState before = state;
            qint16 savedFormat = 0;
            if (ReadSettings(settingsFilePath(state), state, savedFormat))
                return true;
            state = before;
            return false;
        });
        steps.run(QStringLiteral("catalogue"), [&] { return ReadCatalogue(catalogueReadPath(state), state); });
    }
    QDialog::done(n == 0 ? QDialog::Accepted : QDialog::Rejected);
    if (n == 0)
        steps.run(QStringLiteral("format selection"), [&] {
            if (m_ctx.formatSelection)
                m_ctx.formatSelection();
        });
}

} // namespace vt
