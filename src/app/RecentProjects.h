#pragma once
// The projects opened or saved last, newest first, for the File menu. Kept in a file of
// its own (one absolute path a line, UTF-8, CR LF) beside the settings rather than in
// the settings file, whose lines are fixed and read by older copies of the program.
#include <QString>
#include <QStringList>

namespace vt {

class RecentProjects
{
public:
    static constexpr int Capacity = 8;

    explicit RecentProjects(QString file = {}) : m_file(std::move(file)) {}

    // Reads the file; a missing or unreadable one is an empty list. Blank lines,
    // relative paths and repeats are dropped, and only the first eight entries kept.
    void load();
    // Writes the list (atomically); false when it could not be written.
    bool save() const;

    // path to the front (an absolute, clean path; an older entry of it removed).
    void add(const QString &path);
    void remove(const QString &path);
    void clear() { m_entries.clear(); }

    const QStringList &entries() const { return m_entries; }
    QString file() const { return m_file; }

    // The list after opening or saving path: pure, for the tests' tables.
    static QStringList withNewest(QStringList list, const QString &path);
    // A list as read from a file: cleaned as load() cleans it.
    static QStringList cleaned(const QStringList &lines);

private:
    QString m_file;
    QStringList m_entries;
};

// "&1 name.vtr" ... "&8 ...": the File menu's caption of entry index (0-based), with the
// file's name; every "&" of the name doubled so it shows as it is.
QString recentMenuCaption(int index, const QString &path);

} // namespace vt
