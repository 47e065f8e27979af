#pragma once
// Placeholder pictures: a slot the user has not filled shows a template drawn for the
// selected format, loaded from Modelli/ beside the executable.
#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace vt {

struct CoverPictures;

// Relative paths ("Modelli/Box/01 Empty Smile.jpg") for slots 1..3 of a format; empty
// where the format names no placeholder.
std::array<QString, 3> placeholderPaths(int formatIndex);

// A slot is free for a placeholder when its path is blank or ends with a placeholder's
// file name (exact, case-sensitive), wherever the file lies.
bool isFreeForPlaceholder(int slot, const QString &path);

using PictureLoader = std::function<QImage(const QString &path)>;

// A loader that starts decoding files at once, each on a thread of its own, and hands
// out each one's picture the first time it is asked for; any other file, and a file
// asked for again, goes to load. For the start, which knows which placeholders it will
// show well before it shows them. load must be safe to call from several threads.
PictureLoader loaderDecodingAhead(const QStringList &files, PictureLoader load);

// The placeholder files a format shows, beside the program in appPath.
QStringList placeholderFiles(int formatIndex, const QString &appPath);

// A slot's picture as shown, for the placeholder rules below.
struct ShownPicture
{
    QString path;
    QImage picture;
};

// Puts the format's placeholder for a slot into what the slot shows, when the slot is
// free for one: true when it changed. A placeholder already showing with the same words
// is not decoded again; one that cannot be read takes the path but keeps the picture.
bool takePlaceholder(ShownPicture &shown, int formatIndex, int slot, const QString &appPath,
                     const PictureLoader &load, const QString &wordsKey);

// Loads the format's placeholders into the free slots. A slot holding a user's picture
// is never touched; a free slot for which the format names no placeholder is left as it
// is. A placeholder already showing is not decoded again.
// wordsKey: the language the placeholders' words are drawn in (templateWordsKey); a
// placeholder showing words of another language is loaded again.
void CaricaCopertineSmile(CoverPictures &pictures, int formatIndex, const QString &appPath,
                          const PictureLoader &load, const QString &wordsKey = QString());

} // namespace vt
