#pragma once
// The list with a tick box on each row (List1).
#include <QListWidget>
#include <QPointer>

namespace ui {

class TickList : public QListWidget
{
    Q_OBJECT

public:
    explicit TickList(QWidget *parent = nullptr);

    // Where the first character of a row's text is drawn, in viewport coordinates, whatever
    // the style, font and scroll position.
    qreal textLeft() const;

    // Ticks or unticks `row` as a click on it does: the row becomes the current one and the
    // change raises the click handling. Refused (false) for a row that cannot be ticked now and
    // whenever the list could not take a click either: disabled, hidden, its window minimized,
    // or its window blocked by a modal window.
    bool toggleRow(int row);

signals:
    // The text's place moved: scrolled sideways, new font or new style.
    void textMoved();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void announceTicks(const QModelIndex &first, const QModelIndex &last, const QList<int> &roles);
    void followWindow();

    // The window the list is in, which Qt tells when a modal window blocks it and frees it.
    QPointer<QWidget> topLevel;
    bool windowBlocked = false;
};

} // namespace ui
