#pragma once
// The pictures the preview draws from: large photos reduced to what the screens can show
// (previewPictureSide), kept per slot until the photo, the screen or the zoom changes.
// Print never uses them: it draws from the document's own pictures.
#include "document/CoverDocument.h"

#include <QImage>
#include <array>

namespace vt {

class PreviewSources
{
public:
    // The cover as the preview draws it: c with its large pictures reduced.
    CoverContent shown(const CoverContent &c);
    // Whether the last shown cover had a reduced picture (print must render anew).
    bool reduced() const { return m_reduced; }

private:
    QImage pictureFor(int slot, const CoverSlot &picture);

    struct Kept
    {
        qint64 sourceKey = 0;
        int side = 0;
        QImage image;
    };
    std::array<Kept, 3> m_kept;
    bool m_reduced = false;
};

} // namespace vt
