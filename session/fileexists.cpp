#include "fileexists.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace session {

bool FileExists(const QString &name)
{
    // A pipe or a device would hold an open for reading up until something writes to it: it is
    // there, which is all a caller needs to know.
    const QFileInfo info(name);
    if (info.exists() && !info.isFile() && !info.isDir())
        return true;
    QFile file(name);
    return file.open(QIODevice::ReadOnly);
}

bool nameInUse(const QString &name)
{
    const QFileInfo info(name);
    return FileExists(name) || info.exists() || info.isSymLink();
}

void removeIfPresent(const QString &name)
{
    // Removed by name without opening it: a link goes, not what it points to, and a pipe of
    // that name cannot hold the program up.
    QFile::remove(name);
}

QString folderWriteProblem()
{
    // Only making a file tells: permissions, a read-only mount and root's rights all play a part.
    // The probe lies in the working directory for an instant and is removed again.
    QTemporaryFile probe(QStringLiteral("DOVLPROBE.XXXXXX"));
    return probe.open() ? QString() : probe.errorString();
}

} // namespace session
