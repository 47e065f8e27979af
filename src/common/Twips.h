#pragma once
// Window geometry is designed in twips (1440 per inch); at 96 dpi one logical pixel is
// 15 twips. Layout functions keep twips and convert only at the widget boundary.
namespace vt {

inline constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / TwipsPerPixel; }

} // namespace vt
