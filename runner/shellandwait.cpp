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

    QProcess process;
    process.setProgram(resolved.path);
#ifdef Q_OS_WIN
    // The program found is started by its full name, and the process receives the command line
    // exactly as composed (QProcess would put the quoted full path at its head). No console
    // window opens for a console tool.
    const std::wstring application = QDir::toNativeSeparators(resolved.path).toStdWString();
    std::wstring verbatim = line.toStdWString();
    process.setCreateProcessArgumentsModifier(
        [application, verbatim](QProcess::CreateProcessArguments *args) mutable {
            args->applicationName = application.c_str();
            args->arguments = verbatim.data(); // CreateProcessW may write into this buffer
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
    return result;
}

} // namespace runner
