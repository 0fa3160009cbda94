// The working folder on Linux and other Unix systems: every call is made relative to a
// descriptor of the folder, and none follows a link.
#include "folder.h"

#include "ownfiles.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace session {

namespace {

std::atomic<NoReplaceWay> firstRenameWay{NoReplaceWay::Exclusive};

QByteArray encoded(const QString &name) { return QFile::encodeName(name); }

// A single name of the folder: anything else could reach outside it.
bool singleName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

QString notSingleName(const QString &name)
{
    return QStringLiteral("\"%1\" is not a single name of the folder").arg(name);
}

Entry kindOf(mode_t mode)
{
    if (S_ISLNK(mode))
        return Entry::Link;
    return S_ISREG(mode) ? Entry::PlainFile : Entry::Other;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC; // nothing more fits, though the system named no reason
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

Folder::Folder() : Folder(QStringLiteral(".")) {}

Folder::Folder(const QString &path)
{
    fd = ::open(encoded(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
    // A folder this user may enter and write but not list still serves every call made in it.
    if (fd < 0 && errno == EACCES)
        fd = ::open(encoded(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
    if (fd < 0)
        folderError = qt_error_string(errno);
}

Folder::~Folder()
{
    if (fd >= 0)
        ::close(fd);
}

void Folder::setFirstRenameWay(NoReplaceWay way) { firstRenameWay = way; }

EntryInfo Folder::look(const QString &name) const
{
    EntryInfo info;
    struct stat status;
    if (fd < 0 || !singleName(name)
        || ::fstatat(fd, encoded(name).constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return info;
    info.kind = kindOf(status.st_mode);
    info.folder = S_ISDIR(status.st_mode);
    info.size = status.st_size;
    info.modified = QDateTime::fromSecsSinceEpoch(status.st_mtime, QTimeZone::utc());
    return info;
}

bool Folder::canRead(const QString &name) const
{
    struct stat status;
    if (fd < 0 || !singleName(name)
        || ::fstatat(fd, encoded(name).constData(), &status, AT_SYMLINK_NOFOLLOW) != 0
        || S_ISDIR(status.st_mode) || S_ISLNK(status.st_mode))
        return false;
    // A pipe or a device would hold an open for reading up until something writes to it: it is
    // there, which is all a caller needs to know.
    if (!S_ISREG(status.st_mode))
        return true;
    const int file = ::openat(fd, encoded(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return false;
    ::close(file);
    return true;
}

bool Folder::open(QFile &file, const QString &name, QIODevice::OpenMode mode, FileFailure *failure) const
{
    if (fd < 0 || !singleName(name)) {
        failure->found = Entry::PlainFile;
        failure->error = fd < 0 ? folderError : notSingleName(name);
        return false;
    }
    // O_NOFOLLOW refuses a link in the open itself; O_NONBLOCK keeps a pipe from holding it.
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    flags |= (mode & QIODevice::WriteOnly) ? O_WRONLY | O_CREAT | O_APPEND : O_RDONLY;
    const int opened = ::openat(fd, encoded(name).constData(), flags, 0666);
    if (opened < 0) {
        const int reason = errno;
        failure->found = entry(name);
        if (failure->found == Entry::Missing)
            failure->found = Entry::PlainFile;
        failure->error = qt_error_string(reason);
        return false;
    }
    struct stat status;
    if (::fstat(opened, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(opened);
        failure->found = Entry::Other;
        return false;
    }
    if (!file.open(opened, mode, QFileDevice::AutoCloseHandle)) {
        ::close(opened);
        failure->error = file.errorString();
        return false;
    }
    return true;
}

bool Folder::appendWhole(const QString &name, const QByteArray &bytes, FileFailure *failure) const
{
    QFile file;
    if (!open(file, name, QIODevice::WriteOnly | QIODevice::Append, failure))
        return false;
    const int handle = file.handle();
    struct stat status;
    if (::fstat(handle, &status) != 0) {
        failure->error = qt_error_string(errno);
        return false;
    }
    if (writeAll(handle, bytes))
        return true;
    const int reason = errno;
    // Cut back to the length before, so that the next write starts on a line of its own.
    while (::ftruncate(handle, status.st_size) != 0 && errno == EINTR) {
    }
    failure->error = qt_error_string(reason);
    return false;
}

bool Folder::remove(const QString &name, QString *error) const
{
    QString reason;
    if (fd < 0)
        reason = folderError;
    else if (!singleName(name))
        reason = notSingleName(name);
    else if (::unlinkat(fd, encoded(name).constData(), 0) != 0 && errno != ENOENT)
        reason = qt_error_string(errno);
    if (error)
        *error = reason;
    return reason.isEmpty();
}

RenameResult Folder::renameNoReplace(const QString &from, const QString &to) const
{
    RenameResult result;
    if (fd < 0 || !singleName(from) || !singleName(to)) {
        result.error = fd < 0 ? folderError : notSingleName(singleName(from) ? to : from);
        return result;
    }
    const QByteArray source = encoded(from), target = encoded(to);
    const auto outcome = [&result](int status) {
        if (status == 0)
            result.renamed = true;
        else if (errno == EEXIST)
            result.targetTaken = true;
        else
            result.error = qt_error_string(errno);
        return result;
    };
    // Where a file system refuses a way (NFS and some FUSE file systems refuse the flag, vfat and
    // exfat refuse hard links), the next one is tried.
    const auto refused = [] { return errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EPERM; };
    const NoReplaceWay first = firstRenameWay;
    if (first == NoReplaceWay::Exclusive) {
        const int status = ::renameat2(fd, source.constData(), fd, target.constData(), RENAME_NOREPLACE);
        if (status == 0 || !refused())
            return outcome(status);
    }
    if (first != NoReplaceWay::CheckThenRename) {
        if (::linkat(fd, source.constData(), fd, target.constData(), 0) == 0) {
            // The recording now lies under both names; the old one goes.
            if (::unlinkat(fd, source.constData(), 0) != 0)
                result.error = qt_error_string(errno);
            result.renamed = true;
            return result;
        }
        if (!refused())
            return outcome(-1);
    }
    // The last way leaves a moment between the check and the rename in which a file made under
    // the new name would be replaced; the README says so.
    if (inUse(to)) {
        result.targetTaken = true;
        return result;
    }
    return outcome(::renameat(fd, source.constData(), fd, target.constData()));
}

bool Folder::replaceWhole(const QString &name, const QByteArray &bytes, FileFailure *failure) const
{
    const EntryInfo old = look(name);
    if (old.kind == Entry::Link || old.kind == Entry::Other) {
        failure->found = old.kind;
        return false;
    }
    failure->found = Entry::PlainFile;
    if (fd < 0 || !singleName(name)) {
        failure->error = fd < 0 ? folderError : notSingleName(name);
        return false;
    }
    mode_t permissions = 0666;
    struct stat status;
    const QByteArray target = encoded(name), scratch = encoded(kScratchFile);
    if (old.kind == Entry::PlainFile
        && ::fstatat(fd, target.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0)
        permissions = status.st_mode & 07777;
    // A scratch file left by a save that was cut off is the program's own: it goes first.
    ::unlinkat(fd, scratch.constData(), 0);
    const int file = ::openat(fd, scratch.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, permissions);
    if (file < 0) {
        failure->error = qt_error_string(errno);
        return false;
    }
    // The creation mask must not narrow the old file's permissions.
    bool written = (old.kind != Entry::PlainFile || ::fchmod(file, permissions) == 0)
        && writeAll(file, bytes) && ::fsync(file) == 0;
    int reason = errno;
    if (::close(file) != 0 && written) {
        written = false;
        reason = errno;
    }
    // The rename replaces the name itself: whatever stands there now is never written through.
    if (written && ::renameat(fd, scratch.constData(), fd, target.constData()) == 0) {
        ::fsync(fd);
        return true;
    }
    if (written)
        reason = errno;
    ::unlinkat(fd, scratch.constData(), 0);
    failure->error = qt_error_string(reason);
    return false;
}

QString Folder::writeProblem() const
{
    if (fd < 0)
        return folderError;
    const QByteArray scratch = encoded(kScratchFile);
    ::unlinkat(fd, scratch.constData(), 0);
    const int file = ::openat(fd, scratch.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (file < 0)
        return qt_error_string(errno);
    ::close(file);
    ::unlinkat(fd, scratch.constData(), 0);
    return QString();
}

std::optional<qint64> Folder::freeSpace() const
{
    struct statvfs disk;
    if (fd < 0 || ::fstatvfs(fd, &disk) != 0)
        return std::nullopt;
    const quint64 bytes = quint64(disk.f_bavail) * disk.f_frsize;
    return qint64(qMin<quint64>(bytes, quint64(std::numeric_limits<qint64>::max())));
}

} // namespace session
