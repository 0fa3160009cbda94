#pragma once
// Runs one command line as a separate process, without a window, and blocks until it has ended.
// No shell sees the line and no events are processed while waiting.
#include <QByteArray>
#include <QString>

namespace runner {

struct RunResult
{
    bool started = false; // the process was started and has ended
    QString error;        // the system's description when it could not be started
};

// On Linux and macOS the line is split at blanks with double quotes grouping, the way a program
// started on Windows splits its command line; on Windows it is handed over unchanged. A program
// name without a directory is looked for in the working directory first, then on the search path.
// The exit status is not examined.
RunResult runAndWait(const QByteArray &commandLine);

} // namespace runner
