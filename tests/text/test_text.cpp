// Shared helpers: code page, clock texts, line and field reads, numeric value and number text.
#include "clocktext.h"
#include "codepage.h"
#include "codepagetable.h"
#include "numeric.h"
#include "textreader.h"

#include <QtTest>

#include <cfloat>

using text::TextReader;

class TestText : public QObject
{
    Q_OBJECT

private slots:
    void codePage_roundTrip()
    {
        const QByteArray bytes("caf\xE9 \x80 \x93quoted\x94");
        const QString unicode = text::toUnicode(bytes);
        QCOMPARE(unicode, QString::fromUtf8("café € “quoted”"));
        QCOMPARE(text::fromUnicode(unicode), bytes);
    }
    void codePage_outsideBecomesQuestionMark()
    {
        QCOMPARE(text::fromUnicode(QString::fromUtf8("a✓b€\U0001F600c")), QByteArray("a?b\x80?c"));
    }

    // The 32 bytes where Windows-1252 differs from Latin-1, each both ways.
    void codePage_highControls_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("codePoint");
        const QList<std::pair<int, int>> rows{
            {0x80, 0x20AC}, {0x81, 0x0081}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E},
            {0x85, 0x2026}, {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030},
            {0x8A, 0x0160}, {0x8B, 0x2039}, {0x8C, 0x0152}, {0x8D, 0x008D}, {0x8E, 0x017D},
            {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C},
            {0x94, 0x201D}, {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC},
            {0x99, 0x2122}, {0x9A, 0x0161}, {0x9B, 0x203A}, {0x9C, 0x0153}, {0x9D, 0x009D},
            {0x9E, 0x017E}, {0x9F, 0x0178}};
        for (const auto &[byte, codePoint] : rows)
            QTest::addRow("0x%02X", byte) << byte << codePoint;
    }
    void codePage_highControls()
    {
        QFETCH(int, byte);
        QFETCH(int, codePoint);
        const QByteArray bytes(1, char(byte));
        QCOMPARE(text::toUnicode(bytes), QString(QChar(char16_t(codePoint))));
        QCOMPARE(text::fromUnicode(QString(QChar(char16_t(codePoint)))), bytes);
    }

    void codePage_latin1Edges_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("unicode");
        QTest::newRow("nul") << QByteArray(1, '\0') << QString(QChar(0));
        QTest::newRow("0x7F") << QByteArray("\x7F") << QString(QChar(0x7F));
        QTest::newRow("no-break space 0xA0") << QByteArray("\xA0") << QString(QChar(0xA0));
        QTest::newRow("e acute 0xE9") << QByteArray("\xE9") << QString(QChar(0xE9));
        QTest::newRow("0xFF") << QByteArray("\xFF") << QString(QChar(0xFF));
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("mixed") << QByteArray("R\xE9sum\xE9 \x96 \x80\x31\x30") << QString::fromUtf8("Résumé – €10");
    }
    void codePage_latin1Edges()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unicode);
        QCOMPARE(text::toUnicode(bytes), unicode);
        QCOMPARE(text::fromUnicode(unicode), bytes);
    }

    void codePage_everyByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        const QString unicode = text::toUnicode(all);
        QCOMPARE(unicode.size(), all.size());
        QCOMPARE(text::fromUnicode(unicode), all);
    }

    // Characters the code page cannot hold: each becomes one "?", the rest stays.
    void codePage_unencodable_data()
    {
        QTest::addColumn<QString>("unicode");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("C1 control 0x80 (byte 0x80 is the euro sign)") << QString(QChar(0x80)) << QByteArray("?");
        QTest::newRow("C1 control 0x9F") << QString(QChar(0x9F)) << QByteArray("?");
        QTest::newRow("first beyond Latin-1") << QString(QChar(0x100)) << QByteArray("?");
        QTest::newRow("Greek") << QString::fromUtf8("a\u03B1b") << QByteArray("a?b");
        QTest::newRow("surrogate pair is one character") << QString::fromUtf8("x\U0001F600y") << QByteArray("x?y");
        QTest::newRow("lone high surrogate") << (QString(QChar(0xD83D)) + u'z') << QByteArray("?z");
        QTest::newRow("lone low surrogate at end") << (u'z' + QString(QChar(0xDE00))) << QByteArray("z?");
        QTest::newRow("replacement character") << QString(QChar(0xFFFD)) << QByteArray("?");
        QTest::newRow("last 16-bit unit") << QString(QChar(0xFFFF)) << QByteArray("?");
        QTest::newRow("nul beside unencodable") << (QString(QChar(0)) + QChar(0x2603) + QChar(0)) << QByteArray("\0?\0", 3);
    }
    void codePage_unencodable()
    {
        QFETCH(QString, unicode);
        QFETCH(QByteArray, bytes);
        QCOMPARE(text::fromUnicode(unicode), bytes);
    }

    // A system table is taken only when every byte can come back from its character.
    void codePage_tableOneToOne_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("unit"); // what `byte` is changed to in the Windows-1252 table
        QTest::addColumn<bool>("oneToOne");
        QTest::newRow("unchanged") << 0x41 << 0x41 << true;
        QTest::newRow("another free character") << 0x81 << 0x0401 << true;
        QTest::newRow("two bytes share a character") << 0x81 << 0x20AC << false;
        QTest::newRow("last byte takes the first's") << 0xFF << 0x00 << false;
        QTest::newRow("surrogate") << 0x90 << 0xD800 << false;
    }
    void codePage_tableOneToOne()
    {
        QFETCH(int, byte);
        QFETCH(int, unit);
        QFETCH(bool, oneToOne);
        text::detail::ByteTable table = text::detail::windows1252();
        table.units[byte] = char16_t(unit);
        QCOMPARE(text::detail::isOneToOne(table), oneToOne);
    }

    // Whether bytes come back unchanged from their Unicode text. Page 0 is the page in use,
    // single-byte in these runs; the other pages are converted by Windows, the system's page
    // or not.
    void codePage_roundTrips_data()
    {
        QTest::addColumn<unsigned>("page");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("back");
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        QTest::newRow("every byte, page in use") << 0u << all << true;
        QTest::newRow("empty, page in use") << 0u << QByteArray() << true;
#ifdef Q_OS_WIN
        QTest::newRow("932 plain") << 932u << QByteArray("f1.mpg") << true;
        QTest::newRow("932 second bytes 0x5C 0x7C") << 932u << QByteArray("\x83\x5C\x95\x5C\x83\x7C.mpg") << true;
        QTest::newRow("932 single-byte katakana") << 932u << QByteArray("\xA5\xAD\xCD.mpg") << true;
        QTest::newRow("932 pair without a character") << 932u << QByteArray("\x85\x40.mpg") << false;
        QTest::newRow("932 lead byte last") << 932u << QByteArray("x.mpg\x83") << false;
        QTest::newRow("932 lead byte before a dot") << 932u << QByteArray("\x83.mpg") << false;
        QTest::newRow("936 two characters") << 936u << QByteArray("\xD6\xD0\xCE\xC4.mpg") << true;
        QTest::newRow("949 two characters") << 949u << QByteArray("\xC7\xD1\xB1\xDB.mpg") << true;
        QTest::newRow("950 second byte 0x5C") << 950u << QByteArray("\xA5\x5C.mpg") << true;
        // UTF-8 takes no WC_NO_BEST_FIT_CHARS on Windows: only the byte comparison tells.
        QTest::newRow("65001 letters") << 65001u << QByteArray("caf\xC3\xA9 \xE6\x97\xA5.mpg") << true;
        QTest::newRow("65001 lone second byte") << 65001u << QByteArray("a\x80.mpg") << false;
        QTest::newRow("65001 overlong slash") << 65001u << QByteArray("\xC0\xAF.mpg") << false;
        QTest::newRow("65001 cut sequence") << 65001u << QByteArray("\xE6\x97.mpg") << false;
        QTest::newRow("65001 encoded surrogate") << 65001u << QByteArray("\xED\xA0\x80.mpg") << false;
#endif
    }
    void codePage_roundTrips()
    {
        QFETCH(unsigned, page);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, back);
