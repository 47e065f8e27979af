#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace vt {

bool openInShell(const QString &target)
{
    if (target.trimmed().isEmpty())
        return false;
    const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    if (!url.isValid())
        return false;
    if (QDesktopServices::openUrl(url))
        return true;
    // Window systems without desktop services of their own (offscreen, minimal) still
    // have the freedesktop opener. The address goes as one argument: no shell sees it.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromLatin1(url.toEncoded())});
}

} // namespace vt
