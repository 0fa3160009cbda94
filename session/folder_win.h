#pragma once
// How the Windows side of Folder tells what stands under a name, from what the system reports
// without following a reparse point: kept apart so that tests can give it every case, including
// those (links, junctions, devices) that Wine cannot make.
#include "folder.h"

#include <windows.h>

namespace session {

// INVALID_FILE_ATTRIBUTES is Missing; any reparse point (a symbolic link, a junction, a mount
// point or a kind of another program's) is a Link; a folder is Other, as is an opened handle of
// any other type than FILE_TYPE_DISK (a console, a port, a pipe); the rest is a PlainFile,
// whatever else its attributes say (read-only, hidden, system, compressed...).
Entry entryOf(DWORD attributes, DWORD fileType = FILE_TYPE_DISK);

} // namespace session
