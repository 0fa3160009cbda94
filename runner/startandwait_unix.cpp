// Running a command line on Linux and other Unix systems, through QProcess and without a shell.
#include "startandwait.h"

#include <QProcess>

#include <cerrno>
#include <csignal>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace runner::platform {

namespace {

// Blanks split the line and double quotes group, as a Windows program's own start-up code
// would split it. Shell characters stay ordinary text.
QStringList split(const QString &commandLine) { return QProcess::splitCommand(commandLine); }

// How long the end of a tool that was killed is awaited. A killed process ends at once unless
// the system holds it in a call it cannot leave, as on a hung network file system.
constexpr int kEndAfterKillMs = 30000;

} // namespace

QString programName(const QString &commandLine) { return split(commandLine).value(0); }

bool hasDirectory(const QString &program) { return program.contains(QLatin1Char('/')); }

QStringList fileNames(const QString &program) { return {program}; }

QString lookupFailure(bool presentButNotRunnable)
{
    return qt_error_string(presentButNotRunnable ? EACCES : ENOENT);
}

RunResult startAndWait(const QString &path, const QString &commandLine)
{
    RunResult result;
    QProcess process;
    process.setProgram(path);
    process.setArguments(split(commandLine).mid(1));
    // The tools talk to nobody: nothing to read on input, and their output is not kept.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_LINUX
    // The tool never outlives the program: it is killed when the program ends, however it ends,
    // so nothing is written into the folder once the program's lock is gone. A program that
    // ended before the child asked for that has another parent by then: the child ends at once.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
#endif

    process.start(QIODevice::NotOpen);
    if (!process.waitForStarted(-1)) {
        result.error = process.errorString();
        return result;
    }
    // Blocks this thread without running an event loop; a crash ends the wait just the same.
    errno = 0;
    const bool endSeen = process.waitForFinished(-1);
    const int waitError = errno;
    if (!endSeen && process.state() != QProcess::NotRunning) {
        // The wait itself failed, so whether the tool still runs is not known. QProcess would
        // kill it on going out of scope anyway: end it here and await that end, so that what
        // is reported is what happened.
        result.error = waitError != 0 ? qt_error_string(waitError) : process.errorString();
        process.kill();
        if (!process.waitForFinished(kEndAfterKillMs) && process.state() != QProcess::NotRunning) {
            result.mayStillRun = true;
            result.error += QStringLiteral(" (it was killed, but its end could not be seen either)");
            return result;
        }
        // A tool that ended on its own just before the kill ended as it chose.
        result.endedByProgram = process.exitStatus() == QProcess::CrashExit;
        if (!result.endedByProgram)
            result.error.clear();
    }
    result.started = true;
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = result.crashed ? 0 : process.exitCode();
    return result;
}

} // namespace runner::platform
