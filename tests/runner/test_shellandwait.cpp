// Running one command line to its end: how the line reaches the tool, how the program is found,
// and which failures count as a failure to start.
#include "shellandwait.h"
#include "testtools.h"
#include "workdir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <memory>

#include <QScopeGuard>

#ifdef Q_OS_WIN
#include "startandwait_win.h"
#include <windows.h>
#endif

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>

// Qt waits for a process's end by polling the process's descriptor (a pidfd). This ppoll stands
// in for the C library's in this test program, Qt's calls included, so that such a wait can be
// made to fail as the system fails it: -1 with ENOMEM. Only the test's own thread waits.
namespace endwaits {
int toFail = 0;    // how many waits on a process's end are still to fail; -1: every one
int failed = 0;    // how many were made to fail
int failedPid = 0; // the process whose end the last of them waited for

// The process a pidfd stands for, from its "Pid:" line in /proc; 0 for any other descriptor.
int pidOf(int fd)
{
    char path[64], text[1024] = {};
    std::snprintf(path, sizeof path, "/proc/self/fdinfo/%d", fd);
    if (FILE *info = std::fopen(path, "re")) {
        std::fread(text, 1, sizeof text - 1, info);
        std::fclose(info);
    }
    const char *line = std::strstr(text, "\nPid:");
    return line ? std::atoi(line + 5) : 0;
}
} // namespace endwaits

extern "C" int ppoll(struct pollfd *fds, nfds_t nfds, const struct timespec *timeout,
                     const sigset_t *sigmask)
{
    using Real = int (*)(struct pollfd *, nfds_t, const struct timespec *, const sigset_t *);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "ppoll"));
    for (nfds_t i = 0; endwaits::toFail != 0 && i < nfds; ++i) {
        const int pid = fds[i].fd >= 0 ? endwaits::pidOf(fds[i].fd) : 0;
        if (pid <= 0)
            continue;
        endwaits::toFail -= endwaits::toFail > 0;
        endwaits::failedPid = pid;
        ++endwaits::failed;
        errno = ENOMEM;
        return -1;
    }
    return real(fds, nfds, timeout, sigmask);
}
#endif

using namespace runner;

class TestShellAndWait : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void argumentsAsReceived_data();
    void argumentsAsReceived();
    void startFailures_data();
    void startFailures();
    void failingToolCountsAsRun_data();
    void failingToolCountsAsRun();
    void notStartedIsNoToolFailure();
    void programLookup_data();
    void programLookup();
    void toolNameForms_data();
    void toolNameForms();
    void waitsForTheEnd();
    void programEndsMidRun_toolEndsWithIt();
#ifndef Q_OS_WIN
    void waitsPastQtsDefaultLimit();
#endif
#ifdef Q_OS_LINUX
    void endNotAwaitedEndsTheTool_data();
    void endNotAwaitedEndsTheTool();
#endif
    void standardStreamsAreNull();
    void whatTheToolIsGiven_data();
    void whatTheToolIsGiven();
#ifdef Q_OS_WIN
    void startTriedAgainOnlyAfterAnInternalError_data();
    void startTriedAgainOnlyAfterAnInternalError();
    void endNotSeenIsNoEnd_data();
    void endNotSeenIsNoEnd();
#endif

private:
    void script(const QString &dir, const QString &name, const QByteArray &body);
    // Puts the stand-in tool under `name` (".exe" added on Windows) into `dir`.
    void probe(const QString &dir, const QString &name);
    std::unique_ptr<WorkDir> work_;
    QByteArray path_;
};

// How the platform words a program that is not there and one that cannot be run.
#ifdef Q_OS_WIN
static const QString kNotFound = qt_error_string(ERROR_FILE_NOT_FOUND);
static const QString kNotRunnable = qt_error_string(ERROR_ACCESS_DENIED);
#else
static const QString kNotFound = QStringLiteral("No such file");
static const QString kNotRunnable = QStringLiteral("Permission denied");
#endif
static const QStringList kTools{replayPCFileName(), QStringLiteral("PShell.exe")};

