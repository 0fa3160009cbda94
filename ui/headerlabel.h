#pragma once
// The column header over the list (Label3). Its caption stays the design's 142 characters, but
// each column name is drawn over the column it names in the list's rows, from the two fonts'
// metrics: runs of blanks in a proportional face cannot line up with a fixed-pitch face.
#include <QLabel>
#include <QPointer>

#include <vector>

namespace ui {

class TickList;

class HeaderLabel : public QLabel
{
    Q_OBJECT

public:
    explicit HeaderLabel(QWidget *parent = nullptr);

    // The list whose row columns the names are placed over.
    void setList(TickList *list);

    struct Piece
    {
        QString text;
        qreal x; // pen position, label coordinates
    };
    // The caption cut into the pieces that are drawn, each at its place: the part before the
    // first column name at the label's left, then each column name over its row column.
    std::vector<Piece> layout() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<TickList> list;
};

// The row columns (counted from 0) that "Quality", "Duration" and "Date Recorded" name, taken
// from the list row layout itself.
struct HeaderColumn
{
    QString name;
    int rowColumn;
};
std::vector<HeaderColumn> headerColumns();

} // namespace ui
