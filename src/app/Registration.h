#pragma once
// Lets the desktop open *.vtr project files with this program: a freedesktop MIME
// package for the file type and a desktop entry that starts the executable with the
// file. Written on every installed-mode start; failures are ignored.
#include <QString>

namespace vt {

inline constexpr auto ProjectMimeType = "application/x-vantrelo-project";

// One argument of a desktop entry's Exec key, quoted and escaped so that blanks,
// quotes, "$", "`", "%" and backslashes in it are taken literally.
QString desktopExecArgument(const QString &arg);

// A string value of a desktop entry: backslashes and control characters escaped.
QString desktopStringValue(const QString &text);

QString desktopEntryText(const QString &executablePath, const QString &iconPath);
QString mimePackageText();

// $XDG_DATA_HOME, or ~/.local/share when unset or not absolute.
QString userDataHome();

// Writes both files under dataHome and starts the desktop's cache updaters, if present,
// without waiting for them. Returns whether both files were written.
bool registerProjectFileType(const QString &executablePath, const QString &iconPath, const QString &dataHome);

} // namespace vt
