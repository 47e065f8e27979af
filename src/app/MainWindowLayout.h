#pragma once
// The main window's fixed elements as a pure function of its size, in twips: the
// status line and its frame, the outline switch above it, the background picture,
// the line under the toolbar row, toolbar button 2 at the right end of the row and
// the format list between the format label and button 2.
#include <QLine>
#include <QRect>
#include <QSize>

namespace vt {

inline constexpr int MinimumWindowWidthTwips = 8600;
inline constexpr int MinimumWindowHeightTwips = 5500;
inline constexpr int ToolbarLineY = 780;
inline constexpr int StatusLineHeightTwips = 405;
inline constexpr int Button2RightGapTwips = 160;
inline constexpr int FormatListGapTwips = 150;
inline constexpr int FormatListWidthTwips = 4000;

struct MainWindowLayoutInput
{
    QSize window; // the window's whole size
    QSize client; // its inner area, where the elements live
    QRect label5 = QRect(2730, 270, 570, 195);
    QRect button8 = QRect(2010, 150, 435, 480);
    QSize button2 = QSize(1380, 390);
    int button2Top = 190;
    QSize check1 = QSize(195, 225);
    QSize label6 = QSize(570, 225);
    int formatListTop = 210;
    int formatListHeight = 315;
};

struct MainWindowLayout
{
    QSize window;   // the size the window must have: never below the minimum
    bool snapped = false; // the window was smaller than the minimum
    QSize client;   // the inner area once the window has that size
    QRect label1;   // status line
    QRect shape5;   // its frame: the same rectangle
    QRect sfondo1;  // background picture, stretched
    QRect button2;  // toolbar button 2's home
    QRect check1;
    QRect label6;
    QRect combo1;   // the format list
    QLine line1;    // under the toolbar row
};

MainWindowLayout layoutMainWindow(const MainWindowLayoutInput &in);

} // namespace vt
