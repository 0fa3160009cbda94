#pragma once
// Windows only: the wait for a started process and the reading of how it ended, apart from the
// start so that tests can hand it handles whose wait or exit code fails.
#include "shellandwait.h"

#include <windows.h>

namespace runner::platform {

// Waits for the process to end and reads its exit code. A wait or a read that fails is never
// taken for its end: `started` stays false, `mayStillRun` is set and `error` holds the system's
// description.
RunResult awaitEnd(HANDLE process);

} // namespace runner::platform
