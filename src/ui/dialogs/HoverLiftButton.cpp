#include "ui/dialogs/HoverLiftButton.h"

#include <QLayout>

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <QCoreApplication>
#include <QKeyEvent>

#include "common/Text.h"
#include "ui/dialogs/ClickOnRelease.h"

#include <algorithm>

namespace vt {

namespace {

constexpr char CaptionProperty[] = "vtHoverLiftCaption";
// Room around the caption's text for the focus frame.
constexpr int FocusMarginPixels = 3;

bool isPressKey(const QKeyEvent *key)
{
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    return mods == Qt::NoModifier
           && (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
}

// A caption that draws the keyboard focus around its text, as push buttons do.
using FocusCaption = FocusRing<QLabel>;

} // namespace

// Enter anywhere in the window presses the default button, unless the focus is on another
// button (which takes Enter itself) or in a list that is open (its own window).
class DefaultButtonKeys : public QObject
{
public:
    DefaultButtonKeys(QWidget *window, HoverLiftButton *button) : QObject(button), m_window(window), m_button(button) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || !m_window || widget->window() != m_window || isHoverLiftCaption(widget))
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods != Qt::NoModifier || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter))
            return false;
        if (type == QEvent::ShortcutOverride)
            return false; // let the key arrive as a key press
        if (!m_button->caption()->isVisible() || !m_button->caption()->isEnabled())
            return false;
        if (!key->isAutoRepeat())
            emit m_button->clicked();
        return true;
    }

private:
    QPointer<QWidget> m_window;
    HoverLiftButton *m_button;
};

HoverLiftButton::HoverLiftButton(const QPixmap &picture, const QString &caption, QWidget *parent,
                                 const QString &pictureName, const QString &captionName)
    : QObject(parent)
{
    m_picture = new QLabel(parent);
    m_picture->setObjectName(pictureName);
    m_picture->setPixmap(picture);
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_caption = new FocusCaption(parent);
    m_caption->setObjectName(captionName);
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The caption is the button for the keyboard: it takes the focus by Tab, shows it,
    // and Space or Enter press it. Its own buddy, so its access key (Alt + the
    // underlined letter) reaches it.
    m_caption->setFocusPolicy(Qt::TabFocus); // a click presses it at once: no focus to show
    m_caption->setMargin(FocusMarginPixels);
    m_caption->setBuddy(m_caption);
    m_caption->setProperty(CaptionProperty, true);
    setCaption(caption);

    for (QLabel *part : {m_picture, m_caption}) {
        // Moves without a pressed button only reach widgets that track the mouse.
        part->setMouseTracking(true);
        // A move over a part is the button's own; passed on to the dialog it would look
        // like a move over the background and drop the button again at once.
        part->setAttribute(Qt::WA_NoMousePropagation);
        part->setCursor(Qt::PointingHandCursor);
        part->installEventFilter(this);
    }
}

void HoverLiftButton::setCaption(const QString &text)
{
    m_caption->setText(text);
    m_caption->setAccessibleName(StripAmpersands(text));
}

bool isHoverLiftCaption(const QObject *object)
{
    return object && object->property(CaptionProperty).toBool();
}

void HoverLiftButton::setDefault(bool on)
{
    if (on == bool(m_defaultKeys))
        return;
    if (!on) {
        delete m_defaultKeys;
        return;
    }
    QWidget *window = m_caption->window();
    m_defaultKeys = new DefaultButtonKeys(window, this);
    QCoreApplication::instance()->installEventFilter(m_defaultKeys);
}

QSize HoverLiftButton::sizeHint() const
{
    const QSize p = m_picture->sizeHint();
    const QSize c = m_caption->sizeHint();
    return {p.width() + GapPixels + c.width(), std::max(p.height(), c.height())};
}

void HoverLiftButton::placeAt(const QPoint &topLeft)
{
    const QSize p = m_picture->sizeHint();
    const QSize c = m_caption->sizeHint();
    const int height = std::max(p.height(), c.height());
    // The two parts tile the button's whole rectangle: the picture's part takes the gap,
    // both take the full height and centre their content, so no press inside the button
    // falls on the dialog behind it.
    m_pictureHome = QRect(topLeft, QSize(p.width() + GapPixels, height));
    m_captionHome = QRect(QPoint(topLeft.x() + p.width() + GapPixels, topLeft.y()), QSize(c.width(), height));
    m_picture->resize(m_pictureHome.size());
    m_caption->resize(m_captionHome.size());
    applyPosition();
}

bool HoverLiftButton::homeContainsGlobal(const QPoint &globalPos) const
{
    const QWidget *parent = m_picture->parentWidget();
    if (!parent)
        return false;
    const QPoint local = parent->mapFromGlobal(globalPos);
    return m_pictureHome.contains(local) || m_captionHome.contains(local);
}

void HoverLiftButton::applyPosition()
{
    const QPoint offset = m_lifted ? QPoint(-LiftPixels, -LiftPixels) : QPoint();
    m_picture->move(m_pictureHome.topLeft() + offset);
    m_caption->move(m_captionHome.topLeft() + offset);
}

void HoverLiftButton::setUnderline(bool on)
{
    QFont f = m_caption->font();
    f.setUnderline(on);
    m_caption->setFont(f);
}

void HoverLiftButton::lift()
{
    if (m_lifted)
        return;
    m_lifted = true;
    applyPosition();
    setUnderline(true);
    if (m_hoverSound)
        m_hoverSound();
}

void HoverLiftButton::returnHome()
{
    if (!m_lifted)
        return;
    m_lifted = false;
    applyPosition();
    setUnderline(false);
}

