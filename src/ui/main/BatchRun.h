#pragma once
// The command line's export and print modes: the cover of a saved project written to a
// PDF file or sent to a print queue, with no window shown, no lock taken and nothing of
// the program's own files written.
#include "app/CommandLine.h"

#include <QString>

class QTextStream;

namespace vt {

// Returns the process's exit code: 0 done, 1 failed (one line on err says what and why).
int runBatch(const CommandLine &command, const QString &appPath, QTextStream &err);

} // namespace vt
