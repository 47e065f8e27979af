#pragma once
// Each printer's measured correction, kept in a file of its own beside the settings
// (never in the catalogue, which describes covers, not printers). One line a printer:
//
//   <printer name, percent-encoded>=<offset X mm>;<offset Y mm>;<scale X %>;<scale Y %>
//
// The name is encoded so that any queue name, with '=', ';', '[' or a line break in it,
// stays one key on one line.
#include "print/PageSetup.h"

#include <QString>

namespace vt {

struct AppState;

inline constexpr double MinCorrectionOffsetMm = -20;
inline constexpr double MaxCorrectionOffsetMm = 20;
inline constexpr double MinCorrectionScalePercent = 95;
inline constexpr double MaxCorrectionScalePercent = 105;

// A file of corrections larger than this is read only this far: a few printers take
// a few hundred bytes, and a runaway file must not stall printing.
inline constexpr qint64 MaxPrintCorrectionsBytes = 1024 * 1024;

// Every value brought into its range; a value that is no number becomes the identity's.
PrintCorrection clampCorrection(PrintCorrection c);

// The file in the per-user folder where the settings live.
QString printCorrectionsFile(const AppState &state);

// The printer's correction: the identity when there is none, or the file is missing,
// unreadable or broken; values clamped into range.
PrintCorrection readPrintCorrection(const QString &file, const QString &printer);

// Stores the printer's correction (an identity one removes its line), keeping the
// other printers' lines. Written atomically; false, with error, when it could not be.
bool writePrintCorrection(const QString &file, const QString &printer, const PrintCorrection &c,
                          QString *error = nullptr);

} // namespace vt
