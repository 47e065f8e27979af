#pragma once
// The print system (CUPS): the default printer, whether a queue takes jobs, and the
// print qualities a queue accepts.
#include "print/Sheet.h"

#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

namespace vt {

// The system's default printer as "name,make-and-model,device-uri", trimmed; an empty
// text when there is none.
QString DefaultPrinterEntry();

// The same entry from its parts (what DefaultPrinterEntry builds from CUPS).
QString formatPrinterEntry(const QString &name, const QString &makeAndModel, const QString &deviceUri);

// The installed queues in the system's order.
QStringList installedPrinterNames();

// Whether the print system's scheduler answers at all (false when CUPS is stopped or
// its address leads nowhere).
bool isPrintSystemReachable();

// The queue a print without a window goes to, or why there is none: the named queue, or
// else the system's default. The reason says what is true: the print system cannot be
// reached, no printer is installed, no default is set while queues exist, or the named
// queue is not one of them.
struct BatchPrinterChoice
{
    QString name;  // empty when error is set
    QString error;
};
BatchPrinterChoice chooseBatchPrinter(const QString &named, const QString &systemDefault,
                                      const QStringList &installed, bool reachable);

// Makes the queue the user's default destination (what lpstat -d and every CUPS program
// then see). False, with the reason in error, when CUPS refused.
bool setSystemDefaultPrinter(const QString &name, QString *error = nullptr);

// The print system's status code for the last request of this thread that failed (an
// IPP status; "service unavailable" when the print system's library is not there).
int printSystemLastError();

// False when the queue does not exist or is not accepting jobs.
bool isPrinterAcceptingJobs(const QString &name);

// The sheet as the queue prints paper of that kind: the paper and the margins of its
// printable area, as the print system reports them for that queue (from its driver's
// imageable area). nullopt when the queue does not exist or does not take that paper.
std::optional<SheetMargins> printerSheet(const QString &printer, PaperKind paper);

// The paper the queue prints on unless told otherwise, when it is one of ours.
std::optional<PaperKind> printerDefaultPaper(const QString &printer);

// Whether a queue prints what it is sent: a stopped queue (cupsdisable) keeps the
// jobs until it is resumed; one not accepting (cupsreject) refuses them.
// Missing: no such queue; Unknown: the queue does not say its state.
enum class QueueState { Ready, Stopped, NotAccepting, Unknown, Missing };
QueueState printerQueueState(const QString &printer);

// Print qualities as the dialog knows them: -4 high, -3 medium, -2 low, -1 draft.
// Each maps onto an IPP print-quality value: high 5, medium 4, low and draft 3.
int ippPrintQuality(int quality);

// Whether the queue accepts that quality.
bool isQualitySupported(const QString &printerName, int quality);

// Sends that quality with the printer's next job.
void setPrinterQuality(QPrinter &printer, int quality);

} // namespace vt
