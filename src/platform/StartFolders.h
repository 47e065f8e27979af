#pragma once
// Where the file dialogs start: the folder the user last used for that kind of file,
// otherwise the user's documents or pictures folder; never the program's own folder,
// which an installed program cannot write and where no user file belongs.
#include <QString>

namespace vt {

enum class StartFolderKind { Documents, Pictures };

// The desktop's folder of that kind (QStandardPaths), or the home folder when the
// desktop has none that exists.
QString standardStartFolder(StartFolderKind kind);

// lastUsed while it is an existing folder other than appPath itself, otherwise
// standardFolder while it exists, otherwise the home folder.
QString chooseStartFolder(const QString &lastUsed, const QString &standardFolder, const QString &appPath);

} // namespace vt
