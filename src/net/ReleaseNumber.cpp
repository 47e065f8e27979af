#include "net/ReleaseNumber.h"

namespace vt {

QString releaseNumberText(int major, int minor, int revision)
{
    auto part = [](int n) { return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')); };
    return part(major) + part(minor) + part(revision);
}

bool offersNewerRelease(const QString &serverText, const QString &runningText)
{
    // A page that is no release number ("Not Found" also has nine characters) must
    // never pass for a newer release.
    if (serverText.size() != 9)
        return false;
    for (QChar c : serverText)
        if (c < u'0' || c > u'9')
            return false;
    return serverText > runningText;
}

QString updateQuestionText(const QString &languageEntry)
{
    QString text = languageEntry;
    text.replace(QStringLiteral("<BR>"), QStringLiteral("\n\n"), Qt::CaseSensitive);
    return text;
}

} // namespace vt
