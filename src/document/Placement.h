#pragma once
// How a picture sits in its area: the way it is scaled, how far it is zoomed, which part
// of it is in the middle of the area, and how many quarter turns it is rotated.
// The default is what every cover printed before placements existed: stretched.
#include <QtGlobal>

namespace vt {

struct Placement
{
    enum class Mode { Stretch, Fill, Fit };

    Mode mode = Mode::Stretch;
    double zoom = 1.0;    // 1 to 8; 1 is the mode's own size
    double centreX = 0.5; // centre of the visible part, as a fraction of the picture's width
    double centreY = 0.5; // ... and of its height
    int turns = 0;        // quarter turns clockwise, 0 to 3

    bool operator==(const Placement &) const = default;

    // What a picture added by the user starts as.
    static Placement forNewPicture()
    {
        Placement p;
        p.mode = Mode::Fill;
        return p;
    }
};

} // namespace vt