void TestShellAndWait::initTestCase()
{
    path_ = qgetenv("PATH");
}

void TestShellAndWait::init()
{
    work_ = std::make_unique<WorkDir>();
    // The tools sit in the working directory, as the program expects them.
    QVERIFY(QFile::copy(simulatorReplayPC(), replayPCFileName()));
    QVERIFY(QFile::copy(simulatorPShell(), QStringLiteral("PShell.exe")));
    qputenv("REPLAYSIM_LOG", work_->logPath().toLocal8Bit());
    qputenv("REPLAYSIM_FAST", "1");
    qunsetenv("REPLAYSIM_RECORDINGS");
}

void TestShellAndWait::cleanup()
{
#ifdef Q_OS_LINUX
    endwaits::toFail = 0;
#endif
    qputenv("PATH", path_);
    qunsetenv("DOVREL_PROBE");
    work_.reset();
}

// A program killed while its tool runs takes the tool along: nothing is written into the folder
// after the program is gone.
void TestShellAndWait::programEndsMidRun_toolEndsWithIt()
{
    probe(work_->path(), QStringLiteral("LongTool"));
    QProcess program;
    program.setWorkingDirectory(work_->path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DOVREL_PROBE"), QStringLiteral("where;sleep 1500;copy ran-from late"));
    program.setProcessEnvironment(environment);
    program.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(RUNNER_PARENT)),
                  {QStringLiteral("LongTool 192.168.0.20 -e 1.mpg")});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(QStringLiteral("ran-from")), 30000); // the tool runs
    program.kill();
    QVERIFY(program.waitForFinished());
    // Past the moment the tool would have written had it lived on.
    QTest::qWait(3000);
    QVERIFY(!QFileInfo::exists(QStringLiteral("late")));
}

void TestShellAndWait::probe(const QString &dir, const QString &name)
{
    QVERIFY(QFile::copy(probeTool(), dir + QLatin1Char('/') + programFileName(name)));
}

void TestShellAndWait::script(const QString &dir, const QString &name, const QByteArray &body)
{
    QVERIFY(writeFile(dir + QLatin1Char('/') + name, QByteArray("#!/bin/sh\n") + body + '\n', true));
}

