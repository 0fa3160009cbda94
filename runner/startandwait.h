#pragma once
// What differs between the systems in running a command line: how the program name is read
// off it, under which file names a program may lie, and starting the program and waiting for
// its end. startandwait_unix.cpp and startandwait_win.cpp each provide it; CMake builds one.
#include "shellandwait.h"

#include <QString>
#include <QStringList>

namespace runner::platform {

// The program name at the head of the command line, read as the system reads it.
QString programName(const QString &commandLine);

// Whether a program name holds a directory, so that it is taken as it is and not looked for.
bool hasDirectory(const QString &program);

// The file names under which a program of that name may lie, the one the system prefers first.
QStringList fileNames(const QString &program);

// The system's description of a program that is not there, or that is there but cannot run.
QString lookupFailure(bool presentButNotRunnable);

// Starts the program at `path` with the command line, with no window and the null device as
// its standard streams, and waits for its end. When it cannot be started, or its end cannot be
// seen, `started` is false and `error` holds the system's description.
RunResult startAndWait(const QString &path, const QString &commandLine);

} // namespace runner::platform
