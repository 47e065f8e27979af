#include "formats/PreviewArrangement.h"

#include "app/AppState.h"
#include "common/Numbers.h"

namespace vt {

PreviewLayout arrangePreview(const AppState &state, int i, bool outlinesOn, QSizeF clientTwips,
                             const PreviewLayout &previous)
{
    PreviewLayout l = previous;
    const double SW = clientTwips.width();
    const double SH = clientTwips.height();
    const QColor outlineColour = outlinesOn ? OutlineBlack : OutlineGrey;

    // 1. Everything format-specific starts hidden.
    for (TwipRect &a : l.areas)
        a.visible = false;
    for (Outline &o : l.outlines)
        o.rect.visible = false;
    l.slimBack.visible = l.slimSpine.visible = l.slimFront.visible = false;
    l.sheet.visible = false;

    const FormatTraits &traits = formatTraits(i);
    // 2. Round disc labels get round outlines.
    const OutlineShape shape = traits.isDisc() ? OutlineShape::Circle : OutlineShape::Rectangle;
    for (Outline &o : l.outlines)
        o.shape = shape;

    // 3. The A4 sheet at scale; a 16-bit side that overflows keeps its previous length.
    const bool landscape = state.CurrentOrientation == u"Orizzontale";
    if (const auto w = mul16(state.PreviewScale, landscape ? 297 : 210))
        l.sheet.width = *w;
    if (const auto h = mul16(state.PreviewScale, landscape ? 210 : 297))
        l.sheet.height = *h;

    // 4, 5. Centred in the client area.
    const double areaLeft = roundHalfEven((SW - state.PreviewA) / 2);
    const double T = roundHalfEven((SH - l.sheet.height) / 2);
    l.sheet.top = T;
    l.sheet.left = (SW - l.sheet.width) / 2;
    l.sheet.visible = true;

    // 6. The frame shows along the sheet's right and bottom edges.
    l.frame = {l.sheet.left, l.sheet.top, l.sheet.width + 10, l.sheet.height + 10, true};

    // 7-9. Picture area 1 and its outline.
    const double A = T + traits.firstAreaTopTwips;
    l.areas[0] = {areaLeft, A, double(state.PreviewA), double(state.PreviewB), false};
    l.outlines[0].rect = l.areas[0];
    l.outlines[0].rect.visible = true;
    l.outlines[0].color = outlineColour;
    l.outlines[0].dotted = false;

    if (traits.isSlim()) {
        // The pieces as they print: back and front each the wrap less the front's start.
        const auto backMm = toInt32(slimPiecesOf(i).pieceWidth);
        if (const auto w = backMm ? mul32(*backMm, state.PreviewScale) : std::nullopt)
            l.slimBack.width = *w;
        if (const auto w = mul16(qint16(traits.slimSpineMm), state.PreviewScale))
            l.slimSpine.width = *w;
        l.slimBack.height = l.slimSpine.height = l.slimFront.height = l.areas[0].height;
        l.slimFront.width = l.slimBack.width;
        // Neighbours overlap by 15 twips (one screen pixel), back and front on top.
        l.slimBack.left = l.areas[0].left;
        l.slimSpine.left = l.slimBack.left + l.slimBack.width - 15;
        l.slimFront.left = l.slimSpine.left + l.slimSpine.width - 15;
        l.slimBack.top = l.slimSpine.top = l.slimFront.top = l.areas[0].top;
        l.slimBack.visible = l.slimSpine.visible = l.slimFront.visible = true;
        // The spine's guide stays grey and dotted whatever the outline switch says.
        l.outlines[1] = {l.slimSpine, shape, true, OutlineGrey};
        l.outlines[1].rect.visible = true;
        l.outlines[2].rect.visible = false;
        l.outlines[0].rect.width = l.slimFront.left + l.slimFront.width - l.slimBack.left;
        return l;
    }

    l.outlines[1].dotted = false;
    l.outlines[1].color = OutlineBlack;
    l.areas[0].visible = true;
    if (state.PreviewC > 0) {
        l.areas[1] = {(SW - state.PreviewC) / 2, A + double(state.PreviewB) + 200, double(state.PreviewC),
                      double(state.PreviewD), true};
        l.outlines[1].rect = l.areas[1];
        l.outlines[1].color = outlineColour;
    }
    if (traits.slotCount == 3) {
        l.areas[2] = {(SW - state.PreviewC) / 2, A + 2.0 * state.PreviewB + 400, double(state.PreviewA),
                      double(state.PreviewB), true};
        l.outlines[2].rect = l.areas[2];
        l.outlines[2].color = outlineColour;
        l.outlines[2].dotted = false;
    }
    return l;
}

const TwipRect &viewRect(const PreviewLayout &l, PreviewView view)
{
    switch (view) {
    case PreviewView::Image1: return l.areas[0];
    case PreviewView::Image2: return l.areas[1];
    case PreviewView::Image3: return l.areas[2];
    case PreviewView::Image4: return l.slimBack;
    case PreviewView::Image6: return l.slimSpine;
    case PreviewView::Image7: return l.slimFront;
    case PreviewView::Image8: return l.overlay;
    }
    return l.areas[0];
}

std::optional<PreviewView> hitTest(const PreviewLayout &layout, QPointF p)
{
    for (auto it = PaintOrder.rbegin(); it != PaintOrder.rend(); ++it)
        if (viewRect(layout, *it).contains(p))
            return *it;
    return std::nullopt;
}

int slotOfView(PreviewView view)
{
    switch (view) {
    case PreviewView::Image2:
    case PreviewView::Image8:
        return 1;
    case PreviewView::Image3:
        return 2;
    default:
        return 0;
    }
}

} // namespace vt