void TestShellAndWait::argumentsAsReceived_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("received");
    QTest::addColumn<QStringList>("files"); // what the tool leaves in the working directory
    const QString rp = QStringLiteral("ReplayPC");
    const QStringList none;
    QTest::newRow("fetch") << QByteArray("ReplayPC 10.0.0.1 -g")
                           << QStringList{rp, QStringLiteral("10.0.0.1"), QStringLiteral("-g")}
                           << QStringList{QStringLiteral("guide.dat")};
    QTest::newRow("blank in address") << QByteArray("ReplayPC 10.0.0.1 x -g")
                                      << QStringList{rp, QStringLiteral("10.0.0.1"), QStringLiteral("x"), QStringLiteral("-g")}
                                      << none;
    QTest::newRow("blanks run together") << QByteArray("ReplayPC  10.0.0.1   -g")
                                         << QStringList{rp, QStringLiteral("10.0.0.1"), QStringLiteral("-g")}
                                         << QStringList{QStringLiteral("guide.dat")};
    QTest::newRow("quotes group") << QByteArray("ReplayPC \"10.0.0.1 x\" -g")
                                  << QStringList{rp, QStringLiteral("10.0.0.1 x"), QStringLiteral("-g")} << none;
    QTest::newRow("semicolon") << QByteArray("ReplayPC 10.0.0.1;touch pwned -g")
                               << QStringList{rp, QStringLiteral("10.0.0.1;touch"), QStringLiteral("pwned"), QStringLiteral("-g")}
                               << none;
    QTest::newRow("semicolon, one word") << QByteArray("ReplayPC 10.0.0.1;touch${IFS}pwned -g")
                                         << QStringList{rp, QStringLiteral("10.0.0.1;touch${IFS}pwned"), QStringLiteral("-g")}
                                         << none;
    QTest::newRow("pipe") << QByteArray("ReplayPC 10.0.0.1|touch${IFS}pwned -g")
                          << QStringList{rp, QStringLiteral("10.0.0.1|touch${IFS}pwned"), QStringLiteral("-g")} << none;
    QTest::newRow("substitution") << QByteArray("ReplayPC $(touch${IFS}pwned) -g")
                                  << QStringList{rp, QStringLiteral("$(touch${IFS}pwned)"), QStringLiteral("-g")} << none;
    QTest::newRow("backquote") << QByteArray("ReplayPC `touch${IFS}pwned` -g")
                               << QStringList{rp, QStringLiteral("`touch${IFS}pwned`"), QStringLiteral("-g")} << none;
    QTest::newRow("redirect") << QByteArray("ReplayPC 10.0.0.1 -g >out.txt")
                              << QStringList{rp, QStringLiteral("10.0.0.1"), QStringLiteral("-g"), QStringLiteral(">out.txt")}
                              << none;
    QTest::newRow("ampersand") << QByteArray("ReplayPC 10.0.0.1&echo pwned -g")
                               << QStringList{rp, QStringLiteral("10.0.0.1&echo"), QStringLiteral("pwned"), QStringLiteral("-g")}
                               << none;
    QTest::newRow("percent variable") << QByteArray("ReplayPC %PATH% -g")
                                      << QStringList{rp, QStringLiteral("%PATH%"), QStringLiteral("-g")} << none;
    QTest::newRow("caret") << QByteArray("ReplayPC 10.0.0.1^&x -g")
                           << QStringList{rp, QStringLiteral("10.0.0.1^&x"), QStringLiteral("-g")} << none;
    QTest::newRow("redirect, no blank") << QByteArray("ReplayPC 10.0.0.1>out.txt -g")
                                        << QStringList{rp, QStringLiteral("10.0.0.1>out.txt"), QStringLiteral("-g")} << none;
    QTest::newRow("single-byte letters") << QByteArray("ReplayPC caf\xE9 -g")
                                         << QStringList{rp, QStringLiteral("caf\u00E9"), QStringLiteral("-g")} << none;
    QTest::newRow("extract with delay")
        << QByteArray("ReplayPC 10.0.0.1 -e 1040500800.mpg 2.5")
        << QStringList{rp, QStringLiteral("10.0.0.1"), QStringLiteral("-e"), QStringLiteral("1040500800.mpg"), QStringLiteral("2.5")}
        << QStringList{QStringLiteral("1040500800.mpg")};
    QTest::newRow("convert") << QByteArray("PShell.exe") << QStringList{QStringLiteral("PShell.exe")} << none;
}

void TestShellAndWait::argumentsAsReceived()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, received);
    QFETCH(QStringList, files);
    const RunResult r = runAndWait(line);
    QVERIFY2(r.started, qPrintable(r.error));
    QVERIFY(r.error.isEmpty());
    QCOMPARE(work_->logged(), QList<QStringList>{received});
    QCOMPARE(work_->entries(kTools), files);
}

void TestShellAndWait::startFailures_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("named"); // the program name the error text must mention
    QTest::newRow("not found") << QByteArray("NoSuchDovrelTool 10.0.0.1 -g") << QStringLiteral("NoSuchDovrelTool");
    QTest::newRow("not found, with directory") << QByteArray("./NoSuchDovrelTool -g") << QStringLiteral("NoSuchDovrelTool");
    QTest::newRow("not executable") << QByteArray("plain.txt -g") << QStringLiteral("plain.txt");
    QTest::newRow("directory") << QByteArray("subdir -g") << QStringLiteral("subdir");
    QTest::newRow("program file that is no program") << QByteArray("junk -g") << QStringLiteral("junk");
    QTest::newRow("empty line") << QByteArray() << QString();
    QTest::newRow("blanks only") << QByteArray("   ") << QString();
}