#ifdef Q_OS_WIN
        if (page != 0) {
            QCOMPARE(text::roundTrips(bytes, page), back);
            return;
        }
#endif
        QCOMPARE(page, 0u);
        QCOMPARE(text::roundTrips(bytes), back);
    }

    // Where characters start: "1" for a byte that starts one, "0" for one that continues it.
    void codePage_characterStarts_data()
    {
        QTest::addColumn<unsigned>("page");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("starts");
        QTest::newRow("page in use: 0x83 0x5C are two") << 0u << QByteArray("\x83\x5C") << QByteArray("11");
        QTest::newRow("page in use: empty") << 0u << QByteArray() << QByteArray();
#ifdef Q_OS_WIN
        QTest::newRow("932 second bytes 0x5C") << 932u << QByteArray("\x83\x5C\x95\x5C") << QByteArray("1010");
        QTest::newRow("932 second byte 0x7C among ASCII") << 932u << QByteArray("a\x83\x7C" "b") << QByteArray("1101");
        QTest::newRow("932 lead byte last") << 932u << QByteArray("ab\x83") << QByteArray("111");
        QTest::newRow("932 katakana are single") << 932u << QByteArray("\xA5\xAD\xCD\x5C") << QByteArray("1111");
        QTest::newRow("932 lead-range second byte") << 932u << QByteArray("\x81\x81\x81") << QByteArray("101");
        QTest::newRow("936 second byte 0x5C") << 936u << QByteArray("\xD6\x5C\x5C") << QByteArray("101");
        QTest::newRow("949 pair") << 949u << QByteArray("\xC7\xD1x") << QByteArray("101");
        QTest::newRow("950 second byte 0x5C") << 950u << QByteArray("\xA5\x5C|") << QByteArray("101");
        QTest::newRow("65001 two and three bytes") << 65001u << QByteArray("a\xC3\xA9\xE6\x97\xA5") << QByteArray("110100");
        QTest::newRow("1252 one byte each") << 1252u << QByteArray("\x83\x5C") << QByteArray("11");
#endif
    }
    void codePage_characterStarts()
    {
        QFETCH(unsigned, page);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, starts);
        QList<bool> got;
