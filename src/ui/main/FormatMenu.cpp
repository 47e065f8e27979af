#include "ui/main/FormatMenu.h"

#include "formats/FormatGroups.h"
#include "platform/MenuIconTable.h"
#include "ui/main/MenuIcons.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QMenu>
#include <QTimer>

namespace vt {

FormatMenu::FormatMenu(QMenu *menu, QComboBox *list, QObject *parent)
    : QObject(parent), m_menu(menu), m_list(list)
{
    m_group = new QActionGroup(this);
    m_group->setExclusive(true);
    QAbstractItemModel *model = list->model();
    // The list is refilled item by item: rebuild once, after the last change.
    auto queue = [this] {
        if (m_rebuildQueued)
            return;
        m_rebuildQueued = true;
        QTimer::singleShot(0, this, [this] {
            if (m_rebuildQueued)
                rebuild();
        });
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, queue);
    connect(model, &QAbstractItemModel::rowsRemoved, this, queue);
    connect(model, &QAbstractItemModel::modelReset, this, queue);
    connect(model, &QAbstractItemModel::dataChanged, this, queue);
    connect(list, &QComboBox::currentIndexChanged, this, &FormatMenu::followList);
    // Opened before a queued rebuild ran (the same event-loop turn): rebuild now.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        if (m_rebuildQueued)
            rebuild();
    });
    rebuild();
}

void FormatMenu::rebuild()
{
    m_rebuildQueued = false;
    if (!m_menu || !m_list)
        return;
    for (QAction *a : m_group->actions())
        m_group->removeAction(a);
    m_menu->clear(); // deletes the items the menu owns, separators too
    const int count = m_list->count();
    const QList<FormatGroup> groups = formatGroups(count);
    for (int g = 0; g < groups.size(); ++g) {
        if (g > 0)
            m_menu->addSeparator();
        for (int k = groups[g].first; k <= groups[g].last; ++k) {
            QAction *a = m_menu->addAction(m_list->itemText(k));
            a->setObjectName(QStringLiteral("mnuFormato1"));
            a->setData(k);
            a->setCheckable(true);
            m_group->addAction(a);
            const QString icon = menuIconFor(a->objectName(), k);
            if (!icon.isEmpty())
                a->setIcon(menuPicture(icon));
            connect(a, &QAction::triggered, this, [this, k] {
                if (m_list)
                    m_list->setCurrentIndex(k);
            });
        }
    }
    followList();
}

void FormatMenu::followList()
{
    if (!m_list)
        return;
    const int current = m_list->currentIndex();
    const QList<QAction *> items = m_group->actions();
    for (QAction *a : items)
        if (a->data().toInt() == current)
            a->setChecked(true); // the group unchecks the previous one
    // No format selected: nothing checked (an exclusive group cannot uncheck its last one).
    if (current < 0)
        if (QAction *checked = m_group->checkedAction()) {
            m_group->setExclusive(false);
            checked->setChecked(false);
            m_group->setExclusive(true);
        }
}

} // namespace vt
