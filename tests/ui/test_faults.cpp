// Fault injection, end to end through the window with the recorder simulator: whatever goes
// wrong, no file in the working directory is lost, changed or overwritten, nothing is written
// outside it, and the failure is reported.
#include "activitylog.h"
#include "codepage.h"
#include "fileexists.h"
#include "fixture.h"
#include "folderlock.h"
#include "ownfiles.h"
#include "startmessages.h"
#include "testtools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>

#include <optional>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/mount.h>
#include <sys/statvfs.h>
#endif

namespace {

const QString kLog = QStringLiteral("DOVLGUIDE.LOG");
const QByteArray kPackHeader("\x00\x00\x01\xBA", 4);

#ifdef Q_OS_LINUX
// Each entry of the folder with its size and last change.
QStringList listing(const QString &folder)
{
    QStringList lines;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries)
        lines << QStringLiteral("%1  %2 bytes  changed %3")
                     .arg(entry.fileName())
                     .arg(entry.size())
                     .arg(entry.lastModified().toMSecsSinceEpoch());
    return lines;
}

// The lines of a listing that differ from an earlier one.
QString changedSince(const QStringList &before, const QStringList &after)
{
    QStringList changes;
    for (const QString &line : before)
        if (!after.contains(line))
            changes << QStringLiteral("was: ") + line;
    for (const QString &line : after)
        if (!before.contains(line))
            changes << QStringLiteral("now: ") + line;
    return changes.join(u'\n');
}

// A process as /proc/<pid>/stat shows it: its parent, its state letter and its start (clock
// ticks since boot), which tells it apart from a later process given the same id.
struct ProcessSeen
{
    qint64 pid = 0;
    qint64 parent = 0;
    char state = 0;
    QByteArray started;
};

std::optional<ProcessSeen> processSeen(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray stat = file.readAll();
    // The program's name, in parentheses, may hold blanks: the fields are counted from its
    // closing parenthesis on. The state is the 3rd field, the parent the 4th, the start the 22nd.
    const qsizetype name = stat.lastIndexOf(')');
    const QByteArrayList fields = stat.mid(name + 2).split(' ');
    if (name < 0 || fields.size() < 20 || fields.at(0).isEmpty())
        return std::nullopt;
    return ProcessSeen{pid, fields.at(1).toLongLong(), fields.at(0).at(0), fields.at(19)};
}

// The ReplayPC that `parent` started to pull a recording, while it runs.
std::optional<ProcessSeen> pullingTool(qint64 parent)
{
    const QStringList names = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        bool number = false;
        const qint64 pid = name.toLongLong(&number);
        const std::optional<ProcessSeen> seen = number ? processSeen(pid) : std::nullopt;
        if (!seen || seen->parent != parent)
            continue;
        // Past its start: the command line is the tool's own, not its parent's copy.
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!commandLine.open(QIODevice::ReadOnly))
            continue;
        const QByteArrayList arguments = commandLine.readAll().split('\0');
        if (arguments.size() >= 4 && QFileInfo(QFile::decodeName(arguments.at(0))).fileName() == replayPCFileName()
            && arguments.at(2) == "-e")
            return seen;
    }
    return std::nullopt;
}

// Gone, dead and only not yet reaped by its new parent, or its id taken by another process.
bool hasEnded(const ProcessSeen &process)
{
    const std::optional<ProcessSeen> now = processSeen(process.pid);
    return !now || now->started != process.started || now->state == 'Z' || now->state == 'X';
}
#endif

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<WorkDir> outer; // holds only the working directory, so that its listing
                                    // shows whether anything was written beside it
    QString work;
    std::unique_ptr<Simulator> sim;
    Seen seen;
    std::unique_ptr<ui::Form1> form;
    QListWidget *list = nullptr;
    QMap<QString, QByteArray> before;
    QStringList parentBefore;

    // Called as QVERIFY(start(...)): a guide that did not list whole ends the test there.
    bool start(const QList<QByteArrayList> &rows)
    {
        form = formWithGuide(seen, *sim, rows);
        list = control<QListWidget>(form.get(), "List1");
        if (list->count() != rows.size() || !seen.messages.isEmpty()) {
            qWarning("%lld rows listed; messages: %s", qlonglong(list->count()), qPrintable(allMessages()));
            return false;
        }
        return true;
    }

    void tickAllAndRememberFiles()
    {
        for (int row = 0; row < list->count(); ++row)
            clickRow(list, row);
        before = snapshot();
        parentBefore = QDir(outer->path()).entryList(QDir::AllEntries | QDir::Hidden);
    }

    // Every file that was there is there unchanged (the log only grew); nothing appeared
    // beside the working directory.
    void verifyNothingLost()
    {
        const QMap<QString, QByteArray> after = snapshot();
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            QVERIFY2(after.contains(it.key()), qPrintable(it.key() + QStringLiteral(" was lost")));
            if (it.key() == kLog || it.key() == QStringLiteral("sim.log"))
                QVERIFY2(after.value(it.key()).startsWith(it.value()), qPrintable(it.key()));
            else
                QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key() + QStringLiteral(" changed")));
        }
        QCOMPARE(QDir(outer->path()).entryList(QDir::AllEntries | QDir::Hidden), parentBefore);
    }

    QString allMessages() const { return seen.messages.join(u'\n'); }

    // Each recording the session's message names has one record of its own in the log, saying
    // the same words after "ATTENTION: ", followed by a blank record; the log names no other.
    void verifyLogSaysWhatTheMessageSays(const QByteArray &logBefore)
    {
        const QByteArrayList added = fileBytes(kLog).mid(logBefore.size()).split('\n');
        QByteArrayList logged;
        for (qsizetype i = 0; i < added.size(); ++i) {
            if (!added.at(i).startsWith("ATTENTION: "))
                continue;
            logged << added.at(i).chopped(1);
            QCOMPARE(added.value(i - 1), QByteArray(i == 2 ? "        \r" : " \r")); // a group of its own
            QCOMPARE(added.value(i + 1), QByteArray(" \r"));
        }
        QByteArrayList said;
        const QString message = seen.messages.isEmpty() ? QString() : seen.messages.last();
        if (message.startsWith(QStringLiteral("Some recordings")))
            for (const QString &line : message.section(QStringLiteral("\n\n"), 1).split(u'\n'))
                said << "ATTENTION: " + text::fromUnicode(line);
        QCOMPARE(logged, said);
    }

