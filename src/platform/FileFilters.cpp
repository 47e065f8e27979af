#include "platform/FileFilters.h"

#include <QImageReader>
#include <QRegularExpression>
#include <QSet>

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

QString caseInsensitivePattern(const QString &pattern)
{
    QString out;
    for (const QChar c : pattern) {
        const QChar lower = c.toLower(), upper = c.toUpper();
        if (lower != upper)
            out += u'[' + QString(lower) + QString(upper) + u']';
        else
            out += c;
    }
    return out;
}

QString readablePicturePatterns()
{
    QStringList patterns;
    QSet<QString> seen;
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        const QString ext = QString::fromLatin1(format).toLower();
        if (ext.isEmpty() || seen.contains(ext))
            continue;
        seen.insert(ext);
        patterns << caseInsensitivePattern(QStringLiteral("*.") + ext);
    }
    return patterns.join(u';');
}

bool filterMatches(const QString &qtNameFilter, const QString &fileName)
{
    // "Description (p1 p2)" or just "p1 p2".
    QString patterns = qtNameFilter;
    const qsizetype open = qtNameFilter.lastIndexOf(u'(');
    if (open >= 0 && qtNameFilter.endsWith(u')'))
        patterns = qtNameFilter.mid(open + 1, qtNameFilter.size() - open - 2);
    for (const QString &p : patterns.split(u' ', Qt::SkipEmptyParts)) {
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(p));
        if (re.match(fileName).hasMatch())
            return true;
    }
    return false;
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