void TestShellAndWait::startFailures()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, named);
    QVERIFY(writeFile(QStringLiteral("plain.txt"), "not a program"));
    QVERIFY(QDir().mkdir(QStringLiteral("subdir")));
    QVERIFY(writeFile(programFileName(QStringLiteral("junk")), "neither a program nor a script", true));
    const RunResult r = runAndWait(line);
    QVERIFY(!r.started);
    QVERIFY(!r.error.isEmpty());
    QVERIFY2(r.error.contains(named), qPrintable(r.error));
    QVERIFY(work_->logged().isEmpty());
}

// A tool that started counts as run whatever its end; how it ended is handed back.
void TestShellAndWait::failingToolCountsAsRun_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("probeActions"); // empty: the line runs a simulator
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("crashed");
    QTest::addColumn<QString>("failure"); // what a message says of it
    QTest::newRow("exit 0") << QByteArray("ReplayPC 10.0.0.1 -g") << QByteArray() << 0 << false
                            << QString();
    QTest::newRow("exit 1: no guide.dat") << QByteArray("PShell.exe") << QByteArray() << 1 << false
                                          << QStringLiteral("PShell.exe ended with failure status 1");
    QTest::newRow("exit 1: unreachable") << QByteArray("ReplayPC 192.0.2.1 -g") << QByteArray() << 1
                                         << false << QStringLiteral("ReplayPC ended with failure status 1");
    QTest::newRow("exit 2: usage") << QByteArray("ReplayPC") << QByteArray() << 2 << false
                                   << QStringLiteral("ReplayPC ended with failure status 2");
    QTest::newRow("exit 255") << QByteArray("crasher") << QByteArray("exit 255") << 255 << false
                              << QStringLiteral("crasher ended with failure status 255");
    // Linux keeps the low byte of the status; Windows reads the same for a small negative one.
    QTest::newRow("exit -1") << QByteArray("crasher") << QByteArray("exit -1") << 255 << false
                             << QStringLiteral("crasher ended with failure status 255");
    QTest::newRow("exit -128") << QByteArray("crasher") << QByteArray("exit -128") << 128 << false
                               << QStringLiteral("crasher ended with failure status 128");
#ifdef Q_OS_WIN
    // An exception's code, 0x80000000 to 0xCFFFFFFF, is a crash; the codes beside it are not.
    QTest::newRow("exception 0x80000003") << QByteArray("crasher") << QByteArray("crash 0x80000003")
                                          << 0 << true << QStringLiteral("crasher crashed");
    QTest::newRow("exit 0xCFFFFFFF") << QByteArray("crasher") << QByteArray("exit 0xCFFFFFFF") << 0
                                     << true << QStringLiteral("crasher crashed");
    QTest::newRow("exit 0x7FFFFFFF") << QByteArray("crasher") << QByteArray("exit 0x7FFFFFFF")
                                     << 0x7FFFFFFF << false
                                     << QStringLiteral("crasher ended with failure status 2147483647");
    QTest::newRow("exit 0xD0000000") << QByteArray("crasher") << QByteArray("exit 0xD0000000")
                                     << int(0xD0000000u) << false
                                     << QStringLiteral("crasher ended with failure status -805306368");
#else
    QTest::newRow("aborted") << QByteArray("crasher") << QByteArray("crash") << 0 << true
                             << QStringLiteral("crasher crashed");
    QTest::newRow("killed") << QByteArray("crasher") << QByteArray("kill") << 0 << true
                            << QStringLiteral("crasher crashed");
#endif
}

