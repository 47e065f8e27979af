#pragma once
// The cover's title: a front text and a spine text sharing one font, size, style
// and colour. Kept by the main window for the run and saved only in projects.
#include <QString>

namespace vt {

struct TitleStyle
{
    QString CoverText;
    QString SpineText;
    QString FontName = QStringLiteral("Arial");
    float FontSize = 15.75f; // points, as the user chose it; the renderer scales it per picture
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    quint32 ForeColor = 0x0000FF; // red in the low byte, then green, then blue: red

    bool operator==(const TitleStyle &) const = default;
};

} // namespace vt
