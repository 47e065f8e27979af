#pragma once
// The toolbar's hover feedback without widgets: which buttons are sunk, where each
// one's home is, and what the status line says. The window shows what this computes.
#include "app/AppState.h"

#include <QPoint>
#include <QString>
#include <array>
#include <optional>

namespace vt {

class ToolbarState
{
public:
    static constexpr int ButtonCount = 10;
    static constexpr int SinkTwips = 30;

    // The home positions live in the state (ToolbarButtonLeft/Top) and the tips too.
    explicit ToolbarState(AppState &state) : m_state(state) {}

    // Where button i is shown now: its home, or 30 twips right and down while sunk.
    QPoint position(int i) const;
    bool isRaised(int i) const { return valid(i) && m_raised[size_t(i)]; }

    // Records the homes from where the buttons are shown. A sunk button keeps its home,
    // so recording while the pointer rests on it never makes it drift.
    void recordHomes(const std::array<QPoint, ButtonCount> &shown);
    // Moves one button's home (button 2 follows the window's right edge).
    void setHome(int i, QPoint home);

    // Returns every sunk button but keep home; empties the status text when any went.
    // Returns whether a button was released.
    bool release(std::optional<int> keep);

    // The pointer moved over button i: release the others, sink it, show its tip.
    // Returns true when it sank just now (the caller plays the hover sound between
    // sinking and the tip, using the two steps below).
    bool hoverButton(int i);
    // Sinks button i unless it is sunk already; true when it sank now.
    bool sink(int i);
    // Puts button i's tip into the status text.
    void showTip(int i);
    // The pointer moved over the window's background.
    void hoverBackground();
    // Over the outline switch: its tip only when the status line is empty.
    void hoverOutlineSwitch();
    // Over the format label.
    void hoverFormatLabel();

    const QString &status() const { return m_status; }
    void setStatus(const QString &text) { m_status = text; }

    // The tip a button shows: buttons 3 and 9 trade tips, button 0 has its own text.
    QString tipFor(int i) const;

private:
    static bool valid(int i) { return i >= 0 && i < ButtonCount; }
    QPoint home(int i) const;

    AppState &m_state;
    std::array<bool, ButtonCount> m_raised{};
    QString m_status;
};

} // namespace vt
