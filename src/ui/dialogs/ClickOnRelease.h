#pragma once
// A widget that acts on a left click released over it, as a button does: captions that
// toggle their switch, pictures that act as buttons.
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <functional>

namespace vt {

template <typename Base>
class ClickOnRelease : public Base
{
public:
    using Base::Base;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            event->accept();
        else
            Base::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && this->rect().contains(event->position().toPoint()) && onClick)
            onClick();
        else
            Base::mouseReleaseEvent(event);
    }
};

// The keyboard focus on a control that has no face of its own for the style to mark (a
// picture, a button's caption): a frame in the highlight colour over a faint tint.
inline void paintFocusRing(QWidget &widget)
{
    QPainter p(&widget);
    p.setRenderHint(QPainter::Antialiasing);
    QColor ring = widget.palette().color(QPalette::Highlight);
    p.setPen(QPen(ring, 1.5));
    ring.setAlpha(40);
    p.setBrush(ring);
    p.drawRoundedRect(QRectF(widget.rect()).adjusted(0.75, 0.75, -0.75, -0.75), 3, 3);
}

// A label that shows the keyboard focus (paintFocusRing) while it has it.
template <typename Base>
class FocusRing : public Base
{
public:
    using Base::Base;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        Base::paintEvent(event);
        if (!this->hasFocus())
            return;
        paintFocusRing(*this);
    }
    void focusInEvent(QFocusEvent *event) override
    {
        Base::focusInEvent(event);
        this->update();
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        Base::focusOutEvent(event);
        this->update();
    }
};

// A picture that acts as a button for the keyboard too: it takes the focus by Tab, shows
// it, and Space acts as a click.
class KeyClickLabel : public FocusRing<ClickOnRelease<QLabel>>
{
public:
    explicit KeyClickLabel(QWidget *parent = nullptr) : FocusRing<ClickOnRelease<QLabel>>(parent)
    {
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && onClick) {
            if (!event->isAutoRepeat())
                onClick();
            return;
        }
        QLabel::keyPressEvent(event);
    }
};

// Sets the keyboard order of the widgets to the order given (their reading order).
inline void setTabChain(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (previous && w)
            QWidget::setTabOrder(previous, w);
        if (w)
            previous = w;
    }
}

} // namespace vt
