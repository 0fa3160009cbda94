// Settings file, file test and activity log, each test in a fresh working directory.
#include "activitylog.h"
#include "fileexists.h"
#include "folder.h"
#include "folderlock.h"
#include "settingsfile.h"

#include "workdir.h"

#include <QtTest>

#include <atomic>
#include <thread>

#ifdef Q_OS_WIN
#include "folder_win.h"
#include "processes.h"

#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/mount.h>
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

// A small file system of its own for the test's files, so that a disk can be filled for real: a
// tmpfs mounted here when the test may mount one (root), or the folder DOVREL_SMALL_DISK names
// (a small file system mounted by whoever runs the tests, as the Windows run under Wine needs,
// since a program there cannot mount one). While it lives it is the current folder.
class SmallDisk
{
public:
    SmallDisk() : previous(QDir::currentPath())
    {
        const QString given = qEnvironmentVariable("DOVREL_SMALL_DISK");
        if (!given.isEmpty()) {
            folder = QDir(given).filePath(QStringLiteral("session-test"));
        } else {
#ifdef Q_OS_LINUX
            if (::mount("dovrel-test", QFile::encodeName(mountPoint.path()).constData(), "tmpfs", 0,
                        "size=256k")
                != 0) {
                whyNot = QStringLiteral("a tmpfs cannot be mounted here (%1)").arg(qt_error_string(errno));
                return;
            }
            mounted = true;
            folder = mountPoint.path();
#else
            whyNot = QStringLiteral("DOVREL_SMALL_DISK names no small file system to fill");
            return;
#endif
        }
        // What an earlier run left is cleared, so that the disk's free space is all there is.
        if (!QDir(folder).removeRecursively())
            whyNot = QStringLiteral("%1 cannot be cleared").arg(folder);
        QDir().mkpath(folder);
        QDir::setCurrent(folder);
    }
    ~SmallDisk()
    {
        QDir::setCurrent(previous);
        if (!folder.isEmpty())
            QDir(folder).removeRecursively();
#ifdef Q_OS_LINUX
        if (mounted)
            ::umount2(QFile::encodeName(mountPoint.path()).constData(), MNT_DETACH);
#endif
    }
    QString whyNot;

