#include "platform/StartFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vt {

namespace {

bool isFolder(const QString &path)
{
    return !path.trimmed().isEmpty() && QFileInfo(path).isDir();
}

} // namespace

QString standardStartFolder(StartFolderKind kind)
{
    const QString folder = QStandardPaths::writableLocation(
        kind == StartFolderKind::Pictures ? QStandardPaths::PicturesLocation : QStandardPaths::DocumentsLocation);
    return isFolder(folder) ? folder : QDir::homePath();
}

QString chooseStartFolder(const QString &lastUsed, const QString &standardFolder, const QString &appPath)
{
    const bool isProgramFolder = !appPath.isEmpty() && QDir::cleanPath(lastUsed.trimmed()) == QDir::cleanPath(appPath);
    if (isFolder(lastUsed) && !isProgramFolder)
        return lastUsed;
    if (isFolder(standardFolder))
        return standardFolder;
    return QDir::homePath();
}

} // namespace vt
