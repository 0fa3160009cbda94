// The list's column header as it is drawn: the window is rendered with one row in the list, and
// the ink of the header label and of the row is measured. Runs once per screen scale (CTest sets
// QT_SCALE_FACTOR), so the measurements are in device pixels of that scale.
#include "controls.h"
#include "fixture.h"
#include "guide.h"
#include "ink.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

// Pixel rows from the first to the last that holds ink.
int inkHeight(const QImage &image, const QRect &area)
{
    const QList<Run> bands = inkBands(image, area);
    return bands.isEmpty() ? 0 : bands.last().end - bands.first().start + 1;
}

// The face a font found, without the foundry that Qt names where two foundries make a family.
QString faceFound(const QFont &font)
{
    return QFontInfo(font).family().remove(QRegularExpression(QStringLiteral(" \\[.*\\]$")));
}

// Counts the paint events of the widgets it filters.
struct PaintCounter : QObject
{
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

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

    // The faces asked for the header and the list, through the window's own choice of face;
    // an installed row names faces that the test command installs.
    void header_overItsColumns_data()
    {
        QTest::addColumn<QString>("sans");  // empty: the faces the window chose
        QTest::addColumn<QString>("fixed");
        QTest::addColumn<bool>("installed"); // the faces must be there
        QTest::newRow("chosenFaces") << QString() << QString() << false;
        QTest::newRow("designFaces") << QStringLiteral("MS Sans Serif") << QStringLiteral("Courier New") << false;
        QTest::newRow("missingFaces") << QStringLiteral("No Such Sans") << QStringLiteral("No Such Mono") << false;
        QTest::newRow("dejaVu") << QStringLiteral("DejaVu Sans") << QStringLiteral("DejaVu Sans Mono") << true;
        QTest::newRow("nimbus") << QStringLiteral("Nimbus Sans") << QStringLiteral("Nimbus Mono PS") << true;
        QTest::newRow("narrowOverNoto") << QStringLiteral("Nimbus Sans Narrow") << QStringLiteral("Noto Mono") << true;
        // Faces asked after a missing one: the first installed one, not a stand-in of the missing one.
        QTest::newRow("missingThenNimbus") << QStringLiteral("No Such Sans,Nimbus Sans") << QStringLiteral("No Such Mono,Nimbus Mono PS") << true;
    }

    void header_overItsColumns()
    {
        QFETCH(QString, sans);
        QFETCH(QString, fixed);
        QFETCH(bool, installed);
        // A list of faces, comma-separated, is asked in its order; the last must be installed.
        const QString lastSans = sans.section(u',', -1), lastFixed = fixed.section(u',', -1);
        if (installed)
            for (const QString &face : {lastSans, lastFixed})
                QVERIFY2(QFontDatabase::hasFamily(face), qPrintable(face + QStringLiteral(" is not installed")));
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        if (!sans.isEmpty())
            setFaces(form.get(), sans, fixed);
        if (installed) {
            QCOMPARE(faceFound(control<QLabel>(form.get(), "Label3")->font()), lastSans);
            QCOMPARE(faceFound(control<QListWidget>(form.get(), "List1")->font()), lastFixed);
        }
        // The header can stand over the row columns only when the list's face is fixed-pitch.
        const QFontInfo listFace(control<QListWidget>(form.get(), "List1")->font());
        QVERIFY2(listFace.fixedPitch(), qPrintable(listFace.family()));
        Measured m;
        measure(form.get(), m);
        if (QTest::currentTestFailed())
            return;
        const double offsets[] = {m.header[3].start - m.qualityEdge, m.header[4].start - m.durationEdge,
                                  m.header[5].start - m.dateEdge};
        qInfo("scale %.2g, faces %s / %s: Quality %+.1f, Duration %+.1f, Date Recorded %+.1f px "
              "(header ink start less row column edge)",
              m.ratio, qPrintable(faceFound(m.label->font())), qPrintable(faceFound(m.list->font())),
              offsets[0], offsets[1], offsets[2]);
        for (double offset : offsets)
            QVERIFY2(std::abs(offset) <= 3, qPrintable(QString::number(offset)));

        // "Title" lies over the title column, columns 2 to 58.
        const double pitch = (m.dateEdge - m.qualityEdge) / (84 - 58);
        QVERIFY2(m.header[2].start >= m.qualityEdge - 57 * pitch, qPrintable(QString::number(m.header[2].start)));
        QVERIFY(m.header[2].end < m.qualityEdge);

        checkWhole(m);
        // Drawing it differently leaves the text itself alone.
        QCOMPARE(m.label->text().size(), 142);
    }

    // Rows wider than the list scroll sideways; the column names go with them.
    void header_followsSidewaysScroll()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        auto *list = control<QListWidget>(form.get(), "List1");
        list->addItem(QStringLiteral("x").repeated(200));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
        QVERIFY(list->horizontalScrollBar()->maximum() > 40);
        // The scroll moves only the list's viewport; the header must be repainted on its own.
        // (Measuring grabs the window, which repaints everything, so it cannot see this.)
        PaintCounter paints;
        control<QLabel>(form.get(), "Label3")->installEventFilter(&paints);
        list->horizontalScrollBar()->setValue(40);
        QTRY_VERIFY_WITH_TIMEOUT(paints.count > 0, 2000);
        Measured m;
        measure(form.get(), m);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(std::abs(m.header[3].start - m.qualityEdge) <= 3, qPrintable(QString::number(m.header[3].start - m.qualityEdge)));
        QVERIFY2(std::abs(m.header[5].start - m.dateEdge) <= 3, qPrintable(QString::number(m.header[5].start - m.dateEdge)));
    }

    // A label too narrow for the last name at its column: the name moves left and stays whole.
    void header_tooNarrow_lastNameStaysWhole()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        auto *label = control<QLabel>(form.get(), "Label3");
        label->resize(label->width() - 100, label->height());
        Measured m;
        measure(form.get(), m);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(m.header[5].start < m.dateEdge - 3); // it did have to move
        checkWhole(m);
    }

