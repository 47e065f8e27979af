#include "platform/Printers.h"

#include <cups/cups.h>

namespace vt {

QString formatPrinterEntry(const QString &name, const QString &makeAndModel, const QString &deviceUri)
{
    if (name.trimmed().isEmpty())
        return QString();
    return (name + u',' + makeAndModel + u',' + deviceUri).trimmed();
}

QString DefaultPrinterEntry()
{
    cups_dest_t *dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QString entry;
    if (cups_dest_t *dest = cupsGetDest(nullptr, nullptr, count, dests)) {
        const char *model = cupsGetOption("printer-make-and-model", dest->num_options, dest->options);
        const char *uri = cupsGetOption("device-uri", dest->num_options, dest->options);
        entry = formatPrinterEntry(QString::fromUtf8(dest->name), QString::fromUtf8(model ? model : ""),
                                   QString::fromUtf8(uri ? uri : ""));
    }
    cupsFreeDests(count, dests);
    return entry;
}

} // namespace vt
