#pragma once
// The cover as it is shown and printed: each picture area's picture with its titles,
// the overlay of a jewel-case back, and a slim case's three pieces. One renderer serves
// the preview, the print dialog and the batch modes, so all show the same pixels.
#include "document/CoverDocument.h"
#include "document/ProjectLoad.h"
#include "platform/PictureSurface.h"
#include "formats/CoverPictures.h"
#include "print/CoverOutput.h"
#include "print/PagePainter.h"

#include <QImage>
#include <QSizeF>
#include <array>
#include <memory>

namespace vt {

class TitleRenderer;
struct AppState;

// The true size in millimetres of the areas pictures 1 to 3 fill in a format, as the
// catalogue gives them: a slim case's picture 1 fills the whole wrap, a disc label its
// square. Empty for an area the format does not have.
using AreaSizes = std::array<QSizeF, 3>;
AreaSizes areaSizesMm(const AppState &state, int formatIndex);

// A project's pictures as the printed page needs them and no larger: each decoded at
// no less than MaxPrintPixelsPerInch of the part its area shows, by its placement in the
// project's format (see printPictureSize). For a cover that is printed as loaded (the
// batch modes): a placement or format changed afterwards may need more. Reads state's
// catalogue when called, so state must outlive the loader.
SlotPictureLoader printResolutionLoader(const AppState &state);

struct RenderedCover
{
    std::array<QImage, 3> areas;  // what picture areas 1 to 3 show
    std::array<QImage, 3> clean;  // the same before titles: each picture placed in its area
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
    // Each picture is first composed into its area's shape by its placement, then
    // titled: the titles are drawn on what the area shows, so nothing stretches them.
    RenderedCover render(const CoverContent &content, const AreaSizes &areasMm);

private:
    QImage composed(int slot, const CoverSlot &picture, QSizeF areaMm);
    void cutSlimPieces(const QImage &wrap, int format);

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
    // The last composition of each slot, kept while its picture, placement and area stay.
    struct Composed
    {
        qint64 sourceKey = 0;
        Placement placement;
        QSizeF area;
        QImage image;
    };
    std::array<Composed, 3> m_composed;
};

// The pictures a page draws, from a rendered cover.
PagePictures pagePicturesOf(const RenderedCover &cover);
// The same from the pictures the window shows.
PagePictures pagePicturesOf(const CoverPictures &shown);

// The printed page of the cover: its format's pictures and outlines as the catalogue in
// state places them. The composer reads state when it runs.
PageComposer coverComposer(const AppState &state, const CoverContent &cover);

} // namespace vt
