#include "formats/Templates.h"

#include "formats/CoverPictures.h"
#include "formats/FormatTraits.h"

#include <QFileInfo>

namespace vt {

std::array<QString, 3> placeholderPaths(int i)
{
    std::array<QString, 3> out;
    const auto &names = formatTraits(i).templates;
    for (size_t k = 0; k < out.size(); ++k)
        if (names[k])
            out[k] = QLatin1String(names[k]);
    return out;
}

bool isFreeForPlaceholder(int slot, const QString &path)
{
    if (path.trimmed().isEmpty())
        return true;
    if (path.endsWith(QStringLiteral("01 Empty Smile.jpg")))
        return true;
    return slot == 0
           && (path.endsWith(QStringLiteral("Empty Smile 7 mm.jpg"))
               || path.endsWith(QStringLiteral("Empty Smile 9 mm.jpg")));
}

void CaricaCopertineSmile(CoverPictures &pictures, int formatIndex, const QString &appPath,
                          const PictureLoader &load)
{
    const auto relative = placeholderPaths(formatIndex);
    for (int slot = 0; slot < 3; ++slot) {
        if (relative[size_t(slot)].isEmpty())
            continue;
        ImageSlot &s = pictures.imageSlots[size_t(slot)];
        if (!isFreeForPlaceholder(slot, s.Path))
            continue;
        const QString path = appPath + u'/' + relative[size_t(slot)];
        if (s.Path == path && !s.CleanCopy.isNull())
            continue; // already showing: decoding it again would give the same picture
        if (!QFileInfo::exists(path))
            continue;
        const QImage picture = load(path);
        if (picture.isNull()) {
            s.Path = path; // an unreadable placeholder keeps the picture but takes the path
            continue;
        }
        putPictureInSlot(pictures, slot, picture, path);
    }
}

} // namespace vt
