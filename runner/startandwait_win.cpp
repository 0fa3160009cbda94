// Running a command line on Windows as the shell's Run with a hidden window does: the program
// is started directly with the line exactly as composed, and this thread waits on its handle.
// QProcess is not used: its wait notifier outlives the process object on a thread-pool thread
// and crashed under Wine.
#include "startandwait.h"
#include "startandwait_win.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <string>
#include <vector>

namespace runner::platform {

namespace {

struct HandleCloser
{
    void operator()(HANDLE handle) const
    {
        if (handle != INVALID_HANDLE_VALUE && handle != nullptr)
            CloseHandle(handle);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// The null device for one standard stream, inheritable so that the tool can be handed it.
Handle openNul(DWORD access)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE nul = CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, 0, nullptr);
    return Handle(nul == INVALID_HANDLE_VALUE ? nullptr : nul);
}

struct AttributeListDeleter
{
    void operator()(LPPROC_THREAD_ATTRIBUTE_LIST list) const { DeleteProcThreadAttributeList(list); }
};

// A start-up attribute list that lets the new process inherit exactly the given handles, none
// of the other inheritable handles this program holds. `storage` keeps the list's memory.
std::unique_ptr<_PROC_THREAD_ATTRIBUTE_LIST, AttributeListDeleter>
inheritOnly(HANDLE *handles, SIZE_T count, std::vector<char> &storage)
{
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage.resize(size);
    auto *list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
        return nullptr;
    std::unique_ptr<_PROC_THREAD_ATTRIBUTE_LIST, AttributeListDeleter> owned(list);
    if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                   count * sizeof(HANDLE), nullptr, nullptr))
        return nullptr;
    return owned;
}

RunResult notStarted(DWORD error)
{
    RunResult result;
    result.error = qt_error_string(int(error));
    return result;
}

} // namespace

// Only the program name is taken off the head of the line, the way Windows reads it: up to the
// first blank, or within double quotes. The line itself goes to the process unchanged.
QString programName(const QString &commandLine)
{
    QString program;
    qsizetype i = 0;
    while (i < commandLine.size() && commandLine.at(i) == QLatin1Char(' '))
        ++i;
    bool quoted = false;
    for (; i < commandLine.size(); ++i) {
        const QChar c = commandLine.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if ((c == QLatin1Char(' ') || c == QLatin1Char('\t')) && !quoted)
            break;
        else
            program += c;
    }
    return program;
}

bool hasDirectory(const QString &program)
{
    return program.contains(QLatin1Char('/')) || program.contains(QLatin1Char('\\'));
}

// Windows starts "ReplayPC" as "ReplayPC.exe", with a directory or without.
QStringList fileNames(const QString &program)
{
    if (QFileInfo(program).suffix().isEmpty())
        return {program + QStringLiteral(".exe"), program};
    return {program};
}

QString lookupFailure(bool presentButNotRunnable)
{
    return qt_error_string(presentButNotRunnable ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
}

RunResult startAndWait(const QString &path, const QString &commandLine)
{
    // The tool reads from and writes to the null device, as "<NUL >NUL 2>NUL" would give it.
    const DWORD access[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_WRITE};
    Handle nul[3];
    HANDLE inherited[3];
    for (int i = 0; i < 3; ++i) {
        nul[i] = openNul(access[i]);
        if (!nul[i])
            return notStarted(GetLastError());
        inherited[i] = nul[i].get();
    }
    std::vector<char> storage;
    const auto attributes = inheritOnly(inherited, 3, storage);
    if (!attributes)
        return notStarted(GetLastError());

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    // Hidden like a window style 0 start: a console without a window, and a window of the tool's
    // own hidden.
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = inherited[0];
    startup.StartupInfo.hStdOutput = inherited[1];
    startup.StartupInfo.hStdError = inherited[2];
    startup.lpAttributeList = attributes.get();

    const std::wstring application = QDir::toNativeSeparators(path).toStdWString();
    PROCESS_INFORMATION process{};
    // Started suspended, so that a start reported as failed has run none of the tool.
    const bool created = createProcess([&] {
        std::wstring line = commandLine.toStdWString(); // CreateProcessW may write into it
        return CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE,
                              CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT,
                              nullptr, nullptr, &startup.StartupInfo, &process);
    });
    if (!created)
        return notStarted(GetLastError());
    const Handle owned(process.hProcess);
    const Handle thread(process.hThread);
    // The tool never outlives the program: it runs in a job that ends it when the job's last
    // handle closes, which the system does when the program ends, however it ends. The handle
    // is not inherited, so the tool cannot keep the job open.
    const Handle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)
        || !AssignProcessToJobObject(job.get(), process.hProcess)) {
        const DWORD error = GetLastError();
        TerminateProcess(process.hProcess, ERROR_PROCESS_ABORTED);
        return notStarted(error);
    }
    if (ResumeThread(process.hThread) == DWORD(-1)) {
        const DWORD error = GetLastError();
        TerminateProcess(process.hProcess, ERROR_PROCESS_ABORTED);
        return notStarted(error);
    }
    return awaitEnd(process.hProcess);
}

bool createProcess(const std::function<BOOL()> &create)
{
    for (int attempt = 1;; ++attempt) {
        if (create())
            return true;
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == kStartAttempts)
            return false;
    }
}

RunResult awaitEnd(HANDLE process)
{
    RunResult result;
    // Blocks this thread without running an event loop; a crash ends the wait just the same.
    DWORD code = 0;
    if (WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code)) {
        result.mayStillRun = true;
        result.error = qt_error_string(int(GetLastError()));
        return result;
    }
    result.started = true;
    // As QProcess reads it: a code from 0x80000000 to 0xCFFFFFFF is an exception's (0xC0000005
    // an access violation, 0x80000003 a breakpoint), which a program never exits with by choice.
    result.crashed = code >= 0x80000000u && code < 0xD0000000u;
    if (result.crashed)
        return result;
    const int status = int(code);
    result.exitCode = status < 0 && status >= -128 ? status & 0xFF : status;
    return result;
}

} // namespace runner::platform
