#include "formats/TitleRendering.h"

#include "common/Numbers.h"
#include "common/StepRunner.h"
#include "formats/FormatTraits.h"

#include <QColor>
#include <cmath>
#include <limits>

namespace vt {

namespace {

// The spine title's box at angle 270: for Centred it is drawn at x = (W + TH) / 2, the
// same double as (W − TH) / 2 + TH, so the box spans (W − TH) / 2 … (W + TH) / 2.
using Spine = SpineTitle;
using Front = FrontTitle;

int floorToInt(double v)
{
    const double f = std::floor(v);
    if (!std::isfinite(f) || f < double(std::numeric_limits<int>::min())
        || f > double(std::numeric_limits<int>::max()))
        return 0;
    return int(f);
}

// The title colour is stored red in the low byte, then green, then blue.
QColor titleColour(quint32 ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

// Draws text with its box at round(x), round(y); a position that does not fit a 32-bit
// integer fails the step.
bool drawAt(PictureSurface &surface, const QString &text, double x, double y,
            const QColor &colour)
{
    const auto ix = toInt32(x);
    const auto iy = toInt32(y);
    return ix && iy && surface.drawText(text, *ix, *iy, colour);
}

// The largest size up to `size` at which the text is at most `along` long and its line
// at most `across` high: a title longer than its place is reduced, not cut.
int fittedSize(PictureSurface &surface, const QString &text, int size, double along, double across)
{
    for (int k = 0; k < 8 && size > 1; ++k) {
        surface.setFontSize(size);
        const double tw = surface.textWidth(text);
        const double th = surface.textHeight(text);
        const double f = std::min(tw > along ? along / tw : 1.0, th > across ? across / th : 1.0);
        if (f >= 1.0)
            break;
        size = std::max(1, int(std::floor(size * f)));
    }
    surface.setFontSize(size);
    return size;
}

// Titles one picture from its clean copy on the given surface and returns what the
// target shows. With nothing to draw, or when the picture cannot be taken in, that is
// the clean picture itself: same pixels, and no copy made.
QImage titleOne(PictureSurface &surface, const QImage &clean, const TitleRun &run,
                Spine spine, Front front)
{
    const bool drawSpine = spine != Spine::None && run.titleOnSpine == 1;
    const bool drawFront = front != Front::None && run.titleOnCover == 1;
    if (!drawSpine && !drawFront)
        return clean;

    // A failing step is skipped and the picture goes on to the next one.
    StepRunner steps(ErrorPolicy::SkipAndContinue);
    if (!steps.run(QStringLiteral("take in"), [&] { return surface.takeIn(clean); }))
        return clean;
    const double w = surface.width();
    const double h = surface.height();
    const TitleStyle &style = run.style;
    const TitleFontSizes sizes = titleFontSizes(surface.height(), style.FontSize);
    const QColor colour = titleColour(style.ForeColor);
    surface.setFontName(style.FontName);
    surface.setFontSize(sizes.spine);
    surface.setBold(style.FontBold);
    surface.setItalic(style.FontItalic);
    surface.setUnderline(style.FontUnderline);

    // An empty title draws nothing at all. (Drawing a blank in its place would still
    // show the underline of an underlined style.) A title typed as blanks is drawn as
    // typed, underline included.
    if (drawSpine) {
        const QString &text = style.SpineText;
        surface.setTextAngle(270);
        // Along the spine the title has the picture's height; across it, a slim case's
        // spine piece is as wide as the spine (the bands of a back sheet keep the size
        // their sheet gives them).
        fittedSize(surface, text, sizes.spine, h, w);
        const double tw = surface.textWidth(text);
        const double th = surface.textHeight(text);
        const double y = (h - tw) / 2;
        if (spine == Spine::Centred) {
            steps.run(QStringLiteral("spine"),
                      [&] { return drawAt(surface, text, (w + th) / 2, y, colour); });
        } else {
            // The band width is a 16-bit value; a sheet too wide for it gets no spine.
            const auto band = toInt16(7.0 / 151.0 * w);
            steps.run(QStringLiteral("left spine"), [&] {
                return band && drawAt(surface, text, (*band - th) / 2 + th, y, colour);
            });
            steps.run(QStringLiteral("right spine"), [&] {
                return band && drawAt(surface, text, w - (*band - th) / 2, y, colour);
            });
        }
    }

    if (front != Front::None) {
        surface.setTextAngle(0);
        surface.setFontSize(sizes.front);
        if (drawFront) {
            const QString &text = style.CoverText;
            fittedSize(surface, text, sizes.front, front == Front::RightHalf ? w / 2 : w, h);
            const double tw = surface.textWidth(text);
            double x = (w - tw) / 2;
            double y = h / 7;
            if (front == Front::RightHalf)
                x = w / 2 + (w / 2 - tw) / 2;
            else if (front == Front::CentredFifth)
                y = h / 5;
            steps.run(QStringLiteral("front"), [&] { return drawAt(surface, text, x, y, colour); });
        }
    }
    return surface.giveOut();
}

} // namespace

TitleFontSizes titleFontSizes(int pictureHeight, double fontSize)
{
    const double perPixel = pictureHeight / 311.0;
    return {floorToInt(perPixel * fontSize), floorToInt(perPixel * (fontSize + 2))};
}

TitledPictures TitleRenderer::render(const TitleRun &run)
{
    TitledPictures out;
    out.image1 = run.clean1;
    out.image2 = run.clean2;
    out.image3 = run.clean3;

    auto title = [&](Target target, const QImage &clean, Spine spine, Front front) {
        return titleOne(m_surfaces[target], clean, run, spine, front);
    };

    const FormatTraits &traits = formatTraits(run.formatIndex);
    const auto &places = traits.titles;
    if (traits.isSlim()) {
        // Slim cases: the pieces cut from picture 1 carry its titles.
        out.slimSpine = title(SpinePiece, run.slimSpine, places[0].spine, Front::None);
        out.slimFront = title(FrontPiece, run.slimFront, Spine::None, places[0].front);
        return out;
    }
    if (traits.backOverlay) {
        // Picture area 2 keeps its clean picture; the titled back sheet lies over it.
        // Picture 2 itself is not titled here, so its surface serves the overlay: the
        // same picture at the same size, and no third full-size buffer kept.
        out.overlay = title(Picture2, run.clean2, places[1].spine, places[1].front);
        out.overlayVisible = true;
        out.image1 = title(Picture1, run.clean1, places[0].spine, places[0].front);
        return out;
    }
    out.image1 = title(Picture1, run.clean1, places[0].spine, places[0].front);
    out.image2 = title(Picture2, run.clean2, places[1].spine, places[1].front);
    out.image3 = title(Picture3, run.clean3, places[2].spine, places[2].front);
    return out;
}

void TitleRenderer::clear()
{
    for (PictureSurface &surface : m_surfaces)
        surface.clear();
}

} // namespace vt