private:
    struct Measured
    {
        QLabel *label = nullptr;
        QListWidget *list = nullptr;
        qreal ratio = 1;
        QImage image;
        QRect labelArea;
        QList<Run> header; // Show, /, Title, Quality, Duration, Date, Recorded
        double qualityEdge = 0, durationEdge = 0, dateEdge = 0; // row column edges, device pixels
    };

    static void setFaces(QWidget *form, const QString &sans, const QString &fixed)
    {
        control<QLabel>(form, "Label3")->setFont(ui::fontFor(ui::FontSpec{ui::Face::Sans, 12}, sans.split(u',')));
        control<QListWidget>(form, "List1")->setFont(ui::fontFor(ui::FontSpec{ui::Face::Fixed, 8.25}, fixed.split(u',')));
    }

    // Puts the example row first in the list, renders the window and measures the ink of the
    // header and of that row.
    static void measure(QWidget *form, Measured &m)
    {
        m.label = control<QLabel>(form, "Label3");
        m.list = control<QListWidget>(form, "List1");
        auto *row = new QListWidgetItem(QString::fromLatin1(exampleRow()));
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
        m.list->insertItem(0, row);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCoreApplication::processEvents();

        m.image = form->grab().toImage();
        m.ratio = form->devicePixelRatioF();
        const QFontMetricsF labelMetrics(m.label->font());
        const QFontMetricsF rowMetrics(m.list->font());
        m.labelArea = scaled(m.label->geometry(), m.ratio);
        const QRect rowRect = m.list->visualItemRect(row);
        const QRect rowArea = scaled(QRect(m.list->viewport()->mapTo(form, rowRect.topLeft()), rowRect.size())
                                         .intersected(QRect(m.list->viewport()->mapTo(form, QPoint()),
                                                            m.list->viewport()->size())),
                                     m.ratio);
        // Letters of a word join; a blank between words does not.
        const int labelJoin = int(0.8 * labelMetrics.horizontalAdvance(u' ') * m.ratio);
        const int rowJoin = int(2.5 * rowMetrics.horizontalAdvance(u' ') * m.ratio);
        m.header = inkRuns(m.image, m.labelArea, labelJoin);
        const QList<Run> cells = inkRuns(m.image, rowArea, rowJoin);
        QString found;
        for (const Run &run : m.header)
            found += QStringLiteral(" %1-%2").arg(run.start).arg(run.end);
        QVERIFY2(m.header.size() == 7, qPrintable(QStringLiteral("header ink runs:") + found));
        // The row ends with quality, duration and date.
        QVERIFY2(cells.size() >= 4, qPrintable(QString::number(cells.size())));

        // The left edge of a row column: where its first glyph's ink starts, less that glyph's
        // left bearing.
        const auto columnEdge = [&](const Run &run, char first) {
            return run.start - rowMetrics.leftBearing(QLatin1Char(first)) * m.ratio;
        };
        m.qualityEdge = columnEdge(cells[cells.size() - 3], 'S');
        m.durationEdge = columnEdge(cells[cells.size() - 2], '1');
        m.dateEdge = columnEdge(cells[cells.size() - 1], '1');
    }

    // The whole header is inside the label: "Recorded" as wide and the caption as tall as their
    // glyphs.
    static void checkWhole(const Measured &m)
    {
        const QFontMetricsF labelMetrics(m.label->font());
        const double lastWidth = labelMetrics.tightBoundingRect(QStringLiteral("Recorded")).width() * m.ratio;
        const int drawnWidth = m.header[6].end - m.header[6].start + 1;
        QVERIFY2(drawnWidth >= 0.95 * lastWidth, qPrintable(QStringLiteral("%1 of %2").arg(drawnWidth).arg(lastWidth)));
        QVERIFY(m.header[6].end < m.labelArea.right());
        // The caption drawn with room to spare gives the height its ink needs.
        QImage free(QSize(m.label->width(), 3 * m.label->height()) * m.ratio, QImage::Format_ARGB32);
        free.setDevicePixelRatio(m.ratio);
        free.fill(Qt::white);
        {
            QPainter painter(&free);
            painter.setFont(m.label->font());
            painter.setPen(Qt::black);
            painter.drawText(QPointF(0, 2 * m.label->height()), m.label->text());
        }
        const int captionHeight = inkHeight(free, free.rect());
        QVERIFY2(inkHeight(m.image, m.labelArea) >= captionHeight - 1,
                 qPrintable(QStringLiteral("%1 of %2").arg(inkHeight(m.image, m.labelArea)).arg(captionHeight)));
    }
};

QTEST_MAIN(TestHeader)
#include "test_header.moc"
