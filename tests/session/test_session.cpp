// Settings file, file test and activity log, each test in a fresh working directory.
#include "activitylog.h"
#include "fileexists.h"
#include "settingsfile.h"

#include "workdir.h"

#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
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

#ifndef Q_OS_WIN
// Holds the process's file size limit low while it lives, so that writing more fails as on a
// full disk (EFBIG instead of ENOSPC); the signal such a write raises is ignored meanwhile.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit low = saved;
        low.rlim_cur = bytes;
        ok = setrlimit(RLIMIT_FSIZE, &low) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    bool ok = false;

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};
#endif

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
        session::FileFailure error;
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
    // The settings file is written, and the log appended to, only as a plain file of the
    // folder: nothing is written through a link, and a pipe or device is never opened.
    void ownFileNotPlain_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("found");
        const int link = int(session::Entry::Link), other = int(session::Entry::Other);
        for (const QString &name : {session::kSettingsFile, session::kLogFile}) {
            const QByteArray file = name.toLatin1();
            QTest::addRow("%s folder", file.constData()) << name << QStringLiteral("folder") << other;
            QTest::addRow("%s link to a file outside", file.constData()) << name << QStringLiteral("link") << link;
            QTest::addRow("%s link to nowhere", file.constData()) << name << QStringLiteral("danglingLink") << link;
#ifndef Q_OS_WIN
            QTest::addRow("%s link to /dev/zero", file.constData()) << name << QStringLiteral("deviceLink") << link;
            QTest::addRow("%s fifo", file.constData()) << name << QStringLiteral("fifo") << other;
#endif
        }
    }
    void ownFileNotPlain()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(int, found);
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.txt"));
        writeBytes(outside, "not the program's\r\n");
        if (!makeEntry(kind, name, outside))
            QSKIP("this system cannot make that entry");
        const QFileInfo before(name);

        session::FileFailure failure;
        const bool written = name == session::kSettingsFile
            ? session::saveSettings("1.2.3.4", "Default", &failure)
            : session::appendRecords(session::groups::sessionEnd(), &failure);
        QVERIFY(!written);
        QCOMPARE(int(failure.found), found);
        QCOMPARE(int(session::entryAt(name)), found); // the entry is still there as it was
        QCOMPARE(QFileInfo(name).isSymLink(), before.isSymLink());
        QCOMPARE(readBytes(outside), QByteArray("not the program's\r\n"));
        QVERIFY(!QFileInfo::exists(outside + QStringLiteral(".gone")));

        // Reading refuses it too, without waiting on a pipe or reading a device without end.
        bool opened = true;
        if (name == session::kSettingsFile)
            QVERIFY(!session::loadSettings().has_value());
        else
            QVERIFY(session::readAllRecords(&opened).isEmpty() && !opened);
    }

    // A save that fails anywhere on the way, up to the last rename, is reported and leaves the
    // earlier settings in place.
    void save_failureGivesReasonAndKeepsEarlierSettings_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("plain file, nothing wrong") << QString();
#ifndef Q_OS_WIN
        QTest::newRow("disk full while writing") << QStringLiteral("fileSizeLimit");
#endif
#ifdef Q_OS_LINUX
        QTest::newRow("final rename refused") << QStringLiteral("renameRefused");
#endif
    }
    void save_failureGivesReasonAndKeepsEarlierSettings()
    {
        QFETCH(QString, fault);
        writeBytes(session::kSettingsFile, "\"earlier\",\"07\"\r\n");
        session::FileFailure failure;
        bool saved = false;
        if (fault.isEmpty()) {
            saved = session::saveSettings("1.2.3.4", "Default", &failure);
        } else if (fault == QLatin1String("fileSizeLimit")) {
#ifndef Q_OS_WIN
            FileSizeLimit limit(8); // fewer bytes than the line
            QVERIFY(limit.ok);
            saved = session::saveSettings("1.2.3.4", "Default", &failure);
#endif
        } else {
#ifdef Q_OS_LINUX
            // A folder open to all with the sticky bit, as /tmp, where the folder and the settings
            // file belong to someone else: the file may be written, and a new file made beside
            // it, but nothing may be renamed over it, so the commit's rename fails.
            const QString folder = QDir::current().absoluteFilePath(QStringLiteral("shared"));
            QVERIFY(QDir().mkdir(folder));
            QVERIFY(QDir::setCurrent(folder));
            writeBytes(session::kSettingsFile, "\"earlier\",\"07\"\r\n");
            const QByteArray dirName = QFile::encodeName(folder), fileName = QFile::encodeName(session::kSettingsFile);
            if (::chown(dirName.constData(), 65534, 65534) != 0 || ::chown(fileName.constData(), 65534, 65534) != 0)
                QSKIP("only root can give the folder to another user");
            QVERIFY(::chmod(dirName.constData(), 01777) == 0 && ::chmod(fileName.constData(), 0666) == 0);
            {
                PermissionsEnforced enforced;
                saved = session::saveSettings("1.2.3.4", "Default", &failure);
            }
#endif
        }
        QCOMPARE(saved, fault.isEmpty());
        QCOMPARE(failure.error.isEmpty(), fault.isEmpty());
        QCOMPARE(readBytes(session::kSettingsFile),
                 fault.isEmpty() ? QByteArray("\"1.2.3.4\",\"Default\"\r\n") : QByteArray("\"earlier\",\"07\"\r\n"));
        QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden), QStringList{session::kSettingsFile});
    }
    void load_absentOrUnreadableIsNothing()
    {
        QVERIFY(!session::loadSettings().has_value());
        QVERIFY(QDir().mkdir(session::kSettingsFile));
        QVERIFY(!session::loadSettings().has_value());
    }

    // Guide files are removed by name, never opened: a link goes and its target stays, and a
    // pipe cannot hold the removal up.
    void removeIfPresent_removesTheNameItself_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to a file outside") << QStringLiteral("link");
        QTest::newRow("link to nowhere") << QStringLiteral("danglingLink");
#ifndef Q_OS_WIN
        QTest::newRow("link to /dev/zero") << QStringLiteral("deviceLink");
        QTest::newRow("fifo") << QStringLiteral("fifo");
#endif
    }
    void removeIfPresent_removesTheNameItself()
    {
        QFETCH(QString, kind);
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.txt"));
        writeBytes(outside, "kept");
        if (!makeEntry(kind, session::kGuideText, outside))
            QSKIP("this system cannot make that entry");
        session::removeIfPresent(session::kGuideText);
        QCOMPARE(int(session::entryAt(session::kGuideText)), int(session::Entry::Missing));
        QCOMPARE(readBytes(outside), QByteArray("kept"));
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
        session::FileFailure error;
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
        session::FileFailure error;
        QVERIFY(!session::appendRecords(session::groups::sessionEnd(), &error));
        QCOMPARE(int(error.found), int(session::Entry::Other));
        bool opened = true;
        QVERIFY(session::readAllRecords(&opened).isEmpty());
        QVERIFY(!opened);
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
