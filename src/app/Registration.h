#pragma once
// Lets the desktop open *.vtr project files with this program: a freedesktop MIME
// package for the file type and a desktop entry that starts the executable with the
// file. Written on every installed-mode start; failures are ignored.
#include <QString>
#include <QStringList>

namespace vt {

inline constexpr auto ProjectMimeType = "application/x-vantrelo-project";

// One argument of a desktop entry's Exec key, quoted and escaped so that blanks,
// quotes, "$", "`", "%" and backslashes in it are taken literally.
QString desktopExecArgument(const QString &arg);

// A string value of a desktop entry: backslashes and control characters escaped.
QString desktopStringValue(const QString &text);

// The per-user entry. Its last line marks it as written by the program, with a digest of
// the lines above it, so that a later start can tell it from one the user has edited.
QString desktopEntryText(const QString &executablePath, const QString &iconPath);
// True for an entry exactly as some start wrote it (of this or of another copy of the
// program), and for this executable's entry from before the mark existed.
bool isDesktopEntryWeWrote(const QByteArray &entry, const QString &executablePath, const QString &iconPath);
QString mimePackageText();

// $XDG_DATA_HOME, or ~/.local/share when unset or not absolute.
QString userDataHome();

// Writes both files under dataHome and starts the desktop's cache updaters, if present,
// without waiting for them. A desktop entry already there is replaced only when it is
// still byte for byte what a start wrote. Returns whether both files were written.
bool registerProjectFileType(const QString &executablePath, const QString &iconPath, const QString &dataHome);

// $XDG_DATA_DIRS as a list, or /usr/local/share and /usr/share when unset.
QStringList systemDataDirs();

// True when a package (or `cmake --install` into a prefix the desktop searches) has
// registered this copy system-wide: the prefix's share folder, appPath/../../share, is
// one of dataDirs and holds both the desktop entry and the MIME package.
bool systemWideRegistrationCovers(const QString &appPath, const QStringList &dataDirs);

// The installed-mode start: a copy the system already registers adds nothing per user,
// and withdraws what an earlier start of the same executable wrote there, so the user's
// entry does not shadow the package's one or outlive it. Any other installed copy
// (e.g. one unpacked under /opt) registers itself per user as before. Returns true when
// the per-user files were written.
bool registerInstalledCopy(const QString &appPath, const QString &executablePath, const QString &iconPath,
                           const QString &dataHome, const QStringList &dataDirs);

} // namespace vt
