#pragma once
// Where the program's files live. A file Files/Portable.ini beside the executable
// selects portable mode: everything, including the two files the program writes,
// stays in the program folder. Without it (an installed, read-only program folder)
// the settings and the catalogue are kept per user under $XDG_CONFIG_HOME.
// The marker is tested each time, never remembered: adding or removing it while the
// program runs changes what shutdown does.
#include <QString>

namespace vt {

QString portableMarkerPath(const QString &appPath);
bool isPortable(const QString &appPath);

// $XDG_CONFIG_HOME (or ~/.config) + "/vantrelo/Files".
QString userFilesFolder();

// The folder of Vantrelo.ini and Covers.ini for this start.
QString writableFilesFolder(const QString &appPath);
QString settingsFilePath(const QString &appPath);
QString catalogueFilePath(const QString &appPath);

// Installed mode: make the per-user folder and seed its catalogue from the shipped one
// the first time. Does nothing in portable mode. Failures are ignored: the program then
// runs with what it can read.
void prepareWritableFolder(const QString &appPath);

} // namespace vt
