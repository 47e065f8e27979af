#pragma once
// Files/Vantrelo.ini: six lines that carry the user's choices from one run to the next.
#include <QString>
#include <QStringList>

namespace vt {

struct AppState;

enum WindowStateCode : qint16 { WindowNormal = 0, WindowMinimised = 1, WindowMaximised = 2 };

// Reads the six lines into the state. savedFormatIndex receives line 2 (0 when the
// file has none). Lines that cannot be read keep their earlier values, except that a
// missing sound line means sounds on and a missing window line means a normal window.
// Returns false when the file could not be opened.
bool ReadSettings(const QString &path, AppState &state, qint16 &savedFormatIndex);

QStringList settingsLines(const AppState &state, int selectedFormat, int windowState);

// Atomic: false, and the previous file whole, when the write failed; error, when given,
// says why.
bool writeSettingsFile(const QString &path, const AppState &state, int selectedFormat,
                       int windowState, QString *error = nullptr);

} // namespace vt
