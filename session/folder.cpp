// What the folder part does the same way on every system, on top of its system's own calls.
#include "folder.h"

namespace session {

std::optional<QByteArray> Folder::read(const QString &name, FileFailure *failure, qint64 maxBytes) const
{
    QFile file;
    if (!open(file, name, QIODevice::ReadOnly, failure))
        return std::nullopt;
    return maxBytes < 0 ? file.readAll() : file.read(maxBytes);
}

} // namespace session
