#include "document/CoverRender.h"

#include "formats/FormatTraits.h"
#include "formats/TitleRendering.h"

namespace vt {

CoverRenderer::CoverRenderer() : m_titles(std::make_unique<TitleRenderer>()) {}

CoverRenderer::~CoverRenderer() = default;

void CoverRenderer::cutSlimPieces(const CoverContent &content)
{
    const int i = content.format;
    if (!formatTraits(i).isSlim())
        return;
    const QImage &clean = content.pictures[0].picture;
    // The same picture cut the same way gives the same pieces.
    if (clean.cacheKey() == m_slimCut.sourceKey && i == m_slimCut.format)
        return;
    const auto cuts = slimCuts(clean.width(), clean.height(), i);
    if (!cuts)
        return; // the pieces keep the pictures they had
    auto piece = [&](const QRect &r) {
        m_cutSurface.takeIn(clean);
        m_cutSurface.cut(r.x(), r.y(), r.width(), r.height());
        QImage out = m_cutSurface.giveOut();
        m_cutSurface.clear();
        return out;
    };
    m_slimCut = {piece(cuts->back), piece(cuts->spine), piece(cuts->front), clean.cacheKey(), i};
}

RenderedCover CoverRenderer::render(const CoverContent &c)
{
    cutSlimPieces(c);
    RenderedCover out;
    TitleRun run;
    run.formatIndex = c.format;
    run.style = c.title;
    run.titleOnCover = c.titleOnCover;
    run.titleOnSpine = c.titleOnSpine;
    run.clean1 = c.pictures[0].picture;
    run.clean2 = c.pictures[1].picture;
    run.clean3 = c.pictures[2].picture;
    const bool slim = formatTraits(c.format).isSlim();
    if (slim) {
        run.slimSpine = m_slimCut.spine;
        run.slimFront = m_slimCut.front;
    }
    const TitledPictures titled = m_titles->render(run);
    out.areas = {titled.image1, titled.image2, titled.image3};
    out.overlay = titled.overlayVisible ? titled.overlay : c.pictures[1].picture;
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

} // namespace vt
