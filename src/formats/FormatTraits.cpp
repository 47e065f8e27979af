#include "formats/FormatTraits.h"

#include "common/Numbers.h"

#include <algorithm>

namespace vt {

namespace {

constexpr TitlePlace foldAndRightHalf{SpineTitle::Centred, FrontTitle::RightHalf};
constexpr TitlePlace rightHalfOnly{SpineTitle::None, FrontTitle::RightHalf};
constexpr TitlePlace fifthOnly{SpineTitle::None, FrontTitle::CentredFifth};
constexpr TitlePlace bandsOnly{SpineTitle::Bands, FrontTitle::None};
constexpr TitlePlace seventhOnly{SpineTitle::None, FrontTitle::CentredSeventh};
constexpr TitlePlace slimTitles{SpineTitle::Centred, FrontTitle::CentredSeventh};
constexpr TitlePlace none{};

constexpr const char *Box = "Modelli/Box/01 Empty Smile.jpg";
constexpr const char *BoxSlim = "Modelli/Box Slim/01 Empty Smile.jpg";
constexpr const char *Front = "Modelli/CD-DVD Front/01 Empty Smile.jpg";
constexpr const char *Back = "Modelli/CD-DVD Back/01 Empty Smile.jpg";
constexpr const char *Inside = "Modelli/CD-DVD Front and Inside/01 Empty Smile.jpg";
constexpr const char *Vhs = "Modelli/VHS/01 Empty Smile.jpg";
constexpr const char *Disc = "Modelli/CD-DVD/01 Empty Smile.jpg";
constexpr const char *BluRay = "Modelli/Box Blue-Ray/01 Empty Smile.jpg";
constexpr const char *Psp = "Modelli/PSP/01 Empty Smile.jpg";
constexpr const char *BluRaySlim7 = "Modelli/Box Slim Blue-Ray/01 Empty Smile 7 mm.jpg";
constexpr const char *BluRaySlim9 = "Modelli/Box Slim Blue-Ray/02 Empty Smile 9 mm.jpg";

using K = FormatKind;

// clang-format off
constexpr std::array<FormatTraits, FormatTraitsCount> Table = {{
    //  kind          slots spine overlay  titles of pictures 1..3                 templates 1..3                 top
    /* 0 DVD case          */ {K::Sheet,     1, 0, false, {foldAndRightHalf, none, none},  {Box, nullptr, nullptr},      200},
    /* 1 DVD slim 7 mm     */ {K::SlimCase,  1, 7, false, {slimTitles, none, none},        {BoxSlim, nullptr, nullptr},  200, 267},
    /* 2 DVD slim 9 mm     */ {K::SlimCase,  1, 9, false, {slimTitles, none, none},        {BoxSlim, nullptr, nullptr},  200, 269},
    /* 3 jewel front+back  */ {K::Sheet,     2, 0, true,  {fifthOnly, bandsOnly, none},    {Front, Back, nullptr},       200},
    /* 4 jewel front       */ {K::Sheet,     1, 0, false, {fifthOnly, none, none},         {Front, nullptr, nullptr},    200},
    /* 5 jewel front+inside*/ {K::Sheet,     1, 0, false, {rightHalfOnly, none, none},     {Inside, nullptr, nullptr},   200},
    /* 6 mini front+back   */ {K::Sheet,     2, 0, true,  {fifthOnly, bandsOnly, none},    {Front, Back, nullptr},       200},
    /* 7 mini front        */ {K::Sheet,     1, 0, false, {fifthOnly, none, none},         {Front, nullptr, nullptr},    200},
    /* 8 mini front+inside */ {K::Sheet,     1, 0, false, {rightHalfOnly, none, none},     {Inside, nullptr, nullptr},   100},
    /* 9 VHS box           */ {K::Sheet,     1, 0, false, {foldAndRightHalf, none, none},  {Vhs, nullptr, nullptr},      200},
    /* 10 CD label         */ {K::DiscLabel, 1, 0, false, {seventhOnly, seventhOnly, seventhOnly}, {Disc, Disc, Disc},   200},
    /* 11 mini CD label    */ {K::DiscLabel, 1, 0, false, {seventhOnly, seventhOnly, seventhOnly}, {Disc, Disc, Disc},   200},
    /* 12 two CD labels    */ {K::DiscLabel, 2, 0, false, {seventhOnly, seventhOnly, seventhOnly}, {Disc, Disc, Disc},   200},
    /* 13 two mini labels  */ {K::DiscLabel, 2, 0, false, {seventhOnly, seventhOnly, seventhOnly}, {Disc, Disc, Disc},   200},
    /* 14 three mini labels*/ {K::DiscLabel, 3, 0, false, {seventhOnly, seventhOnly, seventhOnly}, {Disc, Disc, Disc},   200},
    /* 15 Blu-ray case     */ {K::Sheet,     1, 0, false, {foldAndRightHalf, none, none},  {BluRay, nullptr, nullptr},   200},
    /* 16 console case     */ {K::Sheet,     1, 0, false, {foldAndRightHalf, none, none},  {Box, nullptr, nullptr},      200},
    /* 17 console case low */ {K::Sheet,     1, 0, false, {foldAndRightHalf, none, none},  {Box, nullptr, nullptr},      200},
    /* 18 handheld case    */ {K::Sheet,     1, 0, false, {foldAndRightHalf, none, none},  {Psp, nullptr, nullptr},      200},
    /* 19 DVD slim 5 mm    */ {K::SlimCase,  1, 5, false, {slimTitles, none, none},        {BoxSlim, nullptr, nullptr},  200, 261},
    /* 20 Blu-ray slim 7 mm*/ {K::SlimCase,  1, 7, false, {slimTitles, none, none},        {BluRaySlim7, nullptr, nullptr}, 200, 258},
    /* 21 Blu-ray slim 9 mm*/ {K::SlimCase,  1, 9, false, {slimTitles, none, none},        {BluRaySlim9, nullptr, nullptr}, 200, 260},
}};
// clang-format on

} // namespace

const FormatTraits &formatTraits(int i)
{
    static const FormatTraits blank{};
    return i >= 0 && i < FormatTraitsCount ? Table[size_t(i)] : blank;
}

SlimPieces slimPieces(double width, int spineMm)
{
    SlimPieces p;
    p.spineStart = (width - spineMm) / 2;
    p.frontStart = roundHalfEven(p.spineStart + spineMm);
    p.pieceWidth = width - p.frontStart;
    p.spineWidth = width - 2 * p.spineStart;
    return p;
}

SlimPieces slimPiecesOf(int formatIndex)
{
    const FormatTraits &t = formatTraits(formatIndex);
    return t.isSlim() ? slimPieces(t.slimWrapMm, t.slimSpineMm) : SlimPieces{};
}

std::optional<SlimCuts> slimCuts(int W, int H, int formatIndex)
{
    const FormatTraits &t = formatTraits(formatIndex);
    if (!t.isSlim() || W <= 0 || H <= 0)
        return std::nullopt;
    const SlimPieces p = slimPiecesOf(formatIndex);
    const double perMm = double(W) / t.slimWrapMm;
    auto px = [perMm](double mm) { return int(roundHalfEven(mm * perMm)); };
    const int backRight = px(p.pieceWidth);
    const int spineLeft = px(p.spineStart);
    const int spineRight = px(p.spineStart + t.slimSpineMm);
    const int frontLeft = px(p.frontStart);
    return SlimCuts{QRect(0, 0, backRight, H), QRect(spineLeft, 0, spineRight - spineLeft, H),
                    QRect(frontLeft, 0, W - frontLeft, H)};
}

QRectF discSquare(const QRectF &area)
{
    const double d = std::min(area.width(), area.height());
    return {area.center().x() - d / 2, area.center().y() - d / 2, d, d};
}

} // namespace vt
