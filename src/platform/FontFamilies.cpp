#include "platform/FontFamilies.h"

#include <QSet>

namespace vt {

QString familyWithoutFoundry(const QString &family)
{
    if (!family.endsWith(u']'))
        return family;
    const qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
    return open > 0 ? family.left(open) : family;
}

QStringList uniqueFontFamilies(const QStringList &families)
{
    QStringList out;
    QSet<QString> seen;
    for (const QString &f : families) {
        const QString name = familyWithoutFoundry(f);
        if (name.isEmpty() || seen.contains(name))
            continue;
        seen.insert(name);
        out << name;
    }
    return out;
}

} // namespace vt
