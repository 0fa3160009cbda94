#pragma once
#include <QString>

namespace session {

// Whether the file can be opened for reading; it is closed again at once and no error is
// reported. A directory, a missing file and a file without read permission all give false.
bool FileExists(const QString &name);

// Deletes the file if it is there; a file that is already gone is not an error.
void removeIfPresent(const QString &name);

} // namespace session
