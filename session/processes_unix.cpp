// Whether a process runs, on Linux and other Unix systems.
#include "processes.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace session {

bool processRuns(qint64 pid, const QString &programName)
{
    if (pid <= 0 || pid != qint64(pid_t(pid)))
        return false;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    // Where the system tells which program the process runs (the system's process table, not a
    // file of the working folder), a process id reused by another program is told apart.
    char program[4096];
    const QByteArray exe = "/proc/" + QByteArray::number(pid) + "/exe";
    const ssize_t length = ::readlink(exe.constData(), program, sizeof program);
    if (length <= 0 || programName.isEmpty())
        return true;
    QByteArray path(program, length);
    if (path.endsWith(" (deleted)")) // its program file was replaced while it runs
        path.chop(10);
    return QFileInfo(QFile::decodeName(path)).fileName() == programName;
}

} // namespace session
