#include "codepage.h"
#include "guide.h"

#include "codepagerun.h"

#include <QtTest>

using recordings::GuideParse;
using recordings::parseGuide;
using session::kMaxShows;
using session::ShowTable;

namespace {

QByteArray blanks(int n) { return QByteArray(n, ' '); }

// The text padded with blanks to `width` characters.
QByteArray padded(const QByteArray &text, int width = 58)
{
    return text + blanks(width - int(text.size()));
}

// Lines joined with CR LF, each one ended.
QByteArray crlf(const QByteArrayList &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

// A complete record in the layout the guide tool writes.
QByteArray record(const QByteArray &title, const QByteArray &quality = "Standard",
                  const QByteArray &duration = "102 min", const QByteArray &fileName = "F1.mpg",
                  const QByteArray &recorded = "12/21/2002 8:00 PM")
{
    return crlf({"Show #1 of 1", "Movie: " + title, "Channel: 4", "Quality: " + quality,
                 "Recorded: " + recorded, "Filename: " + fileName, "Duration: " + duration,
                 "Description: nothing to see"});
}

// Every element of the table at `from` and above is empty text or 0.
bool emptyFrom(const ShowTable &t, int from)
{
    for (int i = from; i < kMaxShows; ++i) {
        if (!t.ShowTitle[i].isEmpty() || !t.ShowQuality[i].isEmpty()
            || !t.ShowRecorded[i].isEmpty() || !t.ShowFileName[i].isEmpty()
            || t.ShowDuration[i] != 0 || t.ShowMinutes[i] != 0 || t.ShowEstBytes[i] != 0)
            return false;
    }
    for (int i = from; i < session::kListLines; ++i) {
        if (!t.ListLine[i].isEmpty())
            return false;
    }
    return true;
}

} // namespace

class TestGuide : public QObject
{
    Q_OBJECT

private slots:
    void firstShow_data();
    void firstShow();
    void records_data();
    void records();
    void casablancaColumns_data();
    void casablancaColumns();
    void tableLimit_data();
    void tableLimit();
    void lineEndings_data();
    void lineEndings();
    void listRows_data();
    void listRows();
    void incompleteRecordLeavesTableAlone();
};

// One guide, and what the parse stores for its first show.
void TestGuide::firstShow_data()
{
    QTest::addColumn<QByteArray>("guide");
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("quality");
    QTest::addColumn<QByteArray>("recorded");
    QTest::addColumn<QByteArray>("fileName");
    QTest::addColumn<double>("duration");
    QTest::addColumn<int>("minutes");

    const QByteArray std14 = "Standard" + blanks(6);
    const QByteArray date = "12/21/2002";

    QTest::newRow("title without colon is the whole line")
        << crlf({"Show #1", "Casablanca 1942", "Quality: Standard", "Recorded: 12/21/2002",
                 "Filename: F1.mpg", "Duration: 102"})
        << padded("Casablanca 1942") << std14 << date << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("paren right after colon gives blanks")
        << record("(1942) Casablanca").replace("Movie: ", "Movie:") << blanks(58) << std14
        << date << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("text after first paren dropped")
        << record("Casablanca (1942) (colour)") << padded(" Casablanca ") << std14 << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("title of exactly 58 kept")
        << record(QByteArray(57, 'x')) << " " + QByteArray(57, 'x') << std14 << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("long title cut to 58")
        << record(QByteArray(40, 'x') + QByteArray(40, 'y'))
        << " " + QByteArray(40, 'x') + QByteArray(17, 'y') << std14 << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    // A double-byte character of 932 whose first byte falls on the last column is left out
    // whole; one that ends there, or ends right before it, is kept. On a single-byte page every
    // byte is a character and the cut is at 58 bytes (test_recordings_guide_cp932 runs 932).
    const bool cp932 = codePageInUse() == 932;
    QTest::newRow("character across the cut")
        << record(QByteArray(56, 'x') + "\x94\xD4") << " " + QByteArray(56, 'x') + (cp932 ? " " : "\x94")
        << std14 << date << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("character ending on the last column")
        << record(QByteArray(55, 'x') + "\x94\xD4\x91\x67") << " " + QByteArray(55, 'x') + "\x94\xD4"
        << std14 << date << QByteArray("F1.mpg") << 102.0 << 102;
    // 0x81 is a lead byte and, on 932, also the second byte of the pair before it: read from
    // the title's start, the pair on the last two columns ends on the cut.
    QTest::newRow("lead-range second byte on the last column")
        << record(QByteArray(53, 'x') + "\x81\x81\x81\x81" "A") << " " + QByteArray(53, 'x') + "\x81\x81\x81\x81"
        << std14 << date << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("quote in title widens then is cut back")
        << record(QByteArray(54, 'a') + "\"bc") << " " + QByteArray(54, 'a') + " - " << std14
        << date << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("quote in short title")
        << record("Say \"Hi\"") << padded(" Say  - Hi - ") << std14 << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("semicolons and further colons become blanks")
        << record("Star Trek: TNG;Pilot") << padded(" Star Trek  TNG Pilot") << std14 << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("comma in title stays")
        << record("Me, Myself, I") << padded(" Me, Myself, I") << std14 << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("High padded with 10 blanks")
        << record("A", "High") << padded(" A") << "High" + blanks(10) << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("Medium padded with 8 blanks")
        << record("A", "Medium") << padded(" A") << "Medium" + blanks(8) << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("unknown quality keeps its length")
        << record("A", "Best") << padded(" A") << QByteArray("Best") << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("quality word is exact case")
        << record("A", "high") << padded(" A") << QByteArray("high") << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("quality cut to 8 characters then padded")
        << record("A", "Standard Play") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("empty quality value")
        << record("A", "").replace("Quality: ", "Quality:") << padded(" A") << QByteArray()
        << date << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("file name cut to 26 characters")
        << record("A", "High", "60", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123.mpg") << padded(" A")
        << "High" + blanks(10) << date << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ") << 60.0
        << 60;
    QTest::newRow("two-digit duration with blank")
        << record("A", "Standard", "30 min") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 30.0 << 30;
    QTest::newRow("non-numeric duration is 0")
        << record("A", "Standard", "n/a") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 0.0 << 0;
    QTest::newRow("empty duration is 0")
        << record("A", "Standard", "").replace("Duration: ", "Duration:") << padded(" A")
        << std14 << date << QByteArray("F1.mpg") << 0.0 << 0;
    QTest::newRow("half rounds down to even")
        << record("A", "Standard", "2.5") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 2.5 << 2;
    QTest::newRow("half rounds up to even")
        << record("A", "Standard", "1.5") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 1.5 << 2;
    QTest::newRow("below half rounds down")
        << record("A", "Standard", "1.4") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 1.4 << 1;
    QTest::newRow("only three duration characters read")
        << record("A", "Standard", "1234") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 123.0 << 123;
    QTest::newRow("hexadecimal duration")
        << record("A", "Standard", "&HF") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 15.0 << 15;
    QTest::newRow("exponent duration that fits")
        << record("A", "Standard", "3e4") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 30000.0 << 30000;
    QTest::newRow("exponent duration clamped")
        << record("A", "Standard", "4e4") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 40000.0 << 32767;
    QTest::newRow("huge exponent duration clamped")
        << record("A", "Standard", "9e9") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << 9e9 << 32767;
    QTest::newRow("negative duration kept")
        << record("A", "Standard", "-99") << padded(" A") << std14 << date
        << QByteArray("F1.mpg") << -99.0 << -99;
    QTest::newRow("comma cuts an entry value")
        << record("A", "Standard", "102", "F1.mpg", "12/21,2002") << padded(" A") << std14
        << QByteArray("12/21") << QByteArray("F1.mpg") << 102.0 << 102;
    QTest::newRow("quoted entry recognised without its quotes")
        << crlf({"Show #1", "Movie: A", "Quality: High", "Recorded: 01/02/2003",
                 "\"Filename: My, Show.mpg\"", "Duration: 60"})
        << padded(" A") << "High" + blanks(10) << QByteArray("01/02/2003")
        << QByteArray("My, Show.mpg") << 60.0 << 60;
    QTest::newRow("indented entry recognised")
        << crlf({"Show #1", "Movie: A", "    Quality: Medium", "  Recorded: 01/02/2003",
                 "\tFilename: tab.mpg", "Filename: F.mpg", "Duration: 60"})
        << padded(" A") << "Medium" + blanks(8) << QByteArray("01/02/2003")
        << QByteArray("F.mpg") << 60.0 << 60;
    QTest::newRow("label after a comma in an unrelated line")
        << crlf({"Show #1", "Movie: A", "Quality: High",
                 "Channel: 4, Recorded: 07/04/1999 late", "Recorded: 01/02/2003",
                 "Filename: F.mpg", "Duration: 60"})
        << padded(" A") << "High" + blanks(10) << QByteArray("07/04/1999")
        << QByteArray("F.mpg") << 60.0 << 60;
    QTest::newRow("label is exact case")
        << crlf({"Show #1", "Movie: A", "quality: Medium", "QUALITY: Medium", "Quality: High",
                 "Recorded: 01/02/2003", "Filename: F.mpg", "Duration: 60"})
        << padded(" A") << "High" + blanks(10) << QByteArray("01/02/2003")
        << QByteArray("F.mpg") << 60.0 << 60;
    QTest::newRow("all entries on one line")
        << crlf({"Show #1", "Movie: A",
                 "Quality: High, Recorded: 01/02/2003,Filename: F.mpg, Duration: 45"})
        << padded(" A") << "High" + blanks(10) << QByteArray("01/02/2003")
        << QByteArray("F.mpg") << 45.0 << 45;
    QTest::newRow("title line beginning with Quality: is the quality entry")
        << crlf({"Show #1", "Quality: High", "Quality: Medium", "Recorded: 01/02/2003",
                 "Filename: F.mpg", "Duration: 60"})
        << padded(" High") << "High" + blanks(10) << QByteArray("01/02/2003")
        << QByteArray("F.mpg") << 60.0 << 60;
    QTest::newRow("text after the start marker ignored")
        << crlf({"Show #17 of 40 -- Quality: Medium", "Movie: A", "Quality: High",
                 "Recorded: 01/02/2003", "Filename: F.mpg", "Duration: 60"})
        << padded(" A") << "High" + blanks(10) << QByteArray("01/02/2003")
        << QByteArray("F.mpg") << 60.0 << 60;
    QTest::newRow("lines before the first record ignored")
        << crlf({"Recorder guide", "Quality: Medium", "Duration: 5", "show #0", " Show #0"})
               + record("A", "High", "60")
        << padded(" A") << "High" + blanks(10) << date << QByteArray("F1.mpg") << 60.0 << 60;
    QTest::newRow("Windows-1252 bytes kept")
        << record("Caf\xe9 \x93Noir\x94") << padded(" Caf\xe9 \x93Noir\x94") << std14 << date
        << QByteArray("F1.mpg") << 102.0 << 102;
}

void TestGuide::firstShow()
{
    QFETCH(QByteArray, guide);
    QFETCH(QByteArray, title);
    QFETCH(QByteArray, quality);
    QFETCH(QByteArray, recorded);
    QFETCH(QByteArray, fileName);
    QFETCH(double, duration);
    QFETCH(int, minutes);

    ShowTable table;
    const GuideParse parse = parseGuide(guide, table);
    QCOMPARE(parse.showCount, 1);
    QVERIFY(!parse.endedInsideRecord);
    QVERIFY(!parse.moreThanTable);
    QCOMPARE(table.ShowTitle[0], title);
    QCOMPARE(table.ShowTitle[0].size(), qsizetype(58));
    QCOMPARE(table.ShowQuality[0], quality);
    QCOMPARE(table.ShowRecorded[0], recorded);
    QCOMPARE(table.ShowFileName[0], fileName);
    QCOMPARE(table.ShowDuration[0], duration);
    QCOMPARE(int(table.ShowMinutes[0]), minutes);
    QCOMPARE(table.ShowEstBytes[0], 0.0);
    QVERIFY(!table.ListLine[0].isEmpty());
    QVERIFY(emptyFrom(table, 1));
}

// Guides of several records, or none: which shows are stored and how the parse ended.
void TestGuide::records_data()
{
    QTest::addColumn<QByteArray>("guide");
    QTest::addColumn<QByteArrayList>("titles"); // trailing blanks left out
    QTest::addColumn<QByteArrayList>("fileNames");
    QTest::addColumn<QList<double>>("durations");
    QTest::addColumn<bool>("endedInside");

    const QByteArray a = record("A", "High", "30", "FA.mpg");
    const QByteArray b = record("B", "Medium", "45", "FB.mpg");
    const QByteArray c = record("C", "Standard", "60", "FC.mpg");

    QTest::newRow("empty file") << QByteArray() << QByteArrayList() << QByteArrayList()
                                << QList<double>() << false;
    QTest::newRow("no start line")
        << crlf({"Movie: A", "Quality: High", "Recorded: 01/02/2003", "Filename: F.mpg",
                 "Duration: 60"})
        << QByteArrayList() << QByteArrayList() << QList<double>() << false;
    QTest::newRow("start line needs exact case and first column")
        << QByteArray(a).replace("Show #", "show #") + QByteArray(b).replace("Show #", " Show #")
               + QByteArray(c).replace("Show #", "Show#")
        << QByteArrayList() << QByteArrayList() << QList<double>() << false;
    QTest::newRow("three records") << a + b + c << QByteArrayList{" A", " B", " C"}
                                   << QByteArrayList{"FA.mpg", "FB.mpg", "FC.mpg"}
                                   << QList<double>{30, 45, 60} << false;
    QTest::newRow("missing duration taken from the next record, which gets no row")
        << QByteArray(a).replace("Duration: 30", "Length: 30") + b + c
        << QByteArrayList{" A", " C"} << QByteArrayList{"FA.mpg", "FC.mpg"}
        << QList<double>{45, 60} << false;
    QTest::newRow("missing quality takes the rest from the next record")
        << QByteArray(a).replace("Quality: High", "Q: High") + b + c
        << QByteArrayList{" A", " C"} << QByteArrayList{"FB.mpg", "FC.mpg"}
        << QList<double>{45, 60} << false;
    QTest::newRow("start line right after a comma of the duration line")
        << crlf({"Show #1", "Movie: A", "Quality: High", "Recorded: 01/02/2003",
                 "Filename: FA.mpg", "Duration: 30,Show #2", "Movie: B", "Quality: High",
                 "Recorded: 01/02/2003", "Filename: FB.mpg", "Duration: 45"})
        << QByteArrayList{" A", " B"} << QByteArrayList{"FA.mpg", "FB.mpg"}
        << QList<double>{30, 45} << false;
    QTest::newRow("blank before the start marker after a comma")
        << crlf({"Show #1", "Movie: A", "Quality: High", "Recorded: 01/02/2003",
                 "Filename: FA.mpg", "Duration: 30, Show #2", "Movie: B", "Quality: High",
                 "Recorded: 01/02/2003", "Filename: FB.mpg", "Duration: 45"})
               + c
        << QByteArrayList{" A", " C"} << QByteArrayList{"FA.mpg", "FC.mpg"}
        << QList<double>{30, 60} << false;
    QTest::newRow("end right after a start line")
        << a + "Show #2" << QByteArrayList{" A"} << QByteArrayList{"FA.mpg"}
        << QList<double>{30} << true;
    QTest::newRow("end after a start line and its line end")
        << a + "Show #2\r\n" << QByteArrayList{" A"} << QByteArrayList{"FA.mpg"}
        << QList<double>{30} << true;
    QTest::newRow("end while looking for quality")
        << a + crlf({"Show #2", "Movie: B"}) << QByteArrayList{" A"}
        << QByteArrayList{"FA.mpg"} << QList<double>{30} << true;
    QTest::newRow("end while looking for recorded")
        << a + crlf({"Show #2", "Movie: B", "Quality: High"}) << QByteArrayList{" A"}
        << QByteArrayList{"FA.mpg"} << QList<double>{30} << true;
    QTest::newRow("end while looking for file name")
        << a + crlf({"Show #2", "Movie: B", "Quality: High", "Recorded: 01/02/2003"})
        << QByteArrayList{" A"} << QByteArrayList{"FA.mpg"} << QList<double>{30} << true;
    QTest::newRow("end while looking for duration")
        << a + crlf({"Show #2", "Movie: B", "Quality: High", "Recorded: 01/02/2003",
                     "Filename: FB.mpg", "Length: 45"})
        << QByteArrayList{" A"} << QByteArrayList{"FA.mpg"} << QList<double>{30} << true;
    QTest::newRow("duration on the last line without line end")
        << crlf({"Show #1", "Movie: A", "Quality: High", "Recorded: 01/02/2003",
                 "Filename: FA.mpg"})
               + "Duration: 30"
        << QByteArrayList{" A"} << QByteArrayList{"FA.mpg"} << QList<double>{30} << false;
    QTest::newRow("only an incomplete record")
        << crlf({"Show #1", "Movie: A", "Quality: High"}) << QByteArrayList()
        << QByteArrayList() << QList<double>() << true;
}

void TestGuide::records()
{
    QFETCH(QByteArray, guide);
    QFETCH(QByteArrayList, titles);
    QFETCH(QByteArrayList, fileNames);
    QFETCH(QList<double>, durations);
    QFETCH(bool, endedInside);

    ShowTable table;
    const GuideParse parse = parseGuide(guide, table);
    QCOMPARE(parse.showCount, int(titles.size()));
    QCOMPARE(parse.endedInsideRecord, endedInside);
    QVERIFY(!parse.moreThanTable);
    for (int i = 0; i < parse.showCount; ++i) {
        QCOMPARE(table.ShowTitle[i], padded(titles[i]));
        QCOMPARE(table.ShowFileName[i], fileNames[i]);
        QCOMPARE(table.ShowDuration[i], durations[i]);
        QVERIFY(table.ListLine[i].startsWith(table.ShowTitle[i]));
    }
    QVERIFY(emptyFrom(table, parse.showCount));
}

// The worked example, column by column (columns counted from 1).
void TestGuide::casablancaColumns_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("blank after the colon") << 1 << 1 << QByteArray(" ");
    QTest::newRow("title") << 2 << 11 << QByteArray("Casablanca");
    QTest::newRow("title padding") << 12 << 58 << blanks(47);
    QTest::newRow("quality") << 59 << 66 << QByteArray("Standard");
    QTest::newRow("quality padding") << 67 << 72 << blanks(6);
    QTest::newRow("duration") << 73 << 75 << QByteArray("102");
    QTest::newRow("gap") << 76 << 84 << blanks(9);
    QTest::newRow("recorded") << 85 << 94 << QByteArray("12/21/2002");
}

void TestGuide::casablancaColumns()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QByteArray, text);

    const QByteArray guide = crlf({"Show #1 of 1", "Movie: Casablanca (1942)", "Quality: Standard",
                                   "Recorded: 12/21/2002 8:00 PM",
                                   "Filename: 1040449200-Casablanca.mpg", "Duration: 102 min"});
    ShowTable table;
    QCOMPARE(parseGuide(guide, table).showCount, 1);
    QCOMPARE(table.ShowTitle[0], padded(" Casablanca "));
    QCOMPARE(table.ShowQuality[0], QByteArray("Standard      "));
    QCOMPARE(table.ShowRecorded[0], QByteArray("12/21/2002"));
    QCOMPARE(table.ShowFileName[0], QByteArray("1040449200-Casablanca.mpg"));
    QCOMPARE(table.ShowDuration[0], 102.0);
    QCOMPARE(int(table.ShowMinutes[0]), 102);

    const QByteArray row = table.ListLine[0];
    QCOMPARE(row.size(), qsizetype(94));
    QCOMPARE(row.mid(first - 1, last - first + 1), text);
}

