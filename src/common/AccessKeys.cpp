#include "common/AccessKeys.h"

namespace vt {

QChar accessKeyOf(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] == u'&') {
            ++i; // "&&" shows one ampersand and marks nothing
            continue;
        }
        if (caption[i + 1].isLetterOrNumber())
            return caption[i + 1].toLower();
    }
    return QChar();
}

QStringList withAccessKeys(const QStringList &captions)
{
    QString taken;
    for (const QString &c : captions)
        if (const QChar k = accessKeyOf(c); !k.isNull())
            taken.append(k);
    QStringList out;
    for (const QString &c : captions) {
        if (!accessKeyOf(c).isNull()) {
            out.append(c);
            continue;
        }
        // Any ampersand of such a caption is a plain one and must stay so.
        QString marked = c;
        marked.replace(QStringLiteral("&"), QStringLiteral("&&"));
        for (qsizetype i = 0; i < marked.size(); ++i) {
            const QChar ch = marked[i];
            if (!ch.isLetterOrNumber() || taken.contains(ch.toLower()))
                continue;
            taken.append(ch.toLower());
            marked.insert(i, u'&');
            break;
        }
        out.append(marked);
    }
    return out;
}

} // namespace vt
