#include "ui/main/RecentProjectsMenu.h"

#include "lang/LanguageTable.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace vt {

RecentProjectsMenu::RecentProjectsMenu(QMenu &fileMenu, QAction *before) : QObject(&fileMenu)
{
    m_menu = new QMenu(&fileMenu);
    m_menu->setObjectName(QStringLiteral("mnuRecenti"));
    m_menu->menuAction()->setObjectName(QStringLiteral("mnuRecenti"));
    fileMenu.insertMenu(before, m_menu);
    rebuild();
}

void RecentProjectsMenu::setFile(const QString &file)
{
    m_list = RecentProjects(file);
    m_list.load();
    rebuild();
}

void RecentProjectsMenu::add(const QString &path)
{
    m_list.add(QFileInfo(path).absoluteFilePath());
    m_list.save();
    rebuild();
}

void RecentProjectsMenu::applyLanguage(const LanguageTable &texts)
{
    m_menu->setTitle(texts.fallbackText(LanguageTable::RecentProjectsEntry));
    m_clearText = texts.fallbackText(LanguageTable::ClearRecentEntry);
    rebuild();
}

void RecentProjectsMenu::rebuild()
{
    m_menu->clear();
    const QStringList &entries = m_list.entries();
    for (int k = 0; k < entries.size(); ++k) {
        const QString path = entries[k];
        QAction *a = m_menu->addAction(recentMenuCaption(k, path));
        a->setObjectName(QStringLiteral("mnuRecente"));
        a->setData(path);
        a->setToolTip(QDir::toNativeSeparators(path));
        connect(a, &QAction::triggered, this, [this, path] { choose(path); });
    }
    m_menu->addSeparator();
    QAction *clear = m_menu->addAction(m_clearText);
    clear->setObjectName(QStringLiteral("mnuRecentiSvuota"));
    connect(clear, &QAction::triggered, this, [this] {
        m_list.clear();
        m_list.save();
        rebuild();
    });
    m_menu->menuAction()->setEnabled(!entries.isEmpty());
}

void RecentProjectsMenu::choose(const QString &path)
{
    // A project that has gone since is taken off the list rather than kept as a dead entry.
    if (!QFileInfo::exists(path)) {
        m_list.remove(path);
        m_list.save();
        rebuild();
        return;
    }
    emit openRequested(path);
}

} // namespace vt
