// The main window as it stands: start-up and the folder's lock, the delay controls, Exit, the
// log at start-up, and the controls against the window's table.
#include "clocktext.h"
#include "codepage.h"
#include "controls.h"
#include "controltable.h"
#include "fixture.h"
#include "fileexists.h"
#include "folderlock.h"
#include "startmessages.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {
#ifdef Q_OS_WIN
constexpr bool kCaseInsensitive = true;
#else
constexpr bool kCaseInsensitive = false;
#endif
} // namespace

namespace {

const QString kSettings = QStringLiteral("DOVLIP.dat");
const QString kLog = QStringLiteral("DOVLGUIDE.LOG");
const QString kLock = QStringLiteral("DOVLUTIL.LCK");

QByteArray startRecords()
{
    return " - - - - - - - - - - - - - - - - - - -\r\nNew Guide Started - Guide Date "
           + text::dateTextNow() + "\r\n";
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void firstRun_defaults()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        QCOMPARE(control<QLineEdit>(form.get(), "IPAddress")->text(), QString());
        QCOMPARE(control<QLineEdit>(form.get(), "Text9")->text(), QStringLiteral("Default"));
        QVERIFY(!control<QCheckBox>(form.get(), "Check1")->isChecked());
        QCOMPARE(form->sessionState().DelaySetting, QByteArray("Default"));
        QCOMPARE(control<QLineEdit>(form.get(), "Text5")->text(), QStringLiteral("0"));
        for (const char *box : {"Text1", "Text2", "Text3", "Text4", "Text6", "Text7"})
            QVERIFY2(control<QLineEdit>(form.get(), box)->text().isEmpty(), box);
        auto *list = control<QListWidget>(form.get(), "List1");
        QCOMPARE(list->count(), 0);
        QVERIFY(list->isEnabled());
        QVERIFY(!form->sessionState().GuideFetched);
        QVERIFY(!form->sessionState().DownloadActive);
        QCOMPARE(fileBytes(kLog), startRecords());
        QVERIFY(seen.messages.isEmpty());
        QVERIFY(!QFileInfo::exists(kSettings)); // nothing is saved before Exit
    }

