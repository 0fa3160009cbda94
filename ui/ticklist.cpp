#include "ticklist.h"

#include <QAccessible>
#include <QEvent>
#include <QScrollBar>

namespace ui {

TickList::TickList(QWidget *parent) : QListWidget(parent)
{
    connect(model(), &QAbstractItemModel::dataChanged, this, &TickList::announceTicks);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &TickList::textMoved);
    followWindow();
}

qreal TickList::textLeft() const
{
    // The same option the delegate draws a tickable row with; the style places the text.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.checkState = Qt::Unchecked;
    option.text = QStringLiteral(" ");
    option.rect = QRect(-horizontalOffset(), 0, qMax(viewport()->width(), 1),
                        option.fontMetrics.height());
    const QRect textRect = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    // The style draws item text inside this margin.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return textRect.left() + margin;
}

bool TickList::toggleRow(int row)
{
    QListWidgetItem *item = this->item(row);
    if (!item || !isEnabled() || !(item->flags() & Qt::ItemIsEnabled)
        || !(item->flags() & Qt::ItemIsUserCheckable))
        return false;
    if (!isVisible() || window()->isMinimized() || windowBlocked)
        return false;
    setCurrentItem(item);
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    return true;
}

void TickList::changeEvent(QEvent *event)
{
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        emit textMoved();
    if (event->type() == QEvent::ParentChange)
        followWindow();
}

// Qt sends WindowBlocked and WindowUnblocked to the window whenever a modal window starts or
// stops taking its input; the list follows them rather than judging modality itself.
bool TickList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != topLevel)
        return QListWidget::eventFilter(watched, event);
    if (event->type() == QEvent::WindowBlocked)
        windowBlocked = true;
    else if (event->type() == QEvent::WindowUnblocked)
        windowBlocked = false;
    return false;
}

void TickList::followWindow()
{
    QWidget *now = window();
    if (now == topLevel)
        return;
    if (topLevel)
        topLevel->removeEventFilter(this);
    topLevel = now;
    windowBlocked = false;
    topLevel->installEventFilter(this);
}

void TickList::resizeEvent(QResizeEvent *event)
{
    QListWidget::resizeEvent(event);
    emit textMoved();
}

// Every change of a tick, by the user or the program, is told to assistive technology as a
// change of the row's checked state. Not gated on QAccessible::isActive(): the event costs
// little, Qt drops it when nobody listens, and a recording update handler sees it in tests.
void TickList::announceTicks(const QModelIndex &first, const QModelIndex &last,
                             const QList<int> &roles)
{
    if (!roles.isEmpty() && !roles.contains(Qt::CheckStateRole))
        return;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(this);
    if (!list)
        return;
    for (int row = first.row(); row <= last.row(); ++row) {
        if (QAccessibleInterface *rowInterface = list->child(row)) {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(rowInterface, changed);
            QAccessible::updateAccessibility(&event);
        }
    }
}

} // namespace ui
