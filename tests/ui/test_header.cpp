// The list's column header as it is drawn: the window is rendered with one row in the list, and
// the ink of the header label and of the row is measured. Runs once per screen scale (CTest sets
// QT_SCALE_FACTOR), so the measurements are in device pixels of that scale.
#include "fixture.h"
#include "guide.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

struct Run
{
    int start; // first ink column, device pixels from the left of the window
    int end;   // last ink column
};

// Most frequent colour of the area: the background the text is drawn on.
QRgb background(const QImage &image, const QRect &area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto &a, const auto &b) { return a.second < b.second; })
        ->first;
}

bool isInk(QRgb pixel, QRgb paper) { return std::abs(qGray(pixel) - qGray(paper)) > 80; }

// Runs of ink columns in `area`; gaps up to `joinGap` pixels join their neighbours into one run.
QList<Run> inkRuns(const QImage &image, const QRect &area, int joinGap)
{
    const QRgb paper = background(image, area);
    QList<Run> runs;
    for (int x = area.left(); x <= area.right(); ++x) {
        bool ink = false;
        for (int y = area.top(); y <= area.bottom() && !ink; ++y)
            ink = isInk(image.pixel(x, y), paper);
        if (!ink)
            continue;
        if (!runs.isEmpty() && x - runs.last().end - 1 <= joinGap)
            runs.last().end = x;
        else
            runs.append({x, x});
    }
    return runs;
}

// Pixel rows from the first to the last that holds ink.
int inkHeight(const QImage &image, const QRect &area)
{
    const QRgb paper = background(image, area);
    int top = -1, bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isInk(image.pixel(x, y), paper)) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
    return top < 0 ? 0 : bottom - top + 1;
}

QRect scaled(const QRect &r, qreal ratio)
{
    return QRect(QPoint(int(std::ceil(r.left() * ratio)), int(std::ceil(r.top() * ratio))),
                 QPoint(int(std::floor((r.right() + 1) * ratio)) - 1,
                        int(std::floor((r.bottom() + 1) * ratio)) - 1));
}

// The example show of the guide's row layout: title, quality, duration and date in columns
// 2, 59, 73 and 85.
QByteArray exampleRow()
{
    const QByteArray title = QByteArray(" Casablanca ").leftJustified(58, ' ');
    return recordings::listRow(title, recordings::paddedQuality("Standard"), "102", "12/21/2002");
}

} // namespace

