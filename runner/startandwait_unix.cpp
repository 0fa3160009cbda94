// Running a command line on Linux and other Unix systems, through QProcess and without a shell.
#include "startandwait.h"

#include <QProcess>

#include <cerrno>

namespace runner::platform {

namespace {

// Blanks split the line and double quotes group, as a Windows program's own start-up code
// would split it. Shell characters stay ordinary text.
QStringList split(const QString &commandLine) { return QProcess::splitCommand(commandLine); }

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

    process.start(QIODevice::NotOpen);
    if (!process.waitForStarted(-1)) {
        result.error = process.errorString();
        return result;
    }
    // Blocks this thread without running an event loop; a crash ends the wait just the same.
    if (!process.waitForFinished(-1)) {
        result.mayStillRun = true;
        result.error = process.errorString();
        return result;
    }
    result.started = true;
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = result.crashed ? 0 : process.exitCode();
    return result;
}

} // namespace runner::platform
