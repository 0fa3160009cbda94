// Times parseGuide on guides generated in memory: a full table of 201 shows, a 5 MB guide of
// 2,000 records (the parse stops after the 201st), and 5 MB that one record's entry search
// has to read through field by field before it finds its labels: comma-free lines, one line of
// comma-separated fields, and many short lines of them.
#include "guide.h"

#include <QtTest>

namespace {

QByteArray showRecord(int number, int targetSize)
{
    const QByteArray n = QByteArray::number(number);
    QByteArray r = "Show #" + n + " of 2000\r\n"
        + "Movie: Feature number " + n + " (1999)\r\n"
        + "Channel: 4 KXYZ\r\n"
        + "Quality: " + (number % 3 == 0 ? "Standard" : number % 3 == 1 ? "Medium" : "High")
        + "\r\n"
        + "Recorded: 12/21/2002 8:00 PM\r\n"
        + "Filename: 10404492" + n.rightJustified(2, '0', true) + "-Feature" + n + ".mpg\r\n"
        + "Duration: " + QByteArray::number(30 + number % 150) + " min\r\n";
    // Description lines after the duration entry are read and ignored up to the next record.
    const QByteArray filler = "Description: a long paragraph that the guide carries and the "
                              "parse skips line by line.\r\n";
    while (r.size() + filler.size() <= targetSize)
        r += filler;
    return r;
}

QByteArray guideOf(int records, int recordSize)
{
    QByteArray guide;
    guide.reserve(qsizetype(records) * recordSize);
    for (int i = 0; i < records; ++i)
        guide += showRecord(i + 1, recordSize);
    return guide;
}

// One record whose labels come only after `size` bytes of `piece` repeated.
QByteArray longSearchGuide(qsizetype size, const QByteArray &piece)
{
    QByteArray guide = "Show #1\r\nMovie: Long search\r\n";
    guide.reserve(size + 200);
    while (guide.size() < size)
        guide += piece;
    guide += "\r\nQuality: High\r\nRecorded: 01/02/2003\r\nFilename: F.mpg\r\nDuration: 60\r\n";
    return guide;
}

} // namespace

class BenchGuide : public QObject
{
    Q_OBJECT

private slots:
    // Each guide with the shows its parse must store and whether it stops at the table's end.
    void parse_data()
    {
        QTest::addColumn<QByteArray>("guide");
        QTest::addColumn<int>("shows");
        QTest::addColumn<bool>("moreThanTable");
        const QByteArray fullTable = guideOf(201, 400);
        const QByteArray fiveMegabytes = guideOf(2000, 2500);
        constexpr qsizetype fiveMB = 5 * 1024 * 1024;
        const QByteArray longSearch = longSearchGuide(
            fiveMB, "Notes without any label and without any comma at all here\r\n");
        const QByteArray oneCommaLine = longSearchGuide(fiveMB, "a,");
        const QByteArray shortCommaLines = longSearchGuide(fiveMB, "a,b,c,d,e,f,g,h\r\n");
        qInfo("guides: 201 shows %lld bytes, 2,000 records %lld bytes, one record %lld bytes",
              qlonglong(fullTable.size()), qlonglong(fiveMegabytes.size()),
              qlonglong(longSearch.size()));
        QTest::newRow("201 shows") << fullTable << 201 << false;
        QTest::newRow("2,000 records, 5 MB") << fiveMegabytes << 201 << true;
        QTest::newRow("one record after 5 MB of lines") << longSearch << 1 << false;
        QTest::newRow("one record after a 5 MB line of fields") << oneCommaLine << 1 << false;
        QTest::newRow("one record after 5 MB of short field lines") << shortCommaLines << 1 << false;
    }

    void parse()
    {
        QFETCH(QByteArray, guide);
        QFETCH(int, shows);
        QFETCH(bool, moreThanTable);
        recordings::GuideParse result;
        QBENCHMARK {
            session::ShowTable table;
            result = recordings::parseGuide(guide, table);
        }
        QCOMPARE(result.showCount, shows);
        QCOMPARE(result.moreThanTable, moreThanTable);
    }
};

QTEST_APPLESS_MAIN(BenchGuide)
#include "bench_guide.moc"