// The table holds 201 shows; the parse stops at a start line beyond them.
void TestGuide::tableLimit_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<int>("showCount");
    QTest::addColumn<bool>("more");
    QTest::addColumn<bool>("endedInside");

    QTest::newRow("200 records") << 200 << QByteArray() << 200 << false << false;
    QTest::newRow("201 records") << 201 << QByteArray() << 201 << false << false;
    QTest::newRow("201 records and trailing lines")
        << 201 << crlf({"End of guide", "show #202"}) << 201 << false << false;
    QTest::newRow("202 records") << 202 << QByteArray() << 201 << true << false;
    QTest::newRow("201 records and a bare start line")
        << 201 << QByteArray("Show #202") << 201 << true << false;
    QTest::newRow("300 records") << 300 << QByteArray() << 201 << true << false;
    QTest::newRow("200 records and an incomplete one")
        << 200 << QByteArray("Show #201\r\nMovie: X\r\n") << 200 << false << true;
}

void TestGuide::tableLimit()
{
    QFETCH(int, records);
    QFETCH(QByteArray, tail);
    QFETCH(int, showCount);
    QFETCH(bool, more);
    QFETCH(bool, endedInside);

    QByteArray guide;
    for (int i = 0; i < records; ++i)
        guide += record("Show " + QByteArray::number(i), "High", "60",
                        "F" + QByteArray::number(i) + ".mpg");
    guide += tail;

    ShowTable table;
    const GuideParse parse = parseGuide(guide, table);
    QCOMPARE(parse.showCount, showCount);
    QCOMPARE(parse.moreThanTable, more);
    QCOMPARE(parse.endedInsideRecord, endedInside);
    const int last = showCount - 1;
    QCOMPARE(table.ShowTitle[last], padded(" Show " + QByteArray::number(last)));
    QCOMPARE(table.ShowFileName[last], "F" + QByteArray::number(last) + ".mpg");
    QVERIFY(emptyFrom(table, showCount));
}

