#pragma once
// Runs one command line as a separate process, without a window, and blocks until it has ended.
// No shell sees the line and no events are processed while waiting.
#include <QByteArray>
#include <QString>

namespace runner {

struct RunResult
{
    bool started = false;  // the process was started and has ended
    int exitCode = 0;      // the status it ended with, when it was started and did not crash
    bool crashed = false;  // it ended abnormally (killed by a signal, an unhandled exception)
    // Linux and macOS: its end could not be awaited, so this program killed it and saw it end.
    // It counts as crashed, and `error` says why the wait failed.
    bool endedByProgram = false;
    bool mayStillRun = false; // it was started, but its end could not be awaited
    bool notFound = false;    // no runnable program of its name in the folder nor on the search path
    QString error;            // the system's description when it could not be started or awaited

    // Started, but ended with a failure status, crashed or was ended by this program.
    bool failed() const { return started && (crashed || exitCode != 0 || endedByProgram); }
};

// How a started tool that failed ended, for a message: "ReplayPC crashed", "ReplayPC ended
// with failure status 3" or "ReplayPC was ended by this program, since its end could not be
// awaited (reason)"; empty when it was not started or ended well.
QString failureText(const QString &program, const RunResult &result);

// On Linux and macOS the line is split at blanks with double quotes grouping, the way a program
// started on Windows splits its command line; on Windows it is handed over unchanged. A program
// name without a directory is looked for in the working directory first, then on the search path.
// The exit status and whether the process crashed are handed back; nothing else is judged here.
// A status from exit(-1) to exit(-128) reads on Windows as the byte Linux keeps of it, 255 to
// 128, so that the same tool's failure reads the same on both.
RunResult runAndWait(const QByteArray &commandLine);

} // namespace runner
