#pragma once
// The File menu's list of recent projects: up to eight entries, newest first, and an
// item that clears the list. The list itself (and its file) is RecentProjects.
#include "app/RecentProjects.h"

#include <QObject>

class QAction;
class QMenu;

namespace vt {

struct LanguageTable;

class RecentProjectsMenu : public QObject
{
    Q_OBJECT
public:
    // Adds the submenu to fileMenu before `before`.
    RecentProjectsMenu(QMenu &fileMenu, QAction *before);

    // Reads the list from its file (once the program's folders are known).
    void setFile(const QString &file);
    // A project was opened or saved: it goes to the front, and the file is written.
    void add(const QString &path);

    void applyLanguage(const LanguageTable &texts);
    QMenu *menu() const { return m_menu; }
    const RecentProjects &list() const { return m_list; }

signals:
    void openRequested(const QString &path);

private:
    void rebuild();
    void choose(const QString &path);

    RecentProjects m_list;
    QMenu *m_menu = nullptr;
    QString m_clearText;
};

} // namespace vt
