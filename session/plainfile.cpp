#include "plainfile.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace session {

#ifdef Q_OS_WIN
Entry entryAt(const QString &name)
{
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(name.utf16()));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Entry::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return Entry::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Entry::Other;
    return Entry::PlainFile;
}

bool openPlainFile(QFile &file, const QString &name, QIODevice::OpenMode mode, FileFailure *failure)
{
    const Entry entry = entryAt(name);
    if (entry == Entry::Link || entry == Entry::Other) {
        failure->found = entry;
        return false;
    }
    file.setFileName(name);
    if (!file.open(mode)) {
        failure->found = entry;
        failure->error = file.errorString();
        return false;
    }
    return true;
}
#else
Entry entryAt(const QString &name)
{
    struct stat status;
    if (::lstat(QFile::encodeName(name).constData(), &status) != 0)
        return Entry::Missing;
    if (S_ISLNK(status.st_mode))
        return Entry::Link;
    return S_ISREG(status.st_mode) ? Entry::PlainFile : Entry::Other;
}

bool openPlainFile(QFile &file, const QString &name, QIODevice::OpenMode mode, FileFailure *failure)
{
    // O_NOFOLLOW refuses a link in the open itself; O_NONBLOCK keeps a pipe from holding it.
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    flags |= (mode & QIODevice::WriteOnly) ? O_WRONLY | O_CREAT | O_APPEND : O_RDONLY;
    const int fd = ::open(QFile::encodeName(name).constData(), flags, 0666);
    if (fd < 0) {
        const int reason = errno;
        failure->found = entryAt(name);
        if (failure->found == Entry::Missing)
            failure->found = Entry::PlainFile;
        failure->error = qt_error_string(reason);
        return false;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        failure->found = Entry::Other;
        return false;
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        failure->error = file.errorString();
        return false;
    }
    return true;
}
#endif

} // namespace session
