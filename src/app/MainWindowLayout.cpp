#include "app/MainWindowLayout.h"

#include <algorithm>

namespace vt {

MainWindowLayout layoutMainWindow(const MainWindowLayoutInput &in)
{
    MainWindowLayout out;
    out.window = QSize(std::max(in.window.width(), MinimumWindowWidthTwips),
                       std::max(in.window.height(), MinimumWindowHeightTwips));
    out.snapped = out.window != in.window;
    // Growing the window grows its inner area by as much.
    out.client = in.client + (out.window - in.window);
    const int width = out.window.width();
    const int height = out.window.height();
    const int innerWidth = out.client.width();
    const int innerHeight = out.client.height();

    out.label1 = QRect(0, innerHeight - StatusLineHeightTwips, innerWidth, StatusLineHeightTwips);
    // The picture starts 60 twips left of the inner area; where the window's whole width
    // is no wider than its inner area (no side borders) it is widened by as much, so
    // it still reaches the right edge.
    out.sfondo1 = QRect(-60, ToolbarLineY + 10, std::max(width, innerWidth + 60), height - ToolbarLineY);
    out.button2 = QRect(QPoint(innerWidth - in.button2.width() - Button2RightGapTwips, in.button2Top), in.button2);
    const int checkTop = out.label1.top() - in.check1.height() - 200;
    out.check1 = QRect(QPoint(195, checkTop), in.check1);
    out.label6 = QRect(QPoint(450, checkTop), in.label6);
    out.shape5 = out.label1;

    int comboLeft = in.label5.left() + in.label5.width() + 100;
    int comboWidth = FormatListWidthTwips;
    comboLeft = std::max(comboLeft, in.button8.left() + in.button8.width() + FormatListGapTwips);
    const int limit = out.button2.left() - FormatListGapTwips;
    if (limit < comboLeft + comboWidth)
        comboWidth = limit - comboLeft;
    // A list narrower than nothing cannot be shown; at the minimum size it never is.
    out.combo1 = QRect(comboLeft, in.formatListTop, std::max(comboWidth, 0), in.formatListHeight);
    out.line1 = QLine(-30, ToolbarLineY, width, ToolbarLineY);
    return out;
}

} // namespace vt
