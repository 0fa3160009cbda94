// The stand-in recorder tools: the files they leave, and their refusals.
#include "testtools.h"
#include "workdir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <memory>

class TestSimulator : public QObject
{
    Q_OBJECT
private slots:
    void init() { work_ = std::make_unique<WorkDir>(); }
    void cleanup() { work_.reset(); }

    void guideRoundTrip();
    void hostileNamesReachTheGuide();
    void extractWritesProgramStream_data();
    void extractWritesProgramStream();
    void refusals_data();
    void refusals();
    void commandRecord_data();
    void commandRecord();
    void extractTakesItsTime();
    void faultsLeaveWhatTheySay_data();
    void faultsLeaveWhatTheySay();

private:
    int run(const QString &program, const QStringList &args, const QByteArray &recordings = {},
            bool fast = true);
    std::unique_ptr<WorkDir> work_;
};

static const QString kHeld = QStringLiteral("1040500800.mpg"); // Casablanca, built in

// Runs a simulator in the working directory; `recordings` non-empty replaces the built-in list.
int TestSimulator::run(const QString &program, const QStringList &args, const QByteArray &recordings,
                       bool fast)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("REPLAYSIM_LOG"), work_->logPath());
    env.insert(QStringLiteral("REPLAYSIM_FAST"), fast ? QStringLiteral("1") : QStringLiteral("0"));
    env.remove(QStringLiteral("REPLAYSIM_RECORDINGS"));
    QTemporaryDir listDir;
    if (!recordings.isEmpty()) {
        const QString list = listDir.path() + QStringLiteral("/recordings.tsv");
        writeFile(list, recordings);
        env.insert(QStringLiteral("REPLAYSIM_RECORDINGS"), list);
    }
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

void TestSimulator::guideRoundTrip()
{
    QCOMPARE(run(simulatorReplayPC(), {QStringLiteral("192.168.1.20"), QStringLiteral("-g")}), 0);
    QCOMPARE(run(simulatorPShell(), {}), 0);
    const QByteArray guide = fileBytes(QStringLiteral("guide.txt"));
    QCOMPARE(guide.count("\n"), guide.count("\r\n"));
    QVERIFY(guide.endsWith("\r\n"));
    QVERIFY(guide.contains("\xE9") && !guide.contains("\xC3\xA9")); // single-byte, not UTF-8

    const QList<QByteArray> lines = guide.left(guide.size() - 2).split('\n');
    QList<qsizetype> starts;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines.at(i).startsWith("Show #"))
            starts.append(i);
    QCOMPARE(starts.size(), 40);
    QVERIFY(starts.first() >= 2); // header lines come first

    const QRegularExpression recorded(QStringLiteral("^Recorded: \\d\\d/\\d\\d/\\d{4} \\d{1,2}:\\d\\d [AP]M\r$"));
    const QRegularExpression duration(QStringLiteral("^Duration: \\d{1,3} min\r$"));
    QSet<QByteArray> qualities, fileNames, titleAndDate;
    QByteArray titleCharacters;
    bool sharedTitleAndDate = false;
    for (qsizetype s : starts) {
        const QByteArray title = lines.at(s + 1).chopped(1);
        const QByteArray q = lines.at(s + 2), rec = lines.at(s + 3), f = lines.at(s + 4), d = lines.at(s + 5);
        QVERIFY2(q.startsWith("Quality: ") && rec.startsWith("Recorded: ") && f.startsWith("Filename: ")
                     && d.startsWith("Duration: "), title.constData());
        for (const QByteArray &entry : {q, rec, f, d})
            QVERIFY2(!entry.contains(',') && entry.at(entry.indexOf(' ') + 1) != ' ', entry.constData());
        QVERIFY(recorded.match(QString::fromLatin1(rec)).hasMatch());
        QVERIFY(duration.match(QString::fromLatin1(d)).hasMatch());
        qualities.insert(q.mid(9).chopped(1));
        QVERIFY2(!fileNames.contains(f), f.constData());
        fileNames.insert(f);
        titleCharacters += title;
        // The program names a file after the title between first ":" and "(", and the date.
        const QByteArray afterColon = title.mid(title.indexOf(':') + 1);
        const QByteArray key = afterColon.left(afterColon.indexOf('(')) + rec.mid(10, 10);
        sharedTitleAndDate = sharedTitleAndDate || titleAndDate.contains(key);
        titleAndDate.insert(key);
    }
    QCOMPARE(qualities, (QSet<QByteArray>{"Standard", "Medium", "High"}));
    QVERIFY(sharedTitleAndDate);
    for (char c : QByteArray("\";(,"))
        QVERIFY2(titleCharacters.contains(c), QByteArray(1, c).constData());
    QCOMPARE(work_->rootEntries(), (QStringList{QStringLiteral("sim.log"), QStringLiteral("work")}));
}

