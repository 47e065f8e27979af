#pragma once
// The callers of the file dialogs describe filters as (description, pattern) pairs in
// one text, each part followed by a NUL character. This is where that form meets Qt's.
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace vt {

// Longest paths the dialogs hand back. Longer ones are refused (an empty result)
// rather than cut, which would name a different file.
inline constexpr int OpenDialogPathLimit = 250;
inline constexpr int FileDialogPathLimit = 256;

QString makeFilter(const std::vector<std::pair<QString, QString>> &pairs);

// "Pictures (*.jpg)", "All files (*)"; "*.*" becomes "*" so that files without an
// extension are listed too. A description without its pattern is dropped.
QStringList toQtNameFilters(const QString &filter);

// "*.jpg" -> "*.[jJ][pP][gG]": the same files, whatever the case of their names.
QString caseInsensitivePattern(const QString &pattern);

// One pattern per picture format the program reads (every format Qt's image plugins
// decode here), each case-insensitive, separated by ";".
QString readablePicturePatterns();

// True when a pattern of the filter matches the file name, as the file dialogs match.
bool filterMatches(const QString &qtNameFilter, const QString &fileName);

// The text before the first NUL, or all of it.
QString StripAtNull(const QString &text);

// The chosen path, or an empty text when it is longer than the limit.
QString limitDialogPath(const QString &path, int limit);

} // namespace vt