    // Fills the disk with a file of its own until nothing more fits.
    static bool fill()
    {
        QFile ballast(QStringLiteral("ballast"));
        if (!ballast.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray block(512, 'b');
        for (int i = 0; i < 1 << 20; ++i)
            if (ballast.write(block) != block.size())
                return true;
        return false;
    }

private:
    QString previous;
    QString folder;
#ifdef Q_OS_LINUX
    QTemporaryDir mountPoint;
    bool mounted = false;
#endif
};

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
        // No writing into the old file instead: it would be cut short by a failed write.
        QTest::newRow("folder refuses new files") << QStringLiteral("readOnlyFolder");
#endif
        // What a save cut off by a crash leaves is the program's own, and is replaced.
        QTest::newRow("scratch file left by a cut-off save") << QStringLiteral("leftoverScratch");
        QTest::newRow("link in the scratch file's place") << QStringLiteral("scratchLink");
    }
    void save_failureGivesReasonAndKeepsEarlierSettings()
    {
        QFETCH(QString, fault);
        writeBytes(session::kSettingsFile, "\"earlier\",\"07\"\r\n");
        session::FileFailure failure;
        bool saved = false;
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.txt"));
        writeBytes(outside, "kept");
#ifndef Q_OS_WIN
        // The settings keep their permissions, whatever the creation mask.
        QVERIFY(::chmod(QFile::encodeName(session::kSettingsFile).constData(), 0640) == 0);
#endif
        const bool succeeds = fault.isEmpty() || fault.startsWith(QLatin1String("leftover"))
            || fault.startsWith(QLatin1String("scratch"));
        if (fault == QLatin1String("leftoverScratch"))
            writeBytes(session::kScratchFile, "\"cut");
        if (fault == QLatin1String("scratchLink") && !makeEntry(QStringLiteral("link"), session::kScratchFile, outside))
            QSKIP("this system cannot make a link");
        if (succeeds) {
            saved = session::saveSettings("1.2.3.4", "Default", &failure);
        } else if (fault == QLatin1String("readOnlyFolder")) {
            PermissionsEnforced enforced;
            QVERIFY(QFile::setPermissions(QStringLiteral("."), QFile::ReadOwner | QFile::ExeOwner));
            saved = session::saveSettings("1.2.3.4", "Default", &failure);
            QVERIFY(QFile::setPermissions(QStringLiteral("."), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
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
        QCOMPARE(saved, succeeds);
        QCOMPARE(failure.error.isEmpty(), succeeds);
        QCOMPARE(readBytes(session::kSettingsFile),
                 succeeds ? QByteArray("\"1.2.3.4\",\"Default\"\r\n") : QByteArray("\"earlier\",\"07\"\r\n"));
        QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{session::kSettingsFile});
        QCOMPARE(readBytes(outside), QByteArray("kept"));
#ifndef Q_OS_WIN
        if (fault != QLatin1String("renameRefused")) // that row's file is another user's, 0666
            QCOMPARE(QFileInfo(session::kSettingsFile).permissions() & 0x0777, QFile::Permissions(0x0640));
#endif
    }
    // A link put in the settings file's place while saves go on is never written through:
    // nothing is left between the look at the entry and the write.
    void save_linkRacingTheSaves_neverFollowed()
    {
#ifdef Q_OS_WIN
        QSKIP("Wine cannot make links");
#endif
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.txt"));
        writeBytes(outside, "kept");
        std::atomic<bool> done{false};
        std::thread swapper([&] {
            const QString link = QStringLiteral("swap.lnk");
            while (!done) {
                QFile::link(outside, link);
                QFile::remove(session::kSettingsFile);
                QFile::rename(link, session::kSettingsFile);
            }
        });
        for (int save = 0; save < 3000; ++save) {
            session::FileFailure failure;
            session::saveSettings("1.2.3.4", QByteArray::number(save), &failure);
        }
        done = true;
        swapper.join();
        QCOMPARE(readBytes(outside), QByteArray("kept"));
    }

    // Whose lock a lock file is, from its lines (process, program, host, machine id, boot id)
    // and its age: only a lock that cannot belong to a running copy is stale.
    void judgeLockFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<qint64>("age");
        QTest::addColumn<bool>("processRuns");
        QTest::addColumn<int>("verdict");
        const int stale = int(session::LockVerdict::Stale), live = int(session::LockVerdict::Live);
        const int incomplete = int(session::LockVerdict::Incomplete);
        const int other = int(session::LockVerdict::OtherMachine);
        const QByteArray here = "4242\ndovrel\nhere-pc\nmachine-1\nboot-1\n";
        QTest::newRow("running copy") << here << qint64(10 * 3600) << true << live;
        QTest::newRow("copy that died") << here << qint64(5) << false << stale;
        QTest::newRow("machine started again since") << QByteArray("4242\ndovrel\nhere-pc\nmachine-1\nboot-0\n")
                                                     << qint64(5) << true << stale;
        QTest::newRow("empty, of this moment") << QByteArray() << qint64(2) << false << incomplete;
        QTest::newRow("empty, a minute and a second old") << QByteArray() << qint64(61) << false << stale;
        QTest::newRow("empty, a minute old") << QByteArray() << qint64(60) << false << incomplete;
        QTest::newRow("empty, dated an hour ahead") << QByteArray() << qint64(-3600) << false << stale;
        QTest::newRow("garbled, an hour old") << QByteArray("\x01\x02zz\n") << qint64(3600) << true << stale;
        QTest::newRow("process 0, an hour old") << QByteArray("0\ndovrel\n") << qint64(3600) << true << stale;
        QTest::newRow("negative process, new") << QByteArray("-7\ndovrel\n") << qint64(1) << true << incomplete;
        QTest::newRow("another machine id") << QByteArray("4242\ndovrel\nhere-pc\nmachine-2\nboot-1\n")
                                            << qint64(3600) << false << other;
        QTest::newRow("another host, no machine id") << QByteArray("4242\ndovrel\nthere-pc\n")
                                                    << qint64(3600) << false << other;
        QTest::newRow("host name in other case") << QByteArray("4242\ndovrel\nHERE-PC\n") << qint64(3600)
                                                 << false << stale;
        QTest::newRow("renamed host, same machine id") << QByteArray("4242\ndovrel\nold-name\nmachine-1\n")
                                                      << qint64(3600) << true << live;
        QTest::newRow("written on Windows, CR LF") << QByteArray("4242\r\ndovrel.exe\r\nhere-pc\r\n")
                                                   << qint64(3600) << true << live;
    }
    void judgeLockFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(qint64, age);
        QFETCH(bool, processRuns);
        QFETCH(int, verdict);
        const session::ThisMachine here{QStringLiteral("here-pc"), "machine-1", "boot-1"};
        QList<QPair<qint64, QString>> asked;
        session::LockHolder holder;
        const auto runs = [&](qint64 pid, const QString &program) {
            asked.append({pid, program});
            return processRuns;
        };
        QCOMPARE(int(session::judgeLockFile(contents, age, here, runs, &holder)), verdict);
        // Only a lock of this machine sends the program looking for its process, by its name.
        if (verdict == int(session::LockVerdict::Live) || (verdict == int(session::LockVerdict::Stale) && holder.pid > 0
                                                           && !contents.contains("boot-0")))
            QCOMPARE(asked.value(0).first, qint64(4242));
        else
            QVERIFY(asked.isEmpty());
        if (holder.pid > 0)
            QVERIFY(holder.program.startsWith(QStringLiteral("dovrel")) && !holder.program.endsWith(u'\r'));
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

    // What stands under a name, as the file test and the in-use test see it: only a plain file
    // that can be opened counts as there for FileExists (a pipe or device too, unopened), while
    // anything at all takes the name for a tool that would write there.
    void whatStandsUnderAName_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("inUse");
        QTest::newRow("missing") << QString() << false << false;
        QTest::newRow("plain file") << QStringLiteral("file") << true << true;
        QTest::newRow("folder") << QStringLiteral("folder") << false << true;
        QTest::newRow("link to a file outside") << QStringLiteral("link") << false << true;
        QTest::newRow("link that leads nowhere") << QStringLiteral("danglingLink") << false << true;
#ifndef Q_OS_WIN
        QTest::newRow("file nobody may read") << QStringLiteral("unreadable") << false << true;
        QTest::newRow("fifo") << QStringLiteral("fifo") << true << true;
        QTest::newRow("link to /dev/zero") << QStringLiteral("deviceLink") << false << true;
#endif
    }
    void whatStandsUnderAName()
    {
        QFETCH(QString, kind);
        QFETCH(bool, readable);
        QFETCH(bool, inUse);
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.txt"));
        writeBytes(outside, "kept");
        const QString name = QStringLiteral("name.mpg");
        if (kind == QLatin1String("file") || kind == QLatin1String("unreadable"))
            writeBytes(name, "x");
        else if (!kind.isEmpty() && !makeEntry(kind, name, outside))
            QSKIP("this system cannot make that entry");
        PermissionsEnforced enforced;
        if (kind == QLatin1String("unreadable"))
            QVERIFY(QFile::setPermissions(name, QFileDevice::WriteOwner));
        QCOMPARE(session::FileExists(name), readable);
        QCOMPARE(session::nameInUse(name), inUse);
        // Removed by name: a file or a link goes, a folder stays, what a link leads to stays.
        session::removeIfPresent(name);
        QCOMPARE(session::nameInUse(name), kind == QLatin1String("folder"));
        QCOMPARE(readBytes(outside), QByteArray("kept"));
    }

    // A name that is not a single name of the folder never reaches outside it, whatever is asked.
    void folder_refusesNamesThatLeaveIt_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent's file") << QStringLiteral("../outside.txt");
        QTest::newRow("into a sub-folder") << QStringLiteral("sub/inner.txt");
        QTest::newRow("absolute") << QStringLiteral("/tmp/x");
        QTest::newRow("dot") << QStringLiteral(".");
        QTest::newRow("dot dot") << QStringLiteral("..");
        QTest::newRow("empty") << QString();
