#pragma once
// A widget that acts on a left click released over it, as a button does: captions that
// toggle their switch, pictures that act as buttons.
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
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

// A picture that acts as a button for the keyboard too: it takes the focus by Tab, shows
// it with the style's focus frame, and Space acts as a click.
class KeyClickLabel : public ClickOnRelease<QLabel>
{
public:
    explicit KeyClickLabel(QWidget *parent = nullptr) : ClickOnRelease<QLabel>(parent)
    {
        setFocusPolicy(Qt::StrongFocus);
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
    void paintEvent(QPaintEvent *event) override
    {
        QLabel::paintEvent(event);
        if (!hasFocus())
            return;
        QPainter p(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
    void focusInEvent(QFocusEvent *event) override
    {
        QLabel::focusInEvent(event);
        update();
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        QLabel::focusOutEvent(event);
        update();
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
