#include "codepage.h"
#include "extraction.h"

#include "codepagerun.h"

#include <QtTest>

using recordings::checkPull;
using recordings::PullCheck;
using recordings::recorderFile;
using recordings::stepAwayFromExisting;
using recordings::targetName;
using recordings::unsafeRecorderFileReason;

class TestExtraction : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void collisions_data();
    void collisions();
    void recorderFileTrimmed_data();
    void recorderFileTrimmed();
    void unsafeNames_data();
    void unsafeNames();
    void space_data();
    void space();
};

void TestExtraction::names_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("recorded");
    QTest::addColumn<QByteArray>("name");

    const QByteArray pad(40, ' ');
    QTest::newRow("trailing blanks of the title dropped")
        << "Casablanca" + pad << QByteArray("12-21-2002") << QByteArray("Casablanca_12-21-2002.mpg");
    QTest::newRow("leading blank stays")
        << " Casablanca " + pad << QByteArray("12/21/2002")
        << QByteArray(" Casablanca_12 21 2002.mpg");
    QTest::newRow("inner blanks stay") << " A  B " + pad << QByteArray("D")
                                       << QByteArray(" A  B_D.mpg");
    QTest::newRow("colon, semicolon and quote become blanks")
        << QByteArray("Star Trek: TNG;\"Pilot\"") << QByteArray("D")
        << QByteArray("Star Trek  TNG  Pilot _D.mpg");
    QTest::newRow("backslash becomes a blank") << QByteArray("AC\\DC") << QByteArray("1\\2")
                                               << QByteArray("AC DC_1 2.mpg");
    QTest::newRow("control characters become blanks")
        << QByteArray("A\tB\x01" "C\x1f" "D\x7f") << QByteArray("\r\n")
        << QByteArray("A B C D _  .mpg");
#ifdef Q_OS_WIN
    // Windows refuses these in a name: they become blanks there.
    QTest::newRow("characters Windows refuses become blanks")
        << QByteArray("What?*<>|.,'!") << QByteArray("D") << QByteArray("What     .,'!_D.mpg");
#else
    QTest::newRow("other characters unchanged")
        << QByteArray("What?*<>|.,'!") << QByteArray("D") << QByteArray("What?*<>|.,'!_D.mpg");
#endif
    QTest::newRow("Windows-1252 letters and quotes kept")
        << QByteArray("Caf\xe9 \x93Noir\x94") << QByteArray("D")
        << QByteArray("Caf\xe9 \x93Noir\x94_D.mpg");
    QTest::newRow("recorded text kept as stored")
        << QByteArray("A") << QByteArray("1/2/03    ") << QByteArray("A_1 2 03    .mpg");
    QTest::newRow("blank title") << QByteArray(58, ' ') << QByteArray("D")
                                 << QByteArray("_D.mpg");
    QTest::newRow("title ending in a tab keeps it as a blank")
        << QByteArray("A\t  ") << QByteArray("D") << QByteArray("A _D.mpg");
    // On 932 the second bytes 0x5C and 0x7C of these three characters are no backslash or
    // bar; on a single-byte page they are (a bar is refused on Windows only).
    const unsigned page = codePageInUse();
#ifdef Q_OS_WIN
    const QByteArray bar = " ";
#else
    const QByteArray bar = "|";
#endif
    QTest::newRow("second bytes 0x5C and 0x7C")
        << QByteArray("\x83\x5C\x95\x5C\x83\x7C") << QByteArray("D")
        << (page == 932 ? QByteArray("\x83\x5C\x95\x5C\x83\x7C_D.mpg") : "\x83 \x95 \x83" + bar + "_D.mpg");
    QTest::newRow("backslash after a character")
        << QByteArray("\x83\x5C\\") << QByteArray("D")
        << (page == 932 ? QByteArray("\x83\x5C _D.mpg") : QByteArray("\x83  _D.mpg"));
}

void TestExtraction::names()
{
    QFETCH(QByteArray, title);
    QFETCH(QByteArray, recorded);
    QFETCH(QByteArray, name);
    QCOMPARE(targetName(title, recorded), name);
}

