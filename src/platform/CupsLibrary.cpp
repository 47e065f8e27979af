#include "platform/CupsLibrary.h"

#include <QLibrary>

namespace vt {

const CupsLibrary &cups()
{
    static const CupsLibrary library = [] {
        CupsLibrary l;
        QLibrary file(QStringLiteral("cups"), 2); // libcups.so.2, kept open for the run
        if (!file.load())
            return l;
        bool all = true;
#define VT_CUPS_RESOLVE(name)                                                                           \
    l.name = reinterpret_cast<decltype(&::name)>(file.resolve(#name));                                 \
    all = all && l.name;
        VT_CUPS_FUNCTIONS(VT_CUPS_RESOLVE)
#undef VT_CUPS_RESOLVE
        if (!all)
            return CupsLibrary();
        l.loaded = true;
        return l;
    }();
    return library;
}

} // namespace vt
