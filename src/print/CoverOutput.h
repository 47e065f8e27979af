#pragma once
// The two ways a cover leaves the program: a PDF file and a print queue. Both draw the
// same composed page with the same painter code.
#include "platform/PictureLoading.h"
#include "print/PagePainter.h"
#include "print/PageSetup.h"
#include "print/Sheet.h"

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
    PaperNotTaken,   // the queue has no such paper, or does not say where it prints on it
                     // (target: the printer; error: the paper's name)
    PrinterStopped,  // the job could not be begun or finished (target: the printer)
};

struct OutputResult
{
    bool produced = false; // the page was written or handed to the queue
    QString error;         // why nothing was produced
    QStringList failures;  // steps of the page that could not be drawn
    OutputFailure cause = OutputFailure::None;
    QString target;        // the file or printer the cause is about
    PaperKind paper = PaperKind::A4; // the paper printed on (named when it was not taken)
};

struct LanguageTable;
// The print error in the user's language, naming its cause; an empty text when the
// cover came out whole.
QString outputErrorText(const LanguageTable &texts, const OutputResult &result);

// The PDF's page: the paper with its printable area inset this much on every side, where
// a typical printer's would be, so catalogue positions land as on paper.
inline constexpr double PdfMarginMm = PdfInsetMm;

// Draws one page on the setup's paper, portrait or landscape, into pdf (the whole file's
// bytes). The page box is exactly the paper, and the file asks viewers to print it at
// actual size. A page with any failure (a position out of range, a missing picture)
// produces nothing: failures says what, and pdf stays empty.
OutputResult renderCoverPdf(QByteArray &pdf, const PageSetup &setup, const PageComposer &compose,
                            const PagePictures &pictures, const QString &title = QString());

// A picture drawn as a small stand-in of a size no other picture on the page has, whose
// image object is then given a JPEG file's own data.
struct PdfImageSwap
{
    QSize standIn;
    JpegFile jpeg;
};

// Sets what QPdfWriter cannot in a finished one-page PDF, as an incremental update (the
// original bytes stay as they are): the page box of exactly paperPt, moving the drawing
// so that it keeps its place from the top-left corner, the viewer preference to print at
// actual size, and each swap's JPEG data in place of its stand-in. False, leaving pdf
// untouched, when the file is not as written, a stand-in is not the page's one image of
// its size, or a JPEG file has changed since its picture was decoded.
bool finishPdf(QByteArray &pdf, QSizeF paperPt, const QList<PdfImageSwap> &swaps = {});

// Writes the page to a file atomically and unbuffered: a failure (a full disk, a target
// that is no regular file) leaves any earlier file at the path whole, and error names
// the cause.
OutputResult writeCoverPdf(const QString &path, const PageSetup &setup, const PageComposer &compose,
                           const PagePictures &pictures, const QString &title = QString());

// The command line's name for standard output as the PDF file.
inline constexpr char StandardOutputName[] = "-";

// Writes the page where the command line asks: a file, or standard output for "-".
OutputResult exportCoverPdf(const QString &output, const PageSetup &setup, const PageComposer &compose,
                            const PagePictures &pictures, const QString &title = QString());

// Why an export may not write to output: it is one of the files the cover is made from
// (the project or a picture, also through a link), which writing would destroy. Empty
// when it is none of them.
QString exportOutputConflict(const QString &output, const QStringList &inputs);

// Prints one page on the printer as it is set up (queue, copies, quality), on the
// setup's paper and orientation, from the corner of the printable area that the print
// system reports for that queue and paper. A page with any failure sends no job.
OutputResult printCover(QPrinter &printer, const PageSetup &setup, const PageComposer &compose,
                        const PagePictures &pictures);

// Every picture the page draws that is missing, in words: a page with one of them is
// not produced.
QStringList missingPictures(const PrintComposition &page, const PagePictures &pictures);

} // namespace vt