private slots:
    void init()
    {
        outer = std::make_unique<WorkDir>();
        QVERIFY(QDir().mkdir(QStringLiteral("work")));
        work = QDir::current().absoluteFilePath(QStringLiteral("work"));
        QVERIFY(QDir::setCurrent(work));
        sim = std::make_unique<Simulator>();
        QVERIFY(sim->installed());
        seen = Seen();
    }
    void cleanup()
    {
        QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        form.reset();
        sim.reset();
        outer.reset();
    }

    void toolCannotBeStarted()
    {
        QVERIFY(start({recording("Movie: One", "1.mpg"), recording("Movie: Two", "2.mpg")}));
        QVERIFY(QFile::remove(replayPCFileName()));
        tickAllAndRememberFiles();
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        verifyNothingLost();
        verifyLogSaysWhatTheMessageSays(logBefore);
        QCOMPARE(seen.messages.size(), 3); // the runner twice, then the session's list
        QVERIFY(seen.messages.at(0).contains(QStringLiteral("ReplayPC")));
        QVERIFY(seen.messages.at(2).contains(QStringLiteral("\"1.mpg\"")));
        QVERIFY(seen.messages.at(2).contains(QStringLiteral("\"2.mpg\"")));
        QCOMPARE(seen.beeps, 2); // the session went on for each recording
    }

    void toolFailsOrLeavesNoFile_data()
    {
        QTest::addColumn<QByteArray>("fault");
        QTest::newRow("toolFails") << QByteArray("fail");
        QTest::newRow("toolLeavesNoFile") << QByteArray("nofile");
    }
    void toolFailsOrLeavesNoFile()
    {
        QFETCH(QByteArray, fault);
        QVERIFY(start({recording("Movie: Bad", "bad.mpg", "12/21/2002 8:00 PM", "High", "60", fault),
               recording("Movie: Good", "good.mpg")}));
        tickAllAndRememberFiles();
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        verifyNothingLost();
        verifyLogSaysWhatTheMessageSays(logBefore);
        QVERIFY(fileBytes(QStringLiteral(" Good_12 21 2002.mpg")).startsWith(kPackHeader));
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY(allMessages().contains(QStringLiteral("Bad, recorded 12/21/2002 (recorder file \"bad.mpg\")")));
        QVERIFY(allMessages().contains(QStringLiteral("left no file")));
        QCOMPARE(allMessages().contains(QStringLiteral("ended with failure status 1")),
                 fault == "fail");
        QVERIFY(!allMessages().contains(QStringLiteral("good.mpg")));
    }

    void everyTargetFormTaken()
    {
        QVERIFY(start({recording("Movie: One", "1.mpg")}));
        writeFile(QStringLiteral(" One_12 21 2002.mpg"), "mine");
        for (int n = 1; n <= 5; ++n)
            writeFile(QStringLiteral(" One_12 21 2002_0%1.mpg").arg(n), "mine too");
        tickAllAndRememberFiles();
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        verifyNothingLost();
        verifyLogSaysWhatTheMessageSays(logBefore);
        QVERIFY(fileBytes(QStringLiteral("1.mpg")).startsWith(kPackHeader)); // kept under its own name
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY(allMessages().contains(QStringLiteral("already exists")));
    }

    // Whatever stands under the target name takes it: the recording is saved under the next
    // free name, and nothing is written through a link or onto what was there.
    void targetNameTaken_data()
    {
        QTest::addColumn<QString>("placed");
        QTest::newRow("a plain file") << QStringLiteral("file");
        QTest::newRow("a link that leads nowhere") << QStringLiteral("danglingLink");
        QTest::newRow("a link to a file outside") << QStringLiteral("link");
        QTest::newRow("a folder") << QStringLiteral("folder");
#ifndef Q_OS_WIN
        QTest::newRow("a pipe") << QStringLiteral("fifo");
#endif
    }
    void targetNameTaken()
    {
        QFETCH(QString, placed);
        QVERIFY(start({recording("Movie: One", "1.mpg")}));
        const QString target = QStringLiteral(" One_12 21 2002.mpg");
        const QString outside = QDir(outer->path()).filePath(QStringLiteral("outside.mpg"));
        writeFile(outside, "someone else's");
        if (placed == QStringLiteral("file"))
            writeFile(target, "mine");
        else if (!makeEntry(placed, target, outside))
            QSKIP("this system cannot make that entry");
        const session::Entry entryBefore = session::entryAt(target);
        tickAllAndRememberFiles();
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        verifyNothingLost();
        QCOMPARE(fileBytes(outside), QByteArray("someone else's"));
        QCOMPARE(int(session::entryAt(target)), int(entryBefore));
        QVERIFY(fileBytes(QStringLiteral(" One_12 21 2002_01.mpg")).startsWith(kPackHeader));
        QVERIFY(!session::nameInUse(QStringLiteral("1.mpg")));
        QVERIFY2(seen.messages.isEmpty(), qPrintable(allMessages()));
        QVERIFY(fileBytes(kLog).mid(logBefore.size()).contains(" One_12 21 2002_01.mpg Finished:  "));
    }

    void hostileRecorderFileNames_data()
    {
        QTest::addColumn<QByteArray>("fileName");
        QTest::newRow("parentPath") << QByteArray("../x");
        QTest::newRow("backslash") << QByteArray("a\\b");
        QTest::newRow("dotDot") << QByteArray("..");
        QTest::newRow("dot") << QByteArray(".");
        QTest::newRow("absolute") << QByteArray("/tmp/x.mpg");
        QTest::newRow("blankInside") << QByteArray("x -g");
        QTest::newRow("driveRelative") << QByteArray("C:x.mpg");
        QTest::newRow("option") << QByteArray("-g");
        // Names Windows or Qt would load or run from the program's folder, and devices.
        QTest::newRow("library") << QByteArray("x.dll");
        QTest::newRow("program") << QByteArray("Setup.EXE");
        QTest::newRow("Qt's configuration") << QByteArray("qt.conf");
        QTest::newRow("redirection file") << QByteArray("dovrel.exe.local");
        QTest::newRow("program behind a trailing dot") << QByteArray("x.exe.");
        QTest::newRow("console device") << QByteArray("CONOUT$.mpg");
        QTest::newRow("port numbered 0") << QByteArray("com0.mpg");
    }
    void hostileRecorderFileNames()
    {
        QFETCH(QByteArray, fileName);
        QVERIFY(start({recording("Movie: Fine", "fine.mpg"), recording("Movie: Hostile", fileName)}));
        // What the status boxes show as each row is unticked: the refused recording must not
        // appear to be saved under the name before it.
        tickAllAndRememberFiles();
        QList<QStringList> boxesAtUntick;
        connect(list, &QListWidget::itemChanged, form.get(), [&] {
            boxesAtUntick << QStringList{control<QLineEdit>(form.get(), "Text4")->text(),
                                         control<QLineEdit>(form.get(), "Text7")->text()};
        });
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        verifyNothingLost();
        const QStringList calls = sim->calls();
        QCOMPARE(calls.filter(QStringLiteral("\t-e\t")).size(), 1); // only the fine one ran
        QVERIFY(calls.last().endsWith(QStringLiteral("\t-e\tfine.mpg")));
        QCOMPARE(rowItem(list, 1).checkState(), Qt::Unchecked);
        QCOMPARE(boxesAtUntick, (QList<QStringList>{{QStringLiteral("fine.mpg"), QStringLiteral(" Fine_12 21 2002.mpg")},
                                                    {QString::fromLatin1(fileName), QString()}}));
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY(allMessages().contains(QString::fromLatin1(fileName)));
        // No started or finished record for the skipped recording: a record of what became of it.
        verifyLogSaysWhatTheMessageSays(logBefore);
        QVERIFY(!fileBytes(kLog).mid(logBefore.size()).contains("Hostile_"));
        QVERIFY(allMessages().contains(QStringLiteral("Hostile, recorded 12/21/2002 (recorder file \"")));
        QVERIFY(QFileInfo::exists(QStringLiteral(" Fine_12 21 2002.mpg")));
    }

    // A title whose target name is a device's (a title "COM1.x"): every collision step keeps the
    // device part, so the recording stays under its recorder name, and nothing was opened.
    void deviceTargetName_keptUnderRecorderName_data()
    {
        QTest::addColumn<QByteArray>("titleLine");
        QTest::addColumn<QString>("target");
        QTest::newRow("port") << QByteArray("Movie:COM1.x") << QStringLiteral("COM1.x_12 21 2002_05.mpg");
        QTest::newRow("console, any case") << QByteArray("Movie:conin$.tv") << QStringLiteral("conin$.tv_12 21 2002_05.mpg");
        QTest::newRow("null with blanks before the dot") << QByteArray("Movie:NUL  .a") << QStringLiteral("NUL  .a_12 21 2002_05.mpg");
    }
    void deviceTargetName_keptUnderRecorderName()
    {
        QFETCH(QByteArray, titleLine);
        QFETCH(QString, target);
        QVERIFY(start({recording(titleLine, "1001.mpg"), recording("Movie: Fine", "1002.mpg")}));
        tickAllAndRememberFiles();
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        verifyNothingLost();
        verifyLogSaysWhatTheMessageSays(logBefore);
        QVERIFY(fileBytes(QStringLiteral("1001.mpg")).startsWith(kPackHeader));
        QVERIFY(fileBytes(QStringLiteral(" Fine_12 21 2002.mpg")).startsWith(kPackHeader));
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY2(allMessages().contains(QStringLiteral("was not saved as \"%1\": it is a name Windows keeps "
                                                       "for a device; the recording lies in the folder as \"1001.mpg\"")
                                            .arg(target)),
                 qPrintable(allMessages()));
    }

    // A recorder file name that names a file already in the folder, or one of the program's own
    // files (a tool, the log, ...) whether it is there or not, in any case and with the trailing
    // dots and blanks Windows drops: the recording is not pulled, whether its tool would succeed,
    // fail or leave nothing, so that file can be neither written over nor renamed away.
    void recorderNameOfAFileAlreadyThere_data()
    {
        QTest::addColumn<QByteArray>("fileName"); // as the guide gives it
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<QString>("placed");      // what the test puts there under the name
        QTest::addColumn<bool>("own");            // one of the program's own files
        const QList<QPair<QByteArray, bool>> names{{"DOVLGUIDE.LOG", true}, {"DOVLIP.dat", true},
                                                   {"guide.txt", true},     {"PShell.exe", true},
                                                   {replayPCFileName().toLatin1(), true},
                                                   {"mine.mpg", false}};
        const QByteArrayList faults{"", "fail", "nofile"};
        for (const auto &[name, own] : names)
            for (const QByteArray &fault : faults)
                QTest::newRow((name + " / " + (fault.isEmpty() ? QByteArray("tool succeeds") : fault)).constData())
                    << name << fault << QString() << own;
        // The guide's file name field is 26 characters: the tool is handed the name without
        // the blanks, so that is the name that must be free.
        QTest::newRow("log name with the field's trailing blanks")
            << QByteArray("DOVLGUIDE.LOG").leftJustified(26, ' ') << QByteArray() << QString() << true;
        // The program's own names are refused whether the file is there now or not.
        for (const QByteArray &name : QByteArrayList{"dovlip.DAT", "DOVLGUIDE.log", "DOVLUTIL.LCK",
                                                      "Guide.DAT", "guide.txt...", "DOVLIP.dat..",
                                                      "ReplayPC.EXE", "pshell",
                                                      // the names the lock and the settings save take beside them
                                                      "dovlutil.lck.RMLOCK", "DOVLUTIL.tmp"})
            QTest::newRow(("own name " + name).constData()) << name << QByteArray() << QString() << true;
        QTest::newRow("a folder") << QByteArray("folder.mpg") << QByteArray() << QStringLiteral("folder") << false;
        QTest::newRow("a file nobody may read")
            << QByteArray("secret.mpg") << QByteArray() << QStringLiteral("unreadable") << false;
        // A pipe would hold up a test that opens it: it is found without being opened.
        QTest::newRow("a pipe") << QByteArray("pipe.mpg") << QByteArray() << QStringLiteral("fifo") << false;
        // The tool would write through a link to wherever it leads, even where nothing is yet.
        QTest::newRow("a link that leads nowhere")
            << QByteArray("dangling.mpg") << QByteArray() << QStringLiteral("danglingLink") << false;
        QTest::newRow("a link to a file outside")
            << QByteArray("linked.mpg") << QByteArray() << QStringLiteral("link") << false;
    }
    void recorderNameOfAFileAlreadyThere()
    {
        QFETCH(QByteArray, fileName);
        QFETCH(QByteArray, fault);
        QFETCH(QString, placed);
        QFETCH(bool, own);
        const QString name = QString::fromLatin1(fileName).trimmed();
#ifdef Q_OS_WIN
        if (placed == QStringLiteral("unreadable"))
            QSKIP("Windows files have no read permission bit to take away: lockedFiles holds a file "
                  "nobody may open");
#endif
        QVERIFY(start({recording("Movie: Clash", fileName, "12/21/2002 8:00 PM", "High", "60", fault),
               recording("Movie: Fine", "fine.mpg")}));
        writeFile(QStringLiteral("DOVLIP.dat"), "\"10.0.0.9\",\"Default\"\r\n");
        writeFile(QStringLiteral("mine.mpg"), "the user's own recording");
        const QString outside = QDir(outer->path()).filePath(QStringLiteral("outside.mpg"));
        writeFile(outside, "someone else's");
        if (!placed.isEmpty() && placed != QStringLiteral("unreadable"))
            if (!makeEntry(placed, name, outside))
                QSKIP("this system cannot make that entry");
        if (placed == QStringLiteral("unreadable"))
            writeFile(name, "nobody may read this");
        tickAllAndRememberFiles();
        const session::Entry entryBefore = session::entryAt(name);
        const QByteArray logBefore = fileBytes(kLog);
        {
            PermissionsEnforced enforced;
            if (placed == QStringLiteral("unreadable")) {
                QVERIFY(QFile::setPermissions(name, QFileDevice::WriteOwner));
                QVERIFY(!session::FileExists(name)); // it is there, but cannot be opened
            }
            clickButton(form.get(), "Extract");
            if (placed == QStringLiteral("unreadable"))
                QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }

        verifyNothingLost();
        QCOMPARE(fileBytes(outside), QByteArray("someone else's"));
        QCOMPARE(int(session::entryAt(name)), int(entryBefore)); // whatever was there is there as it was
        const QStringList calls = sim->calls().filter(QStringLiteral("\t-e\t"));
        QCOMPARE(calls.size(), 1);
        QVERIFY(calls.first().endsWith(QStringLiteral("\t-e\tfine.mpg")));
        QCOMPARE(rowItem(list, 0).checkState(), Qt::Unchecked);
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY2(allMessages().contains(u'"' + name + u'"'), qPrintable(allMessages()));
        // What stands there is named as what it is.
        const QMap<QString, QString> standing{{QString(), QStringLiteral("a file")},
                                              {QStringLiteral("unreadable"), QStringLiteral("a file")},
                                              {QStringLiteral("folder"), QStringLiteral("a folder")},
                                              {QStringLiteral("fifo"), QStringLiteral("a pipe or a device")},
                                              {QStringLiteral("link"), QStringLiteral("a link")},
                                              {QStringLiteral("danglingLink"), QStringLiteral("a link")}};
        QVERIFY2(allMessages().contains(own ? QStringLiteral("one of this program's own files")
                                            : QStringLiteral("was not pulled: %1 of that name is already "
                                                             "in the folder; move it away")
                                                  .arg(standing.value(placed))),
                 qPrintable(allMessages()));
        QVERIFY(!allMessages().contains(QStringLiteral("fine.mpg")));
        // The log went on: header, spacer, what became of the clash, the fine recording's three
        // records, blank, end.
        verifyLogSaysWhatTheMessageSays(logBefore);
        const QByteArray added = fileBytes(kLog).mid(logBefore.size());
        QVERIFY(!added.contains("Clash_"));
        QCOMPARE(added.count("\r\n"), 9);
        QCOMPARE(added.count(" Fine_12 21 2002.mpg"), 2);
        QVERIFY(fileBytes(QStringLiteral(" Fine_12 21 2002.mpg")).startsWith(kPackHeader));
    }

    // A tool that ends with a failure status or crashes after part of the file, or leaves an
    // empty file: the file is renamed and logged like any other, and the end-of-session message
    // names it where it now lies and says it may be incomplete.
    void toolEndsBadly_listedWhereItLies_data()
    {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<QString>("why");
        QTest::addColumn<bool>("targetsTaken"); // every target form taken: no rename either
        QTest::newRow("failure status after part of the file")
            << QByteArray("partial") << QStringLiteral("ReplayPC ended with failure status 3") << false;
        QTest::newRow("crash after part of the file")
            << QByteArray("crash") << QStringLiteral("ReplayPC crashed") << false;
        QTest::newRow("failure status, not renamed")
            << QByteArray("partial") << QStringLiteral("ReplayPC ended with failure status 3") << true;
        // An empty file is no recording: it never takes the show's name, nor stays.
        QTest::newRow("empty file") << QByteArray("empty") << QStringLiteral("ReplayPC left an empty file, which was removed")
                                    << false;
        QTest::newRow("empty file, every name taken")
            << QByteArray("empty") << QStringLiteral("ReplayPC left an empty file, which was removed") << true;
    }
    void toolEndsBadly_listedWhereItLies()
    {
        QFETCH(QByteArray, fault);
        QFETCH(QString, why);
        QFETCH(bool, targetsTaken);
        QVERIFY(start({recording("Movie: Bad", "bad.mpg", "12/21/2002 8:00 PM", "High", "60", fault),
               recording("Movie: Good", "good.mpg")}));
        const QString target = QStringLiteral(" Bad_12 21 2002.mpg");
        if (targetsTaken) {
            writeFile(target, "mine");
            for (int n = 1; n <= 5; ++n)
                writeFile(QStringLiteral(" Bad_12 21 2002_0%1.mpg").arg(n), "mine too");
        }
        tickAllAndRememberFiles();
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");

        verifyNothingLost();
        const bool empty = fault == "empty";
        const QString liesAs = empty ? QString() : targetsTaken ? QStringLiteral("bad.mpg") : target;
        QCOMPARE(QFileInfo::exists(target), targetsTaken || !empty); // the user's, or the recording
        QCOMPARE(QFileInfo::exists(QStringLiteral("bad.mpg")), !empty && targetsTaken);
        QVERIFY(fileBytes(QStringLiteral(" Good_12 21 2002.mpg")).startsWith(kPackHeader));
        // Logged as every recording is, a started and a finished record, then what became of it.
        const QByteArray added = fileBytes(kLog).mid(logBefore.size());
        QCOMPARE(added.count("Bad_12 21 2002"), targetsTaken && !empty ? 4 : 3); // "not saved as" names it twice
        verifyLogSaysWhatTheMessageSays(logBefore);
        QCOMPARE(seen.messages.size(), 1);
        const QString message = allMessages();
        QVERIFY2(message.contains(why), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Bad, recorded 12/21/2002 (recorder file \"bad.mpg\")"))
                     && message.contains(QStringLiteral("may be incomplete")) != empty,
                 qPrintable(message));
        QVERIFY2(message.contains(empty ? QStringLiteral("nothing of it lies in the folder")
                                        : QStringLiteral("lies in the folder as \"%1\"").arg(liesAs)),
                 qPrintable(message));
        // Saved under its name: nothing in the message, its heading included, says otherwise.
        if (!targetsTaken && !empty)
            QVERIFY2(!message.contains(QStringLiteral("not saved"), Qt::CaseInsensitive)
                         && !message.contains(QStringLiteral("not every"), Qt::CaseInsensitive),
                     qPrintable(message));
        QVERIFY(!message.contains(QStringLiteral("good.mpg")));
    }

    // The folder's disk, as the window is told of it before and after each pull. A recording
    // that cannot fit is not started and stays ticked; once the disk is full nothing more is
    // started. A second Extract with room pulls exactly the rows that stayed ticked.
    void noRoomOnTheDisk_data()
    {
        // Recordings a (Standard, 30 min: 466,092,030 bytes), b (High, 120 min: about 5.65 GB)
        // and c (a quality nobody lists: size unknown).
        QTest::addColumn<qint64>("freeAtStart"); // -1: the system does not say
        QTest::addColumn<qint64>("freeAfterFirstPull"); // -2: unchanged
        QTest::addColumn<QStringList>("pulled");
        QTest::addColumn<QString>("said");
        const qint64 aNeeds = 466092030 + 1048576;
        const QStringList all{QStringLiteral("a.mpg"), QStringLiteral("b.mpg"), QStringLiteral("c.mpg")};
        QTest::newRow("free space unknown") << qint64(-1) << qint64(-2) << all << QString();
        QTest::newRow("room for all") << (qint64(1) << 40) << qint64(-2) << all << QString();
        QTest::newRow("room for the small ones")
            << qint64(2000000000) << qint64(-2) << QStringList{QStringLiteral("a.mpg"), QStringLiteral("c.mpg")}
            << QStringLiteral("it needs about 5.26 GB on the folder's disk (its estimated size and 1.00 MB kept "
                              "for the log and the settings), and only 1.86 GB are free");
        QTest::newRow("a fits to the byte") << aNeeds << qint64(-2)
                                            << QStringList{QStringLiteral("a.mpg"), QStringLiteral("c.mpg")}
                                            << QStringLiteral("\"b.mpg\"), was not pulled");
        QTest::newRow("a byte short: only the unknown size is pulled")
            << aNeeds - 1 << qint64(-2) << QStringList{QStringLiteral("c.mpg")}
            << QStringLiteral("\"a.mpg\"), was not pulled: it needs about 467,140,606 bytes");
        QTest::newRow("below the reserve from the start")
            << qint64(1048575) << qint64(-2) << QStringList()
            << QStringLiteral("the folder's disk is full (");
        QTest::newRow("the first pull fills the disk")
            << (qint64(1) << 40) << qint64(0) << QStringList{QStringLiteral("a.mpg")}
            << QStringLiteral("may be incomplete: the folder's disk was full");
        QTest::newRow("room made again at once, yet nothing more started")
            << (qint64(1) << 40) << qint64(-3) << QStringList{QStringLiteral("a.mpg")}
            << QStringLiteral("the folder's disk filled during this session, so nothing more was started");
    }
    void noRoomOnTheDisk()
    {
        QFETCH(qint64, freeAtStart);
        QFETCH(qint64, freeAfterFirstPull);
        QFETCH(QStringList, pulled);
        QFETCH(QString, said);
        QVERIFY(start({recording("Movie: A", "a.mpg", "12/21/2002 8:00 PM", "Standard", "30"),
                       recording("Movie: B", "b.mpg", "12/21/2002 8:00 PM", "High", "120"),
                       recording("Movie: C", "c.mpg", "12/21/2002 8:00 PM", "Unlisted", "30")}));
        qint64 free = freeAtStart;
        seen.freeSpace = [&]() -> std::optional<qint64> {
            return free < 0 ? std::nullopt : std::optional<qint64>(free);
        };
        int pulls = 0;
        seen.duringBeep = [&] {
            // The check after the first pull sees the full disk; with -3 the next one sees room.
            if (++pulls == 1 && freeAfterFirstPull == -3)
                free = 0, seen.freeSpace = [&, calls = 0]() mutable -> std::optional<qint64> {
                    return ++calls == 1 ? 0 : qint64(1) << 40;
                };
            else if (pulls == 1 && freeAfterFirstPull >= 0)
                free = freeAfterFirstPull;
        };
        tickAllAndRememberFiles();
        const QByteArray logBefore = fileBytes(kLog);
        const int callsBefore = sim->calls().size();
        clickButton(form.get(), "Extract");

        verifyNothingLost();
        verifyLogSaysWhatTheMessageSays(logBefore);
        QStringList handed;
        for (const QString &call : sim->calls().mid(callsBefore))
            handed << call.section(u'\t', -1);
        QCOMPARE(handed, pulled);
        const QStringList files{QStringLiteral("a.mpg"), QStringLiteral("b.mpg"), QStringLiteral("c.mpg")};
        QStringList ticked;
        for (int row = 0; row < 3; ++row)
            if (rowItem(list, row).checkState() == Qt::Checked)
                ticked << files.at(row);
        QStringList notPulled = files;
        for (const QString &file : pulled)
            notPulled.removeOne(file);
        QCOMPARE(ticked, notPulled); // what Extract pulls next, and what the figures count
        QCOMPARE(control<QLineEdit>(form.get(), "Text5")->text(),
                 QString::number(notPulled.isEmpty() ? 3 : notPulled.size()));
        QCOMPARE(seen.messages.size(), said.isEmpty() ? 0 : 1);
        QVERIFY2(allMessages().contains(said), qPrintable(allMessages()));
        for (const QString &file : notPulled)
            QVERIFY2(allMessages().contains(QStringLiteral("\"%1\"), was not pulled").arg(file)),
                     qPrintable(allMessages()));
        if (notPulled.isEmpty())
            return;

        // Space made: Extract pulls what stayed ticked, and only that.
        seen.freeSpace = nullptr;
        seen.duringBeep = nullptr;
        seen.messages.clear();
        const int callsBetween = sim->calls().size();
        clickButton(form.get(), "Extract");
        handed.clear();
        for (const QString &call : sim->calls().mid(callsBetween))
            handed << call.section(u'\t', -1);
        QCOMPARE(handed, notPulled);
        QVERIFY2(seen.messages.isEmpty(), qPrintable(allMessages()));
    }

    // A disk that fills for real: the working folder is a small tmpfs of its own, filled until
    // only the reserve and one page are free. The first recording takes that page, so the disk is
    // full after it; the next is not started, and the log holds whole records.
    void realDiskFills_restNotPulled()
    {
#ifndef Q_OS_LINUX
        QSKIP("a small file system is mounted here only on Linux; the log's rows under Wine use one");
#else
        sim.reset();
        if (::mount("dovrel-test", QFile::encodeName(work).constData(), "tmpfs", 0, "size=8m") != 0)
            QSKIP(qPrintable(QStringLiteral("a tmpfs cannot be mounted here (%1)").arg(qt_error_string(errno))));
        const auto unmount = qScopeGuard([this] {
            QDir::setCurrent(outer->path());
            ::umount2(QFile::encodeName(work).constData(), MNT_DETACH);
        });
        QVERIFY(QDir::setCurrent(work)); // into the mounted file system
        sim = std::make_unique<Simulator>();
        QVERIFY(sim->installed());
        // Sizes the estimate does not know (an unlisted quality), so only the free space counts;
        // the first is more than an hour, two packs of 2 KB: a page more than one holds.
        QVERIFY(start({recording("Movie: First", "first.mpg", "12/21/2002 8:00 PM", "Unlisted", "61"),
                       recording("Movie: Second", "second.mpg", "12/21/2002 8:00 PM", "Unlisted", "30")}));
        seen.freeSpace = [] { return session::Folder().freeSpace(); }; // the real figure
        tickAllAndRememberFiles();
        struct statvfs disk;
        QCOMPARE(::statvfs(".", &disk), 0);
        const qint64 page = qint64(disk.f_frsize);
        const qint64 ballastSize = qint64(disk.f_bavail) * page - (1024 * 1024 + page);
        QVERIFY(ballastSize > 0);
        writeFile(QStringLiteral("ballast"), QByteArray(ballastSize, 'b'));
        QCOMPARE(session::Folder().freeSpace(), std::optional<qint64>(1024 * 1024 + page));
        before = snapshot();
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");

        verifyNothingLost();
        verifyLogSaysWhatTheMessageSays(logBefore);
        QVERIFY(fileBytes(kLog).endsWith("\r\n"));
        QCOMPARE(sim->calls().filter(QStringLiteral("\t-e\t")).size(), 1);
        QVERIFY(fileBytes(QStringLiteral(" First_12 21 2002.mpg")).startsWith(kPackHeader));
        QCOMPARE(rowItem(list, 0).checkState(), Qt::Unchecked);
        QCOMPARE(rowItem(list, 1).checkState(), Qt::Checked);
        QCOMPARE(seen.messages.size(), 1);
        const QString message = allMessages();
        QVERIFY2(message.contains(QStringLiteral("(recorder file \"first.mpg\"), may be incomplete: the "
                                                 "folder's disk was full. It lies in the folder as")),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("(recorder file \"second.mpg\"), was not pulled: the "
                                                 "folder's disk is full (")),
                 qPrintable(message));
