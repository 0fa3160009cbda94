#include "shellandwait.h"

#include "codepage.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace runner {

namespace {

bool hasDirectory(const QString &program)
{
#ifdef Q_OS_WIN
    return program.contains(QLatin1Char('/')) || program.contains(QLatin1Char('\\'));
#else
    return program.contains(QLatin1Char('/'));
#endif
}

// The names under which a program may lie in the working directory. Windows starts "ReplayPC"
// as "ReplayPC.exe" when there is no file of the bare name.
QStringList candidateNames(const QString &program)
{
    QStringList names{program};
#ifdef Q_OS_WIN
    if (QFileInfo(program).suffix().isEmpty())
        names << program + QStringLiteral(".exe");
#endif
    return names;
}

struct Resolved
{
    QString path;     // empty when nothing runnable was found
    int errorCode = 0; // why not, as a system error number
};

// A bare program name is looked up in the working directory first, then on the search path.
// A name with a directory is left to the process start, which reports its own errors.
Resolved resolveProgram(const QString &program)
{
    Resolved r;
    if (hasDirectory(program)) {
        r.path = program;
#ifdef Q_OS_WIN
        // Windows adds ".exe" to a name without extension, with a directory as well.
        if (QFileInfo(program).suffix().isEmpty() && QFileInfo(program + QStringLiteral(".exe")).isFile())
            r.path = program + QStringLiteral(".exe");
#endif
        return r;
    }
    bool presentButNotRunnable = false;
    for (const QString &name : candidateNames(program)) {
        const QFileInfo local(QDir::current().filePath(name));
        if (local.isFile() && local.isExecutable()) {
            r.path = local.absoluteFilePath();
            return r;
        }
        if (local.exists())
            presentButNotRunnable = true;
    }
    r.path = QStandardPaths::findExecutable(program);
    if (r.path.isEmpty()) {
        // The system's own numbers for the two cases, which qt_error_string words as the
        // system does.
#ifdef Q_OS_WIN
        r.errorCode = presentButNotRunnable ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
#else
        r.errorCode = presentButNotRunnable ? EACCES : ENOENT;
#endif
    }
    return r;
}

QString describe(const QString &program, const QString &reason)
{
    return program + QStringLiteral(": ") + reason;
}

#ifdef Q_OS_WIN
// Starts the program found, giving the new process the command line exactly as composed, with
// no window and the null device as its standard streams, and waits for its end. False with
// the system's description of the error when it cannot be started.
bool startAndWait(const QString &path, const QString &line, RunResult *result)
{
    const std::wstring application = QDir::toNativeSeparators(path).toStdWString();
    std::wstring commandLine = line.toStdWString(); // CreateProcessW may write into it

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    const DWORD failure = started ? 0 : GetLastError();
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started) {
        result->error = qt_error_string(int(failure));
        return false;
    }
    CloseHandle(process.hThread);
    // Blocks this thread without running an event loop; a crash ends the wait just the same.
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    result->started = true;
    // A process ended by an unhandled exception ends with that exception's code, an error
    // status such as 0xC0000005 (access violation); a program never exits with one by choice.
    result->crashed = (status & 0xC0000000u) == 0xC0000000u;
    result->exitCode = result->crashed ? 0 : int(status);
    return true;
}
#endif

} // namespace

RunResult runAndWait(const QByteArray &commandLine)
{
    RunResult result;
    const QString line = text::toUnicode(commandLine);

    QString program;
#ifdef Q_OS_WIN
    // Only the program name is taken off the head of the line, the way Windows reads it: up to
    // the first blank, or within double quotes. The line itself goes to the process unchanged.
    {
        qsizetype i = 0;
        while (i < line.size() && line.at(i) == QLatin1Char(' '))
            ++i;
        bool quoted = false;
        for (; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == QLatin1Char('"'))
                quoted = !quoted;
            else if ((c == QLatin1Char(' ') || c == QLatin1Char('\t')) && !quoted)
                break;
            else
                program += c;
        }
    }
#else
    // No shell: blanks split the line and double quotes group, as a Windows program's own
    // start-up code would split it. Shell characters stay ordinary text.
    QStringList arguments = QProcess::splitCommand(line);
    if (!arguments.isEmpty())
        program = arguments.takeFirst();
#endif

    if (program.isEmpty()) {
        result.error = QStringLiteral("The command line names no program.");
        return result;
    }

    const Resolved resolved = resolveProgram(program);
    if (resolved.path.isEmpty()) {
        result.error = describe(program, qt_error_string(resolved.errorCode));
        return result;
    }

#ifdef Q_OS_WIN
    // Started directly rather than through QProcess, whose wait notifier outlives the process
    // object on a thread-pool thread and crashed under Wine.
    if (!startAndWait(resolved.path, line, &result))
        result.error = describe(program, result.error);
    return result;
#else
    QProcess process;
    process.setProgram(resolved.path);
    process.setArguments(arguments);
    // The tools talk to nobody: nothing to read on input, and their output is not kept.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());

    process.start(QIODevice::NotOpen);
    if (!process.waitForStarted(-1)) {
        result.error = describe(program, process.errorString());
        return result;
    }
    // Blocks this thread without running an event loop; a crash ends the wait just the same.
    process.waitForFinished(-1);
    result.started = true;
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = result.crashed ? 0 : process.exitCode();
    return result;
#endif
}

QString failureText(const QString &program, const RunResult &result)
{
    if (!result.failed())
        return QString();
    if (result.crashed)
        return program + QStringLiteral(" crashed");
    return program + QStringLiteral(" ended with failure status %1").arg(result.exitCode);
}

} // namespace runner
