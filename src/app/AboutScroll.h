#pragma once
// The about box's credits roll, in twips: the content rises from the bottom of its
// viewport, stops while its last line sits on the lower edge, then rises out at the
// top and starts again from below. One tick every 10 ms.
namespace vt {

inline constexpr int AboutViewportHeight = 2235;
inline constexpr int AboutContentHeight = 4125;
inline constexpr int AboutScrollStartTop = 2200; // just inside the viewport's lower edge
inline constexpr int AboutScrollStep = 10;
inline constexpr int AboutScrollPauseTicks = 120;
inline constexpr int AboutScrollIntervalMs = 10;

struct AboutScroll
{
    int top = AboutScrollStartTop; // the content's top inside the viewport
    int pause = 0;                 // ticks spent with the end of the content in view

    friend bool operator==(const AboutScroll &, const AboutScroll &) = default;
};

// One tick.
AboutScroll nextAboutScroll(AboutScroll s, int viewportHeight = AboutViewportHeight,
                            int contentHeight = AboutContentHeight);

// Where the roll stands after the given number of ticks from the start (negative
// counts as zero). The roll repeats, so any count answers at once.
AboutScroll aboutScrollAfter(long long ticks);

} // namespace vt
