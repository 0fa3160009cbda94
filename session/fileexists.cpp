#include "fileexists.h"

#include <QFile>

namespace session {

bool FileExists(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly);
}

void removeIfPresent(const QString &name)
{
    // Removed by name without opening it: a link goes, not what it points to, and a pipe of
    // that name cannot hold the program up.
    QFile::remove(name);
}

} // namespace session