void TestSimulator::hostileNamesReachTheGuide()
{
    const QByteArray list = "A: One (1)\tHigh\t01/02/2003 1:00 PM\t../x\t5\n"
                            "B: Two\tMedium\t01/02/2003 2:00 PM\ta\\b\t60\tnofile\r\n"
                            "\n"
                            "C: Three\tStandard\t01/02/2003 3:00 PM\t..\t999\tfail\n";
    QCOMPARE(run(simulatorReplayPC(), {QStringLiteral("10.0.0.1"), QStringLiteral("-g")}, list), 0);
    QCOMPARE(run(simulatorPShell(), {}), 0);
    const QByteArray guide = fileBytes(QStringLiteral("guide.txt"));
    QCOMPARE(guide.count("\r\nShow #"), 3);
    for (const char *entry : {"\r\nFilename: ../x\r\n", "\r\nFilename: a\\b\r\n", "\r\nFilename: ..\r\n",
                              "\r\nB: Two\r\nQuality: Medium\r\n", "\r\nDuration: 999 min\r\n"})
        QVERIFY2(guide.contains(entry), entry);
}

void TestSimulator::extractWritesProgramStream_data()
{
    QTest::addColumn<QStringList>("delay");
    QTest::newRow("tool's own pace") << QStringList();
    QTest::newRow("0") << QStringList{QStringLiteral("0")};
    QTest::newRow("2.5") << QStringList{QStringLiteral("2.5")};
    QTest::newRow("2,5") << QStringList{QStringLiteral("2,5")};
    QTest::newRow("48") << QStringList{QStringLiteral("48")};
}

void TestSimulator::extractWritesProgramStream()
{
    QFETCH(QStringList, delay);
    QCOMPARE(run(simulatorReplayPC(), QStringList{QStringLiteral("10.0.0.1"), QStringLiteral("-e"), kHeld} + delay), 0);
    const QByteArray mpeg = fileBytes(kHeld);
    QVERIFY(mpeg.startsWith(QByteArray::fromHex("000001BA")));
    QVERIFY(mpeg.endsWith(QByteArray::fromHex("000001B9")));
    QVERIFY(mpeg.size() >= 1024 && mpeg.size() <= 16384);
    QCOMPARE(work_->entries(), QStringList{kHeld});
}

void TestSimulator::refusals_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("recordings");
    QTest::addColumn<QByteArray>("guideDat"); // put in place first when not empty
    QTest::addColumn<int>("exitCode");
    const QString ip = QStringLiteral("10.0.0.1"), e = QStringLiteral("-e"), g = QStringLiteral("-g");
    const QByteArray held = "T: t\tHigh\t01/02/2003 1:00 PM\t";
    const QByteArray hostile = held + "../x\t5\n" + held + "a\\b\t5\n" + held + "..\t5\n" + held + ".\t5\n"
                               + held + "sub/x\t5\n" + held + "C:x\t5\n" + held + "bad.mpg\t5\tfail\n"
                               + held + "none.mpg\t5\tnofile\n";
    auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
    row("unknown file") << simulatorReplayPC() << QStringList{ip, e, QStringLiteral("9999999999.mpg")} << QByteArray() << QByteArray() << 1;
    for (const char *address : {"192.0.2.7", "10.0.0", "10.0.0.256", "1.2.3.4.5", "recorder.local", "", " 10.0.0.1", "10.0.0.1 x"}) {
        row(qPrintable(QStringLiteral("-e unreachable '%1'").arg(QLatin1String(address))))
            << simulatorReplayPC() << QStringList{QLatin1String(address), e, kHeld} << QByteArray() << QByteArray() << 1;
        row(qPrintable(QStringLiteral("-g unreachable '%1'").arg(QLatin1String(address))))
            << simulatorReplayPC() << QStringList{QLatin1String(address), g} << QByteArray() << QByteArray() << 1;
    }
    for (const char *name : {"../x", "a\\b", "..", ".", "sub/x", "C:x"})
        row(name) << simulatorReplayPC() << QStringList{ip, e, QLatin1String(name)} << hostile << QByteArray() << 1;
    row("flag fail") << simulatorReplayPC() << QStringList{ip, e, QStringLiteral("bad.mpg")} << hostile << QByteArray() << 1;
    row("flag nofile") << simulatorReplayPC() << QStringList{ip, e, QStringLiteral("none.mpg")} << hostile << QByteArray() << 0;
    row("bad recordings line") << simulatorReplayPC() << QStringList{ip, g} << QByteArray("only\ttwo\n") << QByteArray() << 2;
    row("bad recordings flag") << simulatorReplayPC() << QStringList{ip, g} << QByteArray(held + "f\t5\tmaybe\n") << QByteArray() << 2;
    const QList<QStringList> usages{{}, {ip}, {g}, {ip, QStringLiteral("-x")}, {ip, e}, {ip, g, QStringLiteral("x")},
                                    {ip, e, kHeld, QStringLiteral("abc")}, {ip, e, kHeld, QStringLiteral("-1")},
                                    {ip, e, kHeld, QStringLiteral("1"), QStringLiteral("x")}};
    for (const QStringList &u : usages)
        row(qPrintable(QStringLiteral("usage [%1]").arg(u.join(QLatin1Char(' ')))))
            << simulatorReplayPC() << u << QByteArray() << QByteArray() << 2;
    row("PShell without guide.dat") << simulatorPShell() << QStringList() << QByteArray() << QByteArray() << 1;
    row("PShell with foreign guide.dat") << simulatorPShell() << QStringList() << QByteArray() << QByteArray("junk\n") << 1;
    row("PShell with argument") << simulatorPShell() << QStringList{QStringLiteral("x")} << QByteArray() << QByteArray() << 2;
}