void TestShellAndWait::failingToolCountsAsRun()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, probeActions);
    QFETCH(int, exitCode);
    QFETCH(bool, crashed);
    QFETCH(QString, failure);
    if (!probeActions.isEmpty()) {
        probe(work_->path(), QStringLiteral("crasher"));
        qputenv("DOVREL_PROBE", probeActions + ";where");
    }
    const RunResult r = runAndWait(line);
    QVERIFY(r.started);
    QCOMPARE(r.error, QString());
    if (!probeActions.isEmpty()) // it ended before its last action
        QVERIFY(!QFile::exists(QStringLiteral("ran-from")));
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.crashed, crashed);
    QCOMPARE(r.failed(), !failure.isEmpty());
    QCOMPARE(failureText(QString::fromLatin1(line.split(' ').first()), r), failure);
}

// A tool that could not be started did not fail: its start failure is reported on its own.
void TestShellAndWait::notStartedIsNoToolFailure()
{
    const RunResult r = runAndWait("NoSuchDovrelTool -g");
    QVERIFY(!r.started);
    QVERIFY(!r.failed());
    QCOMPARE(failureText(QStringLiteral("NoSuchDovrelTool"), r), QString());
}

void TestShellAndWait::programLookup_data()
{
    QTest::addColumn<QString>("inWorkDir"); // "exec", "plain", "dir" or "" (absent)
    QTest::addColumn<bool>("onPath");
    QTest::addColumn<QByteArray>("ranFrom"); // empty: nothing may start
    QTest::newRow("both: working directory wins") << QStringLiteral("exec") << true << QByteArray("cwd");
    QTest::newRow("working directory only") << QStringLiteral("exec") << false << QByteArray("cwd");
    QTest::newRow("search path only") << QString() << true << QByteArray("path");
    QTest::newRow("not executable here, on path") << QStringLiteral("plain") << true << QByteArray("path");
    QTest::newRow("directory here, on path") << QStringLiteral("dir") << true << QByteArray("path");
    QTest::newRow("not executable here only") << QStringLiteral("plain") << false << QByteArray();
    QTest::newRow("nowhere") << QString() << false << QByteArray();
}

void TestShellAndWait::programLookup()
{
    QFETCH(QString, inWorkDir);
    QFETCH(bool, onPath);
    QFETCH(QByteArray, ranFrom);
    const QString tool = QStringLiteral("DovrelProbeTool");
    const QString fileName = programFileName(tool);
    QTemporaryDir pathDir;
    qputenv("DOVREL_PROBE", "where");
    if (onPath) {
        probe(pathDir.path(), tool);
        qputenv("PATH", QFile::encodeName(QDir::toNativeSeparators(pathDir.path())) + QDir::listSeparator().toLatin1()
                            + path_);
    }
    if (inWorkDir == QStringLiteral("dir"))
        QVERIFY(QDir().mkdir(fileName));
    else if (inWorkDir == QStringLiteral("exec"))
        probe(work_->path(), tool);
    else if (inWorkDir == QStringLiteral("plain"))
        QVERIFY(writeFile(tool, "not a program")); // no execute permission; on Windows no ".exe"

    const RunResult r = runAndWait(tool.toLatin1() + " arg");
    QCOMPARE(r.started, !ranFrom.isEmpty());
    const QString ran = QString::fromLocal8Bit(fileBytes(QStringLiteral("ran-from")).trimmed());
    if (ranFrom.isEmpty()) {
        QCOMPARE(ran, QStringLiteral("<missing>")); // nothing ran
        QVERIFY(r.error.contains(tool));
        QVERIFY2(r.error.contains(inWorkDir.isEmpty() ? kNotFound : kNotRunnable), qPrintable(r.error));
    } else {
        const QString expectedDir = ranFrom == "cwd" ? work_->path() : pathDir.path();
        QVERIFY2(!ran.isEmpty(), "the tool did not run");
        QCOMPARE(QFileInfo(ran).canonicalPath(), QFileInfo(expectedDir).canonicalFilePath());
    }
}