// `taken` lists the names that exist; `tests` the names looked up, in order.
void TestExtraction::collisions_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArrayList>("taken");
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<QByteArrayList>("tests");

    const QByteArray plain = "A_D.mpg";
    const QByteArray f1 = "A_D_01.mpg", f2 = "A_D_02.mpg", f3 = "A_D_03.mpg",
                     f4 = "A_D_04.mpg", f5 = "A_D_05.mpg";

    QTest::newRow("free name kept") << plain << QByteArrayList() << plain
                                    << QByteArrayList{plain, plain, plain, plain, plain};
    QTest::newRow("plain taken gives _01") << plain << QByteArrayList{plain} << f1
                                           << QByteArrayList{plain, f1, f1, f1, f1};
    QTest::newRow("_01 taken gives _02") << plain << QByteArrayList{plain, f1} << f2
                                         << QByteArrayList{plain, f1, f2, f2, f2};
    QTest::newRow("_02 taken gives _03") << plain << QByteArrayList{plain, f1, f2} << f3
                                         << QByteArrayList{plain, f1, f2, f3, f3};
    QTest::newRow("_03 taken gives _04") << plain << QByteArrayList{plain, f1, f2, f3} << f4
                                         << QByteArrayList{plain, f1, f2, f3, f4};
    QTest::newRow("_04 taken gives _05") << plain << QByteArrayList{plain, f1, f2, f3, f4} << f5
                                         << QByteArrayList{plain, f1, f2, f3, f4};
    QTest::newRow("_05 chosen even when taken")
        << plain << QByteArrayList{plain, f1, f2, f3, f4, f5} << f5
        << QByteArrayList{plain, f1, f2, f3, f4};
    QTest::newRow("later forms taken but _01 free")
        << plain << QByteArrayList{plain, f2, f3} << f1 << QByteArrayList{plain, f1, f1, f1, f1};
    QTest::newRow("only a later form taken") << plain << QByteArrayList{f1} << plain
                                             << QByteArrayList{plain, plain, plain, plain, plain};
    QTest::newRow("every .mpg in the name changes")
        << QByteArray("a.mpg_D.mpg") << QByteArrayList{"a.mpg_D.mpg"}
        << QByteArray("a_01.mpg_D_01.mpg")
        << QByteArrayList{"a.mpg_D.mpg", "a_01.mpg_D_01.mpg", "a_01.mpg_D_01.mpg",
                          "a_01.mpg_D_01.mpg", "a_01.mpg_D_01.mpg"};
    QTest::newRow("every _01.mpg in the name changes")
        << QByteArray("a.mpg_D.mpg") << QByteArrayList{"a.mpg_D.mpg", "a_01.mpg_D_01.mpg"}
        << QByteArray("a_02.mpg_D_02.mpg")
        << QByteArrayList{"a.mpg_D.mpg", "a_01.mpg_D_01.mpg", "a_02.mpg_D_02.mpg",
                          "a_02.mpg_D_02.mpg", "a_02.mpg_D_02.mpg"};
    QTest::newRow("title ending in _01 looks like a step")
        << QByteArray("A_01_D.mpg") << QByteArrayList{"A_01_D.mpg", "A_01_D_01.mpg"}
        << QByteArray("A_01_D_02.mpg")
        << QByteArrayList{"A_01_D.mpg", "A_01_D_01.mpg", "A_01_D_02.mpg", "A_01_D_02.mpg",
                          "A_01_D_02.mpg"};
    QTest::newRow("search text is exact case")
        << QByteArray("A.MPG_D.mpg") << QByteArrayList{"A.MPG_D.mpg"}
        << QByteArray("A.MPG_D_01.mpg")
        << QByteArrayList{"A.MPG_D.mpg", "A.MPG_D_01.mpg", "A.MPG_D_01.mpg", "A.MPG_D_01.mpg",
                          "A.MPG_D_01.mpg"};
}

void TestExtraction::collisions()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArrayList, taken);
    QFETCH(QByteArray, result);
    QFETCH(QByteArrayList, tests);

    QByteArrayList asked;
    const QByteArray chosen = stepAwayFromExisting(name, [&](const QByteArray &candidate) {
        asked << candidate;
        return taken.contains(candidate);
    });
    QCOMPARE(chosen, result);
    QCOMPARE(asked, tests);
}

void TestExtraction::recorderFileTrimmed_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("trailing blanks dropped") << QByteArray("ok.mpg  ") << QByteArray("ok.mpg");
    QTest::newRow("leading blank kept") << QByteArray(" a.mpg ") << QByteArray(" a.mpg");
    QTest::newRow("tab is no blank") << QByteArray("a.mpg\t") << QByteArray("a.mpg\t");
    QTest::newRow("all blanks") << QByteArray("   ") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestExtraction::recorderFileTrimmed()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, file);
    QCOMPARE(recorderFile(stored), file);
}