#ifdef Q_OS_WIN
        QTest::newRow("parent's file, Windows separator") << QStringLiteral("..\\outside.txt");
        QTest::newRow("into a sub-folder, Windows separator") << QStringLiteral("sub\\inner.txt");
        QTest::newRow("a stream of another file") << QStringLiteral("here.txt:stream");
        QTest::newRow("drive-relative") << QStringLiteral("C:here.txt");
#endif
    }
    void folder_refusesNamesThatLeaveIt()
    {
        QFETCH(QString, name);
        QVERIFY(QDir().mkdir(QStringLiteral("sub")));
        writeBytes(QStringLiteral("sub/inner.txt"), "kept");
        writeBytes(QStringLiteral("here.txt"), "mine");
        const session::Folder folder;
        QCOMPARE(int(folder.entry(name)), int(session::Entry::Missing));
        QVERIFY(!folder.canRead(name));
        QString error;
        QVERIFY(!folder.remove(name, &error));
        QVERIFY(!error.isEmpty());
        const session::RenameResult renamed = folder.renameNoReplace(QStringLiteral("here.txt"), name);
        QVERIFY(!renamed.renamed && !renamed.error.isEmpty());
        QFile file;
        session::FileFailure failure;
        QVERIFY(!folder.open(file, name, QIODevice::WriteOnly | QIODevice::Append, &failure));
        QVERIFY(!folder.replaceWhole(name, "new", &failure));
        QCOMPARE(readBytes(QStringLiteral("sub/inner.txt")), QByteArray("kept"));
        QCOMPARE(readBytes(QStringLiteral("here.txt")), QByteArray("mine"));
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 (QStringList{QStringLiteral("here.txt"), QStringLiteral("sub")}));
    }

    // A rename is refused when anything at all stands under the new name, in every way the
    // file systems allow it to be made; it never copies and never writes through a link.
    void renameNoReplace_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("placed");
        const QList<QPair<const char *, session::NoReplaceWay>> ways{
            {"exclusive rename", session::NoReplaceWay::Exclusive},
            {"hard link", session::NoReplaceWay::LinkThenRemove},
            {"check, then rename", session::NoReplaceWay::CheckThenRename}};
        QStringList placed{QString(), QStringLiteral("file"), QStringLiteral("folder"), QStringLiteral("link"),
                           QStringLiteral("danglingLink")};