#ifdef Q_OS_WIN
        got = page ? text::characterStarts(bytes, page) : text::characterStarts(bytes);
#else
        QCOMPARE(page, 0u);
        got = text::characterStarts(bytes);
#endif
        QByteArray shown;
        for (const bool start : got)
            shown += start ? '1' : '0';
        QCOMPARE(shown, starts);
    }

#ifdef Q_OS_WIN
    // Text to the bytes of a Windows page: a character the page lacks becomes "?", never a
    // look-alike that Windows' best fit would give (the yen sign is 0x5C, a backslash, on 932).
    void codePage_toPageBytes_data()
    {
        QTest::addColumn<unsigned>("page");
        QTest::addColumn<QString>("unicode");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("932 character with second byte 0x5C") << 932u << QStringLiteral(u"\u30BD.mpg") << QByteArray("\x83\x5C.mpg");
        QTest::newRow("932 yen sign") << 932u << QStringLiteral(u"a\u00A5b") << QByteArray("a?b");
        QTest::newRow("932 e acute") << 932u << QStringLiteral(u"caf\u00E9") << QByteArray("caf?");
        QTest::newRow("932 empty") << 932u << QString() << QByteArray();
        QTest::newRow("65001 e acute") << 65001u << QStringLiteral(u"caf\u00E9") << QByteArray("caf\xC3\xA9");
    }
    void codePage_toPageBytes()
    {
        QFETCH(unsigned, page);
        QFETCH(QString, unicode);
        QFETCH(QByteArray, bytes);
        QCOMPARE(text::detail::pageFromUnicode(page, unicode), bytes);
    }

    // Windows refuses WC_NO_BEST_FIT_CHARS for UTF-8 and a few other pages (Wine takes it), so
    // they are converted without it.
    void codePage_noBestFitRefused_data()
    {
        QTest::addColumn<unsigned>("page");
        QTest::addColumn<bool>("refused");
        QTest::newRow("65001 UTF-8") << 65001u << true;
        QTest::newRow("50229 last ISO-2022") << 50229u << true;
        QTest::newRow("57011 last ISCII") << 57011u << true;
        QTest::newRow("50230 after ISO-2022") << 50230u << false;
        QTest::newRow("57012 after ISCII") << 57012u << false;
        QTest::newRow("932") << 932u << false;
    }
    void codePage_noBestFitRefused()
    {
        QFETCH(unsigned, page);
        QFETCH(bool, refused);
        QCOMPARE(text::detail::refusesNoBestFit(page), refused);
    }