// How the name at the head of the line may be written: Windows adds ".exe" to a bare name and
// matches file names without regard to case.
void TestShellAndWait::toolNameForms_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("loggedName"); // the name the tool was started under, as it saw it
    QTest::newRow("bare name") << QByteArray("ReplayPC 10.0.0.1 -g") << QStringLiteral("ReplayPC");
    QTest::newRow("quoted name") << QByteArray("\"ReplayPC\" 10.0.0.1 -g") << QStringLiteral("ReplayPC");
    QTest::newRow("name with extension") << QByteArray("PShell.exe") << QStringLiteral("PShell.exe");
#ifdef Q_OS_WIN
    QTest::newRow("bare name with directory") << QByteArray(".\\ReplayPC 10.0.0.1 -g") << QStringLiteral("ReplayPC");
    QTest::newRow("bare name, other case") << QByteArray("replaypc 10.0.0.1 -g") << QStringLiteral("replaypc");
    QTest::newRow("extension, other case") << QByteArray("REPLAYPC.EXE 10.0.0.1 -g") << QStringLiteral("REPLAYPC.EXE");
    QTest::newRow("pshell, other case") << QByteArray("pshell.exe") << QStringLiteral("pshell.exe");
#else
    QTest::newRow("name with directory") << QByteArray("./ReplayPC 10.0.0.1 -g") << QStringLiteral("ReplayPC");
#endif
}

void TestShellAndWait::toolNameForms()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, loggedName);
    const RunResult r = runAndWait(line);
    QVERIFY2(r.started, qPrintable(r.error));
    const QList<QStringList> runs = work_->logged();
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().first(), loggedName);
}

void TestShellAndWait::waitsForTheEnd()
{
    qunsetenv("REPLAYSIM_FAST"); // the simulator writes the recording after about a second
    QElapsedTimer timer;
    timer.start();
    const RunResult r = runAndWait("ReplayPC 10.0.0.1 -e 1040500800.mpg");
    QVERIFY(r.started);
    QVERIFY(timer.elapsed() >= 900);
    QVERIFY(fileBytes(QStringLiteral("1040500800.mpg")).startsWith(QByteArray::fromHex("000001BA")));
}

#ifndef Q_OS_WIN
// Qt gives up waiting for a process after 30 s unless told to wait without limit; a real fetch or
// extraction takes longer. CTest runs this under libfaketime with the clock sped 20 times
// (test_runner_longwait), so 30 s of the program's clock pass in 1.5 s while the tool, started
// without the speed-up, runs for 4 s of real time: 80 s as the program sees it.
void TestShellAndWait::waitsPastQtsDefaultLimit()
{
    const int speed = qEnvironmentVariableIntValue("DOVREL_CLOCK_SPEED");
    if (speed < 10)
        QSKIP("needs the sped clock that CTest gives it as test_runner_longwait");
    qunsetenv("LD_PRELOAD"); // the tool runs in real time
    script(work_->path(), QStringLiteral("slowtool"), "sleep 4; echo done > slow-done");
    QElapsedTimer timer;
    timer.start();
    const RunResult r = runAndWait("slowtool");
    const qint64 seen = timer.elapsed();
    QVERIFY2(!r.mayStillRun, qPrintable(QStringLiteral("end not seen after %1 ms: %2").arg(seen).arg(r.error)));
    QVERIFY2(seen > 40000, qPrintable(QStringLiteral("only %1 ms passed on the program's clock: it "
                                                     "was not sped").arg(seen)));
    QVERIFY(r.started);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(fileBytes(QStringLiteral("slow-done")), QByteArray("done\n"));
}
#endif

#ifdef Q_OS_LINUX
// When the wait for a tool's end fails, the tool is killed and that end awaited: a tool said to
// be ended has ended, and only one whose end is not seen even then may still run.
void TestShellAndWait::endNotAwaitedEndsTheTool_data()
{
    QTest::addColumn<int>("waitsToFail"); // -1: every wait on the tool's end
    QTest::addColumn<bool>("endSeen");
    QTest::newRow("wait fails, the kill's end seen") << 1 << true;
    QTest::newRow("wait fails, the kill's end not seen either") << -1 << false;
}

