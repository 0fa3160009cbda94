#include "headerlabel.h"

#include "guide.h"
#include "ticklist.h"

#include <QPainter>

#include <algorithm>

namespace ui {

std::vector<HeaderColumn> headerColumns()
{
    const QByteArray title = recordings::guideTitle(QByteArray()); // the title column's width
    const QByteArray row = recordings::listRow(title, recordings::paddedQuality("Standard"), "102",
                                               "12/21/2002");
    return {{QStringLiteral("Quality"), int(row.indexOf("Standard"))},
            {QStringLiteral("Duration"), int(row.indexOf("102"))},
            {QStringLiteral("Date Recorded"), int(row.indexOf("12/21/2002"))}};
}

HeaderLabel::HeaderLabel(QWidget *parent) : QLabel(parent) {}

void HeaderLabel::setList(TickList *newList)
{
    if (list)
        disconnect(list, nullptr, this, nullptr);
    list = newList;
    if (list)
        connect(list, &TickList::textMoved, this, qOverload<>(&QWidget::update));
    update();
}

std::vector<HeaderLabel::Piece> HeaderLabel::layout() const
{
    const QString caption = text();
    const QRectF area = contentsRect();
    std::vector<Piece> pieces;
    // Where each column name starts in the caption, and the x of its row column.
    struct Anchor
    {
        qsizetype at;
        qreal x;
    };
    std::vector<Anchor> anchors;
    if (list) {
        const QFontMetricsF rowMetrics(list->font());
        const QFontMetricsF metrics(font());
        const qreal rowLeft = mapFrom(list->window(), list->viewport()->mapTo(list->window(), QPoint()))
                                  .x()
            + list->textLeft();
        qsizetype from = 0;
        for (const HeaderColumn &column : headerColumns()) {
            const qsizetype at = caption.indexOf(column.name, from);
            if (at < 0)
                continue;
            from = at + column.name.size();
            // The name's ink starts where its row column starts.
            const qreal columnLeft = rowLeft + rowMetrics.horizontalAdvance(QString(column.rowColumn, u' '));
            anchors.push_back({at, columnLeft - metrics.leftBearing(column.name.front())});
        }
    }
    qsizetype start = 0;
    qreal x = area.left();
    for (const Anchor &anchor : anchors) {
        pieces.push_back({caption.mid(start, anchor.at - start), x});
        start = anchor.at;
        x = anchor.x;
    }
    pieces.push_back({caption.mid(start), x});

    // In a label too narrow for its columns, move names left, from the last one on, so that each
    // stays whole, a pixel clear of the edge and a blank apart from the next.
    const QFontMetricsF metrics(font());
    qreal limit = area.right();
    for (size_t i = pieces.size(); i-- > 1;) {
        Piece &piece = pieces[i];
        const qreal width = metrics.horizontalAdvance(piece.text.trimmed());
        if (piece.x + width > limit)
            piece.x = std::max(area.left(), limit - width);
        limit = piece.x - metrics.horizontalAdvance(u' ');
    }
    return pieces;
}

void HeaderLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    const QRectF area = contentsRect();
    // Top-aligned like the other labels; a face too tall for the label has the caption's ink
    // centred in it instead, so that neither ascenders nor descenders are cut off.
    qreal baseline = area.top() + metrics.ascent();
    if (metrics.ascent() + metrics.descent() > area.height()) {
        const QRectF ink = metrics.tightBoundingRect(text());
        baseline = area.top() + (area.height() - ink.height()) / 2 - ink.top();
    }
    for (const Piece &piece : layout())
        painter.drawText(QPointF(piece.x, baseline), piece.text);
}

} // namespace ui
