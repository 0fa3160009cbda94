#include "estimate.h"

#include "numeric.h"

#include <QtTest>

using recordings::estimateSelection;
using recordings::hoursText;
using session::ShowTable;

namespace {

// Fills shows 0 to n - 1 with the given qualities, durations and minutes.
void fill(ShowTable &table, const QByteArrayList &qualities, const QList<double> &durations,
          const QList<int> &minutes)
{
    for (qsizetype i = 0; i < qualities.size(); ++i) {
        table.ShowQuality[i] = qualities[i];
        table.ShowDuration[i] = durations[i];
        table.ShowMinutes[i] = qint16(minutes[i]);
    }
}

std::function<bool(int)> taggedRows(const QList<int> &rows)
{
    return [rows](int i) { return rows.contains(i); };
}

const QByteArray kStandard = "Standard      ";
const QByteArray kMedium = "Medium        ";
const QByteArray kHigh = "High          ";

} // namespace

class TestEstimate : public QObject
{
    Q_OBJECT

private slots:
    void totals_data();
    void totals();
    void estimatesOfUntaggedShowsKept();
    void noMarkerKeepsEarlierEstimate();
    void tickThenUntickRestoresFigures();
    void fractionalEstimate_data();
    void fractionalEstimate();
    void hours_data();
    void hours();
};

void TestEstimate::totals_data()
{
    QTest::addColumn<QByteArrayList>("qualities");
    QTest::addColumn<QList<double>>("durations");
    QTest::addColumn<QList<int>>("minutes");
    QTest::addColumn<int>("showCount");
    QTest::addColumn<QList<int>>("tagged");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("bytes");
    QTest::addColumn<int>("totalMinutes");
    QTest::addColumn<QByteArray>("hours");

    const QByteArrayList three{kStandard, kMedium, kHigh};
    const QList<double> threeDurations{30, 60, 120};
    const QList<int> threeMinutes{30, 60, 120};

    QTest::newRow("worked example, all three")
        << three << threeDurations << threeMinutes << 3 << QList<int>{0, 1, 2} << 3
        << 8039497590.0 << 210 << QByteArray("3");
    QTest::newRow("worked example, 120 untagged")
        << three << threeDurations << threeMinutes << 3 << QList<int>{0, 1} << 2
        << 2388066270.0 << 90 << QByteArray("1");
    QTest::newRow("nothing tagged") << three << threeDurations << threeMinutes << 3
                                    << QList<int>() << 0 << 0.0 << 0 << QByteArray("0");
    QTest::newRow("only rows below the show count")
        << three << threeDurations << threeMinutes << 2 << QList<int>{0, 1, 2} << 2
        << 2388066270.0 << 90 << QByteArray("1");
    QTest::newRow("hours from the rounded minutes, not the durations")
        << QByteArrayList{kMedium, kMedium} << QList<double>{1.5, 58} << QList<int>{2, 58} << 2
        << QList<int>{0, 1} << 2 << 59.5 * 32032904.0 << 60 << QByteArray("1");
    QTest::newRow("no marker counts but adds no bytes")
        << QByteArrayList{"Best"} << QList<double>{90} << QList<int>{90} << 1 << QList<int>{0}
        << 1 << 0.0 << 90 << QByteArray("1");
    QTest::newRow("markers are exact case")
        << QByteArrayList{"standard", "MEDIUM", "high"} << QList<double>{10, 10, 10}
        << QList<int>{10, 10, 10} << 3 << QList<int>{0, 1, 2} << 3 << 0.0 << 30
        << QByteArray("0");
    QTest::newRow("marker anywhere in the text")
        << QByteArrayList{"  xHigher"} << QList<double>{10} << QList<int>{10} << 1
        << QList<int>{0} << 1 << 470952610.0 << 10 << QByteArray("0");
    QTest::newRow("Med after Sta wins")
        << QByteArrayList{"StaMed"} << QList<double>{10} << QList<int>{10} << 1
        << QList<int>{0} << 1 << 320329040.0 << 10 << QByteArray("0");
    QTest::newRow("Hig wins though written first")
        << QByteArrayList{"HigStaMed"} << QList<double>{10} << QList<int>{10} << 1
        << QList<int>{0} << 1 << 470952610.0 << 10 << QByteArray("0");
    QTest::newRow("59 minutes") << QByteArrayList{kStandard} << QList<double>{59}
                                << QList<int>{59} << 1 << QList<int>{0} << 1
                                << 59 * 15536401.0 << 59 << QByteArray("0");
    QTest::newRow("60 minutes") << QByteArrayList{kStandard} << QList<double>{60}
                                << QList<int>{60} << 1 << QList<int>{0} << 1
                                << 60 * 15536401.0 << 60 << QByteArray("1");
    QTest::newRow("119 minutes in two shows")
        << QByteArrayList{kStandard, kStandard} << QList<double>{60, 59} << QList<int>{60, 59}
        << 2 << QList<int>{0, 1} << 2 << 119 * 15536401.0 << 119 << QByteArray("1");
    QTest::newRow("120 minutes") << QByteArrayList{kStandard} << QList<double>{120}
                                 << QList<int>{120} << 1 << QList<int>{0} << 1
                                 << 120 * 15536401.0 << 120 << QByteArray("2");
    QTest::newRow("minutes from the rounded value, bytes from the duration")
        << QByteArrayList{kMedium} << QList<double>{2.5} << QList<int>{2} << 1
        << QList<int>{0} << 1 << 80082260.0 << 2 << QByteArray("0");
    QTest::newRow("minutes beyond 16 bits")
        << QByteArrayList{"Best", "Best", "Best"} << QList<double>{30000, 30000, 30000}
        << QList<int>{30000, 30000, 30000} << 3 << QList<int>{0, 1, 2} << 3 << 0.0 << 90000
        << QByteArray("1500");
    QTest::newRow("negative minutes")
        << QByteArrayList{"Best"} << QList<double>{-99} << QList<int>{-99} << 1
        << QList<int>{0} << 1 << 0.0 << -99 << QByteArray("0");
}