#ifdef Q_OS_WIN
        placed << QStringLiteral("fileInOtherCase"); // names match without regard to case there
#else
        placed << QStringLiteral("fifo");
#endif
        for (const auto &way : ways)
            for (const QString &kind : placed)
                QTest::addRow("%s, %s", way.first, kind.isEmpty() ? "free name" : qPrintable(kind))
                    << int(way.second) << kind;
    }
    void renameNoReplace()
    {
        QFETCH(int, way);
        QFETCH(QString, placed);
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.mpg"));
        writeBytes(outside, "someone else's");
        const QString from = QStringLiteral("1.mpg"), to = QStringLiteral(" One_12 21 2002.mpg");
        writeBytes(from, "the recording");
        if (placed == QLatin1String("file"))
            writeBytes(to, "mine");
        else if (placed == QLatin1String("fileInOtherCase"))
            writeBytes(to.toUpper(), "mine");
        else if (!placed.isEmpty() && !makeEntry(placed, to, outside))
            QSKIP("this system cannot make that entry");
        const session::Entry before = session::entryAt(to);

        session::Folder::setFirstRenameWay(session::NoReplaceWay(way));
        const session::RenameResult result = session::Folder().renameNoReplace(from, to);
        session::Folder::setFirstRenameWay(session::NoReplaceWay::Exclusive);

        QCOMPARE(result.renamed, placed.isEmpty());
        QCOMPARE(result.targetTaken, !placed.isEmpty());
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(readBytes(placed.isEmpty() ? to : from), QByteArray("the recording"));
        QCOMPARE(session::nameInUse(from), !placed.isEmpty());
        if (!placed.isEmpty())
            QCOMPARE(int(session::entryAt(to)), int(before));
        if (placed.startsWith(QLatin1String("file")))
            QCOMPARE(readBytes(to), QByteArray("mine"));
        QCOMPARE(readBytes(outside), QByteArray("someone else's"));
        QVERIFY(!QFileInfo::exists(outside + QStringLiteral(".gone")));
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
    // A run cut off mid-pull leaves a started record with no finished record after it in the
    // log's last session; nothing else counts as cut off.
    void cutOffPull_data()
    {
        QTest::addColumn<QByteArrayList>("records");
        QTest::addColumn<QByteArray>("target"); // empty: none cut off
        using namespace session::records;
        const QByteArray a = " A_12 21 2002.mpg", b = " B  Started:  x_12 21 2002.mpg";
        const QByteArrayList start{sessionHeader("12-21-2002", "20:15:03"), sessionSpacer()};
        QTest::newRow("empty log") << QByteArrayList() << QByteArray();
        QTest::newRow("whole session") << (start + QByteArrayList{startedRecord(a, "20:15:04", "Default"),
                                           finishedRecord(a, "20:30:00"), blankRecord(), blankRecord(),
                                           sessionEndRecord()})
                                       << QByteArray();
        QTest::newRow("cut off mid-pull") << (start + QByteArrayList{startedRecord(a, "20:15:04", "Default")}) << a;
        QTest::newRow("cut off after a finished pull, before the next")
            << (start + QByteArrayList{startedRecord(a, "20:15:04", "Default"), finishedRecord(a, "20:30:00"),
                                       blankRecord()})
            << QByteArray();
        QTest::newRow("a title holding the record's own words")
            << (start + QByteArrayList{startedRecord(b, "20:15:04", "07")}) << b;
        QTest::newRow("an earlier session cut off, the last whole")
            << (start + QByteArrayList{startedRecord(a, "20:15:04", "Default")} + start
                + QByteArrayList{blankRecord(), sessionEndRecord(), exitRecord()})
            << QByteArray();
    }
    void cutOffPull()
    {
        QFETCH(QByteArrayList, records);
        QFETCH(QByteArray, target);
        const std::optional<session::CutOffPull> cut = session::cutOffPull(records);
        QCOMPARE(cut.has_value(), !target.isEmpty());
        if (cut) {
            QCOMPARE(cut->target, target);
            QCOMPARE(cut->date, QByteArray("12-21-2002"));
            QCOMPARE(cut->time, QByteArray("20:15:04"));
        }
    }

    // What became of a recording is one line of the log: every control character of a title,
    // DEL included, becomes a blank; the code page's letters stay as they are.
    void attentionRecord_data()
    {
        QTest::addColumn<QByteArray>("what");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("plain") << QByteArray("A, recorded 12/21/2002") << QByteArray("ATTENTION: A, recorded 12/21/2002");
        QTest::newRow("DEL in a title") << QByteArray("Rub\x7Fout, recorded") << QByteArray("ATTENTION: Rub out, recorded");
        QTest::newRow("line ends and a tab") << QByteArray("a\rb\nc\td") << QByteArray("ATTENTION: a b c d");
        QTest::newRow("lowest and highest controls") << QByteArray("\x01x\x1F") << QByteArray("ATTENTION:  x ");
        QTest::newRow("letters above DEL kept") << QByteArray("Caf\xE9 \x80\x81\xFF") << QByteArray("ATTENTION: Caf\xE9 \x80\x81\xFF");
        QTest::newRow("a NUL does not end it") << QByteArray("a\0b", 3) << QByteArray("ATTENTION: a b");
    }
    void attentionRecord()
    {
        QFETCH(QByteArray, what);
        QFETCH(QByteArray, record);
        QCOMPARE(session::records::attentionRecord(what), record);
        QCOMPARE(session::groups::attention(what), (QByteArrayList{record, " "}));
    }

    // A group of records that cannot be written whole is not written at all: the log keeps
    // only whole records, and the reason is the system's.
    void appendRecords_failureLeavesWholeRecords_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder in the log's place") << QStringLiteral("folder") << QString();
#ifndef Q_OS_WIN
        // A file-size limit stops the write part way, as a full disk does.
        QTest::newRow("stopped inside the group") << QStringLiteral("limitInside") << QStringLiteral("File too large");
        QTest::newRow("stopped at the group's start") << QStringLiteral("limitAtStart") << QStringLiteral("File too large");
#endif
        // A disk that fills for real, in the middle of the group and at its start.
#ifdef Q_OS_WIN
        const QString full = qt_error_string(ERROR_DISK_FULL);
#else
        const QString full = qt_error_string(ENOSPC);
#endif
        QTest::newRow("disk full inside the group") << QStringLiteral("fullInside") << full;
        QTest::newRow("disk full at the group's start") << QStringLiteral("fullAtStart") << full;
    }
    void appendRecords_failureLeavesWholeRecords()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        session::FileFailure error;
        bool written = true;
        if (fault == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(session::kLogFile));
            written = session::appendRecords(session::groups::sessionEnd(), &error);
            QCOMPARE(int(error.found), int(session::Entry::Other));
        } else if (fault.startsWith(QLatin1String("full"))) {
            SmallDisk disk;
            if (!disk.whyNot.isEmpty())
                QSKIP(qPrintable(disk.whyNot));
            // Whole pages of records, then 20 bytes short of one: the disk takes no more than the
            // log's last page holds.
            const QByteArray line = QByteArray(62, 'x') + " \r\n";
            QByteArray before = line.repeated(4096 / line.size() * 4);
            before += QByteArray(4096 - before.size() % 4096 - (fault == QLatin1String("fullInside") ? 20 : 0) - 4, 'y') + " \r\n";
            writeBytes(session::kLogFile, before);
            QVERIFY(session::Folder().freeSpace().value_or(0) > 0);
            QVERIFY(SmallDisk::fill());
            QCOMPARE(session::Folder().freeSpace(), std::optional<qint64>(0));
            written = session::appendRecords(
                session::groups::started(" Casablanca_12 21 2002.mpg", "20:15:03", "Default"), &error);
            QCOMPARE(readBytes(session::kLogFile), before);
            QVERIFY(QFile::remove(QStringLiteral("ballast")));
            QVERIFY(session::Folder().freeSpace().value_or(0) > 0);
            QVERIFY(session::appendRecords(session::groups::sessionEnd(), &error));
            QCOMPARE(readBytes(session::kLogFile), before + " \r\nEnd of Download Session \r\n");
            QVERIFY(!written);
            QVERIFY2(error.error.contains(reason), qPrintable(error.error));
            return;
        } else {
#ifndef Q_OS_WIN
            QVERIFY(session::appendRecords(session::groups::logStart("01-02-2003"), &error));
            const QByteArray before = readBytes(session::kLogFile);
            {
                FileSizeLimit limit(rlim_t(before.size()) + (fault == QLatin1String("limitInside") ? 20 : 0));
                QVERIFY(limit.ok);
                written = session::appendRecords(
                    session::groups::started(" Casablanca_12 21 2002.mpg", "20:15:03", "Default"), &error);
            }
            QCOMPARE(readBytes(session::kLogFile), before);
            // The next group starts on a line of its own.
            QVERIFY(session::appendRecords(session::groups::sessionEnd(), &error));
            QCOMPARE(readBytes(session::kLogFile), before + " \r\nEnd of Download Session \r\n");
#endif
        }
        QVERIFY(!written);
        QVERIFY2(error.error.contains(reason), qPrintable(error.error));
        if (fault == QLatin1String("folder")) {
            bool opened = true;
            QVERIFY(session::readAllRecords(&opened).isEmpty());
            QVERIFY(!opened);
        }
    }

