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
    if (FileExists(name))
        QFile::remove(name);
}

} // namespace session
