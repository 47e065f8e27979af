#include "ui/main/CurrentPrinter.h"

#include <QPrinterInfo>

namespace vt {

QPrinter *CurrentPrinter::get()
{
    if (!m_lookedUp) {
        m_lookedUp = true;
        if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
            m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            m_printer->setPageOrientation(m_portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
        }
    }
    return m_printer.get();
}

void CurrentPrinter::set(std::unique_ptr<QPrinter> printer)
{
    m_printer = std::move(printer);
    m_lookedUp = true;
}

void CurrentPrinter::setOrientation(bool portrait)
{
    m_portrait = portrait;
    if (m_printer)
        m_printer->setPageOrientation(portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
}

} // namespace vt