#endif

    void clockTexts_fixedWidth_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QByteArray>("dateText");
        QTest::addColumn<QByteArray>("timeText");
        QTest::newRow("example") << QDate(2002, 12, 21) << QTime(20, 15, 3) << QByteArray("12-21-2002")
                                 << QByteArray("20:15:03");
        QTest::newRow("leadingZeros") << QDate(2003, 1, 5) << QTime(0, 0, 0) << QByteArray("01-05-2003")
                                      << QByteArray("00:00:00");
        QTest::newRow("lastSecond") << QDate(1999, 12, 31) << QTime(23, 59, 59)
                                    << QByteArray("12-31-1999") << QByteArray("23:59:59");
    }
    void clockTexts_fixedWidth()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QByteArray, dateText);
        QFETCH(QByteArray, timeText);
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(text::dateText(date), dateText);
        QCOMPARE(text::timeText(time), timeText);
        QLocale::setDefault(QLocale::c());
    }

    void lineRead_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("crlf") << QByteArray("a\r\nb c\r\n") << QByteArrayList{"a", "b c"};
        QTest::newRow("bareLf") << QByteArray("a\nb\n") << QByteArrayList{"a", "b"};
        QTest::newRow("noFinalLineEnd") << QByteArray("a\r\nlast") << QByteArrayList{"a", "last"};
        QTest::newRow("emptyLines") << QByteArray("\r\n\r\nx\r\n") << QByteArrayList{"", "", "x"};
        QTest::newRow("blanksKept") << QByteArray("  \r\n \r\n") << QByteArrayList{"  ", " "};
        QTest::newRow("empty") << QByteArray() << QByteArrayList{};
        QTest::newRow("innerCrKept") << QByteArray("a\rb\r\n") << QByteArrayList{"a\rb"};
    }
    void lineRead()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArrayList, lines);
        TextReader reader(data);
        QByteArray line;
        QByteArrayList got;
        while (reader.readLine(line))
            got << line;
        QCOMPARE(got, lines);
        QVERIFY(reader.atEnd());
        line = "stale";
        QVERIFY(!reader.readLine(line)); // past the end: the caller sees it
        QVERIFY(line.isEmpty());
    }

    void fieldRead_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArrayList>("fields");
        QTest::newRow("unquotedToComma") << QByteArray("a,b\r\n") << QByteArrayList{"a", "b"};
        QTest::newRow("leadingSpacesSkipped") << QByteArray("   a,  b\r\n") << QByteArrayList{"a", "b"};
        QTest::newRow("trailingSpacesKept") << QByteArray("a  ,b\r\n") << QByteArrayList{"a  ", "b"};
        QTest::newRow("quotedDropsQuotes") << QByteArray("\"x,y\",\"z\"\r\n") << QByteArrayList{"x,y", "z"};
        QTest::newRow("afterQuoteSkippedToComma") << QByteArray("\"a\" junk,b\r\n") << QByteArrayList{"a", "b"};
        QTest::newRow("afterQuoteSkippedToLineEnd") << QByteArray("\"a\" junk\r\nb\r\n") << QByteArrayList{"a", "b"};
        QTest::newRow("unclosedQuoteRunsToLineEnd") << QByteArray("\"abc\r\nd\r\n") << QByteArrayList{"abc", "d"};
        QTest::newRow("emptyLineGivesEmpty") << QByteArray("\r\n\r\nx\r\n") << QByteArrayList{"", "", "x"};
        QTest::newRow("bareLf") << QByteArray("a\nb,c\n") << QByteArrayList{"a", "b", "c"};
        QTest::newRow("trailingComma") << QByteArray("a,\r\nb") << QByteArrayList{"a", "", "b"};
        QTest::newRow("quoteInsideUnquoted") << QByteArray("Quality: \"x\r\n") << QByteArrayList{"Quality: \"x"};
        QTest::newRow("blankLine") << QByteArray("   \r\nx") << QByteArrayList{"", "x"};
        QTest::newRow("emptyQuoted") << QByteArray("\"\",\"\"") << QByteArrayList{"", ""};
        QTest::newRow("commaRightBeforeLineEnd") << QByteArray("a,\nb,c,\n,d") << QByteArrayList{"a", "", "b", "c", "", "", "d"};
        QTest::newRow("quoteClosedAtLineEnd") << QByteArray("\"a\"\nb") << QByteArrayList{"a", "b"};
        QTest::newRow("noLineEndAtAll") << QByteArray("a,b,c") << QByteArrayList{"a", "b", "c"};
    }
    void fieldRead()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArrayList, fields);
        TextReader reader(data);
        QByteArray field;
        QByteArrayList got;
        while (reader.readField(field))
            got << field;
        QCOMPARE(got, fields);
        QVERIFY(!reader.readField(field));
    }

    // Many fields on one long line, quoted ones among them, then a line read and the next line's
    // fields: each read must start where the last one stopped and end at its own line's end.
    void longFieldLine_everyFieldRight()
    {
        QByteArray data = "Show #1\r\n";
        QByteArrayList expected;
        for (int i = 0; i < 100000; ++i) {
            const QByteArray n = QByteArray::number(i);
            if (i % 1000 == 999) {
                data += "  \"q," + n + "\" tail,";
                expected << "q," + n;
            } else {
                data += "a" + n + ',';
                expected << "a" + n;
            }
        }
        data += "last\r\nnext line, stays whole\r\nx,y";
        expected << "last";

        TextReader reader(data);
        QByteArray s;
        QVERIFY(reader.readLine(s));
        QCOMPARE(s, QByteArray("Show #1"));
        QByteArrayList got;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QVERIFY(reader.readField(s));
            got << s;
        }
        QCOMPARE(got, expected);
        QVERIFY(reader.readLine(s));
        QCOMPARE(s, QByteArray("next line, stays whole"));
        QVERIFY(reader.readField(s));
        QCOMPARE(s, QByteArray("x"));
        QVERIFY(reader.readField(s));
        QCOMPARE(s, QByteArray("y"));
        QVERIFY(reader.atEnd());
    }

    void fieldsAndLinesInterleave()
    {
        TextReader reader(QByteArray("Show #1\r\nTitle, with comma\r\n  Quality: High, Recorded: x\r\n"));
        QByteArray s;
        QVERIFY(reader.readLine(s));
        QCOMPARE(s, QByteArray("Show #1"));
        QVERIFY(reader.readLine(s));
        QCOMPARE(s, QByteArray("Title, with comma"));
        QVERIFY(reader.readField(s));
        QCOMPARE(s, QByteArray("Quality: High"));
        QVERIFY(reader.readLine(s)); // a line read takes the rest of the current line
        QCOMPARE(s, QByteArray(" Recorded: x"));
        QVERIFY(reader.atEnd());
    }

    void numericValue_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << QByteArray("102") << 102.0;
        QTest::newRow("trailingBlank") << QByteArray("30 ") << 30.0;
        QTest::newRow("unitStops") << QByteArray("12 min") << 12.0;
        QTest::newRow("leadingZero") << QByteArray("07") << 7.0;
        QTest::newRow("fraction") << QByteArray("2.50") << 2.5;
        QTest::newRow("innerBlanksIgnored") << QByteArray("1 2\t0") << 120.0;
        QTest::newRow("lineFeedIgnored") << QByteArray("1\n5") << 15.0;
        QTest::newRow("empty") << QByteArray() << 0.0;
        QTest::newRow("word") << QByteArray("abc") << 0.0;
        QTest::newRow("default") << QByteArray("default") << 0.0;
        QTest::newRow("negative") << QByteArray("-4") << -4.0;
        QTest::newRow("plusSign") << QByteArray("+4") << 4.0;
        QTest::newRow("leadingPoint") << QByteArray(".5") << 0.5;
        QTest::newRow("trailingPoint") << QByteArray("5.") << 5.0;
        QTest::newRow("commaStops") << QByteArray("1,5") << 1.0;
        QTest::newRow("exponent") << QByteArray("9e3") << 9000.0;
        QTest::newRow("exponentSign") << QByteArray("25E-1") << 2.5;
        QTest::newRow("danglingExponent") << QByteArray("3e") << 3.0;
        QTest::newRow("danglingExponentSign") << QByteArray("3e+") << 3.0;
        QTest::newRow("hex") << QByteArray("&H1F") << 31.0;
        QTest::newRow("hexLower") << QByteArray("&hff") << 255.0;
        QTest::newRow("hexStops") << QByteArray("&H1G") << 1.0;
        QTest::newRow("octal") << QByteArray("&O17") << 15.0;
        QTest::newRow("octalStopsAt8") << QByteArray("&O18") << 1.0;
        QTest::newRow("ampersandOnly") << QByteArray("&") << 0.0;
        QTest::newRow("signOnly") << QByteArray("-") << 0.0;
        QTest::newRow("pointOnly") << QByteArray(".") << 0.0;
        QTest::newRow("overflowIsLargest") << QByteArray("1e999") << DBL_MAX;
        QTest::newRow("underflowIsZero") << QByteArray("1e-999") << 0.0;
        QTest::newRow("longExponentIsLargest") << QByteArray("1e99999999999999999999") << DBL_MAX;
        QTest::newRow("longNegativeExponentIsZero") << QByteArray("1e-99999999999999999999") << 0.0;
        // Twenty digits that a 64-bit count would wrap to a negative number, not a positive one.
        QTest::newRow("exponentThatWrapsNegativeIsLargest") << QByteArray("1e10000000000000000000") << DBL_MAX;
        QTest::newRow("negativeExponentThatWrapsIsZero") << QByteArray("1e-10000000000000000000") << 0.0;
        QTest::newRow("exponentPast2To64IsLargest") << QByteArray("1e18446744073709551617") << DBL_MAX;
        QTest::newRow("longExponentLeadingZeros") << QByteArray("1e" + QByteArray(40, '0') + "2") << 100.0;
        QTest::newRow("negativeLongExponentIsMostNegative") << QByteArray("-7e99999999999999999999") << -DBL_MAX;
        QTest::newRow("longMantissaInRange") << QByteArray("1" + QByteArray(300, '0')) << 1e300;
        QTest::newRow("longMantissaOverflows") << QByteArray("1" + QByteArray(400, '0')) << DBL_MAX;
        QTest::newRow("longMantissaPulledIntoRange") << QByteArray("1" + QByteArray(400, '0') + "e-398") << 100.0;
        QTest::newRow("zerosAfterPointUnderflow") << QByteArray("0." + QByteArray(500, '0') + "1e10") << 0.0;
        QTest::newRow("zeroWithHugeExponent") << QByteArray("0e99999999999999999999") << 0.0;
        QTest::newRow("longHexIsLargest") << QByteArray("&H" + QByteArray(300, 'F')) << DBL_MAX;
    }
    void numericValue()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QLocale::setDefault(QLocale(QLocale::German)); // a comma locale changes nothing here
        QCOMPARE(text::numericValue(text), value);
        QLocale::setDefault(QLocale::c());
    }

    void numberText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("text");
        const QString point = QStringLiteral("en_US");
        const QString comma = QStringLiteral("de_DE");
        QTest::newRow("zero") << 0.0 << point << QByteArray("0");
        QTest::newRow("negativeZero") << -0.0 << point << QByteArray("0");
        QTest::newRow("whole") << 7.0 << point << QByteArray("7");
        QTest::newRow("wholeNoGrouping") << 6337453584.0 << comma << QByteArray("6337453584");
        QTest::newRow("negativeWhole") << -42.0 << point << QByteArray("-42");
        QTest::newRow("fractionPoint") << 2.5 << point << QByteArray("2.5");
        QTest::newRow("fractionComma") << 2.5 << comma << QByteArray("2,5");
        QTest::newRow("estimatePoint") << 23304601.5 << point << QByteArray("23304601.5");
        QTest::newRow("estimateComma") << 23304601.5 << comma << QByteArray("23304601,5");
        QTest::newRow("smallFraction") << 0.05 << point << QByteArray("0.05");
        QTest::newRow("fifteenDigits") << 0.1 + 0.2 << point << QByteArray("0.3");
        QTest::newRow("roundedTo15") << 1234567.891234567 << point << QByteArray("1234567.89123457");
        QTest::newRow("bigWholeNoExponent") << 1e20 << point << QByteArray("100000000000000000000");
        QTest::newRow("roundsUpToWhole") << 9.9999999999999999 << point << QByteArray("10");
    }
    void numberText()
    {
        QFETCH(double, value);
        QFETCH(QString, locale);
        QFETCH(QByteArray, text);
        QCOMPARE(text::numberText(value, QLocale(locale)), text);
    }
    void numberText_usesDefaultLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(text::numberText(1.5), QByteArray("1,5"));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(text::numberText(1.5), QByteArray("1.5"));
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "test_text.moc"
