#pragma once
#include <QString>

namespace session {

// Whether the file can be opened for reading; it is closed again at once and no error is
// reported. A directory, a missing file and a file without read permission all give false.
bool FileExists(const QString &name);

// Deletes the name if it is there, without opening it: a link is removed, not its target. A
// name that is already gone is not an error; a folder of that name stays.
void removeIfPresent(const QString &name);

} // namespace session