#endif
    }

    // The tool's end could not be awaited: it may still be writing its file, which is left as
    // it is and listed under that name.
    void toolEndNotSeen_fileLeftWhereItIs()
    {
        QVERIFY(start({recording("Movie: Bad", "bad.mpg"), recording("Movie: Good", "good.mpg")}));
        seen.runInstead = [](const QByteArray &line) -> std::optional<runner::RunResult> {
            if (!line.endsWith(" bad.mpg"))
                return std::nullopt;
            writeFile(QStringLiteral("bad.mpg"), "part of a recording");
            runner::RunResult lost;
            lost.mayStillRun = true;
            lost.error = QStringLiteral("its end could not be awaited");
            return lost;
        };
        tickAllAndRememberFiles();
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        verifyNothingLost();
        verifyLogSaysWhatTheMessageSays(logBefore);
        QCOMPARE(fileBytes(QStringLiteral("bad.mpg")), QByteArray("part of a recording"));
        QVERIFY(!QFileInfo::exists(QStringLiteral(" Bad_12 21 2002.mpg")));
        QVERIFY(fileBytes(QStringLiteral(" Good_12 21 2002.mpg")).startsWith(kPackHeader));
        QCOMPARE(seen.messages.size(), 2); // the runner's, then the session's list
        QVERIFY2(seen.messages.last().contains(QStringLiteral("could not be awaited; whatever it wrote lies in "
                                                              "the folder as \"bad.mpg\"")),
                 qPrintable(seen.messages.last()));
    }

    // The recorder already named the recording as its target: nothing to rename, nothing to say.
    void recorderNameIsTheTargetName_savedWithoutMessage()
    {
        QVERIFY(start({recording("Same", "Same_12-21-2002.mpg", "12-21-2002 8:00 PM")}));
        tickAllAndRememberFiles();
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        verifyNothingLost();
        verifyLogSaysWhatTheMessageSays(logBefore);
        QCOMPARE(seen.messages, QStringList());
        QVERIFY(fileBytes(QStringLiteral("Same_12-21-2002.mpg")).startsWith(kPackHeader));
        QVERIFY(fileBytes(kLog).contains("Same_12-21-2002.mpg"));
    }

    void readOnlyWorkingDirectory()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows folders have no write permission bit to take away, and Wine lets root write "
              "anywhere: lockedFiles is the Windows counterpart");
