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