void TestEstimate::totals()
{
    QFETCH(QByteArrayList, qualities);
    QFETCH(QList<double>, durations);
    QFETCH(QList<int>, minutes);
    QFETCH(int, showCount);
    QFETCH(QList<int>, tagged);
    QFETCH(int, count);
    QFETCH(double, bytes);
    QFETCH(int, totalMinutes);
    QFETCH(QByteArray, hours);

    ShowTable table;
    fill(table, qualities, durations, minutes);
    const recordings::Estimate e = estimateSelection(table, showCount, taggedRows(tagged));
    QCOMPARE(int(e.taggedCount), count);
    QCOMPARE(e.taggedBytes, bytes);
    QCOMPARE(int(e.taggedMinutes), totalMinutes);
    QCOMPARE(hoursText(e.taggedMinutes), hours);
    QCOMPARE(text::numberText(e.taggedBytes, QLocale::c()),
             QByteArray::number(qint64(bytes)));
}

// An untagged show keeps the estimate of its last selection.
void TestEstimate::estimatesOfUntaggedShowsKept()
{
    ShowTable table;
    fill(table, {kStandard, kHigh}, {30, 120}, {30, 120});
    estimateSelection(table, 2, taggedRows({0, 1}));
    QCOMPARE(table.ShowEstBytes[0], 466092030.0);
    QCOMPARE(table.ShowEstBytes[1], 5651431320.0);

    table.ShowDuration[0] = 10;
    table.ShowDuration[1] = 10;
    const recordings::Estimate e = estimateSelection(table, 2, taggedRows({1}));
    QCOMPARE(table.ShowEstBytes[0], 466092030.0);
    QCOMPARE(table.ShowEstBytes[1], 470952610.0);
    QCOMPARE(e.taggedBytes, 470952610.0);
}

// Without a marker the show's estimate is neither set nor cleared, and it still counts.
void TestEstimate::noMarkerKeepsEarlierEstimate()
{
    ShowTable table;
    fill(table, {kStandard}, {10}, {10});
    estimateSelection(table, 1, taggedRows({0}));
    QCOMPARE(table.ShowEstBytes[0], 155364010.0);

    table.ShowQuality[0] = "Unknown";
    table.ShowDuration[0] = 99;
    const recordings::Estimate e = estimateSelection(table, 1, taggedRows({0}));
    QCOMPARE(table.ShowEstBytes[0], 155364010.0);
    QCOMPARE(e.taggedBytes, 155364010.0);
    QCOMPARE(int(e.taggedCount), 1);
}

void TestEstimate::tickThenUntickRestoresFigures()
{
    ShowTable table;
    fill(table, {kStandard, kMedium, kHigh}, {30, 60, 120}, {30, 60, 120});
    const recordings::Estimate before = estimateSelection(table, 3, taggedRows({0, 2}));
    const recordings::Estimate ticked = estimateSelection(table, 3, taggedRows({0, 1, 2}));
    QCOMPARE(int(ticked.taggedCount), 3);
    QCOMPARE(ticked.taggedBytes, 8039497590.0);
    const recordings::Estimate after = estimateSelection(table, 3, taggedRows({0, 2}));
    QCOMPARE(after.taggedCount, before.taggedCount);
    QCOMPARE(after.taggedBytes, before.taggedBytes);
    QCOMPARE(after.taggedMinutes, before.taggedMinutes);
    QCOMPARE(hoursText(after.taggedMinutes), QByteArray("2"));

    const recordings::Estimate none = estimateSelection(table, 3, taggedRows({}));
    QCOMPARE(text::numberText(none.taggedBytes), QByteArray("0"));
    QCOMPARE(hoursText(none.taggedMinutes), QByteArray("0"));
}

// One and a half minutes of Standard, written with the locale's decimal separator.
void TestEstimate::fractionalEstimate_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QByteArray>("bytesText");

    QTest::newRow("point locale") << QLocale::c() << QByteArray("23304601.5");
    QTest::newRow("comma locale") << QLocale(QLocale::German) << QByteArray("23304601,5");
}

void TestEstimate::fractionalEstimate()
{
    QFETCH(QLocale, locale);
    QFETCH(QByteArray, bytesText);

    ShowTable table;
    fill(table, {kStandard}, {1.5}, {2});
    const recordings::Estimate e = estimateSelection(table, 1, taggedRows({0}));
    QCOMPARE(e.taggedBytes, 23304601.5);
    QCOMPARE(table.ShowEstBytes[0], 23304601.5);
    QCOMPARE(text::numberText(e.taggedBytes, locale), bytesText);
}

void TestEstimate::hours_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QByteArray>("hours");

    QTest::newRow("negative") << -61 << QByteArray("0");
    QTest::newRow("none") << 0 << QByteArray("0");
    QTest::newRow("59") << 59 << QByteArray("0");
    QTest::newRow("60") << 60 << QByteArray("1");
    QTest::newRow("119") << 119 << QByteArray("1");
    QTest::newRow("120") << 120 << QByteArray("2");
    QTest::newRow("beyond 16 bits") << 40000 << QByteArray("666");
    QTest::newRow("201 longest shows") << 201 * 32767 << QByteArray("109769");
}

void TestEstimate::hours()
{
    QFETCH(int, minutes);
    QFETCH(QByteArray, hours);
    QCOMPARE(hoursText(minutes), hours);
}

QTEST_APPLESS_MAIN(TestEstimate)
#include "test_estimate.moc"
