#include "shellandwait.h"

#include "codepage.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>

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
    // qt_error_string words these two numbers the same way on every platform.
    if (r.path.isEmpty())
        r.errorCode = presentButNotRunnable ? EACCES : ENOENT;
    return r;
}

QString describe(const QString &program, const QString &reason)
{
    return program + QStringLiteral(": ") + reason;
}

} // namespace

RunResult runAndWait(const QByteArray &commandLine)
{
    RunResult result;
    const QString line = text::toUnicode(commandLine);

    QString program;
#ifdef Q_OS_WIN
    // The line goes to the new process exactly as composed; only the program name is taken off
    // its head. QProcess puts one blank between program and native arguments, so the blank
    // that ends the name is dropped here.
    QString rest;
    {
        qsizetype i = 0;
        while (i < line.size() && line.at(i) == QLatin1Char(' '))
            ++i;
        bool quoted = false;
        for (; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == QLatin1Char('"'))
                quoted = !quoted;
            else if (c == QLatin1Char(' ') && !quoted)
                break;
            else
                program += c;
        }
        if (i < line.size())
            rest = line.mid(i + 1);
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

    QProcess process;
    process.setProgram(resolved.path);
#ifdef Q_OS_WIN
    process.setNativeArguments(rest);
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
        args->flags |= CREATE_NO_WINDOW;
    });
#else
    process.setArguments(arguments);
#endif
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
