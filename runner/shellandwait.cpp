#include "shellandwait.h"

#include "codepage.h"
#include "startandwait.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace runner {

namespace {

struct Resolved
{
    QString path;  // empty when nothing runnable was found
    QString error; // why not, in the system's words
};

// A bare program name is looked up in the working directory first, then on the search path.
// A name with a directory is left to the process start, which reports its own errors.
Resolved resolveProgram(const QString &program)
{
    const QStringList names = platform::fileNames(program);
    if (platform::hasDirectory(program)) {
        for (const QString &name : names)
            if (QFileInfo(name).isFile())
                return {name, {}};
        return {program, {}};
    }
    bool presentButNotRunnable = false;
    for (const QString &name : names) {
        const QFileInfo local(QDir::current().filePath(name));
        if (local.isFile() && local.isExecutable())
            return {local.absoluteFilePath(), {}};
        if (local.exists())
            presentButNotRunnable = true;
    }
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty())
        return {{}, platform::lookupFailure(presentButNotRunnable)};
    return {found, {}};
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
    const QString program = platform::programName(line);
    if (program.isEmpty()) {
        result.error = QStringLiteral("The command line names no program.");
        return result;
    }
    const Resolved resolved = resolveProgram(program);
    if (resolved.path.isEmpty()) {
        result.error = describe(program, resolved.error);
        result.notFound = true;
        return result;
    }
    result = platform::startAndWait(resolved.path, line);
    if (result.mayStillRun)
        result.error = describe(program, QStringLiteral("its end could not be awaited, so it may still be "
                                                        "running: ")
                                             + result.error);
    else if (!result.started && !result.error.isEmpty())
        result.error = describe(program, result.error);
    return result;
}

QString failureText(const QString &program, const RunResult &result)
{
    if (!result.failed())
        return QString();
    if (result.endedByProgram)
        return program + QStringLiteral(" was ended by this program, since its end could not be "
                                        "awaited (%1)")
                             .arg(result.error);
    if (result.crashed)
        return program + QStringLiteral(" crashed");
    return program + QStringLiteral(" ended with failure status %1").arg(result.exitCode);
}

} // namespace runner
