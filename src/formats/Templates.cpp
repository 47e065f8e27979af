#include "formats/Templates.h"

#include "formats/CoverPictures.h"

#include <QFileInfo>

namespace vt {

std::array<QString, 3> placeholderPaths(int i)
{
    auto one = [](const char *folder, const char *file = "01 Empty Smile.jpg") {
        return QStringLiteral("Modelli/%1/%2").arg(QLatin1String(folder), QLatin1String(file));
    };
    switch (i) {
    case 0: case 16: case 17: return {one("Box"), {}, {}};
    case 1: case 2: case 19: return {one("Box Slim"), {}, {}};
    case 3: case 4: case 6: case 7: return {one("CD-DVD Front"), one("CD-DVD Back"), {}};
    case 5: case 8: return {one("CD-DVD Front and Inside"), {}, {}};
    case 9: return {one("VHS"), {}, {}};
    case 10: case 11: case 12: case 13: case 14: return {one("CD-DVD"), one("CD-DVD"), one("CD-DVD")};
    case 15: return {one("Box Blue-Ray"), {}, {}};
    case 18: return {one("PSP"), {}, {}};
    case 20: return {one("Box Slim Blue-Ray", "01 Empty Smile 7 mm.jpg"), {}, {}};
    case 21: return {one("Box Slim Blue-Ray", "02 Empty Smile 9 mm.jpg"), {}, {}};
    default: return {};
    }
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
                          const PictureLoader &load, const QString &wordsKey)
{
    const auto relative = placeholderPaths(formatIndex);
    for (int slot = 0; slot < 3; ++slot) {
        if (relative[size_t(slot)].isEmpty())
            continue;
        ImageSlot &s = pictures.imageSlots[size_t(slot)];
        if (!isFreeForPlaceholder(slot, s.Path))
            continue;
        const QString path = appPath + u'/' + relative[size_t(slot)];
        if (s.Path == path && !s.CleanCopy.isNull() && s.CleanCopy.text(QStringLiteral("vtWords")) == wordsKey)
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
