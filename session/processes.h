#pragma once
// Whether a process named in a lock file still runs on this machine. One source file per system.
#include <QString>

namespace session {

// True while a process with that id runs and, where its program's file name can be read, that
// name is `programName` (so a process id reused by another program does not count). A process
// this user may not look at counts as running.
bool processRuns(qint64 pid, const QString &programName);

} // namespace session
