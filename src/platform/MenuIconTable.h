#pragma once
// Which picture each menu entry shows before its caption. Entries are found by the
// action's object name; the Format menu's items share one name and are told apart by
// their format index.
#include <QString>

#include <span>

namespace vt {

struct MenuIconEntry
{
    const char *objectName;
    int firstIndex; // -1: every action of that name
    int lastIndex;
    const char *icon; // a Tango icon name, or one of the program's own pictures
};

std::span<const MenuIconEntry> menuIconTable();

// The icon name for an action, or an empty text when it has none.
QString menuIconFor(const QString &objectName, int index = -1);

// The pictures the program draws itself, for the subjects the Tango library lacks.
std::span<const char *const> ownMenuPictures();

} // namespace vt