void TestShellAndWait::endNotAwaitedEndsTheTool()
{
    QFETCH(int, waitsToFail);
    QFETCH(bool, endSeen);
    script(work_->path(), QStringLiteral("slowtool"), "exec sleep 20");
    endwaits::failed = endwaits::failedPid = 0;
    endwaits::toFail = waitsToFail;
    QElapsedTimer timer;
    timer.start();
    const RunResult r = runAndWait("slowtool");
    endwaits::toFail = 0;
    const qint64 took = timer.elapsed();
    if (endwaits::failed == 0)
        QSKIP("Qt waited here on no process descriptor, so the wait could not be made to fail");
    const pid_t pid = endwaits::failedPid;
    QVERIFY(pid > 0);
    QVERIFY2(took < 15000, qPrintable(QStringLiteral("%1 ms: the tool ran on").arg(took)));
    const QString reason = qt_error_string(ENOMEM);
    QCOMPARE(r.mayStillRun, !endSeen);
    QCOMPARE(r.started, endSeen);
    QCOMPARE(r.endedByProgram, endSeen);
    QCOMPARE(r.failed(), endSeen);
    if (endSeen) {
        QCOMPARE(r.error, reason);
        QCOMPARE(failureText(QStringLiteral("slowtool"), r),
                 QStringLiteral("slowtool was ended by this program, since its end could not be "
                                "awaited (%1)").arg(reason));
        // Awaited to its end: not even a zombie is left.
        const int signalled = ::kill(pid, 0);
        const int why = errno;
        QCOMPARE(signalled, -1);
        QCOMPARE(why, ESRCH);
    } else {
        QVERIFY2(r.error.startsWith(QStringLiteral("slowtool: its end could not be awaited, so it may "
                                                   "still be running: ") + reason),
                 qPrintable(r.error));
        QCOMPARE(failureText(QStringLiteral("slowtool"), r), QString());
        ::waitpid(pid, nullptr, 0); // the killed tool, left for this process to reap
    }
}
#endif

void TestShellAndWait::standardStreamsAreNull()
{
    if (!QFile::exists(QStringLiteral("/proc/self/fd/0")))
        QSKIP("needs /proc and a shell; whatTheToolIsGiven covers every platform");
    // cat ends at once only if its input is at its end; "timeout" keeps a wrong pipe from hanging.
    script(work_->path(), QStringLiteral("streams"),
           "fds=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2); echo \"$fds\" > fds.txt\n"
           "timeout 5 cat > input.txt; echo $? > cat-status.txt");
    QVERIFY(runAndWait("streams").started);
    QCOMPARE(fileBytes(QStringLiteral("fds.txt")), QByteArray("/dev/null\n/dev/null\n/dev/null\n"));
    QCOMPARE(fileBytes(QStringLiteral("cat-status.txt")), QByteArray("0\n"));
    QCOMPARE(fileBytes(QStringLiteral("input.txt")), QByteArray());
}

// What the tool is handed, through the stand-in tool on every platform: its input is at its end
// at once (no pipe or console to wait on), and a lot of output blocks nothing since nobody reads
// it. On Windows a window of its own stays hidden, and it cannot write through a handle that
// this program holds open and could hand on.
void TestShellAndWait::whatTheToolIsGiven_data()
{
    QTest::addColumn<QByteArray>("actions");
    QTest::addColumn<QByteArrayList>("files"); // what it leaves: name, content, name, content...
    QTest::newRow("input at its end") << QByteArray("input") << QByteArrayList{"input-bytes", "0\n"};
    QTest::newRow("output not kept") << QByteArray("output") << QByteArrayList{"output-done", "yes\n"};
#ifdef Q_OS_WIN
    QTest::newRow("own window hidden") << QByteArray("window") << QByteArrayList{"window-show", "0\n"}; // SW_HIDE
    QTest::newRow("no handle but the null device")
        << QByteArray("handle HELD") << QByteArrayList{"handle-tried", "yes\n", "held.txt", ""};
#endif
}

