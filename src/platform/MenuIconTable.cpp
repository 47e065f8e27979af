#include "platform/MenuIconTable.h"

#include <array>

namespace vt {

namespace {

constexpr const char *BookCase = "case-book-open";
constexpr const char *DiscCase = "case-disc";
constexpr const char *VideoTape = "video-tape";
constexpr const char *BlueDisc = "disc-blue";
constexpr const char *SeveralDiscs = "discs-several";
constexpr const char *Handheld = "console-handheld";

constexpr std::array<const char *, 6> OwnPictures{BookCase, DiscCase, VideoTape, BlueDisc, SeveralDiscs, Handheld};

// The help menu's own entry on the menu bar ("mnuGuida") has no picture.
constexpr std::array<MenuIconEntry, 34> Table{{
    {"mnuFile", -1, -1, "document-new"},
    {"mnuApriDS", -1, -1, "document-open"},
    {"mnuSalva", -1, -1, "document-save"},
    {"mnuSalvaConNome", -1, -1, "document-save-as"},
    {"mnuFileApri", -1, -1, "list-add"},
    {"mnuImg2", -1, -1, "list-add"},
    {"mnuImg3", -1, -1, "list-add"},
    {"mnuFileStampa", -1, -1, "document-print"},
    {"mnuFileEsci", -1, -1, "system-log-out"},
    {"mnuFormato", -1, -1, DiscCase},
    {"mnuFormato1", 0, 2, BookCase},
    {"mnuFormato1", 3, 8, DiscCase},
    {"mnuFormato1", 9, 9, VideoTape},
    {"mnuFormato1", 10, 10, "media-optical"},
    {"mnuFormato1", 11, 11, BlueDisc},
    {"mnuFormato1", 12, 14, SeveralDiscs},
    {"mnuFormato1", 15, 15, DiscCase},
    {"mnuFormato1", 16, 17, "input-gaming"},
    {"mnuFormato1", 18, 18, Handheld},
    {"mnuFormato1", 19, 19, BookCase},
    {"mnuFormato1", 20, 21, DiscCase},
    {"mnuStrumenti", -1, -1, "applications-accessories"},
    {"mnuOpzioni", -1, -1, "emblem-system"},
    {"mnuTitolo", -1, -1, "edit-select-all"},
    {"mnuCercaCover", -1, -1, "system-search"},
    {"mnuCercaCoverSito", 0, 5, "applications-internet"},
    {"mnuLingua", -1, -1, "internet-web-browser"},
    {"mnuAggLingua", -1, -1, "text-html"},
    {"mnuDonazioni", -1, -1, "face-wink"},
    {"mnuDonazioniFaiunadonazione", -1, -1, "face-smile"},
    {"mnuMenu1Guida", -1, -1, "help-browser"},
    {"mnuVersione", -1, -1, "text-x-generic"},
    {"mnuAggiornamenti", -1, -1, "system-software-update"},
    {"mnuMenu1Informazioni", -1, -1, "dialog-information"},
}};

} // namespace

std::span<const MenuIconEntry> menuIconTable()
{
    return Table;
}

QString menuIconFor(const QString &objectName, int index)
{
    for (const MenuIconEntry &e : menuIconTable()) {
        if (objectName != QLatin1String(e.objectName))
            continue;
        if (e.firstIndex < 0 || (index >= e.firstIndex && index <= e.lastIndex))
            return QString::fromLatin1(e.icon);
    }
    return QString();
}

std::span<const char *const> ownMenuPictures()
{
    return OwnPictures;
}

} // namespace vt
