#pragma once
#include <QString>

namespace vt {

// The system's default printer as "name,make-and-model,device-uri", trimmed; an empty
// text when there is none.
QString DefaultPrinterEntry();

// The same entry from its parts (what DefaultPrinterEntry builds from CUPS).
QString formatPrinterEntry(const QString &name, const QString &makeAndModel, const QString &deviceUri);

} // namespace vt
