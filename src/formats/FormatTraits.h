#pragma once
// What a format is, in one table: one row per entry of the format list, saying what kind
// of insert it is, how many pictures it shows, where its titles go and which template
// fills an empty slot. The catalogue (Covers.ini) adds the sizes and print positions;
// everything that used to be decided by comparing format indexes is read from here.
#include <QRect>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

namespace vt {

// Where a picture's spine title goes, at angle 270.
enum class SpineTitle {
    None,
    // Centred both ways: the fold of a one-sheet cover, or a slim case's spine piece.
    Centred,
    // Once in each band 7/151 of the width along the left and right edges (the back
    // sheet of a jewel case, whose side strips fold into spines).
    Bands,
};

// Where a picture's front title goes, at angle 0.
enum class FrontTitle {
    None,
    RightHalf,      // centred in the right half, top at H/7
    CentredSeventh, // centred across, top at H/7
    CentredFifth,   // centred across, top at H/5
};

struct TitlePlace
{
    SpineTitle spine = SpineTitle::None;
    FrontTitle front = FrontTitle::None;
};

enum class FormatKind {
    Sheet,     // one or two flat sheets (case wraps, jewel-case booklets and backs)
    SlimCase,  // one wrap printed as back, spine and front pieces
    DiscLabel, // round labels
};

struct FormatTraits
{
    FormatKind kind = FormatKind::Sheet;
    int slotCount = 1;       // picture slots the format shows: 1 to 3
    int slimSpineMm = 0;     // slim cases: the spine's width; 0 otherwise
    bool backOverlay = false; // area 2 shows picture 2 with spine titles in its side bands
    // The titles of pictures 1 to 3. For a slim case, the spine title goes on the spine
    // piece and the front title on the front piece, both cut from picture 1.
    std::array<TitlePlace, 3> titles{};
    // Templates for empty slots, relative to the program folder; empty: none.
    std::array<const char *, 3> templates{};
    int firstAreaTopTwips = 200; // area 1 below the sheet's top edge in the preview
    // Slim cases: the wrap's width the pieces are laid out on (the case's own width, as
    // the catalogue ships it), so the pieces keep their places when a size is edited.
    int slimWrapMm = 0;

    bool isSlim() const { return kind == FormatKind::SlimCase; }
    bool isDisc() const { return kind == FormatKind::DiscLabel; }
};

inline constexpr int FormatTraitsCount = 22;

// The row of a format; a blank row (no titles, no templates, one slot) for an index the
// table does not hold, such as -1 for no selection.
const FormatTraits &formatTraits(int formatIndex);

// The pieces of a slim case, in millimetres from the wrap's left edge. The spine is
// centred: it starts at S = (width − spine) / 2. The front starts at K, S + spine rounded
// half to even to whole millimetres, and back and front are both width − K wide (the
// back runs under the spine). The picture cut, the preview and the print all use it.
struct SlimPieces
{
    double spineStart = 0; // S
    double frontStart = 0; // K
    double pieceWidth = 0; // width of back and front: width − K
    double spineWidth = 0; // what the spine piece is drawn: width − 2 S
};
SlimPieces slimPieces(double wrapWidthMm, int spineMm);
// The pieces of a slim format at its wrap width; all zero for other formats.
SlimPieces slimPiecesOf(int formatIndex);

// The pixel rectangles of the three pieces in a picture W x H laid out as the whole wrap:
// the millimetres of slimPiecesOf, scaled by W / wrap width and rounded half to even.
// Back: from the left edge to where the front starts; spine: its S to S + spine;
// front: from K to the right edge. None for a format that is no slim case or an empty
// picture.
struct SlimCuts
{
    QRect back, spine, front;
};
std::optional<SlimCuts> slimCuts(int W, int H, int formatIndex);

// A disc label's circle in its area: the largest circle centred in the rectangle. The
// preview and the print both outline and place labels with it.
QRectF discSquare(const QRectF &area);

} // namespace vt
