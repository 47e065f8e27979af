#pragma once
// Where everything of the preview goes, in twips from the client area's top-left
// corner: the A4 sheet at scale, its frame, the picture areas of the format with their
// outlines, and for slim cases the back, spine and front pieces. A pure function of the
// state, so the canvas only paints what it is given.
#include "formats/FormatTraits.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <array>
#include <optional>

namespace vt {

struct AppState;

struct TwipRect
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool visible = false;

    QRectF rect() const { return {left, top, width, height}; }
    bool contains(QPointF p) const
    {
        return visible && p.x() >= left && p.x() < left + width && p.y() >= top && p.y() < top + height;
    }
    bool operator==(const TwipRect &) const = default;
};

enum class OutlineShape { Rectangle, Circle };

struct Outline
{
    TwipRect rect;
    OutlineShape shape = OutlineShape::Rectangle;
    bool dotted = false;
    QColor color;
    bool operator==(const Outline &) const = default;
};

inline const QColor OutlineBlack(0, 0, 0);
inline const QColor OutlineGrey(192, 192, 192);

// The picture views of the preview. Image5 is the toolbar and Image9 the hidden clean
// copy of slot 1, so neither appears here.
enum class PreviewView { Image1, Image2, Image3, Image4, Image6, Image7, Image8 };

struct PreviewLayout
{
    TwipRect sheet;                 // Label3
    TwipRect frame;                 // Bordo
    std::array<TwipRect, 3> areas;  // Image1..Image3
    std::array<Outline, 3> outlines; // Shape1..Shape3
    TwipRect slimBack;              // Image4
    TwipRect slimSpine;             // Image6
    TwipRect slimFront;             // Image7
    TwipRect overlay;               // Image8: area 2's rectangle when the titles use it
    bool operator==(const PreviewLayout &) const = default;
};

// Shorthands of the format table.
inline bool isSlimFormat(int formatIndex) { return formatTraits(formatIndex).isSlim(); }
inline int slimSpineMillimetres(int formatIndex) { return formatTraits(formatIndex).slimSpineMm; }

// Lays out the preview for the format. previous supplies what a step that fails keeps
// (a 16-bit sheet side that overflows keeps its previous length).
PreviewLayout arrangePreview(const AppState &state, int formatIndex, bool outlinesOn, QSizeF clientTwips,
                             const PreviewLayout &previous);


// The topmost visible picture view under a point, in stacking order.
std::optional<PreviewView> hitTest(const PreviewLayout &layout, QPointF twips);
// The picture slot (0..2) a view belongs to.
int slotOfView(PreviewView view);

// Bottom-to-top painting order of the picture views (outlines are painted last, the
// sheet and frame first).
inline constexpr std::array<PreviewView, 7> PaintOrder = {
    PreviewView::Image1, PreviewView::Image2, PreviewView::Image6, PreviewView::Image8,
    PreviewView::Image3, PreviewView::Image4, PreviewView::Image7};

const TwipRect &viewRect(const PreviewLayout &layout, PreviewView view);

} // namespace vt
