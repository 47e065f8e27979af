#include "app/RecentProjects.h"

#include "common/TextFile.h"

#include <QDir>
#include <QFileInfo>

namespace vt {

namespace {

QString normalised(const QString &path)
{
    const QString t = path.trimmed();
    if (t.isEmpty() || !QDir::isAbsolutePath(t))
        return {};
    return QDir::cleanPath(t);
}

} // namespace

QStringList RecentProjects::withNewest(QStringList list, const QString &path)
{
    const QString p = normalised(path);
    if (p.isEmpty())
        return list;
    list.removeAll(p);
    list.prepend(p);
    while (list.size() > Capacity)
        list.removeLast();
    return list;
}

QStringList RecentProjects::cleaned(const QStringList &lines)
{
    QStringList out;
    for (const QString &line : lines) {
        const QString p = normalised(line);
        if (p.isEmpty() || out.contains(p))
            continue;
        out << p;
        if (out.size() == Capacity)
            break;
    }
    return out;
}

void RecentProjects::load()
{
    m_entries.clear();
    if (m_file.isEmpty() || !isRegularFile(m_file))
        return;
    if (const auto text = readTextFile(m_file))
        m_entries = cleaned(splitLines(*text));
}

bool RecentProjects::save() const
{
    if (m_file.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    return writeTextLines(m_file, m_entries);
}

void RecentProjects::add(const QString &path)
{
    m_entries = withNewest(m_entries, path);
}

void RecentProjects::remove(const QString &path)
{
    m_entries.removeAll(normalised(path));
}

QString recentMenuCaption(int index, const QString &path)
{
    QString name = QFileInfo(path).fileName();
    name.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

} // namespace vt