    void startup_restoresSettings_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("delayBox");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("savedDefaultTicks") << QByteArray("\"192.168.0.20\",\"Default\"\r\n")
                                           << QStringLiteral("192.168.0.20") << QStringLiteral("Default") << true;
        QTest::newRow("otherDelayUnticked") << QByteArray("\"10.0.0.1\",\"07\"\r\n")
                                            << QStringLiteral("10.0.0.1") << QStringLiteral("07") << false;
        QTest::newRow("defaultOtherCase") << QByteArray("\"10.0.0.1\",\"default\"\r\n")
                                          << QStringLiteral("10.0.0.1") << QStringLiteral("default") << false;
        QTest::newRow("trailingSpacesRemoved") << QByteArray("\"1.2.3.4   \",\"Default  \"\r\n")
                                               << QStringLiteral("1.2.3.4") << QStringLiteral("Default") << true;
        QTest::newRow("leadingSpacesInsideQuotesKept") << QByteArray("\" 1.2.3.4\",\" 5\"\r\n")
                                                       << QStringLiteral(" 1.2.3.4") << QStringLiteral(" 5") << false;
        QTest::newRow("emptyDelay") << QByteArray("\"1.2.3.4\",\"\"\r\n") << QStringLiteral("1.2.3.4")
                                    << QString() << false;
        QTest::newRow("blankDelayTrimmedToEmpty") << QByteArray("\"1.2.3.4\",\"   \"\r\n")
                                                  << QStringLiteral("1.2.3.4") << QString() << false;
        QTest::newRow("oneFieldDelayDefault") << QByteArray("\"1.2.3.4\"\r\n") << QStringLiteral("1.2.3.4")
                                              << QStringLiteral("Default") << true;
        QTest::newRow("noFieldAtAll") << QByteArray() << QString() << QStringLiteral("Default") << true;
        QTest::newRow("accentedAddress") << QByteArray("\"r\xE9" "corder\",\"3\"\r\n")
                                         << QString::fromUtf8("récorder") << QStringLiteral("3") << false;
    }
    void startup_restoresSettings()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, address);
        QFETCH(QString, delayBox);
        QFETCH(bool, ticked);
        WorkDir dir;
        writeFile(kSettings, file);
        Seen seen;
        auto form = makeForm(seen);
        QCOMPARE(control<QLineEdit>(form.get(), "IPAddress")->text(), address);
        QCOMPARE(control<QLineEdit>(form.get(), "Text9")->text(), delayBox);
        QCOMPARE(control<QCheckBox>(form.get(), "Check1")->isChecked(), ticked);
        // The delay setting always equals the box, also when setting the box changed nothing.
        QCOMPARE(form->sessionState().DelaySetting, text::fromUnicode(delayBox));
        QCOMPARE(fileBytes(kSettings), file); // read, not rewritten
    }

    // Read only as a plain file: a link is not followed, and a pipe or a device without end
    // cannot hold start-up. Start-up says what stands there, once.
    void startup_settingsNotAPlainFile_notReadAndSaid_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("is not a plain file");
        QTest::newRow("link to a file outside") << QStringLiteral("link") << QStringLiteral("is a link");
        QTest::newRow("link to /dev/zero") << QStringLiteral("deviceLink") << QStringLiteral("is a link");
        QTest::newRow("fifo") << QStringLiteral("fifo") << QStringLiteral("is not a plain file");
    }
    void startup_settingsNotAPlainFile_notReadAndSaid()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        WorkDir dir;
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.dat"));
        writeFile(outside, "\"10.9.8.7\",\"07\"\r\n");
        if (!makeEntry(kind, kSettings, outside))
            QSKIP("this system cannot make that entry");
        Seen seen;
        auto form = makeForm(seen);
        QCOMPARE(control<QLineEdit>(form.get(), "IPAddress")->text(), QString());
        QCOMPARE(control<QLineEdit>(form.get(), "Text9")->text(), QStringLiteral("Default"));
        QVERIFY(!control<QCheckBox>(form.get(), "Check1")->isChecked());
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY2(seen.messages.first().contains(QStringLiteral("\"DOVLIP.dat\" were not read: it ") + said),
                 qPrintable(seen.messages.first()));
    }

    // Stale guide entries go by name whatever they are, and what a link points to stays.
    void startup_staleGuideEntriesRemovedByName_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to a file outside") << QStringLiteral("link");
        QTest::newRow("link to nowhere") << QStringLiteral("danglingLink");
        QTest::newRow("fifo") << QStringLiteral("fifo");
    }
    void startup_staleGuideEntriesRemovedByName()
    {
        QFETCH(QString, kind);
        WorkDir dir;
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.txt"));
        writeFile(outside, "not a guide");
        for (const QString &name : {QStringLiteral("guide.txt"), QStringLiteral("guide.dat")})
            if (!makeEntry(kind, name, outside))
                QSKIP("this system cannot make that entry");
        Seen seen;
        auto form = makeForm(seen);
        QCOMPARE(dir.entries(), QStringList{kLog});
        QCOMPARE(fileBytes(outside), QByteArray("not a guide"));
    }

    void startup_deletesStaleGuideFilesAndKeepsLog()
    {
        WorkDir dir;
        writeFile(QStringLiteral("guide.txt"), "old");
        writeFile(QStringLiteral("guide.dat"), "old");
        writeFile(kLog, "earlier run\r\n");
        Seen seen;
        auto form = makeForm(seen);
        QVERIFY(!QFileInfo::exists(QStringLiteral("guide.txt")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("guide.dat")));
        QCOMPARE(fileBytes(kLog), QByteArray("earlier run\r\n"));
    }

    // File names are matched as the file system matches them: without regard to case on
    // Windows, exactly elsewhere.
    void startup_staleGuideNameInOtherCase_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<bool>("removed");
        QTest::newRow("Guide.TXT") << QStringLiteral("Guide.TXT") << kCaseInsensitive;
        QTest::newRow("GUIDE.DAT") << QStringLiteral("GUIDE.DAT") << kCaseInsensitive;
        QTest::newRow("guide.Dat") << QStringLiteral("guide.Dat") << kCaseInsensitive;
        QTest::newRow("guide.txt exact") << QStringLiteral("guide.txt") << true;
        QTest::newRow("guide.txt2 is another name") << QStringLiteral("guide.txt2") << false;
    }
    void startup_staleGuideNameInOtherCase()
    {
        QFETCH(QString, onDisk);
        QFETCH(bool, removed);
        WorkDir dir;
        writeFile(onDisk, "stale");
        Seen seen;
        auto form = makeForm(seen);
        QCOMPARE(QDir::current().entryList(QDir::Files).contains(onDisk), !removed);
    }

    // An existing log under another case is the log: start-up writes no start records into a
    // new file beside it.
    void startup_logInOtherCase_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::newRow("lower case") << QStringLiteral("dovlguide.log");
        QTest::newRow("mixed case") << QStringLiteral("DovlGuide.Log");
    }
    void startup_logInOtherCase()
    {
        QFETCH(QString, onDisk);
        WorkDir dir;
        writeFile(onDisk, "earlier run\r\n");
        Seen seen;
        auto form = makeForm(seen);
        const QStringList files = QDir::current().entryList(QDir::Files);
        if (kCaseInsensitive) {
            QCOMPARE(files, QStringList{onDisk});
            QCOMPARE(fileBytes(onDisk), QByteArray("earlier run\r\n"));
        } else {
            QVERIFY(files.contains(kLog));
            QVERIFY(fileBytes(kLog).startsWith(" - - - - "));
            QCOMPARE(fileBytes(onDisk), QByteArray("earlier run\r\n"));
        }
    }

    // Exit after a guide deletes "Guide.dat" and "Guide.txt", whatever the case of the names
    // on disk where the file system ignores case.
    void exit_guideFilesInOtherCase_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<bool>("removed");
        QTest::newRow("guide.dat") << QStringLiteral("guide.dat") << true;
        QTest::newRow("Guide.dat") << QStringLiteral("Guide.dat") << kCaseInsensitive;
        QTest::newRow("GUIDE.TXT") << QStringLiteral("GUIDE.TXT") << kCaseInsensitive;
        QTest::newRow("Guide.txt") << QStringLiteral("Guide.txt") << kCaseInsensitive;
    }
    void exit_guideFilesInOtherCase()
    {
        QFETCH(QString, onDisk);
        QFETCH(bool, removed);
        WorkDir dir;
        Simulator sim;
        QVERIFY(sim.installed());
        Seen seen;
        auto form = formWithGuide(seen, sim, {recording("Movie: One", "1.mpg")});
        QCOMPARE(form->sessionState().ShowCount, qint16(1));
        // The tools' own files go; the one under test takes their place.
        QVERIFY(QFile::remove(QStringLiteral("guide.dat")));
        QVERIFY(QFile::remove(QStringLiteral("guide.txt")));
        writeFile(onDisk, "from the tools");
        QTest::mouseClick(control<QPushButton>(form.get(), "Quit"), Qt::LeftButton);
        QCOMPARE(seen.ends, 1);
        QCOMPARE(QDir::current().entryList(QDir::Files).contains(onDisk), !removed);
        QVERIFY(fileBytes(kLog).endsWith("Program Terminated \r\n \r\n \r\n"));
    }

    // A log that is not a plain file of the folder is neither followed nor opened: start-up
    // says so, Exit after a guide does not say it again, and nothing is written through a link.
    void startup_unwritableLogReportedOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("not a plain file");
        QTest::newRow("link to a file outside") << QStringLiteral("link") << QStringLiteral("is a link");
        QTest::newRow("link to nowhere") << QStringLiteral("danglingLink") << QStringLiteral("is a link");
        QTest::newRow("link to /dev/zero") << QStringLiteral("deviceLink") << QStringLiteral("is a link");
        QTest::newRow("fifo") << QStringLiteral("fifo") << QStringLiteral("not a plain file");
    }
    void startup_unwritableLogReportedOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        WorkDir dir;
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.log"));
        writeFile(outside, "someone else's\r\n");
        if (!makeEntry(kind, kLog, outside))
            QSKIP("this system cannot make that entry");
        Simulator sim;
        QVERIFY(sim.installed());
        sim.setRecordings({recording("Movie: One", "1.mpg")});
        Seen seen;
        auto form = makeForm(seen);
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY(seen.messages.first().contains(kLog));
        QVERIFY2(seen.messages.first().contains(said), qPrintable(seen.messages.first()));
        // Start-up went on: the delay box is set.
        QCOMPARE(control<QLineEdit>(form.get(), "Text9")->text(), QStringLiteral("Default"));

        getGuide(form.get());
        QCOMPARE(form->sessionState().ShowCount, qint16(1));
        clickButton(form.get(), "Quit");
        QCOMPARE(seen.messages.size(), 1); // the same problem is not said again at Exit
        QCOMPARE(seen.ends, 1);
        QCOMPARE(fileBytes(outside), QByteArray("someone else's\r\n"));
        QVERIFY(!QFileInfo::exists(outside + QStringLiteral(".gone")));
        QCOMPARE(QFileInfo(kLog).isSymLink(), kind.endsWith(QLatin1String("ink")));
    }

    // The folder's lock against a second copy: who holds it, or what stands in its place,
    // decides whether this copy may go on, and what it is told. Nothing in the lock's place is
    // opened before it is known to be a plain file, and a stuck lock names the way out.
    void startup_folderLock_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("said");
        const int locked = int(session::FolderLockOutcome::Locked);
        const int held = int(session::FolderLockOutcome::HeldByAnotherCopy);
        const int elsewhere = int(session::FolderLockOutcome::HeldElsewhere);
        const int inTheWay = int(session::FolderLockOutcome::InTheWay);
        const int cannot = int(session::FolderLockOutcome::CannotBeMade);
        const QString running = QStringLiteral("already running in this folder");
        const QString ends = QStringLiteral("This copy ends now without changing anything there.");
        QTest::newRow("free folder") << QStringLiteral("none") << locked << QStringList();
        QTest::newRow("running copy") << QStringLiteral("running") << held << QStringList{running, ends};
        QTest::newRow("killed copy taken over") << QStringLiteral("killed") << locked << QStringList();
        QTest::newRow("hours-old lock of a running copy")
            << QStringLiteral("old") << held << QStringList{running, QStringLiteral("names process")};
        QTest::newRow("read-only folder") << QStringLiteral("readOnly") << cannot
                                          << QStringList{QStringLiteral("cannot be written")};
        QTest::newRow("a folder in the lock's place")
            << QStringLiteral("folder") << inTheWay << QStringList{QStringLiteral("holds a folder named"), ends};
        QTest::newRow("a link to a file outside in the lock's place")
            << QStringLiteral("link") << inTheWay << QStringList{QStringLiteral("holds a link named"), ends};
        QTest::newRow("a link that leads nowhere in the lock's place")
            << QStringLiteral("danglingLink") << inTheWay << QStringList{QStringLiteral("holds a link named"), ends};
