#pragma once
#include <QString>

namespace vt {

// The text with every "&" removed: a menu caption used as plain text.
QString StripAmpersands(const QString &text);

// The folder part of a path, without the trailing separator; empty when the path
// has no separator.
QString TrovaPath(const QString &path);

} // namespace vt

namespace vt {

// A text stored as one line of a line-per-value file: any line break inside it
// would shift every later value, so breaks become blanks.
QString singleLine(const QString &text);

} // namespace vt

namespace vt {

// A text read from a file, made safe to show on a terminal or in a box: control
// characters (ESC, BEL, line breaks, DEL and the C1 range) become "\x1b"-style escapes,
// so a binary file can neither drive the terminal nor scramble the message.
QString escapeControls(const QString &text);

} // namespace vt
