#include "formats/Templates.h"

#include "formats/CoverPictures.h"
#include "formats/FormatTraits.h"

#include <QFileInfo>
#include <QHash>

#include <future>
#include <memory>

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

QStringList placeholderFiles(int formatIndex, const QString &appPath)
{
    QStringList files;
    for (const QString &relative : placeholderPaths(formatIndex))
        if (!relative.isEmpty())
            files << appPath + u'/' + relative;
    return files;
}

PictureLoader loaderDecodingAhead(const QStringList &files, PictureLoader load)
{
    auto ahead = std::make_shared<QHash<QString, std::shared_future<QImage>>>();
    for (const QString &file : files)
        if (!ahead->contains(file))
            ahead->insert(file, std::async(std::launch::async, [load, file] { return load(file); }).share());
    return [ahead, load](const QString &path) {
        const auto it = ahead->find(path);
        if (it == ahead->end())
            return load(path);
        const QImage picture = it->get();
        ahead->erase(it);
        return picture;
    };
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

bool takePlaceholder(ShownPicture &shown, int formatIndex, int slot, const QString &appPath,
                     const PictureLoader &load, const QString &wordsKey)
{
    const QString relative = placeholderPaths(formatIndex)[size_t(slot)];
    if (relative.isEmpty() || !isFreeForPlaceholder(slot, shown.path))
        return false;
    const QString path = appPath + u'/' + relative;
    if (shown.path == path && !shown.picture.isNull() && shown.picture.text(QStringLiteral("vtWords")) == wordsKey)
        return false; // already showing: decoding it again would give the same picture
    if (!QFileInfo::exists(path))
        return false;
    const QImage picture = load(path);
    if (!picture.isNull())
        shown.picture = picture;
    shown.path = path; // an unreadable placeholder keeps the picture but takes the path
    return true;
}

void CaricaCopertineSmile(CoverPictures &pictures, int formatIndex, const QString &appPath,
                          const PictureLoader &load, const QString &wordsKey)
{
    for (int slot = 0; slot < 3; ++slot) {
        ImageSlot &s = pictures.imageSlots[size_t(slot)];
        ShownPicture shown{s.Path, s.CleanCopy};
        if (!takePlaceholder(shown, formatIndex, slot, appPath, load, wordsKey))
            continue;
        if (shown.picture.cacheKey() == s.CleanCopy.cacheKey())
            s.Path = shown.path;
        else
            putPictureInSlot(pictures, slot, shown.picture, shown.path);
    }
}

} // namespace vt
