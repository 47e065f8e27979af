#pragma once
// The printed cover as a list of drawing operations in millimetres, from the top-left
// corner of the printer's printable area: each picture stretched to its true size at the
// catalogue's print position, the cutting outlines when the outline switch is on (the
// outline of picture 1 last, so it lies over the others), and a one-line footer.
// Pure: one executor (PagePainter) draws the same list on a printer, a PDF or an image.
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vt {

struct AppState;

// The pictures a page can show: the titled pictures of the preview.
enum class PrintPicture { Picture1, Picture2, Overlay, Picture3, SlimBack, SlimSpine, SlimFront, Count };

struct PageOperation
{
    enum class Kind { Picture, Circle, Box, Text, Line };
    Kind kind = Kind::Picture;
    PrintPicture picture = PrintPicture::Picture1; // Picture
    // Picture and Box: the rectangle; Circle: the square around it; Text: top-left and
    // size; Line: from the rectangle's top-left to its bottom-right corner.
    QRectF rect;
    QString text; // Text
    // Picture: how far it reaches past each side of rect, its edge pixels stretched
    // outward, so that a cut a little off the line shows no white. The picture inside
    // rect stays exactly where and as large as it is without.
    QMarginsF bleedMm{};

    bool operator==(const PageOperation &) const = default;
};

struct PrintComposition
{
    QList<PageOperation> operations;
    QStringList failures; // steps that could not be done, in words
};

// Width and height of a text in the footer's font, in millimetres.
using TextMeasure = std::function<QSizeF(const QString &text)>;

// A catalogue offset as a print position in millimetres: the leading number of the
// text (point as decimal separator, 0 without one), to the hundredth of a millimetre, as
// the options dialog shows it. nullopt when it lies beyond a 32-bit integer's range.
std::optional<double> printPosition(const QString &offsetText);

// Entry 22, a blank, the version caption, " - ", entry 23.
QString footerText(const AppState &state);

// K and S of the slim cases: where the front and the spine piece start right of the
// cover's left edge (slimPiecesOf in the format table). K is 0 for other formats.
struct SlimOffsets
{
    qint16 front = 0; // K
    double spine = 0; // S
};
SlimOffsets slimOffsets(int formatIndex);

// The page for format formatIndex as the window would print it now.
// outlineSwitch: the check box's value; only 1 prints outlines.
PrintComposition composeCover(const AppState &state, int formatIndex, int outlineSwitch, QSizeF printableMm,
                              const TextMeasure &measure);

} // namespace vt
