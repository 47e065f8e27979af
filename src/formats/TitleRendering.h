#pragma once
// Title rendering: the last step of format selection writes the cover's titles into
// the pictures themselves, at each picture's own resolution, so the preview and the
// printed cover carry exactly the same title.
//
// Every titled picture is drawn from its clean picture on every run, never from an
// earlier titled one: any number of runs gives the result of one, and a changed title
// leaves no trace of the old one.
//
// Where each format puts its titles is a column of the format table (FormatTraits).
// The spine title runs at angle 270, the front title at angle 0.
#include "formats/TitleStyle.h"
#include "platform/PictureSurface.h"

#include <QImage>
#include <array>

namespace vt {

// The two title sizes for a picture H pixels high, in the surface's unit (pixels):
// spine floor(H/311 × S), front floor(H/311 × (S + 2)). A picture 311 pixels high gets
// the user's size; a size that does not fit a 32-bit integer is 0 (no title).
struct TitleFontSizes
{
    int spine = 0;
    int front = 0;
    bool operator==(const TitleFontSizes &) const = default;
};
TitleFontSizes titleFontSizes(int pictureHeight, double fontSize);

// Everything one run reads.
struct TitleRun
{
    int formatIndex = -1;          // the format list's selection; -1 (none): nothing titled
    TitleStyle style;
    qint16 titleOnCover = 1;       // 1: the front title is drawn
    qint16 titleOnSpine = 1;       // 1: the spine title is drawn
    QImage clean1, clean2, clean3; // the slots' clean copies
    QImage slimSpine, slimFront;   // the pieces the arrangement has just cut (slim formats)
};

// What one run produces. A picture that gets no title (the format titles nothing there,
// its switch is off, or it is null) is the clean picture itself.
struct TitledPictures
{
    QImage image1, image2, image3; // what picture areas 1 to 3 show
    QImage overlay;                // titled picture 2 of formats 3 and 6; null otherwise
    bool overlayVisible = false;   // formats 3 and 6: lay the overlay over picture area 2
    QImage slimSpine, slimFront;   // titled pieces of the slim formats; null otherwise
};

// Keeps one surface per target between runs (the overlay shares picture 2's) so titling reuses its buffers: once the
// picture sizes are stable, a run costs one copy of each titled picture and no
// allocation, provided the caller has let go of the previous run's titled pictures
// before the next render (a picture still held elsewhere is left alone and the surface
// takes a new buffer).
class TitleRenderer
{
public:
    TitledPictures render(const TitleRun &run);

    // Lets go of every kept buffer (for example when the pictures are unloaded).
    void clear();

private:
    // The overlay of formats 3 and 6 is drawn on Picture2's surface.
    enum Target { Picture1, Picture2, Picture3, SpinePiece, FrontPiece, TargetCount };
    std::array<PictureSurface, TargetCount> m_surfaces;
};

} // namespace vt
