#pragma once
// The pictures of a cover: three slots with their clean copies, and the further views
// the preview shows (the overlay of area 2 and the slim-case pieces).
#include <QImage>
#include <QString>
#include <array>

namespace vt {

struct ImageSlot
{
    QImage Picture;   // what the slot's main area shows (titled where the format titles it)
    QString Path;     // file the picture came from; empty for the blank starting picture
    QImage CleanCopy; // the picture as placed in its area, before titles; titles are drawn on a copy of it
};

struct CoverPictures
{
    std::array<ImageSlot, 3> imageSlots; // ("slots" is a Qt keyword)
    QImage image8;    // overlay of area 2
    QImage slimBack;  // Image4, and the titled spine (Image6) and front (Image7) pieces
    QImage slimSpine;
    QImage slimFront;
};

// The blank white picture every slot starts with.
QImage startingPicture();

// Puts a loaded picture into a slot: Picture and CleanCopy together (and the overlay for
// slot 2, which shows the same picture).
void putPictureInSlot(CoverPictures &pictures, int slot, const QImage &picture, const QString &path);

} // namespace vt
