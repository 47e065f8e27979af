#pragma once
// How a cover goes onto a sheet: the paper, the orientation that prints, the extras a
// user cutting covers by hand asks for, and the correction measured for one printer.
// Plain values shared by the print dialog, the command line and the page painter.
#include <QMarginsF>
#include <QSizeF>

namespace vt {

enum class PaperKind { A4, Letter, Legal };

// What a user measured on a printer's calibration page: the page is moved by the
// offsets and stretched by the scales. Applies to printers only, never to PDF files.
struct PrintCorrection
{
    double offsetXMm = 0;       // -20 to 20
    double offsetYMm = 0;       // -20 to 20
    double scaleXPercent = 100; // 95 to 105
    double scaleYPercent = 100; // 95 to 105

    bool isIdentity() const
    {
        return offsetXMm == 0 && offsetYMm == 0 && scaleXPercent == 100 && scaleYPercent == 100;
    }
    bool operator==(const PrintCorrection &) const = default;
};

struct PageSetup
{
    bool portrait = true;
    PaperKind paper = PaperKind::A4;
    bool cropMarks = false;     // marks outside every outline corner
    double bleedMm = 0;         // 0 to 3: pictures reach this far past their cut lines
    PrintCorrection correction; // the printer's; left at identity for PDF files
};

} // namespace vt
