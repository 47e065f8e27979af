#include "platform/Printers.h"

#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

namespace vt {

namespace {

// Qt's CUPS engine takes extra job options as a list of name, value pairs under this key.
constexpr auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// All destinations with their options; freed when the holder goes.
struct Dests
{
    cups_dest_t *list = nullptr;
    int count = 0;
    Dests() { count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list); }
    ~Dests() { cupsFreeDests(count, list); }
    Dests(const Dests &) = delete;
    Dests &operator=(const Dests &) = delete;
    cups_dest_t *find(const QString &name) const
    {
        return name.isEmpty() ? nullptr : cupsGetDest(name.toUtf8().constData(), nullptr, count, list);
    }
};

} // namespace

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
    if (cups_dest_t *dest = cupsGetDest(nullptr, nullptr, dests.count, dests.list)) {
        const char *model = cupsGetOption("printer-make-and-model", dest->num_options, dest->options);
        const char *uri = cupsGetOption("device-uri", dest->num_options, dest->options);
        entry = formatPrinterEntry(QString::fromUtf8(dest->name), QString::fromUtf8(model ? model : ""),
                                   QString::fromUtf8(uri ? uri : ""));
    }
    return entry;
}

bool isPrintSystemReachable()
{
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 3000, nullptr);
    if (!http)
        return false;
    httpClose(http);
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
    if (cupsSetDests2(CUPS_HTTP_DEFAULT, dests.count, dests.list) != 0) {
        if (error)
            *error = QString::fromUtf8(cupsLastErrorString());
        return false;
    }
    return true;
}

bool isPrinterAcceptingJobs(const QString &name)
{
    Dests dests;
    cups_dest_t *dest = dests.find(name);
    if (!dest)
        return false;
    const char *accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    return !accepting || qstrcmp(accepting, "false") != 0;
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
    cups_dinfo_t *info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (!info)
        return false;
    const QByteArray value = QByteArray::number(ipp);
    const bool supported = cupsCheckDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_PRINT_QUALITY, value.constData());
    cupsFreeDestInfo(info);
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
