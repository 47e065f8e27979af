#pragma once
// The two ways a cover leaves the program: a PDF file and a print queue. Both draw the
// same composed page with the same painter code.
#include "print/PagePainter.h"

#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;

namespace vt {

// Builds the page once the printable area and the footer's measure are known.
using PageComposer = std::function<PrintComposition(QSizeF printableMm, const TextMeasure &measure)>;

// Why a cover did not come out, as the user is told.
enum class OutputFailure {
    None,
    FileNotWritten,  // the PDF file could not be created or completed (target: the file)
    NoPrinter,       // no printer is chosen
    PrinterRefused,  // the queue does not accept jobs (target: the printer)
    PrinterStopped,  // the job could not be begun or finished (target: the printer)
};

struct OutputResult
{
    bool produced = false; // the page was written or handed to the queue
    QString error;         // why nothing was produced
    QStringList failures;  // steps of the page that could not be drawn
    OutputFailure cause = OutputFailure::None;
    QString target;        // the file or printer the cause is about
};

struct LanguageTable;
// The print error in the user's language, naming its cause; an empty text when the
// cover came out whole.
QString outputErrorText(const LanguageTable &texts, const OutputResult &result);

// The PDF's page: A4 with its printable area inset this much on every side, where a
// typical printer's would be, so catalogue positions land as on paper.
inline constexpr double PdfMarginMm = 5.0;

// Draws one A4 page, portrait or landscape, into pdf (the whole file's bytes).
OutputResult renderCoverPdf(QByteArray &pdf, bool portrait, const PageComposer &compose,
                            const PagePictures &pictures, const QString &title = QString());

// Writes the page to a file atomically and unbuffered: a failure (a full disk, a target
// that is no regular file) leaves any earlier file at the path whole, and error names
// the cause.
OutputResult writeCoverPdf(const QString &path, bool portrait, const PageComposer &compose,
                           const PagePictures &pictures, const QString &title = QString());

// The command line's name for standard output as the PDF file.
inline constexpr char StandardOutputName[] = "-";

// Writes the page where the command line asks: a file, or standard output for "-".
OutputResult exportCoverPdf(const QString &output, bool portrait, const PageComposer &compose,
                            const PagePictures &pictures, const QString &title = QString());

// Why an export may not write to output: it is one of the files the cover is made from
// (the project or a picture, also through a link), which writing would destroy. Empty
// when it is none of them.
QString exportOutputConflict(const QString &output, const QStringList &inputs);

// Prints one page on the printer as it is set up (queue, orientation, copies, quality).
OutputResult printCover(QPrinter &printer, const PageComposer &compose, const PagePictures &pictures);

// The printable area of a printer, from its margins in millimetres.
PageGeometry printerGeometry(QPrinter &printer);

} // namespace vt