void TestShellAndWait::whatTheToolIsGiven()
{
    QFETCH(QByteArray, actions);
    QFETCH(QByteArrayList, files);
    probe(work_->path(), QStringLiteral("tool"));
#ifdef Q_OS_WIN
    // A file this program holds open through an inheritable handle, as any library may.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE held = CreateFileW(L"held.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inheritable, CREATE_ALWAYS, 0, nullptr);
    QVERIFY(held != INVALID_HANDLE_VALUE);
    const auto closeHeld = qScopeGuard([held] { CloseHandle(held); });
    if (actions.contains("HELD"))
        actions.replace("HELD", QByteArray::number(quintptr(held)));
    else
        files << "held.txt" << "";
#endif
    qputenv("DOVREL_PROBE", actions);
    const RunResult r = runAndWait("tool");
    QVERIFY2(r.started, qPrintable(r.error));
    QCOMPARE(r.exitCode, 0);
    QStringList left;
    for (qsizetype i = 0; i + 1 < files.size(); i += 2) {
        left << QString::fromLatin1(files.at(i));
        QCOMPARE(fileBytes(left.last()), files.at(i + 1));
    }
    left.sort();
    QCOMPARE(work_->entries({programFileName(QStringLiteral("tool")), replayPCFileName(),
                             QStringLiteral("PShell.exe")}),
             left);
}

#ifdef Q_OS_WIN
// Wine reports a process start now and then as an internal error, and the next start succeeds;
// any other failure to start would only come again.
void TestShellAndWait::startTriedAgainOnlyAfterAnInternalError_data()
{
    QTest::addColumn<QList<int>>("failures"); // the errors of the attempts before one succeeds
    QTest::addColumn<int>("attempts");
    QTest::addColumn<bool>("created");
    const int internal = ERROR_INTERNAL_ERROR;
    QTest::newRow("internal error once") << QList<int>{internal} << 2 << true;
    QTest::newRow("internal error each time") << QList<int>{internal, internal, internal, internal}
                                              << platform::kStartAttempts << false;
    QTest::newRow("program not found") << QList<int>{int(ERROR_FILE_NOT_FOUND)} << 1 << false;
}

void TestShellAndWait::startTriedAgainOnlyAfterAnInternalError()
{
    QFETCH(QList<int>, failures);
    QFETCH(int, attempts);
    QFETCH(bool, created);
    int made = 0;
    const bool result = platform::createProcess([&] {
        if (made < failures.size()) {
            SetLastError(DWORD(failures.at(made++)));
            return FALSE;
        }
        ++made;
        return TRUE;
    });
    QCOMPARE(result, created);
    QCOMPARE(made, attempts);
    if (!created) // the caller words the last attempt's error
        QCOMPARE(int(GetLastError()), failures.at(attempts - 1));
}

// A wait or an exit code that cannot be had is never taken for the tool's end: the tool may
// still be writing its file.
void TestShellAndWait::endNotSeenIsNoEnd_data()
{
    QTest::addColumn<bool>("waitable");
    QTest::newRow("wait fails") << false;
    QTest::newRow("no exit code") << true;
}

void TestShellAndWait::endNotSeenIsNoEnd()
{
    QFETCH(bool, waitable);
    // No handle at all cannot be waited on; a set event can, but has no exit code.
    const HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    QVERIFY(event);
    const auto closeEvent = qScopeGuard([event] { CloseHandle(event); });
    const RunResult r = platform::awaitEnd(waitable ? event : nullptr);
    QVERIFY(!r.started);
    QVERIFY(r.mayStillRun);
    QVERIFY(!r.failed());
    QCOMPARE(r.error, qt_error_string(ERROR_INVALID_HANDLE));
}
#endif

QTEST_GUILESS_MAIN(TestShellAndWait)
#include "test_shellandwait.moc"