void TestSimulator::refusals()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, recordings);
    QFETCH(QByteArray, guideDat);
    QFETCH(int, exitCode);
    if (!guideDat.isEmpty())
        QVERIFY(writeFile(QStringLiteral("guide.dat"), guideDat));
    QCOMPARE(run(program, args, recordings), exitCode);
    QCOMPARE(work_->entries(), guideDat.isEmpty() ? QStringList() : QStringList{QStringLiteral("guide.dat")});
    QCOMPARE(work_->rootEntries(), (QStringList{QStringLiteral("sim.log"), QStringLiteral("work")}));
}

void TestSimulator::commandRecord_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("fetch") << simulatorReplayPC() << QStringList{QStringLiteral("10.0.0.5"), QStringLiteral("-g")}
                           << QByteArray("ReplayPC\t10.0.0.5\t-g\n");
    QTest::newRow("convert") << simulatorPShell() << QStringList() << QByteArray("PShell.exe\n");
    QTest::newRow("usage error is recorded too") << simulatorReplayPC() << QStringList() << QByteArray("ReplayPC\n");
    QTest::newRow("empty and blank arguments") << simulatorReplayPC() << QStringList{QString(), QStringLiteral(" ")}
                                               << QByteArray("ReplayPC\t\t \n");
    QTest::newRow("escapes") << simulatorReplayPC() << QStringList{QStringLiteral("a\tb\\c\nd\re")}
                             << QByteArray("ReplayPC\ta\\tb\\\\c\\nd\\re\n");
    QTest::newRow("UTF-8") << simulatorReplayPC() << QStringList{QStringLiteral("caf\u00E9")} << QByteArray("ReplayPC\tcaf\xC3\xA9\n");
}

void TestSimulator::commandRecord()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, line);
    // The record starts with the file name the program was started under, which on Windows
    // carries the ".exe" that "ReplayPC" lacks elsewhere.
    qsizetype nameEnd = 0;
    while (nameEnd < line.size() && line.at(nameEnd) != '\t' && line.at(nameEnd) != '\n')
        ++nameEnd;
    const QByteArray expected = QFileInfo(program).fileName().toUtf8() + line.mid(nameEnd);
    run(program, args);
    run(program, args); // appends
    QCOMPARE(fileBytes(work_->logPath()), expected + expected);
}

void TestSimulator::extractTakesItsTime()
{
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(run(simulatorReplayPC(), {QStringLiteral("10.0.0.1"), QStringLiteral("-e"), kHeld}, {}, false), 0);
    QVERIFY(timer.elapsed() >= 900);
}


// The faults that leave a file behind: part of the recording with a failure status or a crash,
// or an empty file with success.
void TestSimulator::faultsLeaveWhatTheySay_data()
{
    QTest::addColumn<QByteArray>("flag");
    QTest::addColumn<int>("exitCode"); // -1: crashed
    QTest::addColumn<bool>("partOfTheStream");
    QTest::newRow("partial") << QByteArray("partial") << 3 << true;
    QTest::newRow("crash") << QByteArray("crash") << -1 << true;
    QTest::newRow("empty") << QByteArray("empty") << 0 << false;
    QTest::newRow("none") << QByteArray() << 0 << false;
}

void TestSimulator::faultsLeaveWhatTheySay()
{
    QFETCH(QByteArray, flag);
    QFETCH(int, exitCode);
    QFETCH(bool, partOfTheStream);
    QByteArray line = "T: t\tHigh\t01/02/2003 1:00 PM\tf.mpg\t150";
    if (!flag.isEmpty())
        line += '\t' + flag;
    QCOMPARE(run(simulatorReplayPC(), {QStringLiteral("10.0.0.1"), QStringLiteral("-e"), QStringLiteral("f.mpg")},
                 line + '\n'),
             exitCode);
    const QByteArray written = fileBytes(QStringLiteral("f.mpg"));
    QCOMPARE(work_->entries(), QStringList{QStringLiteral("f.mpg")});
    if (flag == "empty") {
        QCOMPARE(written, QByteArray());
    } else if (partOfTheStream) {
        QVERIFY(written.startsWith(QByteArray::fromHex("000001BA")));
        QVERIFY(!written.endsWith(QByteArray::fromHex("000001B9")));
        QCOMPARE(written.size(), (3 * 2048 + 4) / 2); // three packs for 150 minutes, then the end code
    } else {
        QCOMPARE(written.size(), 3 * 2048 + 4);
        QVERIFY(written.endsWith(QByteArray::fromHex("000001B9")));
    }
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "test_simulator.moc"