#ifdef Q_OS_WIN
    // What the attributes of a name, or of a handle opened on it, make of it: every kind that
    // Windows has, including those that Wine cannot make.
    void windowsEntryOf_data()
    {
        QTest::addColumn<quint32>("attributes");
        QTest::addColumn<quint32>("fileType");
        QTest::addColumn<int>("entry");
        const int missing = int(session::Entry::Missing), plain = int(session::Entry::PlainFile),
                  link = int(session::Entry::Link), other = int(session::Entry::Other);
        const quint32 disk = FILE_TYPE_DISK, archive = FILE_ATTRIBUTE_ARCHIVE;
        const quint32 reparse = FILE_ATTRIBUTE_REPARSE_POINT, folder = FILE_ATTRIBUTE_DIRECTORY;
        QTest::newRow("nothing there") << quint32(INVALID_FILE_ATTRIBUTES) << disk << missing;
        QTest::newRow("plain file") << archive << disk << plain;
        QTest::newRow("plain file without attributes") << quint32(FILE_ATTRIBUTE_NORMAL) << disk << plain;
        QTest::newRow("read-only file") << (archive | FILE_ATTRIBUTE_READONLY) << disk << plain;
        QTest::newRow("hidden system file") << (archive | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) << disk << plain;
        QTest::newRow("compressed sparse encrypted file")
            << (archive | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_ENCRYPTED) << disk << plain;
        QTest::newRow("folder") << folder << disk << other;
        QTest::newRow("file link") << (reparse | archive) << disk << link;
        QTest::newRow("junction or folder link") << (reparse | folder) << disk << link;
        QTest::newRow("hidden read-only link") << (reparse | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY) << disk << link;
        QTest::newRow("console or port") << archive << quint32(FILE_TYPE_CHAR) << other;
        QTest::newRow("pipe") << quint32(FILE_ATTRIBUTE_NORMAL) << quint32(FILE_TYPE_PIPE) << other;
        QTest::newRow("handle of unknown type") << archive << quint32(FILE_TYPE_UNKNOWN) << other;
    }
    void windowsEntryOf()
    {
        QFETCH(quint32, attributes);
        QFETCH(quint32, fileType);
        QFETCH(int, entry);
        QCOMPARE(int(session::entryOf(attributes, fileType)), entry);
    }

    // A process runs while it has not ended and its program is the one named: with or without
    // ".exe", in any case, as Qt's lock file names it; an id taken by another program does not.
    void windowsProcessRuns()
    {
        QProcess shell;
        shell.start(QStringLiteral("cmd.exe"), {QStringLiteral("/q")});
        QVERIFY(shell.waitForStarted());
        const qint64 pid = shell.processId();
        // Held to the end, so that the ended shell's id is not given to another process meanwhile.
        const HANDLE held = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
        QVERIFY(held);
        const auto closeHeld = qScopeGuard([held] { CloseHandle(held); });
        for (const char *name : {"cmd.exe", "CMD", "Cmd.Exe"})
            QVERIFY2(session::processRuns(pid, QString::fromLatin1(name)), name);
        for (const char *name : {"cmd.com", "cm", "cmd.exe.exe", ""})
            QVERIFY2(!session::processRuns(pid, QString::fromLatin1(name)), name);
        shell.write("exit 3\r\n");
        shell.closeWriteChannel();
        QVERIFY(shell.waitForFinished() && WaitForSingleObject(held, 5000) == WAIT_OBJECT_0);
        QVERIFY(!session::processRuns(pid, QStringLiteral("cmd.exe")));
        QVERIFY(!session::processRuns(0, QStringLiteral("cmd.exe")));
    }
#endif
};

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
