#include "controls.h"

#include "accessibility.h"
#include "headerlabel.h"
#include "ticklist.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHash>
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

// The control, with its font set before its caption: a caption laid out before would be laid
// out in the application's default face, which would be looked up and loaded for nothing.
QWidget *createControl(const ControlSpec &c, QWidget *parent, const QFont &font)
{
    const QString caption = latin(c.caption);
    const auto made = [&font](auto *w) {
        w->setFont(font);
        return w;
    };
    switch (c.kind) {
    case Kind::Label: {
        auto *label = made(new QLabel(parent));
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        label->setAlignment(c.align);
        return label;
    }
    case Kind::ColumnHeader: {
        auto *label = made(new HeaderLabel(parent));
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        label->setAlignment(c.align);
        return label;
    }
    case Kind::TextBox:
    case Kind::DisplayBox: {
        auto *box = made(new QLineEdit(parent));
        box->setText(caption);
        box->setAlignment(c.align);
        // The program writes the display boxes and never reads them.
        box->setReadOnly(c.kind == Kind::DisplayBox);
        if (c.kind == Kind::DisplayBox)
            showWholeTextInToolTip(box);
        return box;
    }
    case Kind::Button: {
        auto *button = made(new WrappingButton(parent));
        button->setText(caption);
        return button;
    }
    case Kind::TickBox: {
        auto *box = made(new QCheckBox(parent));
        box->setText(caption);
        return box;
    }
    case Kind::Frame: {
        auto *frame = made(new QGroupBox(parent));
        frame->setTitle(caption);
        return frame;
    }
    case Kind::TickList: {
        auto *list = made(new TickList(parent));
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setItemDelegate(new TickOnClickDelegate(list));
        return list;
    }
    case Kind::PlainList: {
        auto *list = made(new QListWidget(parent));
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

namespace {

// Whether the machine has the family, from the font database's list of families, read once:
// QFontDatabase::hasFamily asks fontconfig to resolve the name as an alias at every call.
bool isInstalled(const QString &family)
{
    static const QStringList installed = QFontDatabase::families();
    const QString withFoundry = family + QStringLiteral(" [");
    return std::any_of(installed.begin(), installed.end(), [&](const QString &name) {
        return name.compare(family, Qt::CaseInsensitive) == 0
            || name.startsWith(withFoundry, Qt::CaseInsensitive);
    });
}

// The font of fontFor, chosen anew.
QFont chooseFont(const FontSpec &design, const QStringList &families)
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
    // Only the installed faces are named: for a name the machine lacks, Qt asks fontconfig
    // for that name's stand-ins, a costly sort of every installed face, before it tries the
    // next name. Where none of them is installed, the names go as they are.
    QStringList installedFamilies;
    for (const QString &family : families)
        if (isInstalled(family))
            installedFamilies.append(family);
    QFont asked;
    asked.setFamilies(installedFamilies.isEmpty() ? families : installedFamilies);
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

} // namespace

QFont fontFor(const FontSpec &design, const QStringList &families)
{
    // Both windows ask for a few fonts many times over, and every answer costs look-ups in the
    // font database: each font is chosen once per run. The key holds all the choice rests on.
    static QHash<QString, QFont> chosen;
    const QString key = QString::number(int(design.face)) + u'|' + QString::number(design.points)
        + u'|' + QString::number(int(design.bold)) + QString::number(int(design.italic)) + u'|'
        + families.join(u'|');
    const auto known = chosen.constFind(key);
    if (known != chosen.constEnd())
        return *known;
    return chosen[key] = chooseFont(design, families);
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
        QWidget *w = createControl(c, parent, fontFor(c.font));
        w->setObjectName(latin(c.name));
        w->setGeometry(twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width),
                       twipsToPixels(c.height));
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
