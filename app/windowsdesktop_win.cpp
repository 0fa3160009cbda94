#include "windowsdesktop.h"

#include <windows.h>

namespace app {

void keepWindowsOwnFrames() { DisableProcessWindowsGhosting(); }

} // namespace app
