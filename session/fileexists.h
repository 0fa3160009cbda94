#pragma once
#include <QString>

namespace session {

// Whether the file can be opened for reading; it is closed again at once and no error is
// reported. A directory, a missing file and a file without read permission all give false.
bool FileExists(const QString &name);

// Whether anything of that name is in the folder: a file, readable or not, a folder, or a link,
// even one that leads nowhere. A tool told to write there would write over it.
bool nameInUse(const QString &name);

// Deletes the file if it is there; a file that is already gone is not an error.
void removeIfPresent(const QString &name);

// Empty when a new file can be made in the working directory; else the system's reason why not.
QString folderWriteProblem();

} // namespace session
