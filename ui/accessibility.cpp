#include "accessibility.h"

#include "ticklist.h"

#include <QAccessibleWidget>
#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QStyleOptionFrame>

#include <vector>

namespace ui {

namespace {

// One row of the tick list. Qt's own row interface toggles the selection, which this list does
// not have, and does not tell when a tick changes; this one ticks the row.
class TickRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    TickRowAccessible(TickList *list, int row) : list(list), index(list->model()->index(row, 0)) {}

    bool isValid() const override { return list && index.isValid(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return list ? list->window()->windowHandle() : nullptr; }
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation) const override { return {}; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return list ? QAccessible::queryAccessibleInterface(list) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name)
            return {};
        return index.data(Qt::DisplayRole).toString();
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = list->visualRect(index);
        return QRect(list->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    // A check box rather than a list item: screen readers say a check box's tick when it gets
    // the focus and at every change, but pass over a list item's (Qt 6.4 does not tell them
    // that the item can be checked).
    QAccessible::Role role() const override { return QAccessible::CheckBox; }

    QAccessible::State state() const override
    {
        QAccessible::State st;
        if (!isValid()) {
            st.invalid = true;
            return st;
        }
        const Qt::ItemFlags flags = index.flags();
        st.checkable = flags.testFlag(Qt::ItemIsUserCheckable);
        st.checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        st.focusable = true;
        st.focused = list->hasFocus() && list->currentIndex() == index;
        st.disabled = !list->isEnabled() || !flags.testFlag(Qt::ItemIsEnabled);
        if (!list->viewport()->rect().intersects(list->visualRect(index))) {
            st.invisible = true;
            st.offscreen = true;
        }
        return st;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override
    {
        return isValid() && index.flags().testFlag(Qt::ItemIsUserCheckable)
            ? QStringList{toggleAction()}
            : QStringList{};
    }
    void doAction(const QString &name) override
    {
        if (name == toggleAction() && isValid())
            list->toggleRow(index.row());
    }
    QStringList keyBindingsForAction(const QString &name) const override
    {
        if (name == toggleAction())
            return {QKeySequence(Qt::Key_Space).toString(QKeySequence::NativeText)};
        return {};
    }

    int row() const { return isValid() ? index.row() : -1; }

private:
    QPointer<TickList> list;
    QPersistentModelIndex index;
};

// The tick list: its children are its rows, in row order, as the item view's own focus events
// number them.
class TickListAccessible : public QAccessibleWidget
{
public:
    explicit TickListAccessible(TickList *list) : QAccessibleWidget(list, QAccessible::List)
    {
        // Rows move when rows are inserted or removed: hand out new row interfaces then.
        QAbstractItemModel *model = list->model();
        const auto forget = [this] { forgetRows(); };
        connections = {QObject::connect(model, &QAbstractItemModel::rowsInserted, list, forget),
                       QObject::connect(model, &QAbstractItemModel::rowsRemoved, list, forget),
                       QObject::connect(model, &QAbstractItemModel::rowsMoved, list, forget),
                       QObject::connect(model, &QAbstractItemModel::modelReset, list, forget),
                       QObject::connect(model, &QAbstractItemModel::layoutChanged, list, forget)};
    }

    ~TickListAccessible() override
    {
        for (const QMetaObject::Connection &c : connections)
            QObject::disconnect(c);
        forgetRows();
    }

    int childCount() const override { return list() ? list()->count() : 0; }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (rows.size() < size_t(childCount()))
            rows.resize(size_t(childCount()), 0);
        QAccessible::Id &id = rows[size_t(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new TickRowAccessible(list(), index));
        return QAccessible::accessibleInterface(id);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i] && QAccessible::accessibleInterface(rows[i]) == child)
                return int(i);
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        if (!list())
            return nullptr;
        const QModelIndex index = list()->indexAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        if (!list() || !list()->hasFocus() || !list()->currentIndex().isValid())
            return nullptr;
        return child(list()->currentIndex().row());
    }

private:
    TickList *list() const { return static_cast<TickList *>(widget()); }

    void forgetRows()
    {
        for (QAccessible::Id id : rows)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        rows.clear();
    }

    mutable std::vector<QAccessible::Id> rows; // made on demand, 0 where not made yet
    std::vector<QMetaObject::Connection> connections;
};

QAccessibleInterface *programInterfaces(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String(TickList::staticMetaObject.className()))
        return new TickListAccessible(static_cast<TickList *>(widget));
    // The windows are plain widgets, which Qt would present as a client area ("filler").
    if (className == QLatin1String(QWidget::staticMetaObject.className()) && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibility() { QAccessible::installFactory(programInterfaces); }

void describeSavingAs(QLineEdit *box, bool sessionRunning)
{
    box->setAccessibleDescription(sessionRunning
                                      ? QObject::tr("Name of the file being saved")
                                      : QObject::tr("Estimated transfer time of the tagged shows, in hours"));
}

void showWholeTextInToolTip(QLineEdit *box)
{
    const auto update = [box] {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
        QRect area = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
        area = area.marginsRemoved(box->textMargins());
        constexpr int kInnerMargin = 2; // QLineEdit keeps this much blank on each side of the text
        const bool fits = box->fontMetrics().horizontalAdvance(box->text()) <= area.width() - 2 * kInnerMargin;
        box->setToolTip(fits ? QString() : box->text());
    };
    QObject::connect(box, &QLineEdit::textChanged, box, update);
    update();
}

} // namespace ui