bool HoverLiftButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_picture && watched != m_caption)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The focused button takes Space and Enter itself, before any shortcut of the
        // dialog (the default button's Enter) could.
        if (watched == m_caption && isPressKey(static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::KeyPress:
        if (watched == m_caption && isPressKey(static_cast<QKeyEvent *>(event))) {
            if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
                emit clicked();
            return true;
        }
        return false;
    case QEvent::Shortcut:
        // The access key: pressed at once, as a push button's is.
        if (watched == m_caption && !static_cast<QShortcutEvent *>(event)->isAmbiguous()) {
            m_caption->setFocus(Qt::ShortcutFocusReason);
            emit clicked();
            return true;
        }
        return false;
    case QEvent::Enter:
    case QEvent::MouseMove:
        lift();
        return event->type() == QEvent::MouseMove;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_pressedPart = watched;
        return true;
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool wasPressed = m_pressedPart != nullptr;
        m_pressedPart = nullptr;
        // Like any button: press and release on the button, either part; dragging off
        // cancels.
        const QPoint global = mouse->globalPosition().toPoint();
        auto under = [&](QWidget *part) { return part->rect().contains(part->mapFromGlobal(global)); };
        if (mouse->button() == Qt::LeftButton && wasPressed && (under(m_picture) || under(m_caption)))
            emit clicked();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        // The second press of a double click is a press like any other.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_pressedPart = watched;
        return true;
    default:
        return false;
    }
}

HoverLiftBackground::HoverLiftBackground(QObject *parent) : QObject(parent) {}

void HoverLiftBackground::addButton(HoverLiftButton *button)
{
    m_buttons.append(button);
}

void HoverLiftBackground::watch(QWidget *background)
{
    background->setMouseTracking(true);
    background->installEventFilter(this);
}

void HoverLiftBackground::pointerAt(const QPoint &globalPos)
{
    for (const QPointer<HoverLiftButton> &button : std::as_const(m_buttons)) {
        if (button && button->isLifted() && !button->homeContainsGlobal(globalPos))
            button->returnHome();
    }
}

bool HoverLiftBackground::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove)
        pointerAt(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
    return QObject::eventFilter(watched, event);
}

QPixmap drawDialogPicture(DialogPicture which, int logicalSize, qreal devicePixelRatio)
{
    const int device = std::max(1, int(logicalSize * devicePixelRatio + 0.5));
    QPixmap pixmap(device, device);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = logicalSize;
    const QRectF disc(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    QPen mark(Qt::white, s * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    switch (which) {
    case DialogPicture::Confirm: {
        p.setPen(QPen(QColor(0x1e, 0x7a, 0x37), s * 0.04));
        p.setBrush(QColor(0x2e, 0x9d, 0x4a));
        p.drawEllipse(disc);
        p.setPen(mark);
        QPainterPath tick;
        tick.moveTo(s * 0.29, s * 0.52);
        tick.lineTo(s * 0.44, s * 0.67);
        tick.lineTo(s * 0.72, s * 0.36);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
        break;
    }
    case DialogPicture::Cancel: {
        p.setPen(QPen(QColor(0x9e, 0x2a, 0x25), s * 0.04));
        p.setBrush(QColor(0xc8, 0x41, 0x3b));
        p.drawEllipse(disc);
        p.setPen(mark);
        p.drawLine(QPointF(s * 0.35, s * 0.35), QPointF(s * 0.65, s * 0.65));
        p.drawLine(QPointF(s * 0.65, s * 0.35), QPointF(s * 0.35, s * 0.65));
        break;
    }
    case DialogPicture::Print: {
        const QColor body(0x4a, 0x55, 0x68);
        p.setPen(QPen(body.darker(130), s * 0.04));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(s * 0.28, s * 0.08, s * 0.44, s * 0.30)); // paper going in
        p.setBrush(body);
        p.drawRoundedRect(QRectF(s * 0.08, s * 0.34, s * 0.84, s * 0.36), s * 0.08, s * 0.08);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(s * 0.24, s * 0.58, s * 0.52, s * 0.34)); // printed sheet
        p.setPen(QPen(body, s * 0.04));
        p.drawLine(QPointF(s * 0.32, s * 0.70), QPointF(s * 0.68, s * 0.70));
        p.drawLine(QPointF(s * 0.32, s * 0.80), QPointF(s * 0.60, s * 0.80));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x5c, 0xd6, 0x6b));
        p.drawEllipse(QPointF(s * 0.80, s * 0.44), s * 0.04, s * 0.04); // power light
        break;
    }
    }
    return pixmap;
}

QSize dialogButtonRowSize(const HoverLiftButton &confirm, const HoverLiftButton &cancel)
{
    const QSize ok = confirm.sizeHint();
    const QSize no = cancel.sizeHint();
    const int lift = HoverLiftButton::LiftPixels;
    return {lift + ok.width() + DialogButtonSpacing + no.width(), lift + std::max(ok.height(), no.height())};
}

void placeDialogButtons(const QWidget &dialog, HoverLiftButton &confirm, HoverLiftButton &cancel)
{
    const QMargins margins = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
    const QSize ok = confirm.sizeHint();
    const QSize no = cancel.sizeHint();
    const int rowHeight = std::max(ok.height(), no.height());
    const int top = dialog.height() - margins.bottom() - rowHeight;
    const int cancelLeft = dialog.width() - margins.right() - no.width();
    const int okLeft = cancelLeft - DialogButtonSpacing - ok.width();
    cancel.placeAt(QPoint(cancelLeft, top + (rowHeight - no.height()) / 2));
    confirm.placeAt(QPoint(okLeft, top + (rowHeight - ok.height()) / 2));
}

} // namespace vt
