// A stand-in tool for the runner and window tests, the same on every platform. It does what the
// environment variable DOVREL_PROBE says, a list of actions separated by ";":
//   where             writes the full path of this program to "ran-from" in the working directory
//   copy <from> <to>  copies a file of the working directory
//   exit <n>          ends with status n
//   crash             ends as a crashed program does (SIGABRT on Linux, the access violation
//                     status on Windows)
//   kill              ends killed by SIGKILL (Linux; on Windows as "crash")
// Without the variable it does nothing and ends with status 0.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

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

[[noreturn]] void crash()
{
#ifdef _WIN32
    // The status Windows gives a process killed by an access violation, without a debugger.
    TerminateProcess(GetCurrentProcess(), 0xC0000005);
#endif
    std::abort(); // SIGABRT: an abnormal end that sanitizers leave alone
}

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
            std::ofstream("ran-from") << ownPath() << '\n';
        } else if (verb == "copy") {
            std::string from, to;
            words >> from >> to;
            if (!copyFile(from, to))
                return 3;
        } else if (verb == "exit") {
            int status = 0;
            words >> status;
            return status;
        } else if (verb == "crash") {
            crash();
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