// The same two records with different line ends.
void TestGuide::lineEndings_data()
{
    QTest::addColumn<QByteArray>("guide");

    const QByteArrayList lines{"Show #1", "Movie: A: Episode 1 (2001)", "Quality: High",
                               "Recorded: 01/02/2003 9:00 PM", "Filename: FA.mpg",
                               "Duration: 30 min", "Show #2", "Movie: B",
                               "Quality: Medium", "Recorded: 02/03/2004", "Filename: FB.mpg",
                               "Duration: 45"};
    QTest::newRow("CR LF") << crlf(lines);
    QTest::newRow("bare LF") << lines.join('\n') + '\n';
    QTest::newRow("bare LF without final line end") << lines.join('\n');
    QTest::newRow("CR LF without final line end") << lines.join("\r\n");
    QByteArray mixed;
    for (qsizetype i = 0; i < lines.size(); ++i)
        mixed += lines[i] + (i % 2 ? "\n" : "\r\n");
    QTest::newRow("mixed") << mixed;
}

void TestGuide::lineEndings()
{
    QFETCH(QByteArray, guide);

    ShowTable table;
    const GuideParse parse = parseGuide(guide, table);
    QCOMPARE(parse.showCount, 2);
    QVERIFY(!parse.endedInsideRecord);
    QCOMPARE(table.ShowTitle[0], padded(" A  Episode 1 "));
    QCOMPARE(table.ShowQuality[0], "High" + blanks(10));
    QCOMPARE(table.ShowRecorded[0], QByteArray("01/02/2003"));
    QCOMPARE(table.ShowFileName[0], QByteArray("FA.mpg"));
    QCOMPARE(table.ShowDuration[0], 30.0);
    QCOMPARE(table.ShowTitle[1], padded(" B"));
    QCOMPARE(table.ShowRecorded[1], QByteArray("02/03/2004"));
    QCOMPARE(table.ShowFileName[1], QByteArray("FB.mpg"));
    QCOMPARE(table.ShowDuration[1], 45.0);
    QCOMPARE(int(table.ShowMinutes[1]), 45);
    for (int i = 0; i < 2; ++i)
        QVERIFY(!table.ListLine[i].contains('\r') && !table.ListLine[i].contains('\n'));
}

