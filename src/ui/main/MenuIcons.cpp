#include "ui/main/MenuIcons.h"

#include "platform/MenuIconTable.h"
#include "platform/TangoIcons.h"

#include <QAction>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace vt {

namespace {

constexpr int IconTextGap = 4;

// Qt's menu bars draw an entry's picture instead of its caption; this style draws the
// picture and then the caption, as the menus below do.
class MenuBarIconStyle : public QProxyStyle
{
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (type != CT_MenuBarItem || !item || item->icon.isNull())
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        const int icon = pixelMetric(PM_SmallIconSize, option, widget);
        const QSize text = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
        const QSize contents(icon + IconTextGap + text.width(), std::max(icon, text.height()));
        return QProxyStyle::sizeFromContents(type, option, contents, widget);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element != CE_MenuBarItem || !item || item->icon.isNull()) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        // The entry's background and highlight as the style draws them, without content.
        QStyleOptionMenuItem background = *item;
        background.text.clear();
        background.icon = QIcon();
        QProxyStyle::drawControl(element, &background, painter, widget);

        const bool enabled = item->state & State_Enabled;
        const bool active = (item->state & State_Selected) && (item->state & State_Sunken);
        const int icon = pixelMetric(PM_SmallIconSize, option, widget);
        const int textWidth = item->fontMetrics.size(Qt::TextShowMnemonic, item->text).width();
        const QRect r = item->rect;
        const int left = r.x() + (r.width() - (icon + IconTextGap + textWidth)) / 2;
        const QPixmap picture = item->icon.pixmap(QSize(icon, icon), painter->device()->devicePixelRatioF(),
                                                  enabled ? QIcon::Normal : QIcon::Disabled);
        drawItemPixmap(painter, QRect(left, r.y(), icon, r.height()), Qt::AlignCenter, picture);

        int alignment = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextDontClip | Qt::TextSingleLine;
        if (!styleHint(SH_UnderlineShortcut, item, widget))
            alignment |= Qt::TextHideMnemonic;
        drawItemText(painter, QRect(left + icon + IconTextGap, r.y(), textWidth, r.height()), alignment,
                     item->palette, enabled, item->text,
                     active && enabled ? QPalette::HighlightedText : QPalette::ButtonText);
    }
};

} // namespace

QIcon menuPicture(const QString &name)
{
    QIcon icon = tangoIcon(name);
    if (!icon.isNull())
        return icon;
    for (int size : {16, 32}) {
        const QString path = QStringLiteral(":/pictures/menu/%1/%2.png").arg(size).arg(name);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}

void applyMenuIcons(QMainWindow &window)
{
    QMenuBar *bar = window.menuBar();
    if (!bar->findChild<MenuBarIconStyle *>(QString(), Qt::FindDirectChildrenOnly)) {
        auto *style = new MenuBarIconStyle;
        style->setParent(bar);
        bar->setStyle(style);
    }
    // Every menu's own entry is its menu action, named as the menu; the Format items
    // share one name and carry their format index.
    const QList<QAction *> actions = window.findChildren<QAction *>();
    for (QAction *action : actions) {
        const QVariant data = action->data();
        const QString name = menuIconFor(action->objectName(), data.isValid() ? data.toInt() : -1);
        if (!name.isEmpty())
            action->setIcon(menuPicture(name));
    }
}

} // namespace vt