// Whether a recording may be pulled: `taken` are the names in use in the folder; `word` is a
// word the refusal's detail must hold, empty where there is no detail.
void TestExtraction::unsafeNames_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArrayList>("taken");
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QString>("word");
    const int none = PullCheck::None, unsafe = PullCheck::UnsafeName, own = PullCheck::OwnFile,
              inUse = PullCheck::NameTaken, notRecording = PullCheck::NotARecording;
    const QByteArrayList free;

    QTest::newRow("recorder name") << QByteArray("1040449200-Casablanca.mpg") << free << none << QString();
    QTest::newRow("fine after trailing blanks dropped") << QByteArray("ok.mpg  ") << free << none << QString();
    QTest::newRow("three dots") << QByteArray("...") << free << notRecording << QString();
    QTest::newRow("hyphen inside") << QByteArray("a-g.mpg") << free << none << QString();
    QTest::newRow("option letter") << QByteArray("-g") << free << unsafe << QStringLiteral("option");
    QTest::newRow("lone hyphen") << QByteArray("-") << free << unsafe << QStringLiteral("option");
    QTest::newRow("hidden name") << QByteArray(".x") << free << notRecording << QString();
    QTest::newRow("hidden recording") << QByteArray(".mpg") << free << notRecording << QString();
    QTest::newRow("Windows-1252 letter") << QByteArray("Caf\xe9.mpg") << free << none << QString();
    QTest::newRow("empty") << QByteArray() << free << unsafe << QStringLiteral("empty");
    QTest::newRow("only blanks") << QByteArray("   ") << free << unsafe << QStringLiteral("empty");
    QTest::newRow("dot") << QByteArray(".") << free << unsafe << QStringLiteral("\".\"");
    QTest::newRow("dot dot") << QByteArray("..") << free << unsafe << QStringLiteral("\"..\"");
    QTest::newRow("dot dot with trailing blanks") << QByteArray("..  ") << free << unsafe << QStringLiteral("\"..\"");
    QTest::newRow("parent path") << QByteArray("../x") << free << unsafe << QStringLiteral("separator");
    QTest::newRow("absolute path") << QByteArray("/etc/passwd") << free << unsafe << QStringLiteral("separator");
    QTest::newRow("backslash") << QByteArray("a\\b") << free << unsafe << QStringLiteral("separator");
    QTest::newRow("drive-relative name") << QByteArray("C:x.mpg") << free << unsafe << QStringLiteral("colon");
    QTest::newRow("colon at the end") << QByteArray("x.mpg:") << free << unsafe << QStringLiteral("colon");
    QTest::newRow("alternate stream") << QByteArray("x.mpg:stream") << free << unsafe << QStringLiteral("colon");
    QTest::newRow("inner blank") << QByteArray("x y") << free << unsafe << QStringLiteral("blank");
    QTest::newRow("leading blank") << QByteArray(" x") << free << unsafe << QStringLiteral("blank");
    QTest::newRow("double quote") << QByteArray("x\"y") << free << unsafe << QStringLiteral("quote");
    QTest::newRow("tab") << QByteArray("x\ty") << free << unsafe << QStringLiteral("control");
    QTest::newRow("line feed") << QByteArray("x\n") << free << unsafe << QStringLiteral("control");
    QTest::newRow("delete") << QByteArray("x\x7f") << free << unsafe << QStringLiteral("control");
    QTest::newRow("device") << QByteArray("NUL.mpg") << free << unsafe << QStringLiteral("device");
    QTest::newRow("device in lower case, no extension") << QByteArray("con") << free << unsafe << QStringLiteral("device");
    QTest::newRow("numbered device, two extensions") << QByteArray("com1.a.mpg") << free << unsafe << QStringLiteral("device");
    QTest::newRow("device name as a prefix only") << QByteArray("CONSOLE.mpg") << free << none << QString();
    QTest::newRow("no device numbered 10") << QByteArray("LPT10.mpg") << free << none << QString();
    // Every form Windows reserves, judged from the name alone.
    for (const QByteArray &device : QByteArrayList{"COM0.mpg", "lpt0", "LPT9.x.mpg", "CONIN$.mpg", "conout$",
                                                    "CON .mpg", "aux  ", "PRN.mpg. ", "NUL...", "com1.mpg.."})
        QTest::newRow(("device " + device).constData()) << device << free << unsafe << QStringLiteral("device");
    // 0xB9, 0xB2 and 0xB3 are the superscript digits one, two and three on 1252; other pages
    // read other characters there (on 1251 a numero sign and two letters), which are no devices.
    const bool superscripts = codePageInUse() == 1252;
    for (const QByteArray &device : QByteArrayList{"COM\xB9.mpg", "lpt\xB2", "Com\xB3.a.mpg"})
        QTest::newRow(("superscript device " + device.toHex()).constData())
            << device << free << (superscripts ? unsafe : none) << (superscripts ? QStringLiteral("device") : QString());
    QTest::newRow("COM with a superscript four is no device") << QByteArray("COM\xB4.mpg") << free << none << QString();
    QTest::newRow("device name inside a longer base") << QByteArray("CONIN$X.mpg") << free << none << QString();
    // Only recordings: whatever Windows or Qt could load or run from the folder is refused, and
    // so is any kind nobody listed.
    for (const QByteArray &name : QByteArrayList{"x.dll", "X.EXE", "qt.conf", "app.exe.local", "app.exe.manifest",
                                                  "run.bat", "run.cmd", "s.ps1", "s.vbs", "link.lnk", "x.scr",
                                                  "x.msi", "x.cpl", "x.mpg.exe", "x.exe.", "x.exe..", "x",
                                                  "x.mpg.txt", "desktop.ini", "x.mp", "x.mpgx"})
        QTest::newRow(("not a recording " + name).constData()) << name << free << notRecording << QString();
    for (const QByteArray &name : QByteArrayList{"x.MPG", "x.mpeg", "x.mpe", "x.m2p", "x.m2v", "x.vob", "x.ts",
                                                  "x.m2ts", "x.mpg.", "a.b.mpg"})
        QTest::newRow(("recording " + name).constData()) << name << free << none << QString();
    // The program's own files, there or not, in any case, with the trailing dots and blanks
    // Windows drops; the detail names the file.
    QTest::newRow("settings in other case") << QByteArray("dovlip.DAT") << free << own << QStringLiteral("DOVLIP.dat");
    QTest::newRow("log with trailing dots") << QByteArray("DOVLGUIDE.LOG..") << free << own << QStringLiteral("DOVLGUIDE.LOG");
    QTest::newRow("guide with dot and field blanks") << QByteArray("guide.dat.   ") << free << own << QStringLiteral("guide.dat");
    QTest::newRow("tool without .exe") << QByteArray("pshell") << free << own << QStringLiteral("PShell");
    QTest::newRow("lock file") << QByteArray("dovlutil.lck") << free << own << QStringLiteral("DOVLUTIL.LCK");
    QTest::newRow("own name as a prefix only") << QByteArray("DOVLIP.dat.mpg") << free << none << QString();
    QTest::newRow("own name, taken too") << QByteArray("DOVLIP.dat") << QByteArrayList{"DOVLIP.dat"} << own << QStringLiteral("DOVLIP.dat");
    // A name in use is refused; an unsafe one is said to be unsafe first.
    QTest::newRow("name in use") << QByteArray("mine.mpg  ") << QByteArrayList{"mine.mpg"} << inUse << QString();
    QTest::newRow("unsafe name in use") << QByteArray("-g") << QByteArrayList{"-g"} << unsafe << QStringLiteral("option");
    // Rows for the page in use, 1252 or 932 (test_recordings_extraction_cp932 on Windows).
    // On 932 a lead byte takes the next byte as its second, which may be 0x5C, a backslash
    // alone; on a single-byte page each byte stands alone.
    const bool cp932 = codePageInUse() == 932;
    QTest::newRow("0x5C after 0x83") << QByteArray("\x83\x5C.mpg") << free << (cp932 ? none : unsafe)
                                     << (cp932 ? QString() : QStringLiteral("separator"));
    QTest::newRow("backslash after a whole character") << QByteArray("\x83\x5C\x5C.mpg") << free << unsafe
                                                       << QStringLiteral("separator");
    QTest::newRow("0x5C after a pair of lead-range bytes") << QByteArray("\x81\x81\x5C.mpg") << free << unsafe
                                                           << QStringLiteral("separator");
    QTest::newRow("0x5C second byte after a lone katakana") << QByteArray("\xA5\x83\x5C.mpg") << free
                                                            << (cp932 ? none : unsafe)
                                                            << (cp932 ? QString() : QStringLiteral("separator"));
    // 0x85 0x40 is a well-formed pair that 932 assigns no character: it would come back as
    // other bytes. A single-byte page gives each byte its own character.
    QTest::newRow("pair without a character") << QByteArray("\x85\x40.mpg") << free << (cp932 ? unsafe : none)
                                              << (cp932 ? QStringLiteral("code page") : QString());
    QTest::newRow("lead byte before the dot") << QByteArray("x\x83.mpg") << free << (cp932 ? unsafe : none)
                                    << (cp932 ? QStringLiteral("code page") : QString());
}

