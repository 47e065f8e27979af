#pragma once
// The cover as it is shown and printed: each picture area's picture with its titles,
// the overlay of a jewel-case back, and a slim case's three pieces. One renderer serves
// the preview, the print dialog and the batch modes, so all show the same pixels.
#include "document/CoverDocument.h"
#include "platform/PictureSurface.h"
#include "print/PagePainter.h"

#include <QImage>
#include <array>
#include <memory>

namespace vt {

class TitleRenderer;

struct RenderedCover
{
    std::array<QImage, 3> areas;  // what picture areas 1 to 3 show
    QImage overlay;               // the titled back sheet over area 2 (see backOverlay)
    bool overlayVisible = false;
    QImage slimBack, slimSpine, slimFront;
};

class CoverRenderer
{
public:
    CoverRenderer();
    ~CoverRenderer();
    CoverRenderer(const CoverRenderer &) = delete;
    CoverRenderer &operator=(const CoverRenderer &) = delete;

    // Titles are drawn into buffers kept from the previous run when nobody else holds
    // that run's pictures any more: let go of them before rendering again.
    RenderedCover render(const CoverContent &content);

private:
    void cutSlimPieces(const CoverContent &content);

    std::unique_ptr<TitleRenderer> m_titles;
    PictureSurface m_cutSurface;
    // The slim pieces as cut, before titles: they depend only on slot 1's picture and
    // the format, so they are cut again only when either changes.
    struct SlimCut
    {
        QImage back, spine, front;
        qint64 sourceKey = 0;
        int format = -1;
    } m_slimCut;
};

// The pictures a page draws, from a rendered cover.
PagePictures pagePicturesOf(const RenderedCover &cover);

} // namespace vt