#ifndef Q_OS_WIN
        QTest::newRow("a pipe in the lock's place")
            << QStringLiteral("fifo") << inTheWay << QStringList{QStringLiteral("holds a pipe or a device"), ends};
        QTest::newRow("a lock this user cannot read")
            << QStringLiteral("unreadable") << held << QStringList{running, QStringLiteral("cannot be read"), ends};
#endif
        QTest::newRow("an empty lock file an hour old") << QStringLiteral("emptyOld") << locked << QStringList();
        QTest::newRow("a garbled lock file an hour old") << QStringLiteral("garbledOld") << locked << QStringList();
        QTest::newRow("an empty lock file of this moment")
            << QStringLiteral("emptyNew") << held << QStringList{running, QStringLiteral("not complete"), ends};
        QTest::newRow("a lock written on another machine")
            << QStringLiteral("otherMachine") << elsewhere
            << QStringList{QStringLiteral("\"other-pc\""), QStringLiteral("process 4242, dovrel-mpeg-utility"),
                           QStringLiteral("delete that file"), ends};
    }
    void startup_folderLock()
    {
        QFETCH(QString, holder);
        QFETCH(int, outcome);
        QFETCH(QStringList, said);
        WorkDir dir;
        const QString lockPath = QDir(dir.path()).filePath(kLock);
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.txt"));
        writeFile(outside, "someone else's");
        // Sets the lock file's last change an hour back.
        const auto age = [&lockPath] {
            QFile file(lockPath);
            return file.open(QIODevice::ReadWrite)
                && file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
        };
        QProcess copy;
        if (holder == QStringLiteral("running") || holder == QStringLiteral("killed")) {
            // The program itself, started in the folder, holds the lock.
            copy.setWorkingDirectory(dir.path());
            copy.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(PROGRAM_FILE)),
                       QStringList());
            QVERIFY(copy.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(lockPath).size() > 0, 30000);
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(kLog), 30000); // past its lock
            if (holder == QStringLiteral("killed")) {
                copy.kill();
                QVERIFY(copy.waitForFinished());
                QVERIFY(QFileInfo::exists(lockPath)); // left behind by the copy that died
            }
        } else if (QStringList{QStringLiteral("folder"), QStringLiteral("link"), QStringLiteral("danglingLink"),
                               QStringLiteral("fifo")}.contains(holder)) {
            if (!makeEntry(holder, lockPath, outside))
                QSKIP("this system cannot make that entry");
        } else if (holder == QStringLiteral("old") || holder == QStringLiteral("unreadable")) {
            // A lock naming this running process; an old one last written three hours ago.
            QByteArray bytes;
            {
                QLockFile own(QDir(dir.path()).filePath(QStringLiteral("own.lck")));
                QVERIFY(own.tryLock(0));
                bytes = fileBytes(QStringLiteral("own.lck"));
            }
            writeFile(kLock, bytes);
            QVERIFY(age());
            if (holder == QStringLiteral("unreadable"))
                QVERIFY(QFile::setPermissions(lockPath, QFileDevice::WriteOwner));
        } else if (holder == QStringLiteral("emptyOld") || holder == QStringLiteral("emptyNew")) {
            writeFile(kLock, QByteArray()); // a copy that died while writing it, or writes it now
            if (holder == QStringLiteral("emptyOld"))
                QVERIFY(age());
        } else if (holder == QStringLiteral("garbledOld")) {
            writeFile(kLock, QByteArray("\x00\x00\x00\x00 power went\n", 16));
            QVERIFY(age());
        } else if (holder == QStringLiteral("otherMachine")) {
            // As Qt writes it on a machine that shares the folder: process, program, host, ids.
            writeFile(kLock, "4242\ndovrel-mpeg-utility\nother-pc\n0123456789abcdef0123456789abcdef\nboot\n");
        }
        const session::Entry entryBefore = session::entryAt(kLock);
        const bool plain = entryBefore == session::Entry::PlainFile && holder != QStringLiteral("unreadable");
        const QByteArray before = plain ? fileBytes(kLock) : QByteArray();

        std::optional<PermissionsEnforced> enforced;
        if (holder == QStringLiteral("readOnly") || holder == QStringLiteral("unreadable")) {
#ifdef Q_OS_WIN
            QSKIP("Wine lets root write into a read-only folder");
#endif
            enforced.emplace();
            if (holder == QStringLiteral("readOnly"))
                QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        }
        std::optional<session::FolderLock> lock(std::in_place, dir.path());
        const session::FolderLockResult result = lock->take();
        if (enforced) {
            QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            enforced.reset();
        }
        const QString message = ui::folderLockMessage(result);
        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(fileBytes(outside), QByteArray("someone else's"));
        QVERIFY(!QFileInfo::exists(outside + QStringLiteral(".gone")));
        if (said.isEmpty()) {
            QVERIFY(message.isEmpty());
            // Taken at once, and this process's now; gone when the lock ends.
            QVERIFY(fileBytes(kLock)
                        .startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
            lock.reset();
            QVERIFY(!QFileInfo::exists(lockPath));
        } else {
            for (const QString &words : said)
                QVERIFY2(message.contains(words), qPrintable(message));
            QVERIFY2(message.contains(QDir::toNativeSeparators(dir.path())), qPrintable(message));
            // The holder's lock, or whatever stands there, as it was.
            QCOMPARE(int(session::entryAt(kLock)), int(entryBefore));
            if (plain)
                QCOMPARE(fileBytes(kLock), before);
        }
        // A stuck lock names its file, so that the user can delete it.
        // Taking over a stale lock is reported, so that start-up can name a pull it cut off.
        QCOMPARE(result.tookOver, QStringList({QStringLiteral("killed"), QStringLiteral("emptyOld"),
                                               QStringLiteral("garbledOld")}).contains(holder));
        using Outcome = session::FolderLockOutcome;
        if (outcome == int(Outcome::HeldByAnotherCopy) || outcome == int(Outcome::HeldElsewhere))
            QVERIFY2(message.contains(QDir::toNativeSeparators(lockPath)), qPrintable(message));
        QCOMPARE(result.endsProgram(), outcome != int(Outcome::Locked) && outcome != int(Outcome::CannotBeMade));
        if (holder == QStringLiteral("readOnly")) {
            QVERIFY(!result.reason.isEmpty());
            QVERIFY2(message.contains(result.reason), qPrintable(message));
            QVERIFY(!QFileInfo::exists(lockPath));
        }
        if (holder == QStringLiteral("running")) {
            QCOMPARE(copy.state(), QProcess::Running);
            copy.kill();
            QVERIFY(copy.waitForFinished());
        }
    }

    void delayControls_keepDelaySettingInStep()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        auto *check = control<QCheckBox>(form.get(), "Check1");
        auto *delay = control<QLineEdit>(form.get(), "Text9");

        QTest::mouseClick(check, Qt::LeftButton);
        QVERIFY(check->isChecked());
        QCOMPARE(delay->text(), QStringLiteral("Default"));
        QCOMPARE(form->sessionState().DelaySetting, QByteArray("Default"));

        QTest::mouseClick(check, Qt::LeftButton); // unticking empties the box and the setting
        QCOMPARE(delay->text(), QString());
        QCOMPARE(form->sessionState().DelaySetting, QByteArray());

        delay->setFocus();
        QTest::keyClick(delay, Qt::Key_1);
        QCOMPARE(form->sessionState().DelaySetting, QByteArray("1"));
        QTest::keyClick(delay, Qt::Key_2);
        QCOMPARE(form->sessionState().DelaySetting, QByteArray("12"));
        QTest::keyClick(delay, Qt::Key_Backspace);
        QCOMPARE(form->sessionState().DelaySetting, QByteArray("1"));
        QVERIFY(!check->isChecked()); // typing does not tick the box
    }

    void exit_savesSettingsAndLogsOnlyAfterAGuide_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("firstRunNoAddress") << QString() << QString() << QByteArray("\"\",\"Default\"\r\n");
        QTest::newRow("addressButNoGuide") << QStringLiteral("192.168.0.20") << QString()
                                           << QByteArray("\"192.168.0.20\",\"Default\"\r\n");
        QTest::newRow("typedDelay") << QStringLiteral("10.1.1.1") << QStringLiteral("07")
                                    << QByteArray("\"10.1.1.1\",\"07\"\r\n");
        QTest::newRow("quotesAsTheyAre") << QStringLiteral("a\"b") << QStringLiteral("x")
                                         << QByteArray("\"a\"b\",\"x\"\r\n");
        QTest::newRow("blanksAroundAddressKept") << QStringLiteral("  10.0.0.5 ") << QString()
                                                 << QByteArray("\"  10.0.0.5 \",\"Default\"\r\n");
        QTest::newRow("onlyBlanks") << QStringLiteral("   ") << QStringLiteral(" 7 ")
                                    << QByteArray("\"   \",\" 7 \"\r\n");
        QTest::newRow("outsideCodePage") << QString::fromUtf8("1✓2") << QStringLiteral("3")
                                         << QByteArray("\"1?2\",\"3\"\r\n");
    }
    void exit_savesSettingsAndLogsOnlyAfterAGuide()
    {
        QFETCH(QString, address);
        QFETCH(QString, delay);
        QFETCH(QByteArray, settings);
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        typeInto(control<QLineEdit>(form.get(), "IPAddress"), address);
        if (!delay.isEmpty())
            typeInto(control<QLineEdit>(form.get(), "Text9"), delay);
        writeFile(QStringLiteral("guide.txt"), "kept: no guide was fetched");
        const QByteArray logBefore = fileBytes(kLog);

        QTest::mouseClick(control<QPushButton>(form.get(), "Quit"), Qt::LeftButton);

        QCOMPARE(fileBytes(kSettings), settings);
        QCOMPARE(fileBytes(kLog), logBefore);
        QVERIFY(QFileInfo::exists(QStringLiteral("guide.txt")));
        QCOMPARE(seen.ends, 1);
        QVERIFY(seen.messages.isEmpty());
    }

    // The settings are saved only as a plain file of the folder: nothing is written through a
    // link, which stays as it was, and Exit says which file is in the way.
    void exit_unwritableSettingsReportedAndStillEnds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("not a plain file");
        QTest::newRow("link to a file outside") << QStringLiteral("link") << QStringLiteral("is a link");
        QTest::newRow("link to nowhere") << QStringLiteral("danglingLink") << QStringLiteral("is a link");
        QTest::newRow("fifo") << QStringLiteral("fifo") << QStringLiteral("not a plain file");
