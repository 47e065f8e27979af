#include "document/CoverRender.h"

#include "app/AppState.h"
#include "document/PlacementGeometry.h"
#include "formats/FormatTraits.h"
#include "formats/TitleRendering.h"
#include "platform/PictureLoading.h"
#include "print/PrintComposition.h"

#include <limits>

namespace vt {

AreaSizes areaSizesMm(const AppState &state, int i)
{
    AreaSizes sizes;
    const CoverFormat *f = state.Catalogue.at(i);
    if (!f)
        return sizes;
    const FormatTraits &traits = formatTraits(i);
    auto area = [&](qint32 w, qint32 h) {
        const QSizeF s(w, h);
        return traits.isDisc() ? discSquare(QRectF(QPointF(), s)).size() : s;
    };
    sizes[0] = area(f->DimA, f->DimB);
    if (traits.slotCount >= 2)
        sizes[1] = area(f->DimC, f->DimD);
    // The third label has the size of the second.
    if (traits.slotCount >= 3)
        sizes[2] = sizes[1];
    return sizes;
}

SlotPictureLoader printResolutionLoader(const AppState &state)
{
    return [&state](const QString &file, int slot, int format, const Placement &p) {
        const QSizeF area = areaSizesMm(state, format)[size_t(slot)];
        return loadPictureAtSize(file, [area, p](QSize loaded) {
            // A slot the format does not print is only read to know that it is a
            // picture: as small as the decoder makes it.
            if (area.isEmpty())
                return QSize(1, 1);
            return printPictureSize(loaded, area, p, MaxPrintPixelsPerInch);
        });
    };
}

CoverRenderer::CoverRenderer() : m_titles(std::make_unique<TitleRenderer>()) {}

CoverRenderer::~CoverRenderer() = default;

QImage CoverRenderer::composed(int slot, const CoverSlot &picture, QSizeF areaMm)
{
    if (areaMm.isEmpty()
        || (isPlainStretch(picture.placement) && hasAreaShape(picture.picture.size(), areaMm)))
        return picture.picture;
    Composed &kept = m_composed[size_t(slot)];
    if (kept.sourceKey != picture.picture.cacheKey() || kept.placement != picture.placement || kept.area != areaMm) {
        // No cap here: the composition keeps the visible part at its own density, and
        // the page reduces it to the print cap (pictureForPrint), so the cap applies to
        // what shows, and composing a large photo is mostly a crop without a copy.
        kept = {picture.picture.cacheKey(), picture.placement, areaMm,
                composeArea(picture.picture, picture.placement, areaMm, std::numeric_limits<double>::infinity())};
    }
    return kept.image;
}

void CoverRenderer::cutSlimPieces(const QImage &wrap, int i)
{
    // The same picture cut the same way gives the same pieces.
    if (wrap.cacheKey() == m_slimCut.sourceKey && i == m_slimCut.format)
        return;
    const auto cuts = slimCuts(wrap.width(), wrap.height(), i);
    if (!cuts)
        return; // the pieces keep the pictures they had
    auto piece = [&](const QRect &r) {
        m_cutSurface.takeIn(wrap);
        m_cutSurface.cut(r.x(), r.y(), r.width(), r.height());
        QImage out = m_cutSurface.giveOut();
        m_cutSurface.clear();
        return out;
    };
    m_slimCut = {piece(cuts->back), piece(cuts->spine), piece(cuts->front), wrap.cacheKey(), i};
}

RenderedCover CoverRenderer::render(const CoverContent &c, const AreaSizes &areasMm)
{
    std::array<QImage, 3> shown;
    for (int k = 0; k < 3; ++k)
        shown[size_t(k)] = composed(k, c.pictures[size_t(k)], areasMm[size_t(k)]);
    const bool slim = formatTraits(c.format).isSlim();
    if (slim)
        cutSlimPieces(shown[0], c.format);
    RenderedCover out;
    TitleRun run;
    run.formatIndex = c.format;
    run.style = c.title;
    run.titleOnCover = c.titleOnCover;
    run.titleOnSpine = c.titleOnSpine;
    run.clean1 = shown[0];
    run.clean2 = shown[1];
    run.clean3 = shown[2];
    if (slim) {
        run.slimSpine = m_slimCut.spine;
        run.slimFront = m_slimCut.front;
    }
    const TitledPictures titled = m_titles->render(run);
    out.areas = {titled.image1, titled.image2, titled.image3};
    out.clean = shown;
    out.overlay = titled.overlayVisible ? titled.overlay : shown[1];
    out.overlayVisible = titled.overlayVisible;
    out.slimBack = m_slimCut.back;
    out.slimSpine = slim ? titled.slimSpine : m_slimCut.spine;
    out.slimFront = slim ? titled.slimFront : m_slimCut.front;
    return out;
}

PagePictures pagePicturesOf(const RenderedCover &r)
{
    PagePictures p;
    p[size_t(PrintPicture::Picture1)] = r.areas[0];
    p[size_t(PrintPicture::Picture2)] = r.areas[1];
    p[size_t(PrintPicture::Overlay)] = r.overlay;
    p[size_t(PrintPicture::Picture3)] = r.areas[2];
    p[size_t(PrintPicture::SlimBack)] = r.slimBack;
    p[size_t(PrintPicture::SlimSpine)] = r.slimSpine;
    p[size_t(PrintPicture::SlimFront)] = r.slimFront;
    return p;
}

PagePictures pagePicturesOf(const CoverPictures &shown)
{
    PagePictures p;
    p[size_t(PrintPicture::Picture1)] = shown.imageSlots[0].Picture;
    p[size_t(PrintPicture::Picture2)] = shown.imageSlots[1].Picture;
    p[size_t(PrintPicture::Overlay)] = shown.image8;
    p[size_t(PrintPicture::Picture3)] = shown.imageSlots[2].Picture;
    p[size_t(PrintPicture::SlimBack)] = shown.slimBack;
    p[size_t(PrintPicture::SlimSpine)] = shown.slimSpine;
    p[size_t(PrintPicture::SlimFront)] = shown.slimFront;
    return p;
}

PageComposer coverComposer(const AppState &state, const CoverContent &cover)
{
    const int format = cover.format;
    const int outline = cover.outline ? 1 : 0;
    return [&state, format, outline](QSizeF printable, const TextMeasure &measure) {
        return composeCover(state, format, outline, printable, measure);
    };
}

} // namespace vt
