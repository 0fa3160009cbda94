// The command lines that drive ReplayPC and PShell.exe.
#include "commandlines.h"

#include <QLocale>
#include <QTest>

using namespace runner;

class TestCommandLines : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

    void fetchAndConvert_data();
    void fetchAndConvert();
    void extract_data();
    void extract();
    void fractionalDelayUsesLocaleSeparator();
};

void TestCommandLines::fetchAndConvert_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("address") << QByteArray("192.168.1.20") << QByteArray("ReplayPC 192.168.1.20 -g");
    QTest::newRow("empty") << QByteArray() << QByteArray("ReplayPC  -g");
    QTest::newRow("blanks kept, no quotes")
        << QByteArray(" 10.0.0.1 x ") << QByteArray("ReplayPC  10.0.0.1 x  -g");
    QTest::newRow("shell characters kept")
        << QByteArray("1;rm \"a\" $(b)") << QByteArray("ReplayPC 1;rm \"a\" $(b) -g");
    QTest::newRow("single-byte letters") << QByteArray("caf\xE9") << QByteArray("ReplayPC caf\xE9 -g");
}

void TestCommandLines::fetchAndConvert()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, expected);
    QCOMPARE(fetchGuideCommand(address), expected);
    QCOMPARE(convertGuideCommand(), QByteArray("PShell.exe"));
}

void TestCommandLines::extract_data()
{
    QTest::addColumn<QByteArray>("delay");
    QTest::addColumn<QByteArray>("tail"); // what follows "ReplayPC 10.0.0.5 -e 1040500800.mpg"
    QTest::newRow("Default") << QByteArray("Default") << QByteArray();
    QTest::newRow("default") << QByteArray("default") << QByteArray(" 0");
    QTest::newRow("DEFAULT") << QByteArray("DEFAULT") << QByteArray(" 0");
    QTest::newRow("Default+blank") << QByteArray("Default ") << QByteArray(" 0");
    QTest::newRow("blank+Default") << QByteArray(" Default") << QByteArray(" 0");
    QTest::newRow("07") << QByteArray("07") << QByteArray(" 7");
    QTest::newRow("2.50") << QByteArray("2.50") << QByteArray(" 2.5");
    QTest::newRow("0.1") << QByteArray("0.1") << QByteArray(" 0.1");
    QTest::newRow("12 min") << QByteArray("12 min") << QByteArray(" 12");
    QTest::newRow("1 2 (blanks ignored)") << QByteArray("1 2") << QByteArray(" 12");
    QTest::newRow("empty") << QByteArray() << QByteArray(" 0");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray(" 0");
    QTest::newRow("48") << QByteArray("48") << QByteArray(" 48");
    QTest::newRow("-3") << QByteArray("-3") << QByteArray(" -3");
    QTest::newRow("1e2") << QByteArray("1e2") << QByteArray(" 100");
    QTest::newRow("&H10") << QByteArray("&H10") << QByteArray(" 16");
}

void TestCommandLines::extract()
{
    QFETCH(QByteArray, delay);
    QFETCH(QByteArray, tail);
    QCOMPARE(extractCommand("10.0.0.5", "1040500800.mpg", delay),
             QByteArray("ReplayPC 10.0.0.5 -e 1040500800.mpg") + tail);
    // Address and file name go in as they are, blanks and all.
    QCOMPARE(extractCommand("10.0.0.5 x", " a b.mpg ", delay),
             QByteArray("ReplayPC 10.0.0.5 x -e  a b.mpg ") + tail);
}

void TestCommandLines::fractionalDelayUsesLocaleSeparator()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(extractCommand("1.2.3.4", "f.mpg", "2.50"), QByteArray("ReplayPC 1.2.3.4 -e f.mpg 2,5"));
    QCOMPARE(extractCommand("1.2.3.4", "f.mpg", "2,50"), QByteArray("ReplayPC 1.2.3.4 -e f.mpg 2"));
}

QTEST_GUILESS_MAIN(TestCommandLines)
#include "test_commandlines.moc"