#ifndef Q_OS_WIN
        // The settings file may be written but no new file made beside it: the old settings stay
        // whole rather than be rewritten in place, where a failed write would cut them short.
        QTest::newRow("folder refusing new files") << QStringLiteral("readOnlyFolder")
                                                   << QStringLiteral("Permission denied");
#endif
    }
    void exit_unwritableSettingsReportedAndStillEnds()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        WorkDir dir;
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("outside.dat"));
        writeFile(outside, "someone else's\r\n");
        Seen seen;
        auto form = makeForm(seen);
        const bool readOnlyFolder = kind == QStringLiteral("readOnlyFolder");
        if (readOnlyFolder)
            writeFile(kSettings, "\"earlier\",\"07\"\r\n");
        else if (!makeEntry(kind, kSettings, outside))
            QSKIP("this system cannot make that entry");
        QTest::keyClicks(control<QLineEdit>(form.get(), "IPAddress"), QStringLiteral("10.0.0.5"));
        {
            PermissionsEnforced enforced;
            if (readOnlyFolder)
                QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
            QTest::mouseClick(control<QPushButton>(form.get(), "Quit"), Qt::LeftButton);
            QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        if (readOnlyFolder)
            QCOMPARE(fileBytes(kSettings), QByteArray("\"earlier\",\"07\"\r\n"));
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY(seen.messages.first().contains(kSettings));
        QVERIFY2(seen.messages.first().contains(said), qPrintable(seen.messages.first()));
        QCOMPARE(seen.ends, 1);
        QCOMPARE(fileBytes(outside), QByteArray("someone else's\r\n"));
        QVERIFY(!QFileInfo::exists(outside + QStringLiteral(".gone")));
        QCOMPARE(QFileInfo(kSettings).isSymLink(), kind.endsWith(QLatin1String("ink")));
    }

    void closingTheWindow_endsWithoutExitSteps()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        form->show();
        typeInto(control<QLineEdit>(form.get(), "IPAddress"), QStringLiteral("1.2.3.4"));
        const QByteArray logBefore = fileBytes(kLog);
        QVERIFY(form->close());
        QCOMPARE(seen.ends, 1);
        QVERIFY(!QFileInfo::exists(kSettings));
        QCOMPARE(fileBytes(kLog), logBefore);
    }

    void buttonsDoNothingBeforeAGuide()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        const QByteArray logBefore = fileBytes(kLog);
        QTest::mouseClick(control<QPushButton>(form.get(), "Extract"), Qt::LeftButton);
        QCOMPARE(fileBytes(kLog), logBefore); // nothing tagged: no session
        QVERIFY(control<QPushButton>(form.get(), "Extract")->isEnabled());
        QVERIFY(seen.messages.isEmpty());
    }

    // ---- The window against its table ----

    void window_captionSizeAndName()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        QCOMPARE(form->objectName(), QStringLiteral("Form1"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Dovrel Mpeg Utility"));
        QCOMPARE(form->size(), QSize(865, 480));
        QCOMPARE(form->minimumSize(), form->maximumSize()); // fixed size
    }

    void controls_matchTheTable()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        for (const ui::ControlSpec &c : ui::form1Spec().controls) {
            const QString name = QString::fromLatin1(c.name);
            auto *w = form->findChild<QWidget *>(name);
            QVERIFY2(w, c.name);
            const QString expectedParent = c.container ? QString::fromLatin1(c.container) : QStringLiteral("Form1");
            QCOMPARE(w->parentWidget()->objectName(), expectedParent);
            QCOMPARE(w->geometry(), QRect(ui::twipsToPixels(c.left), ui::twipsToPixels(c.top),
                                          ui::twipsToPixels(c.width), ui::twipsToPixels(c.height)));
            QCOMPARE(w->toolTip(), QString::fromLatin1(c.tooltip));
            QCOMPARE(w->font().pointSizeF(), c.font.points);
            QCOMPARE(w->font().bold(), c.font.bold);
            QCOMPARE(w->font().italic(), c.font.italic);
            QString caption;
            if (auto *label = qobject_cast<QLabel *>(w))
                caption = label->text();
            else if (auto *box = qobject_cast<QLineEdit *>(w))
                caption = box->text();
            else if (auto *button = qobject_cast<QAbstractButton *>(w))
                caption = button->text();
            else if (auto *frame = qobject_cast<QGroupBox *>(w))
                caption = frame->title();
            if (c.kind != ui::Kind::TextBox) // the inputs are filled by start-up
                QCOMPARE(caption, QString::fromLatin1(c.caption));
            if (qobject_cast<QLineEdit *>(w) || qobject_cast<QListWidget *>(w) || qobject_cast<QCheckBox *>(w))
                QVERIFY2(!w->accessibleName().isEmpty(), c.name);
        }
    }

    // Spot checks against the design's own numbers, independent of the conversion code.
    void controls_spotGeometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("window");
        QTest::newRow("List1") << QStringLiteral("List1") << QRect(64, 112, 729, 148);
        QTest::newRow("GetGuide") << QStringLiteral("GetGuide") << QRect(64, 400, 65, 41);
        QTest::newRow("IPAddressInFrame") << QStringLiteral("IPAddress") << QRect(528, 304, 105, 24);
        QTest::newRow("Check1InFrame") << QStringLiteral("Check1") << QRect(576, 336, 201, 24);
        QTest::newRow("Label8InFrame") << QStringLiteral("Label8") << QRect(432, 432, 73, 17);
        QTest::newRow("Text7OverFrame") << QStringLiteral("Text7") << QRect(504, 432, 289, 19);
    }
    void controls_spotGeometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, window);
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        auto *w = form->findChild<QWidget *>(name);
        QVERIFY(w);
        QCOMPARE(QRect(w->mapTo(form.get(), QPoint(0, 0)), w->size()), window);
    }

    // Each control's face is of its kind whatever faces the machine has: fixed-pitch for the
    // list, proportional and scalable for the rest, at the design's size and style. A row with a
    // face asks the control's font for that face instead of the window's own.
    void controls_faceOfItsKind_data()
    {
#ifdef Q_OS_WIN
        const QString proportional = QStringLiteral("Tahoma"), fixed = QStringLiteral("Courier");
#else
        const QString proportional = QStringLiteral("DejaVu Sans"), fixed = QStringLiteral("DejaVu Sans Mono");
#endif
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("face"); // empty: the window's own
        QTest::addColumn<bool>("installed");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::newRow("window") << QStringLiteral("Form1") << QString() << true << 8.25 << false << false;
        QTest::newRow("title") << QStringLiteral("Label1") << QString() << true << 24.0 << true << true;
        QTest::newRow("listHeader") << QStringLiteral("Label3") << QString() << true << 12.0 << false << false;
        QTest::newRow("list") << QStringLiteral("List1") << QString() << true << 8.25 << false << false;
        QTest::newRow("button") << QStringLiteral("GetGuide") << QString() << true << 9.75 << false << false;
        QTest::newRow("frame") << QStringLiteral("Frame2") << QString() << true << 9.75 << true << false;
        QTest::newRow("statusBox") << QStringLiteral("Text3") << QString() << true << 8.25 << false << false;
        QTest::newRow("listMissingFace") << QStringLiteral("List1") << QStringLiteral("No Such Mono") << false << 8.25 << false << false;
        QTest::newRow("titleMissingFace") << QStringLiteral("Label1") << QStringLiteral("No Such Sans") << false << 24.0 << true << true;
        QTest::newRow("listProportionalFace") << QStringLiteral("List1") << proportional << true << 8.25 << false << false;
        QTest::newRow("headerFixedFace") << QStringLiteral("Label3") << fixed << true << 12.0 << false << false;
    }
    void controls_faceOfItsKind()
    {
        QFETCH(QString, name);
        QFETCH(QString, face);
        QFETCH(bool, installed);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        QWidget *w = name == form->objectName() ? form.get() : form->findChild<QWidget *>(name);
        QVERIFY(w);
        const bool list = name == QStringLiteral("List1");
        if (!face.isEmpty()) {
            QVERIFY2(QFontDatabase::hasFamily(face) == installed,
                     qPrintable(face + (installed ? QStringLiteral(" is not installed") : QStringLiteral(" is installed"))));
            w->setFont(ui::fontFor(ui::FontSpec{list ? ui::Face::Fixed : ui::Face::Sans, points, bold, italic}, {face}));
        }
        const QFontInfo found(w->font());
        const QString family = found.family();
        QVERIFY2(found.fixedPitch() == list, qPrintable(family));
        if (!list)
            QVERIFY2(QFontDatabase::isSmoothlyScalable(family), qPrintable(family));
        QCOMPARE(w->font().pointSizeF(), points);
        QCOMPARE(found.bold(), bold);
        QCOMPARE(found.italic(), italic);
    }

    void controls_fontsAndHeader()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        const QString header = control<QLabel>(form.get(), "Label3")->text();
        QCOMPARE(header.size(), 142);
        QCOMPARE(header.indexOf(QStringLiteral("Show")), 5);
        QCOMPARE(header.indexOf(u'/'), 15);
        QCOMPARE(header.indexOf(QStringLiteral("Title")), 22);
        QCOMPARE(header.indexOf(QStringLiteral("Quality")), 97);
        QCOMPARE(header.indexOf(QStringLiteral("Duration")), 114);
        QCOMPARE(header.indexOf(QStringLiteral("Date Recorded")), 129);
        QVERIFY(control<QLineEdit>(form.get(), "Text1")->isReadOnly());
        QVERIFY(!control<QLineEdit>(form.get(), "IPAddress")->isReadOnly());
    }

    void tabOrder_followsTabIndex()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        const QStringList expected = {
            QStringLiteral("LogView"), QStringLiteral("IPAddress"), QStringLiteral("Text9"),
            QStringLiteral("GetGuide"), QStringLiteral("Extract"), QStringLiteral("Quit"),
            QStringLiteral("List1"), QStringLiteral("Text1"), QStringLiteral("Text2"),
            QStringLiteral("Text5"), QStringLiteral("Text6"), QStringLiteral("Check1"),
            QStringLiteral("Text3"), QStringLiteral("Text4"), QStringLiteral("Text7")};
        QWidget *w = form->findChild<QWidget *>(expected.first());
        QStringList seenOrder;
        for (int i = 0; i < expected.size(); ++i) {
            seenOrder << w->objectName();
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty())
                w = w->nextInFocusChain();
        }
        QCOMPARE(seenOrder, expected);
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