void TestExtraction::unsafeNames()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArrayList, taken);
    QFETCH(int, refusal);
    QFETCH(QString, word);

    const PullCheck check = checkPull(stored, [&](const QByteArray &name) { return taken.contains(name); });
    QCOMPARE(int(check.refusal), refusal);
    const QString reason = unsafeRecorderFileReason(stored);
    if (refusal == PullCheck::UnsafeName || refusal == PullCheck::OwnFile) {
        QVERIFY2(!word.isEmpty(), "a row refused with a detail names a word the detail must hold");
        QVERIFY2(check.detail.contains(word), qPrintable(check.detail));
    } else {
        // Accepted, or refused for a name in use, which the window words without a detail.
        QVERIFY2(word.isEmpty(), "a row without a detail names no word");
        QVERIFY2(check.detail.isEmpty(), qPrintable(check.detail));
    }
    if (refusal == PullCheck::UnsafeName)
        QVERIFY2(reason.contains(word), qPrintable(reason));
    else
        QVERIFY2(reason.isEmpty(), qPrintable(reason));
}

// Room for a recording: its estimate plus the reserve, compared with what is free; an unknown
// figure refuses nothing, and a disk below the reserve is full whatever the size.
void TestExtraction::space_data()
{
    using recordings::SpaceCheck;
    QTest::addColumn<qint64>("freeBytes"); // -1: unknown
    QTest::addColumn<double>("estimate");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<qint64>("needed");
    const qint64 reserve = recordings::kSpaceReserve;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("free space unknown") << qint64(-1) << 5e9 << int(SpaceCheck::Fits) << qint64(0);
    QTest::newRow("size unknown") << reserve << 0.0 << int(SpaceCheck::Fits) << qint64(0);
    QTest::newRow("size not a number") << reserve << nan << int(SpaceCheck::Fits) << qint64(0);
    QTest::newRow("size negative") << reserve << -5e9 << int(SpaceCheck::Fits) << qint64(0);
    QTest::newRow("fits to the byte") << reserve + 1000 << 1000.0 << int(SpaceCheck::Fits) << reserve + 1000;
    QTest::newRow("a byte short") << reserve + 999 << 1000.0 << int(SpaceCheck::TooLarge) << reserve + 1000;
    QTest::newRow("a part of a byte rounds up") << reserve + 1000 << 1000.5 << int(SpaceCheck::TooLarge) << reserve + 1001;
    QTest::newRow("size past any disk") << (qint64(1) << 62) << 1e300 << int(SpaceCheck::TooLarge)
                                        << std::numeric_limits<qint64>::max();
    QTest::newRow("size infinite") << (qint64(1) << 62) << inf << int(SpaceCheck::TooLarge)
                                   << std::numeric_limits<qint64>::max();
    QTest::newRow("the reserve and not a byte more") << reserve << 1.0 << int(SpaceCheck::TooLarge) << reserve + 1;
    QTest::newRow("below the reserve, size unknown") << reserve - 1 << 0.0 << int(SpaceCheck::DiskFull) << qint64(0);
    QTest::newRow("nothing free") << qint64(0) << 1000.0 << int(SpaceCheck::DiskFull) << qint64(0);
}

void TestExtraction::space()
{
    QFETCH(qint64, freeBytes);
    QFETCH(double, estimate);
    QFETCH(int, verdict);
    QFETCH(qint64, needed);
    const std::optional<qint64> free = freeBytes < 0 ? std::nullopt : std::optional<qint64>(freeBytes);
    const recordings::SpaceCheck check = recordings::checkSpace(free, estimate);
    QCOMPARE(int(check.verdict), verdict);
    QCOMPARE(check.neededBytes, needed);
    QCOMPARE(recordings::diskFull(free), verdict == recordings::SpaceCheck::DiskFull);
}

QTEST_APPLESS_MAIN(TestExtraction)
#include "test_extraction.moc"
