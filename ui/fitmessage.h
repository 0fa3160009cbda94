#pragma once
// Keeping a message box within the screen: how much of a message is shown is chosen with a
// predicate saying whether a text fits, and the predicate for the screen lays out the real box.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace ui {

using Fits = std::function<bool(const QString &)>;

// `heading`, a blank line and the entries one a line. When they do not all fit, as many whole
// entries from the first as fit, then a sentence saying how many more there are and that the
// activity log holds every one.
QString fitEntries(const QString &heading, const QStringList &entries, const Fits &fits);

// `text` when it fits; else its longest start ending after a whole word that fits with `note`
// after it, or the note alone when no word does.
QString fitText(const QString &text, const QString &note, const Fits &fits);

// The program's message box over `parent`: its title, no icon, `text` and a single OK.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget *parent, const QString &text);

// The height the window system offers a window over `parent`: the available height of the
// screen `parent` is on, or of the primary screen.
int availableHeight(const QWidget *parent);

// Whether the program's message box over `parent` holding a text, laid out as it is shown and
// with room for its window frame, is no taller than `height` (availableHeight(parent) when 0).
// With `detailedText` the box is measured with its details open.
Fits boxFits(QWidget *parent, const QString &detailedText = QString(), int height = 0);

} // namespace ui
