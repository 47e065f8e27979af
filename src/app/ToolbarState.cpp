#include "app/ToolbarState.h"

#include <QtGlobal>

namespace vt {

namespace {
constexpr int OpenProjectTipEntry = 106;
constexpr int IdleStatusEntry = 14;
constexpr int OutlineSwitchTipEntry = 29;
constexpr int FormatLabelTipEntry = 30;
} // namespace

QPoint ToolbarState::home(int i) const
{
    return {m_state.ToolbarButtonLeft[size_t(i)], m_state.ToolbarButtonTop[size_t(i)]};
}

QPoint ToolbarState::position(int i) const
{
    if (!valid(i))
        return {};
    return home(i) + (m_raised[size_t(i)] ? QPoint(SinkTwips, SinkTwips) : QPoint());
}

void ToolbarState::recordHomes(const std::array<QPoint, ButtonCount> &shown)
{
    for (int i = 0; i < ButtonCount; ++i)
        if (!m_raised[size_t(i)])
            setHome(i, shown[size_t(i)]);
}

void ToolbarState::setHome(int i, QPoint p)
{
    if (!valid(i))
        return;
    m_state.ToolbarButtonLeft[size_t(i)] = p.x();
    m_state.ToolbarButtonTop[size_t(i)] = p.y();
}

bool ToolbarState::release(std::optional<int> keep)
{
    bool any = false;
    for (int i = 0; i < ButtonCount; ++i) {
        if (!m_raised[size_t(i)] || (keep && *keep == i))
            continue;
        m_raised[size_t(i)] = false;
        any = true;
        m_status.clear();
    }
    return any;
}

QString ToolbarState::tipFor(int i) const
{
    const int t = i == 3 ? 9 : i == 9 ? 3 : i;
    if (t == 0)
        return m_state.Language[OpenProjectTipEntry];
    return valid(t) ? m_state.ToolbarTips[size_t(t)] : QString();
}

bool ToolbarState::sink(int i)
{
    if (!valid(i) || m_raised[size_t(i)])
        return false;
    m_raised[size_t(i)] = true;
    return true;
}

void ToolbarState::showTip(int i)
{
    m_status = tipFor(i);
}

bool ToolbarState::hoverButton(int i)
{
    if (!valid(i))
        return false;
    release(i);
    if (!sink(i))
        return false;
    showTip(i);
    return true;
}

void ToolbarState::hoverBackground()
{
    m_status = m_state.Language[IdleStatusEntry];
    // Releasing a button empties the line again; the next move restores the idle text.
    release(std::nullopt);
}

void ToolbarState::hoverOutlineSwitch()
{
    if (m_status.isEmpty())
        m_status = m_state.Language[OutlineSwitchTipEntry];
}

void ToolbarState::hoverFormatLabel()
{
    m_status = m_state.Language[FormatLabelTipEntry];
}

} // namespace vt
