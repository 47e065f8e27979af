#pragma once
// A widget that acts on a left click released over it, as a button does: captions that
// toggle their switch, pictures that act as buttons.
#include <QMouseEvent>
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

} // namespace vt
