#pragma once
// Opening a web address or a local file with the desktop's default program.
#include <QString>

namespace vt {

// A text with "://" is an address, anything else a file path. Returns at once: the
// opened program runs on its own. False when nothing could be asked to open it.
bool openInShell(const QString &target);

} // namespace vt
