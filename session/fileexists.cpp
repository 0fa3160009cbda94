#include "fileexists.h"

namespace session {

bool FileExists(const QString &name) { return Folder().canRead(name); }

bool nameInUse(const QString &name) { return Folder().inUse(name); }

Entry entryAt(const QString &name) { return Folder().entry(name); }

void removeIfPresent(const QString &name) { Folder().remove(name); }

QString folderWriteProblem() { return Folder().writeProblem(); }

} // namespace session
