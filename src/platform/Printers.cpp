#include "platform/Printers.h"

#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/CupsLibrary.h"

#include <cmath>

namespace vt {

namespace {

// Qt's CUPS engine takes extra job options as a list of name, value pairs under this key.
constexpr auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// All destinations with their options; freed when the holder goes.
struct Dests
{
    cups_dest_t *list = nullptr;
    int count = 0;
    Dests()
    {
        if (cups().loaded)
            count = cups().cupsGetDests2(CUPS_HTTP_DEFAULT, &list);
    }
    ~Dests()
    {
        if (list)
            cups().cupsFreeDests(count, list);
    }
    Dests(const Dests &) = delete;
    Dests &operator=(const Dests &) = delete;
    cups_dest_t *find(const QString &name) const
    {
        if (name.isEmpty() || !list)
            return nullptr;
        return cups().cupsGetDest(name.toUtf8().constData(), nullptr, count, list);
    }
};

// What the print system knows of one destination: its supported media with margins.
struct DestInfo
{
    Dests dests;
    cups_dest_t *dest = nullptr;
    cups_dinfo_t *info = nullptr;
    explicit DestInfo(const QString &name)
    {
        dest = dests.find(name);
        if (dest)
            info = cups().cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    }
    ~DestInfo()
    {
        if (info)
            cups().cupsFreeDestInfo(info);
    }
    DestInfo(const DestInfo &) = delete;
    DestInfo &operator=(const DestInfo &) = delete;
};

// The print system's (PWG) names of our papers.
const char *mediaName(PaperKind paper)
{
    switch (paper) {
    case PaperKind::Letter: return "na_letter_8.5x11in";
    case PaperKind::Legal: return "na_legal_8.5x14in";
    case PaperKind::A4: break;
    }
    return "iso_a4_210x297mm";
}

} // namespace

std::optional<SheetMargins> printerSheet(const QString &printer, PaperKind paper)
{
    DestInfo d(printer);
    if (!d.info)
        return std::nullopt;
    cups_size_t size = {};
    if (!cups().cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, d.dest, d.info, mediaName(paper), CUPS_MEDIA_FLAGS_DEFAULT, &size))
        return std::nullopt;
    // Margins come in hundredths of a millimetre. The paper is taken at its nominal size:
    // a driver that states A4 as 595 x 842 points still means 210 x 297 mm.
    const QMarginsF margins(size.left / 100.0, size.top / 100.0, size.right / 100.0, size.bottom / 100.0);
    if (margins.left() < 0 || margins.top() < 0 || margins.right() < 0 || margins.bottom() < 0)
        return std::nullopt;
    const QSizeF paperMm = paperSizeMm(paper);
    if (margins.left() + margins.right() >= paperMm.width() || margins.top() + margins.bottom() >= paperMm.height())
        return std::nullopt;
    return SheetMargins{paperMm, margins};
}

std::optional<PaperKind> printerDefaultPaper(const QString &printer)
{
    DestInfo d(printer);
    if (!d.info)
        return std::nullopt;
    // The queue's own default medium (cupsGetDestMediaDefault would answer US Letter for
    // any queue without a "media" option of the user's).
    const char *media = cups().cupsGetOption("media", d.dest->num_options, d.dest->options);
    if (!media)
        if (ipp_attribute_t *attr = cups().cupsFindDestDefault(CUPS_HTTP_DEFAULT, d.dest, d.info, CUPS_MEDIA))
            media = cups().ippGetString(attr, 0, nullptr);
    pwg_media_t *pwg = media ? cups().pwgMediaForPWG(media) : nullptr;
    if (!pwg && media)
        pwg = cups().pwgMediaForPPD(media);
    if (!pwg)
        return std::nullopt;
    // By its size, not its name: drivers name the same paper in several ways.
    for (PaperKind kind : {PaperKind::A4, PaperKind::Letter, PaperKind::Legal}) {
        const QSizeF mm = paperSizeMm(kind);
        if (std::abs(pwg->width / 100.0 - mm.width()) <= 1 && std::abs(pwg->length / 100.0 - mm.height()) <= 1)
            return kind;
    }
    return std::nullopt;
}

QueueState printerQueueState(const QString &printer)
{
    Dests dests;
    cups_dest_t *dest = dests.find(printer);
    if (!dest)
        return QueueState::Missing;
    const char *accepting = cups().cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    if (accepting && qstrcmp(accepting, "false") == 0)
        return QueueState::NotAccepting;
    const char *state = cups().cupsGetOption("printer-state", dest->num_options, dest->options);
    if (!state)
        return QueueState::Unknown;
    // IPP printer-state: 3 idle, 4 processing, 5 stopped.
    return qstrcmp(state, "5") == 0 ? QueueState::Stopped : QueueState::Ready;
}

