#include "app/ProgramFolders.h"

#include "app/AppState.h"
#include "common/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace vt {

QString portableMarkerPath(const QString &appPath)
{
    return appPath + QStringLiteral("/Files/Portable.ini");
}

bool isPortable(const QString &appPath)
{
    return QFileInfo::exists(portableMarkerPath(appPath));
}

void decideFolderMode(AppState &state)
{
    if (state.Mode == FolderMode::Undecided)
        state.Mode = isPortable(state.AppPath) ? FolderMode::Portable : FolderMode::Installed;
}

bool isPortable(const AppState &state)
{
    if (state.Mode == FolderMode::Undecided)
        return isPortable(state.AppPath);
    return state.Mode == FolderMode::Portable;
}

QString userFilesFolder()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/vantrelo/Files");
}

QString userDataFolder(const AppState &state)
{
    if (isPortable(state))
        return state.AppPath + QStringLiteral("/Files");
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/vantrelo");
}

QString recentProjectsFilePath(const AppState &state)
{
    return userDataFolder(state) + QStringLiteral("/RecentProjects.txt");
}

QString recoveryFilePath(const AppState &state)
{
    return userDataFolder(state) + QStringLiteral("/Recovery.vtr");
}

QString writableFilesFolder(const AppState &state)
{
    return isPortable(state) ? state.AppPath + QStringLiteral("/Files") : userFilesFolder();
}

QString settingsFilePath(const AppState &state)
{
    return writableFilesFolder(state) + QStringLiteral("/Vantrelo.ini");
}

QString catalogueFilePath(const AppState &state)
{
    return writableFilesFolder(state) + QStringLiteral("/Covers.ini");
}

QString catalogueReadPath(const AppState &state)
{
    const QString own = catalogueFilePath(state);
    if (isPortable(state) || isRegularFile(own))
        return own;
    return state.AppPath + QStringLiteral("/Files/Covers.ini");
}

bool prepareWritableFolder(const AppState &state)
{
    if (isPortable(state))
        return true;
    const QString folder = userFilesFolder();
    const bool writable = QDir().mkpath(folder) && ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
    if (!writable) {
        std::fprintf(stderr, "vantrelo: %s cannot be written; settings and format sizes will not be saved.\n",
                     QFile::encodeName(folder).constData());
        return false;
    }
    const QString catalogue = folder + QStringLiteral("/Covers.ini");
    if (!QFileInfo::exists(catalogue))
        QFile::copy(state.AppPath + QStringLiteral("/Files/Covers.ini"), catalogue);
    return true;
}

} // namespace vt
