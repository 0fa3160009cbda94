// A stand-in tool for the runner and window tests, the same on every platform. It does what the
// environment variable DOVREL_PROBE says, a list of actions separated by ";":
//   where             writes the full path of this program to "ran-from" in the working directory
//   copy <from> <to>  copies a file of the working directory
//   exit <n>          ends with status n (decimal, or hexadecimal after "0x")
//   crash [code]      ends as a crashed program does: on Linux by SIGABRT, on Windows by an
//                     unhandled exception of that code (the access violation 0xC0000005 when
//                     none is given), without a debugger or error box
//   kill              ends killed by SIGKILL (Linux; on Windows as "crash")
//   sleep <ms>        waits that long
//   input             reads standard input to its end, writes the byte count to "input-bytes"
//   output            writes 256 KiB to standard output and to standard error, then "output-done"
//   window            (Windows) writes to "window-show" how its starter asks it to show its
//                     first window: the show command (0 hides it), or "-" when it leaves that open
//   handle <n>        (Windows) writes "leaked" through the handle of that number, then "yes"
//                     to "handle-tried"
// Without the variable it does nothing and ends with status 0.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

namespace {

std::string ownPath()
{
#ifdef _WIN32
    char buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, n);
#else
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, std::size_t(n)) : std::string();
#endif
}

#ifdef _WIN32
LONG WINAPI endAtOnce(EXCEPTION_POINTERS *)
{
    return EXCEPTION_EXECUTE_HANDLER; // the process ends with the exception's code
}
#endif

[[noreturn]] void crash(unsigned long code = 0xC0000005)
{
#ifdef _WIN32
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(endAtOnce);
    RaiseException(DWORD(code), EXCEPTION_NONCONTINUABLE, 0, nullptr);
#else
    (void)code;
#endif
    std::abort(); // SIGABRT: an abnormal end that sanitizers leave alone
}

unsigned long number(const std::string &text)
{
    return text.empty() ? 0 : static_cast<unsigned long>(std::stoll(text, nullptr, 0));
}

#ifdef _WIN32
// What ShowWindow(SW_SHOWDEFAULT), and so the first window of most programs, does here.
std::string windowShow()
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    if (!(startup.dwFlags & STARTF_USESHOWWINDOW))
        return "-";
    return std::to_string(startup.wShowWindow);
}

void writeToHandle(unsigned long number)
{
    DWORD written = 0;
    WriteFile(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(number)), "leaked\n", 7, &written, nullptr);
}
#endif

bool copyFile(const std::string &from, const std::string &to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!in || !out)
        return false;
    out << in.rdbuf();
    return bool(out);
}

} // namespace

int main()
{
    const char *actions = std::getenv("DOVREL_PROBE");
    std::istringstream list(actions ? actions : "");
    std::string action;
    while (std::getline(list, action, ';')) {
        std::istringstream words(action);
        std::string verb;
        words >> verb;
        if (verb == "where") {
            std::ofstream("ran-from", std::ios::binary) << ownPath() << '\n';
        } else if (verb == "copy") {
            std::string from, to;
            words >> from >> to;
            if (!copyFile(from, to))
                return 3;
        } else if (verb == "exit") {
            std::string status;
            words >> status;
            return int(number(status));
        } else if (verb == "crash") {
            std::string code;
            words >> code;
            if (code.empty())
                crash();
            crash(number(code));
        } else if (verb == "input") {
            std::size_t count = 0;
            char buffer[4096];
            while (std::size_t n = std::fread(buffer, 1, sizeof buffer, stdin))
                count += n;
            std::ofstream("input-bytes", std::ios::binary) << count << '\n';
        } else if (verb == "output") {
            // More than any pipe holds, so a pipe nobody reads would block it.
            const std::string block(256 * 1024, 'x');
            std::fwrite(block.data(), 1, block.size(), stdout);
            std::fwrite(block.data(), 1, block.size(), stderr);
            std::fflush(nullptr);
            std::ofstream("output-done", std::ios::binary) << "yes\n";
#ifdef _WIN32
        } else if (verb == "window") {
            std::ofstream("window-show", std::ios::binary) << windowShow() << '\n';
        } else if (verb == "handle") {
            std::string value;
            words >> value;
            writeToHandle(number(value));
            std::ofstream("handle-tried", std::ios::binary) << "yes\n";
#endif
        } else if (verb == "sleep") {
            std::string ms;
            words >> ms;
            std::this_thread::sleep_for(std::chrono::milliseconds(number(ms)));
        } else if (verb == "kill") {
#ifndef _WIN32
            std::raise(SIGKILL);
#endif
            crash();
        } else if (!verb.empty()) {
            std::fprintf(stderr, "probetool: unknown action %s\n", verb.c_str());
            return 2;
        }
    }
    return 0;
}
