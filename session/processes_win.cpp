// Whether a process still runs, on Windows: asked of a handle to it that may only query it.
#include "processes.h"

#include <QVarLengthArray>

#include <windows.h>

namespace session {

namespace {

// Whether the program file's name is `programName`, with or without ".exe", in any case.
bool sameProgram(const QString &fileName, const QString &programName)
{
    const QString exe = QStringLiteral(".exe");
    return fileName.compare(programName, Qt::CaseInsensitive) == 0
        || fileName.compare(programName + exe, Qt::CaseInsensitive) == 0;
}

} // namespace

bool processRuns(qint64 pid, const QString &programName)
{
    if (pid <= 0 || pid > qint64(MAXDWORD))
        return false;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process) {
        // No process has that id. Any other refusal (a process of another user or a protected
        // one) leaves it running as far as this program can tell.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    bool runs = true;
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process, &exitCode) && exitCode != STILL_ACTIVE)
        runs = false;
    if (runs) {
        // The id may have been given to another program since; where its file cannot be read,
        // the process counts as the one named.
        QVarLengthArray<wchar_t, MAX_PATH> buffer(32768);
        DWORD size = DWORD(buffer.size());
        if (QueryFullProcessImageNameW(process, 0, buffer.data(), &size)) {
            const QString image = QString::fromWCharArray(buffer.data(), int(size));
            runs = sameProgram(image.mid(image.lastIndexOf(QLatin1Char('\\')) + 1), programName);
        }
    }
    CloseHandle(process);
    return runs;
}

} // namespace session
