#include "ui/main/MenuIcons.h"

#include "platform/MenuIconTable.h"
#include "platform/PictureLoading.h"
#include "platform/TangoIcons.h"

#include <QAction>
#include <QApplication>
#include <QIconEngine>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <functional>
#include <utility>

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

// An icon made by make the first time it is drawn or measured: a window has dozens of
// menu entries, and most never open. It is never null: it is made only of pictures
// that exist, and asking must not make it.
class DeferredIconEngine : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : m_make(std::move(make)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        made().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return made().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return made().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return made().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }
    QString key() const override { return QStringLiteral("vtdeferred"); }

private:
    QIcon &made()
    {
        if (m_make)
            m_icon = std::exchange(m_make, nullptr)();
        return m_icon;
    }

    std::function<QIcon()> m_make;
    QIcon m_icon;
};

class DeferredBarPicturesStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap picture, const QStyleOption *option, const QWidget *widget) const override
    {
        if (picture != SP_ToolBarHorizontalExtensionButton && picture != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(picture, option, widget);
        // The option only tells the direction, which the application's answers as well.
        QStyle *base = baseStyle();
        const QPointer<QWidget> owner(const_cast<QWidget *>(widget));
        return QIcon(new DeferredIconEngine([base, picture, owner] {
            return base->standardIcon(picture, nullptr, owner.data());
        }));
    }
};

} // namespace

QStyle *styleWithDeferredBarPictures()
{
    return new DeferredBarPicturesStyle(QApplication::style()->name());
}

QIcon menuPicture(const QString &name)
{
    QList<std::pair<int, QString>> files = tangoIconFiles(name);
    if (files.isEmpty())
        for (int size : {16, 32}) {
            const QString path = QStringLiteral(":/pictures/menu/%1/%2.png").arg(size).arg(name);
            if (QFile::exists(path))
                files.append({size, path});
        }
    if (files.isEmpty())
        return {};
    // Qt's own icon of the files, so sizes are chosen, scaled and greyed as Qt does it.
    return QIcon(new DeferredIconEngine([files] {
        QIcon icon;
        for (const auto &[size, path] : files)
            icon.addPixmap(QPixmap::fromImage(readPng(path)));
        return icon;
    }));
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