QString formatPrinterEntry(const QString &name, const QString &makeAndModel, const QString &deviceUri)
{
    if (name.trimmed().isEmpty())
        return QString();
    return (name + u',' + makeAndModel + u',' + deviceUri).trimmed();
}

QString DefaultPrinterEntry()
{
    Dests dests;
    QString entry;
    cups_dest_t *dest = dests.list ? cups().cupsGetDest(nullptr, nullptr, dests.count, dests.list) : nullptr;
    if (dest) {
        const char *model = cups().cupsGetOption("printer-make-and-model", dest->num_options, dest->options);
        const char *uri = cups().cupsGetOption("device-uri", dest->num_options, dest->options);
        entry = formatPrinterEntry(QString::fromUtf8(dest->name), QString::fromUtf8(model ? model : ""),
                                   QString::fromUtf8(uri ? uri : ""));
    }
    return entry;
}

bool isPrintSystemReachable()
{
    const CupsLibrary &c = cups();
    if (!c.loaded)
        return false;
    http_t *http = c.httpConnect2(c.cupsServer(), c.ippPort(), nullptr, AF_UNSPEC, c.cupsEncryption(), 1, 3000, nullptr);
    if (!http)
        return false;
    c.httpClose(http);
    return true;
}

BatchPrinterChoice chooseBatchPrinter(const QString &named, const QString &systemDefault,
                                      const QStringList &installed, bool reachable)
{
    auto refuse = [](const QString &why) { return BatchPrinterChoice{QString(), why}; };
    if (!reachable)
        return refuse(QStringLiteral("the print system (CUPS) cannot be reached: is its scheduler running?"));
    const QString listed = installed.join(QStringLiteral(", "));
    if (!named.isEmpty()) {
        if (installed.contains(named))
            return {named, QString()};
        return refuse(installed.isEmpty()
                          ? QStringLiteral("%1: unknown printer; no printer is installed").arg(named)
                          : QStringLiteral("%1: unknown printer; the printers are: %2").arg(named, listed));
    }
    if (installed.isEmpty())
        return refuse(QStringLiteral("no printer is installed and none was named with --printer"));
    if (systemDefault.isEmpty() || !installed.contains(systemDefault))
        return refuse(QStringLiteral("no default printer is set; name one with --printer (the printers are: %1)")
                          .arg(listed));
    return {systemDefault, QString()};
}

QStringList installedPrinterNames()
{
    return QPrinterInfo::availablePrinterNames();
}

bool setSystemDefaultPrinter(const QString &name, QString *error)
{
    Dests dests;
    const QByteArray wanted = name.toUtf8();
    bool found = false;
    for (int k = 0; k < dests.count; ++k) {
        cups_dest_t &d = dests.list[k];
        // Instances of the queue are not the queue itself.
        d.is_default = !d.instance && wanted == d.name;
        found = found || d.is_default;
    }
    if (!found) {
        if (error)
            *error = QStringLiteral("there is no printer called %1").arg(name);
        return false;
    }
    if (cups().cupsSetDests2(CUPS_HTTP_DEFAULT, dests.count, dests.list) != 0) {
        if (error)
            *error = QString::fromUtf8(cups().cupsLastErrorString());
        return false;
    }
    return true;
}

int printSystemLastError()
{
    return cups().loaded ? int(cups().cupsLastError()) : int(IPP_STATUS_ERROR_SERVICE_UNAVAILABLE);
}

bool isPrinterAcceptingJobs(const QString &name)
{
    const QueueState state = printerQueueState(name);
    return state != QueueState::Missing && state != QueueState::NotAccepting;
}

int ippPrintQuality(int quality)
{
    switch (quality) {
    case -4: return 5;
    case -3: return 4;
    case -2: case -1: return 3;
    default: return 0;
    }
}

bool isQualitySupported(const QString &printerName, int quality)
{
    const int ipp = ippPrintQuality(quality);
    if (ipp == 0)
        return false;
    Dests dests;
    cups_dest_t *dest = dests.find(printerName);
    if (!dest)
        return false;
    cups_dinfo_t *info = cups().cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (!info)
        return false;
    const QByteArray value = QByteArray::number(ipp);
    const bool supported = cups().cupsCheckDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_PRINT_QUALITY, value.constData());
    cups().cupsFreeDestInfo(info);
    return supported;
}

void setPrinterQuality(QPrinter &printer, int quality)
{
    const int ipp = ippPrintQuality(quality);
    if (ipp == 0)
        return;
    printer.printEngine()->setProperty(CupsOptionsKey,
                                       QStringList{QStringLiteral("print-quality"), QString::number(ipp)});
}

} // namespace vt