#endif
        QVERIFY(start({recording("Movie: One", "1.mpg")}));
        tickAllAndRememberFiles();
        {
            PermissionsEnforced enforced;
            QVERIFY(QFile::setPermissions(work, QFile::ReadOwner | QFile::ExeOwner));
            clickButton(form.get(), "Extract");
            clickButton(form.get(), "Quit");
            QVERIFY(QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        verifyNothingLost();
        QVERIFY(!QFileInfo::exists(QStringLiteral(" One_12 21 2002.mpg")));
        QVERIFY(allMessages().contains(QStringLiteral("\"1.mpg\""))); // not saved under its name
        QVERIFY(allMessages().contains(QStringLiteral("DOVLIP.dat")));  // settings not saved
        QCOMPARE(seen.ends, 1);
    }

    // The log becomes unwritable before the session or in the middle of its first recording:
    // one message names the first record it lacks, from which recording on, and the reason once.
    void unwritableLog_reportedOncePerHandling_data()
    {
        QTest::addColumn<bool>("midSession");
        QTest::addColumn<QString>("said");
        QTest::newRow("from the session's start")
            << false << QStringLiteral("Permission denied. The first record it lacks is \"DOVLGuide 1.3 log for ");
        QTest::newRow("from the first recording's end")
            << true << QStringLiteral("Permission denied. It lacks records from the recording \"One\" (recorder "
                                      "file \"1.mpg\") on. The first record it lacks is \"One_12 21 2002.mpg Finished: ");
    }
    void unwritableLog_reportedOncePerHandling()
    {
#ifdef Q_OS_WIN
        QSKIP("Wine lets root write a file whatever its permissions: lockedFiles is the Windows "
              "counterpart");
#endif
        QFETCH(bool, midSession);
        QFETCH(QString, said);
        QVERIFY(start({recording("Movie: One", "1.mpg"), recording("Movie: Two", "2.mpg")}));
        tickAllAndRememberFiles();
        QByteArray logAtFault = before.value(kLog);
        {
            PermissionsEnforced enforced;
            const auto readOnly = [&] {
                logAtFault = fileBytes(kLog);
                QVERIFY(QFile::setPermissions(kLog, QFile::ReadOwner));
            };
            if (midSession)
                seen.duringBeep = [&] {
                    if (seen.beeps == 1)
                        readOnly();
                };
            else
                readOnly();
            clickButton(form.get(), "Extract");
            QVERIFY(QFile::setPermissions(kLog, QFile::ReadOwner | QFile::WriteOwner));
        }
        verifyNothingLost();
        QCOMPARE(fileBytes(kLog), logAtFault);
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY(seen.messages.first().contains(kLog));
        QVERIFY2(seen.messages.first().contains(said), qPrintable(seen.messages.first()));
        QCOMPARE(seen.messages.first().count(QStringLiteral("Permission denied")), 1);
        // The session went on: both recordings were saved.
        QVERIFY(QFileInfo::exists(QStringLiteral(" One_12 21 2002.mpg")));
        QVERIFY(QFileInfo::exists(QStringLiteral(" Two_12 21 2002.mpg")));
    }

    // Windows: the log, the settings file and a finished recording held open by another
    // program that shares nothing. Nothing is lost, each failure is reported, the session goes on.
    void lockedFiles()
    {
#ifndef Q_OS_WIN
        QSKIP("files are locked against other programs only on Windows");
#else
        QVERIFY(start({recording("Movie: One", "1.mpg"), recording("Movie: Two", "2.mpg")}));
        writeFile(QStringLiteral("DOVLIP.dat"), "\"kept\",\"Default\"\r\n");
        writeFile(QStringLiteral(" Two_12 21 2002.mpg"), "held by a player");
        tickAllAndRememberFiles();
        before.remove(QStringLiteral("guide.dat")); // Exit after a guide removes these two
        before.remove(QStringLiteral("guide.txt"));
        {
            ExclusiveLock log(kLog), settings(QStringLiteral("DOVLIP.dat")),
                playing(QStringLiteral(" Two_12 21 2002.mpg"));
            QVERIFY(log.held() && settings.held() && playing.held());
            QVERIFY(!session::FileExists(kLog)); // a file it cannot open counts as absent
            clickButton(form.get(), "Extract");
            clickButton(form.get(), "Quit");
        }
        verifyNothingLost();
        QCOMPARE(fileBytes(kLog), before.value(kLog));
        QCOMPARE(fileBytes(QStringLiteral("DOVLIP.dat")), QByteArray("\"kept\",\"Default\"\r\n"));
        QVERIFY(fileBytes(QStringLiteral(" One_12 21 2002.mpg")).startsWith(kPackHeader));
        // The held file cannot be opened, but its name is in use all the same: the recording
        // steps to the next name.
        QVERIFY(fileBytes(QStringLiteral(" Two_12 21 2002_01.mpg")).startsWith(kPackHeader));
        QVERIFY(!QFileInfo::exists(QStringLiteral("2.mpg")));
        QVERIFY(!allMessages().contains(QStringLiteral("\"2.mpg\"")));
        QVERIFY(!allMessages().contains(QStringLiteral("\"1.mpg\"")));
        QCOMPARE(seen.messages.filter(kLog).size(), 1); // said once in a run: Exit does not repeat it
        QVERIFY(allMessages().contains(QStringLiteral("DOVLIP.dat")));
        QCOMPARE(seen.ends, 1);
#endif
    }

    // The program killed with SIGKILL mid-pull: its window and its tool runs, in a program of
    // their own, take the folder's lock and pull a recording with the simulator paced slow.
    // The tool ends with the program, nothing is written into the folder after it, the log ends
    // with the pull's started record, and the next start takes over the lock and names the
    // recording the pull was to be saved as.
    void killedMidPull_toolEndsAndNextStartNamesThePull()
    {
#ifndef Q_OS_LINUX
        QSKIP("the tool's process is found and watched through /proc, which only Linux has");
#else
        const QByteArray target = " Cut Short_12 21 2002.mpg";
        sim->setRecordings({recording("Movie: Cut Short", "1.mpg")});
        QProcess program;
        program.setWorkingDirectory(work);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Delay 48 paces the pull at 2.9 s before the tool writes anything.
        environment.remove(QStringLiteral("REPLAYSIM_FAST"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(WINDOW_PULL)),
                      {QStringLiteral("192.168.0.20"), QStringLiteral("48")});
        QVERIFY(program.waitForStarted());
        const qint64 programPid = program.processId();

        std::optional<ProcessSeen> tool;
        QTRY_VERIFY_WITH_TIMEOUT((tool = pullingTool(programPid)).has_value()
                                     || program.state() == QProcess::NotRunning,
                                 30000);
        // A tool that outlived the program is not left running past the test.
        const auto endTool = qScopeGuard([&tool] {
            if (tool && !hasEnded(*tool))
                ::kill(pid_t(tool->pid), SIGKILL);
        });
        QVERIFY2(tool.has_value(), program.readAllStandardError().constData());
        // The tool runs for the pull that the log has started.
        const QByteArray logMidPull = fileBytes(kLog);
        QVERIFY2(logMidPull.contains(target + "  Started:  "), logMidPull.constData());
        QVERIFY(fileBytes(session::kLockFile).startsWith(QByteArray::number(programPid) + '\n'));

        QElapsedTimer sinceKill;
        sinceKill.start();
        program.kill();
        QVERIFY(program.waitForFinished());
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        const QStringList listedAtKill = listing(work);
        const QMap<QString, QByteArray> filesAtKill = snapshot();
        const QStringList besideAtKill = listing(outer->path());

        bool toolEnded = hasEnded(*tool);
        while (!toolEnded && sinceKill.elapsed() < 1000) {
            QTest::qWait(20);
            toolEnded = hasEnded(*tool);
        }
        if (!toolEnded)
            qWarning("ReplayPC, process %lld, still runs %lld ms after the program was killed",
                     tool->pid, qlonglong(sinceKill.elapsed()));
        // Past the moment the tool would have written had it lived on.
        QTest::qWait(int(qMax<qint64>(0, 5000 - sinceKill.elapsed())));
        QVERIFY2(listing(work) == listedAtKill, qPrintable(changedSince(listedAtKill, listing(work))));
        QVERIFY(snapshot() == filesAtKill);
        QVERIFY2(listing(outer->path()) == besideAtKill,
                 qPrintable(changedSince(besideAtKill, listing(outer->path()))));
        QVERIFY2(toolEnded, "ReplayPC outlived the program by more than a second");
        QVERIFY(!QFileInfo::exists(QStringLiteral("1.mpg")));
        QVERIFY(!QFileInfo::exists(text::toUnicode(target)));

        // The log ends with the started record of the pull; nothing followed it.
        const QByteArray log = fileBytes(kLog);
        QCOMPARE(log, logMidPull);
        QVERIFY(log.endsWith("\r\n"));
        const QByteArray last = log.chopped(2).mid(log.chopped(2).lastIndexOf('\n') + 1);
        const QRegularExpression started(QRegularExpression::anchoredPattern(
            QStringLiteral(" Cut Short_12 21 2002\\.mpg  Started:  (\\d\\d:\\d\\d:\\d\\d)  Delay = 48")));
        const QRegularExpressionMatch match = started.match(text::toUnicode(last));
        QVERIFY2(match.hasMatch(), last.constData());
        QVERIFY(!log.contains("Finished:"));

        // The next start, as the program's start-up takes it: the lock left by the killed copy is
        // taken over, and the log's cut-off pull is named.
        QVERIFY(QFileInfo::exists(session::kLockFile));
        session::FolderLock lock(QDir::currentPath());
        const session::FolderLockResult locked = lock.take();
        QCOMPARE(int(locked.outcome), int(session::FolderLockOutcome::Locked));
        QVERIFY(locked.tookOver);
        QCOMPARE(ui::folderLockMessage(locked), QString());
        QVERIFY(fileBytes(session::kLockFile)
                    .startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
        bool opened = false;
        const std::optional<session::CutOffPull> cut = session::cutOffPull(session::readAllRecords(&opened));
        QVERIFY(opened);
        QVERIFY(cut.has_value());
        QCOMPARE(cut->target, target);
        QCOMPARE(text::toUnicode(cut->time), match.captured(1));
        const QString message = ui::cutOffMessage(*cut);
        QVERIFY2(message.contains(u'"' + text::toUnicode(target) + u'"'), qPrintable(message));
        QVERIFY2(message.contains(match.captured(1)), qPrintable(message));
#endif
    }
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
