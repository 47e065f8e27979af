#include "ui/main/TextFit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace vt {

namespace {
constexpr char FullTextProperty[] = "vtFullText";
}

void fitPopupToItems(QComboBox *combo)
{
    QAbstractItemView *view = combo->view();
    const QFontMetrics metrics(view->font());
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(combo->itemText(i)));
    // Room for the item's own margins, the frame and a scroll bar, should the list need one.
    const int margins = 2 * combo->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 2 * view->frameWidth()
                        + 16;
    view->setMinimumWidth(widest + margins + view->verticalScrollBar()->sizeHint().width());
}

void setElidedText(QLabel *label, const QString &text)
{
    label->setProperty(FullTextProperty, text);
    label->setToolTip(text);
    refreshElidedText(label);
}

QString fullText(const QLabel *label)
{
    const QVariant full = label->property(FullTextProperty);
    return full.isValid() ? full.toString() : label->text();
}

void refreshElidedText(QLabel *label)
{
    const QString full = label->property(FullTextProperty).toString();
    const int indent = std::max(0, label->indent());
    const int available = label->contentsRect().width() - indent - 2 * label->margin();
    label->setText(label->fontMetrics().elidedText(full, Qt::ElideRight, std::max(0, available)));
}

} // namespace vt
