#include "app/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vt {

QString portableMarkerPath(const QString &appPath)
{
    return appPath + QStringLiteral("/Files/Portable.ini");
}

bool isPortable(const QString &appPath)
{
    return QFileInfo::exists(portableMarkerPath(appPath));
}

QString userFilesFolder()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/vantrelo/Files");
}

QString writableFilesFolder(const QString &appPath)
{
    return isPortable(appPath) ? appPath + QStringLiteral("/Files") : userFilesFolder();
}

QString settingsFilePath(const QString &appPath)
{
    return writableFilesFolder(appPath) + QStringLiteral("/Vantrelo.ini");
}

QString catalogueFilePath(const QString &appPath)
{
    return writableFilesFolder(appPath) + QStringLiteral("/Covers.ini");
}

void prepareWritableFolder(const QString &appPath)
{
    if (isPortable(appPath))
        return;
    const QString folder = userFilesFolder();
    QDir().mkpath(folder);
    const QString catalogue = folder + QStringLiteral("/Covers.ini");
    if (!QFileInfo::exists(catalogue))
        QFile::copy(appPath + QStringLiteral("/Files/Covers.ini"), catalogue);
}

} // namespace vt
