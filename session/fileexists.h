#pragma once
// The tests and removals of names in the working folder that the window makes, each one step
// through a Folder of the current folder.
#include "folder.h"

#include <QString>

namespace session {

// Whether the file can be opened for reading; it is closed again at once and no error is
// reported. A directory, a link, a missing file and a file without read permission all give
// false; a pipe or a device gives true without being opened.
bool FileExists(const QString &name);

// Whether anything of that name is in the folder: a file, readable or not, a folder, a pipe, or
// a link, even one that leads nowhere. A tool told to write there would write over it.
bool nameInUse(const QString &name);

// What stands under the name, without following a link.
Entry entryAt(const QString &name);

// Deletes the name if it is there, without opening it: a link is removed, not its target. A
// name that is already gone is not an error; a folder of that name stays.
void removeIfPresent(const QString &name);

// Empty when a new file can be made in the working directory; else the system's reason why not.
QString folderWriteProblem();

} // namespace session
