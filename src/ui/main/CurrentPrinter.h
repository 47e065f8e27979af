#pragma once
// The program's current printer: looked up once, when it is first needed (asking the
// print system before the window shows, or on every resize, would cost more than the
// preview), and kept in the orientation the selected format asks for.
#include <QPrinter>

#include <memory>

namespace vt {

class CurrentPrinter
{
public:
    // Null when no printer is installed.
    QPrinter *get();
    void set(std::unique_ptr<QPrinter> printer);
    // Kept until the printer is made when it is not yet.
    void setOrientation(bool portrait);
    bool lookedUp() const { return m_lookedUp; }

private:
    std::unique_ptr<QPrinter> m_printer;
    bool m_lookedUp = false;
    bool m_portrait = true;
};

} // namespace vt
