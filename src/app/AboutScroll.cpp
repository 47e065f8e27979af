#include "app/AboutScroll.h"

namespace vt {

AboutScroll nextAboutScroll(AboutScroll s, int viewportHeight, int contentHeight)
{
    if (s.top > viewportHeight - contentHeight) {
        s.top -= AboutScrollStep;
    } else {
        ++s.pause;
        if (s.pause > AboutScrollPauseTicks)
            s.top -= AboutScrollStep;
    }
    if (s.top < -contentHeight)
        s = AboutScroll{};
    return s;
}

namespace {

// Ticks from the start until the roll is back at its start.
long long rollPeriod()
{
    static const long long period = [] {
        AboutScroll s;
        long long n = 0;
        do {
            s = nextAboutScroll(s);
            ++n;
        } while (!(s == AboutScroll{}));
        return n;
    }();
    return period;
}

} // namespace

AboutScroll aboutScrollAfter(long long ticks)
{
    AboutScroll s;
    if (ticks <= 0)
        return s;
    for (long long n = ticks % rollPeriod(); n > 0; --n)
        s = nextAboutScroll(s);
    return s;
}

} // namespace vt