class TestHeader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The run must really be at the scale it claims, or the three runs measure the same thing.
        bool given = false;
        const double expected = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&given);
        QWidget probe;
        QCOMPARE(probe.devicePixelRatioF(), given ? expected : 1.0);
    }

    void exampleRow_columns()
    {
        const QByteArray row = exampleRow();
        QCOMPARE(row.indexOf("Casablanca"), 1);
        QCOMPARE(row.indexOf("Standard"), 58);
        QCOMPARE(row.indexOf("102"), 72);
        QCOMPARE(row.indexOf("12/21/2002"), 84);
    }

    void header_overItsColumns_data()
    {
        QTest::addColumn<QString>("sans");  // empty: the faces the window chose
        QTest::addColumn<QString>("fixed");
        QTest::newRow("chosenFaces") << QString() << QString();
        QTest::newRow("originalFaces") << QStringLiteral("MS Sans Serif") << QStringLiteral("Courier New");
        QTest::newRow("dejaVu") << QStringLiteral("DejaVu Sans") << QStringLiteral("DejaVu Sans Mono");
        QTest::newRow("nimbus") << QStringLiteral("Nimbus Sans") << QStringLiteral("Nimbus Mono PS");
        QTest::newRow("narrowOverNoto") << QStringLiteral("Liberation Sans Narrow") << QStringLiteral("Noto Sans Mono");
    }

    void header_overItsColumns()
    {
        QFETCH(QString, sans);
        QFETCH(QString, fixed);
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        auto *label = control<QLabel>(form.get(), "Label3");
        auto *list = control<QListWidget>(form.get(), "List1");
        if (!sans.isEmpty()) {
            QFont labelFont(sans);
            labelFont.setPointSizeF(12);
            label->setFont(labelFont);
            QFont listFont(fixed);
            listFont.setStyleHint(QFont::Monospace);
            listFont.setPointSizeF(8.25);
            list->setFont(listFont);
        }
        const QByteArray rowText = exampleRow();
        auto *row = new QListWidgetItem(QString::fromLatin1(rowText));
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
        list->addItem(row);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();

        const QImage image = form->grab().toImage();
        const qreal ratio = form->devicePixelRatioF();
        const QFontMetricsF labelMetrics(label->font());
        const QFontMetricsF rowMetrics(list->font());

        const QRect labelArea = scaled(label->geometry(), ratio);
        const QRect rowArea = scaled(QRect(list->viewport()->mapTo(form.get(), list->visualItemRect(row).topLeft()),
                                           list->visualItemRect(row).size()),
                                     ratio);
        // Letters of a word join; a blank between words does not.
        const int labelJoin = int(0.8 * labelMetrics.horizontalAdvance(u' ') * ratio);
        const int rowJoin = int(2.5 * rowMetrics.horizontalAdvance(u' ') * ratio);
        const QList<Run> header = inkRuns(image, labelArea, labelJoin);
        const QList<Run> cells = inkRuns(image, rowArea, rowJoin);
        // Show, /, Title, Quality, Duration, Date, Recorded; the row ends with quality, duration, date.
        QString found;
        for (const Run &run : header)
            found += QStringLiteral(" %1-%2").arg(run.start).arg(run.end);
        QVERIFY2(header.size() == 7, qPrintable(QStringLiteral("header ink runs:") + found));
        QVERIFY2(cells.size() >= 4, qPrintable(QString::number(cells.size())));

        // The left edge of a row column: where its first glyph's ink starts, less that glyph's
        // left bearing.
        const auto columnEdge = [&](const Run &run, char first) {
            return run.start - rowMetrics.leftBearing(QLatin1Char(first)) * ratio;
        };
        const double qualityEdge = columnEdge(cells[cells.size() - 3], 'S');
        const double durationEdge = columnEdge(cells[cells.size() - 2], '1');
        const double dateEdge = columnEdge(cells[cells.size() - 1], '1');
        const double offsets[] = {header[3].start - qualityEdge, header[4].start - durationEdge,
                                  header[5].start - dateEdge};
        qInfo("scale %.2g, faces %s / %s: Quality %+.1f, Duration %+.1f, Date Recorded %+.1f px "
              "(header ink start less row column edge)",
              ratio, qPrintable(label->font().family()), qPrintable(list->font().family()), offsets[0],
              offsets[1], offsets[2]);
        for (double offset : offsets)
            QVERIFY2(std::abs(offset) <= 3, qPrintable(QString::number(offset)));

        // "Title" lies over the title column, columns 2 to 58.
        const double pitch = (dateEdge - qualityEdge) / (84 - 58);
        QVERIFY2(header[2].start >= qualityEdge - 57 * pitch, qPrintable(QString::number(header[2].start)));
        QVERIFY(header[2].end < qualityEdge);

        // The whole header is inside the label: "Recorded" as wide and the caption as tall as
        // their glyphs.
        const double lastWidth = labelMetrics.tightBoundingRect(QStringLiteral("Recorded")).width() * ratio;
        QVERIFY2(header[6].end - header[6].start + 1 >= 0.95 * lastWidth,
                 qPrintable(QStringLiteral("%1 of %2").arg(header[6].end - header[6].start + 1).arg(lastWidth)));
        QVERIFY(header[6].end < labelArea.right());
        // The caption drawn with room to spare gives the height its ink needs.
        QImage free(QSize(label->width(), 3 * label->height()) * ratio, QImage::Format_ARGB32);
        free.setDevicePixelRatio(ratio);
        free.fill(Qt::white);
        {
            QPainter painter(&free);
            painter.setFont(label->font());
            painter.setPen(Qt::black);
            painter.drawText(QPointF(0, 2 * label->height()), label->text());
        }
        const int captionHeight = inkHeight(free, free.rect());
        QVERIFY2(inkHeight(image, labelArea) >= captionHeight - 1,
                 qPrintable(QStringLiteral("%1 of %2").arg(inkHeight(image, labelArea)).arg(captionHeight)));

        // Drawing it differently leaves the text itself alone.
        QCOMPARE(label->text().size(), 142);
    }
};

QTEST_MAIN(TestHeader)
#include "test_header.moc"
