#include "app/AppState.h"

namespace vt {

QString makeVersionCaption(int major, int minor, int revision)
{
    return QStringLiteral("Vantrelo %1.%2.0.%3").arg(major).arg(minor).arg(revision);
}

} // namespace vt
