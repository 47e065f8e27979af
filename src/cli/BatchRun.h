#pragma once
// The command line's export and print modes: the cover of a saved project written to a
// PDF file or sent to a print queue. No widget, no window, no lock; nothing of the
// program's own files is written. A QGuiApplication is all they need.
#include "app/CommandLine.h"

#include <QString>

class QTextStream;

namespace vt {

struct AppState;

// What a start without a window reads: the settings, the catalogue and the language as
// a normal start reads them.
void loadStateForBatch(AppState &state, const QString &appPath);

// Returns the process's exit code: 0 done, 1 failed (one line on err says what and why).
int runBatch(const CommandLine &command, const QString &appPath, QTextStream &err);

} // namespace vt
