#pragma once
// What the program asks of the Windows desktop at start.

namespace app {

// The program blocks its window during a session by design; Windows would otherwise put a
// frozen "(Not Responding)" copy in its place after about five seconds.
void keepWindowsOwnFrames();

} // namespace app
