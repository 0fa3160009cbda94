#include "fitmessage.h"

#include "windowservices.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <limits>

namespace ui {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("ui", text); }

// The largest count from 0 to n whose text fits, where a count fits only if every smaller one
// does; 0 when none fits.
qsizetype largestFitting(qsizetype n, const std::function<bool(qsizetype)> &fits)
{
    qsizetype fitting = -1, tooMany = n + 1;
    while (tooMany - fitting > 1) {
        const qsizetype middle = fitting + (tooMany - fitting) / 2;
        if (fits(middle))
            fitting = middle;
        else
            tooMany = middle;
    }
    return std::max<qsizetype>(fitting, 0);
}

// What the window system adds to a window's height: as much as it added to the shown main
// window, and at least room for two title bars when that is less or cannot be seen.
int frameAllowance(const QWidget *parent)
{
    const QWidget *window = parent ? parent->window() : nullptr;
    const int seen = window && window->isVisible() ? window->frameGeometry().height() - window->height() : 0;
    return std::max(seen, 2 * QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
}

#if QT_CONFIG(accessibility)
// Keeps a box that is only measured from assistive tools, which would announce it.
class QuietAccessibility
{
public:
    QuietAccessibility() : previous(QAccessible::installUpdateHandler([](QAccessibleEvent *) {})) {}
    ~QuietAccessibility() { QAccessible::installUpdateHandler(previous); }
    QuietAccessibility(const QuietAccessibility &) = delete;
    QuietAccessibility &operator=(const QuietAccessibility &) = delete;

private:
    QAccessible::UpdateHandler previous;
};
#endif

// The height of the program's box holding `text`, as the box sizes itself when shown.
int laidOutHeight(QWidget *parent, const QString &text, const QString &detailedText)
{
#if QT_CONFIG(accessibility)
    const QuietAccessibility quiet; // outlives the box, whose hiding it also keeps quiet
#endif
    const std::unique_ptr<QMessageBox> box = makeMessageBox(parent, text);
    if (!detailedText.isEmpty())
        box->setDetailedText(detailedText);
    // Shown without reaching the screen, it neither blocks other windows nor takes the focus.
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DontShowOnScreen);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->show();
    for (QAbstractButton *button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::ActionRole)
            button->click(); // Show Details, the only such button: the box grows by its details
    return box->height();
}

} // namespace

QString fitEntries(const QString &heading, const QStringList &entries, const Fits &fits)
{
    const auto message = [&](qsizetype shown) {
        QStringList paragraphs{heading};
        if (shown > 0)
            paragraphs << entries.mid(0, shown).join(u'\n');
        const qsizetype more = entries.size() - shown;
        if (more > 0 && shown > 0)
            paragraphs << tr("... and %1 more, which the activity log holds with all the others: "
                             "see View Log.")
                              .arg(more);
        else if (more > 0)
            paragraphs << (more == 1 ? tr("The activity log holds it: see View Log.")
                                     : tr("The activity log holds all %1 of them: see View Log.").arg(more));
        return paragraphs.join(QStringLiteral("\n\n"));
    };
    // The whole list goes without the closing sentence, which may take more room than its last
    // entry: it is tried on its own.
    const QString whole = message(entries.size());
    if (fits(whole))
        return whole;
    return message(largestFitting(entries.size() - 1, [&](qsizetype shown) { return fits(message(shown)); }));
}

QString fitText(const QString &text, const QString &note, const Fits &fits)
{
    if (fits(text))
        return text;
    QList<qsizetype> wordEnds;
    for (qsizetype i = 1; i < text.size(); ++i)
        if (!text.at(i - 1).isSpace() && text.at(i).isSpace())
            wordEnds << i;
    const auto start = [&](qsizetype words) {
        return words == 0 ? note : text.left(wordEnds.at(words - 1)) + QStringLiteral("\n\n") + note;
    };
    return start(largestFitting(wordEnds.size(), [&](qsizetype words) { return fits(start(words)); }));
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget *parent, const QString &text)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("MessageBox"));
    return box;
}

int availableHeight(const QWidget *parent)
{
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().height() : std::numeric_limits<int>::max();
}

Fits boxFits(QWidget *parent, const QString &detailedText, int height)
{
    const int room = (height > 0 ? height : availableHeight(parent)) - frameAllowance(parent);
    return [=](const QString &text) { return laidOutHeight(parent, text, detailedText) <= room; };
}

} // namespace ui