// List rows whose values are not the usual widths, or hold double quotes.
void TestGuide::listRows_data()
{
    QTest::addColumn<QByteArray>("guide");
    QTest::addColumn<QByteArray>("row");

    QTest::newRow("two-digit duration stands left in its column")
        << record("A", "High", "30 min", "F.mpg", "01/02/2003")
        << padded(" A") + "High" + blanks(10) + "30 " + blanks(9) + "01/02/2003";
    QTest::newRow("unknown quality shifts the later columns")
        << record("A", "Best", "102", "F.mpg", "01/02/2003")
        << padded(" A") + "Best" + "102" + blanks(9) + "01/02/2003";
    QTest::newRow("short duration and date")
        << record("A", "Medium", "5", "F.mpg", "1/2")
        << padded(" A") + "Medium" + blanks(8) + "5" + blanks(9) + "1/2";
    QTest::newRow("quotes in quality and date become dashes")
        << record("A", "\"High\"", "60", "F.mpg", "\"1/2/03\"")
        << padded(" A") + " - High - " + "60" + blanks(9) + " - 1/2/03 - ";
}

void TestGuide::listRows()
{
    QFETCH(QByteArray, guide);
    QFETCH(QByteArray, row);

    ShowTable table;
    QCOMPARE(parseGuide(guide, table).showCount, 1);
    QCOMPARE(table.ListLine[0], row);
}

// A record cut off by the end of the file leaves the slot it would have taken as it was.
void TestGuide::incompleteRecordLeavesTableAlone()
{
    ShowTable table;
    table.ShowTitle[1] = "kept";
    table.ShowDuration[1] = 7;
    table.ListLine[1] = "kept row";
    const QByteArray guide = record("A", "High", "30")
        + crlf({"Show #2", "Movie: B", "Quality: High", "Recorded: 01/02/2003",
                "Filename: FB.mpg"});
    const GuideParse parse = parseGuide(guide, table);
    QCOMPARE(parse.showCount, 1);
    QVERIFY(parse.endedInsideRecord);
    QCOMPARE(table.ShowTitle[1], QByteArray("kept"));
    QCOMPARE(table.ShowFileName[1], QByteArray());
    QCOMPARE(table.ShowDuration[1], 7.0);
    QCOMPARE(table.ListLine[1], QByteArray("kept row"));
}

QTEST_APPLESS_MAIN(TestGuide)
#include "test_guide.moc"
