#include "platform/FileFilters.h"

namespace vt {

QString makeFilter(const std::vector<std::pair<QString, QString>> &pairs)
{
    QString out;
    for (const auto &[description, pattern] : pairs) {
        out += description;
        out += QChar(0);
        out += pattern;
        out += QChar(0);
    }
    return out;
}

QStringList toQtNameFilters(const QString &filter)
{
    QStringList parts = filter.split(QChar(0));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        if (patterns.isEmpty())
            continue;
        for (QString &p : patterns) {
            p = p.trimmed();
            if (p == u"*.*")
                p = QStringLiteral("*");
        }
        const QString joined = patterns.join(u' ');
        result << (description.isEmpty() ? joined : description + QStringLiteral(" (") + joined + u')');
    }
    return result;
}

QString StripAtNull(const QString &text)
{
    const qsizetype at = text.indexOf(QChar(0));
    return at < 0 ? text : text.left(at);
}

QString limitDialogPath(const QString &path, int limit)
{
    return path.size() > limit ? QString() : path;
}

} // namespace vt
