#include "controls.h"

#include "accessibility.h"
#include "headerlabel.h"
#include "ticklist.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <map>

namespace ui {

namespace {

QString latin(const char *s) { return QString::fromLatin1(s); }

// A click anywhere on a row toggles its tick, not only a click on the tick box itself.
// Space still toggles the current row through the base class.
class TickOnClickDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override
    {
        const Qt::ItemFlags flags = model->flags(index);
        const bool tickable = (flags & Qt::ItemIsUserCheckable) && (flags & Qt::ItemIsEnabled);
        if (tickable && event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            const bool ticked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            return model->setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
};

// A button whose caption wraps onto a second line when it is wider than the button, as the
// narrow "Extract Mpeg(s)" button needs. Return and Enter press it as Space does.
class WrappingButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (!event->isAutoRepeat())
                click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }

    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, option.palette, isEnabled(),
                             caption, QPalette::ButtonText);
    }
};

QWidget *createControl(const ControlSpec &c, QWidget *parent)
{
    const QString caption = latin(c.caption);
    switch (c.kind) {
    case Kind::Label: {
        auto *label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        label->setAlignment(c.align);
        return label;
    }
    case Kind::ColumnHeader: {
        auto *label = new HeaderLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        label->setAlignment(c.align);
        return label;
    }
    case Kind::TextBox:
    case Kind::DisplayBox: {
        auto *box = new QLineEdit(caption, parent);
        box->setAlignment(c.align);
        // The program writes the display boxes and never reads them.
        box->setReadOnly(c.kind == Kind::DisplayBox);
        if (c.kind == Kind::DisplayBox)
            showWholeTextInToolTip(box);
        return box;
    }
    case Kind::Button:
        return new WrappingButton(caption, parent);
    case Kind::TickBox:
        return new QCheckBox(caption, parent);
    case Kind::Frame:
        return new QGroupBox(caption, parent);
    case Kind::TickList: {
        auto *list = new TickList(parent);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setItemDelegate(new TickOnClickDelegate(list));
        return list;
    }
    case Kind::PlainList: {
        auto *list = new QListWidget(parent);
        if (!caption.isEmpty())
            list->addItem(caption);
        return list;
    }
    }
    return nullptr;
}

} // namespace

QStringList facesFor(Face face)
{
    // The design's "Courier New" and, for "MS Sans Serif", its scalable twin "Microsoft Sans
    // Serif": on Windows "MS Sans Serif" is a bitmap face that does not grow with the display
    // scale. Where the Microsoft faces are missing (Linux, a Wine prefix of its own) the
    // metric-compatible Liberation and Croscore faces stand in. Wine shows a program the host's
    // own faces, and Qt's fallback there is the first family installed, often a serif one: so
    // the sans-serif faces that Linux hosts commonly have are named as well.
    if (face == Face::Fixed)
        return {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")};
    return {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
            QStringLiteral("DejaVu Sans"), QStringLiteral("Nimbus Sans")};
}

QFont fontFor(const FontSpec &design, const QStringList &families)
{
    const bool fixed = design.face == Face::Fixed;
    const auto styled = [&](QFont font) {
        font.setPointSizeF(design.points);
        font.setBold(design.bold);
        font.setItalic(design.italic);
        return font;
    };
    // What a name gives depends on the machine: a missing face falls back by its style hint,
    // and fontconfig or the Windows font mapper may still hand back a face of the other kind
    // or a bitmap face. So the face found is checked; after the faces asked for come the
    // system's font of the kind, then any installed face of the kind, scalable ones first.
    const auto suits = [fixed](const QFont &font, bool scalable) {
        const QFontInfo found(font);
        return found.fixedPitch() == fixed
            && (!scalable || QFontDatabase::isSmoothlyScalable(found.family()));
    };
    QFont asked;
    asked.setFamilies(families);
    asked.setStyleHint(fixed ? QFont::Monospace : QFont::SansSerif);
    asked.setFixedPitch(fixed);
    asked = styled(asked);
    const QFont system =
        styled(QFontDatabase::systemFont(fixed ? QFontDatabase::FixedFont : QFontDatabase::GeneralFont));
    for (const bool scalable : {true, false}) {
        if (suits(asked, scalable))
            return asked;
        if (suits(system, scalable))
            return system;
        for (const QString &family : QFontDatabase::families(QFontDatabase::Latin)) {
            const QFont installed = styled(QFont(family));
            if (!QFontDatabase::isPrivateFamily(family) && suits(installed, scalable))
                return installed;
        }
    }
    return asked;
}

void buildWindow(QWidget *window, const WindowSpec &design)
{
    installAccessibility();
    window->setObjectName(latin(design.name));
    window->setWindowTitle(latin(design.caption));
    window->setFont(fontFor(design.font));
    window->setFixedSize(twipsToPixels(design.clientWidth), twipsToPixels(design.clientHeight));

    std::map<int, QWidget *> byTab;
    for (const ControlSpec &c : design.controls) {
        QWidget *parent = c.container ? window->findChild<QWidget *>(latin(c.container)) : window;
        QWidget *w = createControl(c, parent);
        w->setObjectName(latin(c.name));
        w->setGeometry(twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width),
                       twipsToPixels(c.height));
        w->setFont(fontFor(c.font));
        if (*c.tooltip)
            w->setToolTip(latin(c.tooltip));
        if (*c.accessibleName)
            w->setAccessibleName(latin(c.accessibleName));
        w->setProperty("tabIndex", c.tab);
        if (w->focusPolicy() != Qt::NoFocus)
            byTab[c.tab] = w;
    }
    if (auto *list = window->findChild<TickList *>())
        for (HeaderLabel *header : window->findChildren<HeaderLabel *>())
            header->setList(list);

    QWidget *previous = nullptr;
    for (const auto &[tab, w] : byTab) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

} // namespace ui
