#pragma once
// What the program was asked to do on its command line:
//
//   vantrelo [PROJECT.vtr]                       open the window
//   vantrelo --export-pdf OUT.pdf PROJECT.vtr    write the cover to a PDF file and exit
//   vantrelo --print PROJECT.vtr [--printer NAME] [--copies N] [--quality Q]
//   vantrelo --test-page --printer NAME | --export-pdf OUT.pdf   a calibration page
//   (--paper a4|letter|legal goes with either; --force, --crop-marks and --bleed MM go
//   with a cover's --export-pdf and --print)
//   vantrelo --help | --version
//
// A lone path opens in the window even when it looks like an option, as long as it names
// an existing file; "--" ends the options.
#include "print/PageSetup.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vt {

struct CommandLine
{
    enum class Mode { Window, ExportPdf, Print, Help, Version, UsageError };
    Mode mode = Mode::Window;
    QString project;   // Window: the whole argument text; ExportPdf, Print: the project file
    QString output;    // ExportPdf: the PDF file
    QString printer;   // Print: a queue name; empty for the default printer
    int copies = 1;    // Print
    QString error;     // UsageError: what was wrong
    std::optional<PaperKind> paper; // ExportPdf, Print: the paper named; else A4, or the printer's default
    bool force = false; // ExportPdf, Print: a cover past the printable area is still made
    int quality = 0;    // Print: IPP print-quality (3 draft, 4 normal, 5 high); 0 the queue's own
    bool testPage = false;  // ExportPdf, Print: the calibration page instead of a project's cover
    bool cropMarks = false; // ExportPdf, Print: marks outside the cover's corners
    double bleedMm = 0;     // ExportPdf, Print: how far pictures reach past their cut lines
};

// arguments: without the program's own name. fileExists answers whether a path names an
// existing file (replaceable in tests).
CommandLine parseCommandLine(const QStringList &arguments,
                             const std::function<bool(const QString &)> &fileExists);

// The usage text for --help and usage errors.
QString commandLineUsage();

// Copies beyond this many are capped: no print queue takes more in one job.
inline constexpr int MaxCopies = 999;
// --bleed takes millimetres from 0 to this.
inline constexpr double MaxBleedOptionMm = 3;

// True when the arguments ask for a mode without a window (so no display is needed).
bool isBatchMode(CommandLine::Mode mode);

} // namespace vt
