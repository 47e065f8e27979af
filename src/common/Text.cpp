#include "common/Text.h"

namespace vt {

QString StripAmpersands(const QString &text)
{
    QString out = text;
    out.remove(u'&');
    return out;
}

QString TrovaPath(const QString &path)
{
    const qsizetype at = path.lastIndexOf(u'/');
    return at < 0 ? QString() : path.left(at);
}

} // namespace vt

namespace vt {

QString singleLine(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c == u'\r' || c == u'\n')
            c = u' ';
    return out;
}

} // namespace vt

namespace vt {

QString escapeControls(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u <= 0x9f))
            out += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace vt
