// The update check's module: the program's update-check thread opens it (see
// net/UpdateCheck.h), so Qt Network and the libraries it brings load there, not with the
// program. The function keeps a C name, so the program finds it by name.
#include "online/ReleaseFetch.h"

extern "C" Q_DECL_EXPORT bool vantreloNewerReleaseOnServer(const QUrl &url, const QString &runningText,
                                                          const vt::ReleaseFetchLimits &limits)
{
    return vt::newerReleaseOnServer(url, runningText, limits);
}
