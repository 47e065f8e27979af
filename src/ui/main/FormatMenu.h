#pragma once
// The Format menu: one checkable item per entry of the format list, grouped by kind, the
// current format checked. It mirrors the list: refilling the list (a language load)
// rebuilds the items, selecting in the list moves the check, and choosing an item
// selects that format in the list, which runs format selection.
#include <QObject>
#include <QPointer>

class QActionGroup;
class QComboBox;
class QMenu;

namespace vt {

class FormatMenu : public QObject
{
    Q_OBJECT
public:
    FormatMenu(QMenu *menu, QComboBox *list, QObject *parent = nullptr);

    // Rebuilds the items from the list's entries as they are now.
    void rebuild();
    // Checks the list's current entry; for a list moved with its signals blocked.
    void followList();

private:

    QPointer<QMenu> m_menu;
    QPointer<QComboBox> m_list;
    QActionGroup *m_group = nullptr;
    bool m_rebuildQueued = false;
};

} // namespace vt
