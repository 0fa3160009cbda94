#pragma once
// Windows only: the retry of a start that went astray, and the wait for a started process and
// the reading of how it ended, apart from the start so that tests can hand them failures.
#include "shellandwait.h"

#include <windows.h>

#include <functional>

namespace runner::platform {

// How often a process start that the system reports as an internal error is tried in all.
constexpr int kStartAttempts = 3;

// Calls `create`, a process start, until it succeeds, again only after a failure that the
// system reports as an internal error (ERROR_INTERNAL_ERROR), and at most kStartAttempts times.
// Wine reports a start now and then that way; a start that fails for any other reason would
// fail again. The last error is left as the last attempt set it.
bool createProcess(const std::function<BOOL()> &create);

// Waits for the process to end and reads its exit code. A wait or a read that fails is never
// taken for its end: `started` stays false, `mayStillRun` is set and `error` holds the system's
// description.
RunResult awaitEnd(HANDLE process);

} // namespace runner::platform
