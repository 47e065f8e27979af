#pragma once
// Where the program's files live. A file Files/Portable.ini beside the executable
// selects portable mode: everything, including the two files the program writes,
// stays in the program folder. Without it (an installed, read-only program folder)
// the settings and the catalogue are kept per user under $XDG_CONFIG_HOME.
// The mode is decided once, at start, and kept in AppState: a marker added or removed
// while the program runs must not send shutdown's writes to a folder that was never
// prepared (or does not exist).
#include <QString>

namespace vt {

struct AppState;

QString portableMarkerPath(const QString &appPath);
// Tests the marker now; the running program asks AppState instead.
bool isPortable(const QString &appPath);

// Tests the marker of state.AppPath, unless the mode is already decided.
void decideFolderMode(AppState &state);
// The decided mode; undecided counts as what the marker says now.
bool isPortable(const AppState &state);

// $XDG_CONFIG_HOME (or ~/.config) + "/vantrelo/Files".
QString userFilesFolder();

// The folder of the files the program keeps for the user beside the settings: the
// recent projects and the recovery file. Portable: the program folder's Files;
// installed: $XDG_DATA_HOME (or ~/.local/share) + "/vantrelo". Not created here.
QString userDataFolder(const AppState &state);
QString recentProjectsFilePath(const AppState &state);
QString recoveryFilePath(const AppState &state);

// The folder of Vantrelo.ini and Covers.ini for this run.
QString writableFilesFolder(const AppState &state);
QString settingsFilePath(const AppState &state);
// Where the catalogue is written.
QString catalogueFilePath(const AppState &state);
// Where the catalogue is read: the per-user copy, or the shipped one while there is none
// (a per-user folder that cannot be written would otherwise leave every format 0 x 0).
QString catalogueReadPath(const AppState &state);

// Installed mode: make the per-user folder and seed its catalogue from the shipped one
// the first time. Does nothing in portable mode. Returns false when the per-user folder
// cannot be written; the program then runs with what it can read, and says once on
// standard error that its settings will not be saved.
bool prepareWritableFolder(const AppState &state);

} // namespace vt
