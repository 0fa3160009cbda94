// Settings file, file test and activity log, each test in a fresh working directory.
#include "activitylog.h"
#include "fileexists.h"
#include "settingsfile.h"

#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

QByteArray readBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(dir->path()));
    }
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void parseSettings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QByteArray>("delay");
        QTest::newRow("saved") << QByteArray("\"192.168.0.20\",\"Default\"\r\n")
                               << QByteArray("192.168.0.20") << QByteArray("Default");
        QTest::newRow("otherDelay") << QByteArray("\"10.0.0.1\",\"07\"\r\n") << QByteArray("10.0.0.1")
                                    << QByteArray("07");
        QTest::newRow("trailingSpacesKeptHere") << QByteArray("\"1.2.3.4   \",\"5  \"\r\n")
                                                << QByteArray("1.2.3.4   ") << QByteArray("5  ");
        QTest::newRow("emptyDelay") << QByteArray("\"1.2.3.4\",\"\"\r\n") << QByteArray("1.2.3.4")
                                    << QByteArray("");
        QTest::newRow("oneField") << QByteArray("\"1.2.3.4\"\r\n") << QByteArray("1.2.3.4")
                                  << QByteArray("Default");
        QTest::newRow("oneFieldAndComma") << QByteArray("\"1.2.3.4\",") << QByteArray("1.2.3.4")
                                          << QByteArray("Default");
        QTest::newRow("emptyFile") << QByteArray() << QByteArray() << QByteArray("Default");
        QTest::newRow("unquoted") << QByteArray("1.2.3.4,9\r\n") << QByteArray("1.2.3.4")
                                  << QByteArray("9");
        QTest::newRow("bareLf") << QByteArray("\"a\",\"b\"\n") << QByteArray("a") << QByteArray("b");
    }
    void parseSettings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, address);
        QFETCH(QByteArray, delay);
        const session::Settings settings = session::parseSettings(bytes);
        QCOMPARE(settings.address, address);
        QCOMPARE(settings.delay, delay);
    }

    void saveThenLoad_exactBytes()
    {
        QString error;
        QVERIFY(session::saveSettings("192.168.0.20", "Default", &error));
        QCOMPARE(readBytes(session::kSettingsFile), QByteArray("\"192.168.0.20\",\"Default\"\r\n"));
        QVERIFY(session::saveSettings("", "07", &error)); // replaces, never appends
        QCOMPARE(readBytes(session::kSettingsFile), QByteArray("\"\",\"07\"\r\n"));
        const auto loaded = session::loadSettings();
        QVERIFY(loaded.has_value());
        QCOMPARE(loaded->delay, QByteArray("07"));
    }
    void save_quotesWrittenAsTheyAre()
    {
        QCOMPARE(session::settingsLine("a\"b", "c"), QByteArray("\"a\"b\",\"c\"\r\n"));
    }
    void save_failureGivesReasonAndKeepsNothingHalfWritten()
    {
        QVERIFY(QDir().mkdir(session::kSettingsFile)); // a directory stands in the file's place
        QString error;
        QVERIFY(!session::saveSettings("1.2.3.4", "Default", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(session::kSettingsFile).isDir());
    }
    void load_absentOrUnreadableIsNothing()
    {
        QVERIFY(!session::loadSettings().has_value());
        QVERIFY(QDir().mkdir(session::kSettingsFile));
        QVERIFY(!session::loadSettings().has_value());
    }

    void fileExists_onlyReadableFiles()
    {
        QVERIFY(!session::FileExists(QStringLiteral("missing")));
        writeBytes(QStringLiteral("file"), "x");
        QVERIFY(session::FileExists(QStringLiteral("file")));
        QVERIFY(QDir().mkdir(QStringLiteral("folder")));
        QVERIFY(!session::FileExists(QStringLiteral("folder")));
        session::removeIfPresent(QStringLiteral("file"));
        session::removeIfPresent(QStringLiteral("missing")); // already gone: no effect
        QVERIFY(!QFileInfo::exists(QStringLiteral("file")));
    }

    // The file system decides how names match: without regard to case on Windows.
    void fileExists_caseOfName_data()
    {
#ifdef Q_OS_WIN
        const bool anyCase = true;
#else
        const bool anyCase = false;
#endif
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("found");
        QTest::newRow("exact") << QStringLiteral("DOVLGUIDE.LOG") << QStringLiteral("DOVLGUIDE.LOG") << true;
        QTest::newRow("log in lower case") << QStringLiteral("dovlguide.log") << QStringLiteral("DOVLGUIDE.LOG") << anyCase;
        QTest::newRow("settings in upper case") << QStringLiteral("DOVLIP.DAT") << QStringLiteral("DOVLIP.dat") << anyCase;
        QTest::newRow("accented letter case") << QString::fromUtf8("\u00C9T\u00C9.mpg") << QString::fromUtf8("\u00E9t\u00E9.mpg") << anyCase;
        QTest::newRow("other name") << QStringLiteral("guide.txt") << QStringLiteral("guide.tx") << false;
    }
    void fileExists_caseOfName()
    {
        QFETCH(QString, onDisk);
        QFETCH(QString, asked);
        QFETCH(bool, found);
        writeBytes(onDisk, "x");
        QCOMPARE(session::FileExists(asked), found);
        session::removeIfPresent(asked);
        QCOMPARE(QDir::current().entryList(QDir::Files).contains(onDisk), !found);
    }

#ifdef Q_OS_WIN
    // A file that another program holds open without sharing cannot be opened: it counts as
    // absent, and removing it leaves it alone.
    void fileExists_lockedByAnotherProgram()
    {
        writeBytes(QStringLiteral("held.mpg"), "x");
        const HANDLE h = CreateFileW(L"held.mpg", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        QVERIFY(h != INVALID_HANDLE_VALUE);
        const bool seen = session::FileExists(QStringLiteral("held.mpg"));
        session::removeIfPresent(QStringLiteral("held.mpg"));
        CloseHandle(h);
        QVERIFY(!seen);
        QVERIFY(session::FileExists(QStringLiteral("held.mpg")));
    }
#endif

    void logRecords_exactText()
    {
        using namespace session::records;
        QCOMPARE(startSeparator(), QByteArray(" - - - - - - - - - - - - - - - - - - -"));
        QCOMPARE(startSeparator().size(), 38);
        QCOMPARE(startRecord("12-21-2002"), QByteArray("New Guide Started - Guide Date 12-21-2002"));
        QCOMPARE(sessionHeader("12-21-2002", "20:15:03"),
                 QByteArray("DOVLGuide 1.3 log for 12-21-2002 20:15:03"));
        QCOMPARE(sessionSpacer(), QByteArray("        "));
        QCOMPARE(startedRecord(" Casablanca_12 21 2002.mpg", "20:15:03", "Default"),
                 QByteArray(" Casablanca_12 21 2002.mpg  Started:  20:15:03  Delay = Default"));
        QCOMPARE(finishedRecord("a_01.mpg", "20:16:00"), QByteArray("a_01.mpg Finished:  20:16:00"));
        QCOMPARE(blankRecord(), QByteArray(" "));
        QCOMPARE(sessionEndRecord(), QByteArray("End of Download Session "));
        QCOMPARE(exitRecord(), QByteArray("Program Terminated "));
    }

    void appendRecords_groupsInOrderWithCrLf()
    {
        QString error;
        QVERIFY(session::appendRecords(session::groups::logStart("01-02-2003"), &error));
        QVERIFY(session::appendRecords(session::groups::programExit(), &error));
        QCOMPARE(readBytes(session::kLogFile),
                 QByteArray(" - - - - - - - - - - - - - - - - - - -\r\n"
                            "New Guide Started - Guide Date 01-02-2003\r\n"
                            "Program Terminated \r\n \r\n \r\n"));
        bool opened = false;
        const QByteArrayList lines = session::readAllRecords(&opened);
        QVERIFY(opened);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(3), QByteArray(" "));
    }
    void appendRecords_failureGivesReason()
    {
        QVERIFY(QDir().mkdir(session::kLogFile));
        QString error;
        QVERIFY(!session::appendRecords(session::groups::sessionEnd(), &error));
        QVERIFY(!error.isEmpty());
        bool opened = true;
        QVERIFY(session::readAllRecords(&opened).isEmpty());
        QVERIFY(!opened);
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
