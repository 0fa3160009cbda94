// The working folder on Windows: every call names folder\name in full, none follows a reparse
// point (a symbolic link, a junction or another kind), and a handle is used only once it is
// known to be a plain file on disk.
#include "folder_win.h"

#include "ownfiles.h"

#include <QDir>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <limits>

namespace session {

Entry entryOf(DWORD attributes, DWORD fileType)
{
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Entry::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return Entry::Link;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || fileType != FILE_TYPE_DISK)
        return Entry::Other;
    return Entry::PlainFile;
}

namespace {

// Kept for the tests that set it; Windows has the one way, so nothing reads it.
std::atomic<NoReplaceWay> firstRenameWay{NoReplaceWay::Exclusive};

const wchar_t *wide(const QString &text) { return reinterpret_cast<const wchar_t *>(text.utf16()); }

// The system's words for the failure just reported, read before another call replaces the code.
QString lastError() { return qt_error_string(int(GetLastError())); }

// A single name of the folder: anything else could reach outside it, or (after a colon) into a
// stream of another file.
bool singleName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c == QChar(0))
            return false;
    return true;
}

QString notSingleName(const QString &name)
{
    return QStringLiteral("\"%1\" is not a single name of the folder").arg(name);
}

QDateTime fromFileTime(const FILETIME &time)
{
    // Steps of 100 ns since 1601-01-01 UTC.
    constexpr qint64 msecsFrom1601To1970 = Q_INT64_C(11644473600000);
    const qint64 ticks = qint64((quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return QDateTime::fromMSecsSinceEpoch(ticks / 10000 - msecsFrom1601To1970, QTimeZone::utc());
}

// What an opened handle is: its type, and the attributes of what it opened (the link itself,
// when it was opened with FILE_FLAG_OPEN_REPARSE_POINT).
Entry entryOfHandle(HANDLE handle)
{
    const DWORD type = GetFileType(handle);
    if (type != FILE_TYPE_DISK)
        return entryOf(0, type);
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information))
        return Entry::Other;
    return entryOf(information.dwFileAttributes);
}

bool writeAll(HANDLE file, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = DWORD(qMin<qsizetype>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.constData() + done, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL); // nothing more fits, though the system named no reason
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

Folder::Folder() : Folder(QDir::currentPath()) {}

Folder::Folder(const QString &where) : folder(QDir::toNativeSeparators(QDir(where).absolutePath()))
{
    const DWORD attributes = GetFileAttributesW(wide(folder));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        folderError = lastError();
    else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        folderError = qt_error_string(ERROR_DIRECTORY);
}

Folder::~Folder() = default;

QString Folder::path(const QString &name) const
{
    // A drive's root ("C:\") ends in the separator already.
    return folder.endsWith(QLatin1Char('\\')) ? folder + name : folder + QLatin1Char('\\') + name;
}

void Folder::setFirstRenameWay(NoReplaceWay way) { firstRenameWay = way; }

EntryInfo Folder::look(const QString &name) const
{
    EntryInfo info;
    if (!folderError.isEmpty() || !singleName(name))
        return info;
    const QString full = path(name);
    // The attributes are read without opening the file's data: a device is not opened, a link
    // not followed, and a file another program holds without sharing is seen all the same.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(wide(full), GetFileExInfoStandard, &data)) {
        info.kind = entryOf(data.dwFileAttributes);
        info.folder = info.kind == Entry::Other && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        info.size = qint64((quint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        info.modified = fromFileTime(data.ftLastWriteTime);
        return info;
    }
    // A file whose attributes this user may not read, or one held in use (as the paging file),
    // still has its entry in the folder. Wildcards would match other names: such a name cannot
    // be a file's anyway.
    const DWORD reason = GetLastError();
    if (reason != ERROR_ACCESS_DENIED && reason != ERROR_SHARING_VIOLATION)
        return info;
    for (const QChar c : QStringLiteral("*?<>\""))
        if (name.contains(c))
            return info;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(wide(full), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return info;
    FindClose(search);
    info.kind = entryOf(found.dwFileAttributes);
    info.folder = info.kind == Entry::Other && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    info.size = qint64((quint64(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
    info.modified = fromFileTime(found.ftLastWriteTime);
    return info;
}

bool Folder::canRead(const QString &name) const
{
    if (!folderError.isEmpty() || !singleName(name))
        return false;
    const QString full = path(name);
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened; a link is opened itself and
    // refused below. A file another program holds without sharing cannot be opened: false.
    const HANDLE file = CreateFileW(wide(full), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool plain = entryOfHandle(file) == Entry::PlainFile;
    CloseHandle(file);
    return plain;
}

bool Folder::open(QFile &file, const QString &name, QIODevice::OpenMode mode, FileFailure *failure) const
{
    failure->found = Entry::PlainFile;
    if (!folderError.isEmpty() || !singleName(name)) {
        failure->error = folderError.isEmpty() ? notSingleName(name) : folderError;
        return false;
    }
    const bool append = mode & QIODevice::WriteOnly;
    const QString full = path(name);
    // Shared for reading and writing, as Qt opens files; the link itself is opened, never what
    // it leads to, so that it can be refused before anything is read or written.
    const HANDLE handle = CreateFileW(wide(full), append ? GENERIC_WRITE : GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      append ? OPEN_ALWAYS : OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure->error = lastError();
        const Entry there = entry(name);
        failure->found = there == Entry::Missing ? Entry::PlainFile : there;
        return false;
    }
    const Entry opened = entryOfHandle(handle);
    if (opened != Entry::PlainFile) {
        CloseHandle(handle);
        failure->found = opened;
        return false;
    }
    // The C runtime's descriptor owns the handle from here on; with _O_APPEND every write goes
    // to the end, wherever another writer left it.
    const int fd = _open_osfhandle(intptr_t(handle), append ? _O_APPEND : _O_RDONLY);
    if (fd < 0) {
        failure->error = qt_error_string(errno);
        CloseHandle(handle);
        return false;
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        failure->error = file.errorString();
        _close(fd);
        return false;
    }
    return true;
}

bool Folder::appendWhole(const QString &name, const QByteArray &bytes, FileFailure *failure) const
{
    QFile file;
    if (!open(file, name, QIODevice::WriteOnly | QIODevice::Append, failure))
        return false;
    const HANDLE handle = HANDLE(_get_osfhandle(file.handle()));
    LARGE_INTEGER before;
    LARGE_INTEGER end{};
    if (!GetFileSizeEx(handle, &before) || !SetFilePointerEx(handle, end, nullptr, FILE_END)) {
        failure->error = lastError();
        return false;
    }
    if (writeAll(handle, bytes))
        return true;
    const DWORD reason = GetLastError();
    // Cut back to the length before, so that the next write starts on a line of its own.
    if (SetFilePointerEx(handle, before, nullptr, FILE_BEGIN))
        SetEndOfFile(handle);
    failure->error = qt_error_string(int(reason));
    return false;
}

bool Folder::remove(const QString &name, QString *error) const
{
    QString reason;
    if (!folderError.isEmpty()) {
        reason = folderError;
    } else if (!singleName(name)) {
        reason = notSingleName(name);
    } else {
        const QString full = path(name);
        DWORD code = DeleteFileW(wide(full)) ? DWORD(ERROR_SUCCESS) : GetLastError();
        // A link to a folder (a junction or a directory link) goes as a folder does; that
        // removes the link alone. A real folder stays.
        if (code != ERROR_SUCCESS) {
            const DWORD attributes = GetFileAttributesW(wide(full));
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                code = RemoveDirectoryW(wide(full)) ? DWORD(ERROR_SUCCESS) : GetLastError();
        }
        if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND)
            reason = qt_error_string(int(code));
    }
    if (error)
        *error = reason;
    return reason.isEmpty();
}

RenameResult Folder::renameNoReplace(const QString &from, const QString &to) const
{
    RenameResult result;
    if (!folderError.isEmpty() || !singleName(from) || !singleName(to)) {
        result.error = !folderError.isEmpty() ? folderError : notSingleName(singleName(from) ? to : from);
        return result;
    }
    if (inUse(to)) {
        result.targetTaken = true;
        return result;
    }
    // Without MOVEFILE_REPLACE_EXISTING the move itself refuses a name taken since the look, and
    // without MOVEFILE_COPY_ALLOWED it never copies.
    const QString source = path(from), target = path(to);
    if (MoveFileExW(wide(source), wide(target), 0)) {
        result.renamed = true;
        return result;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
        result.targetTaken = true;
    else
        result.error = qt_error_string(int(code));
    return result;
}

bool Folder::replaceWhole(const QString &name, const QByteArray &bytes, FileFailure *failure) const
{
    failure->found = Entry::PlainFile;
    if (!folderError.isEmpty() || !singleName(name)) {
        failure->error = folderError.isEmpty() ? notSingleName(name) : folderError;
        return false;
    }
    const Entry old = entry(name);
    if (old == Entry::Link || old == Entry::Other) {
        failure->found = old;
        return false;
    }
    const QString target = path(name), scratch = path(kScratchFile);
    // A scratch file left by a save that was cut off is the program's own: it goes first.
    DeleteFileW(wide(scratch));
    const HANDLE file = CreateFileW(wide(scratch), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failure->error = lastError();
        return false;
    }
    bool written = writeAll(file, bytes) && FlushFileBuffers(file);
    DWORD reason = written ? DWORD(ERROR_SUCCESS) : GetLastError();
    if (!CloseHandle(file) && written) {
        written = false;
        reason = GetLastError();
    }
    bool done = false;
    if (written && old == Entry::PlainFile) {
        // The new file takes the old one's attributes and permissions.
        done = ReplaceFileW(wide(target), wide(scratch), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        if (!done)
            reason = GetLastError();
    }
    // A name that was free, or whose file went since the look, is given to the new file; without
    // MOVEFILE_REPLACE_EXISTING the move takes it from no other file.
    if (written && !done && (old == Entry::Missing || reason == ERROR_FILE_NOT_FOUND)) {
        done = MoveFileExW(wide(scratch), wide(target), MOVEFILE_WRITE_THROUGH);
        if (!done)
            reason = GetLastError();
    }
    if (done)
        return true;
    DeleteFileW(wide(scratch));
    failure->error = qt_error_string(int(reason));
    return false;
}

QString Folder::writeProblem() const
{
    if (!folderError.isEmpty())
        return folderError;
    const QString scratch = path(kScratchFile);
    DeleteFileW(wide(scratch));
    // The file goes when its handle is closed, also when the program ends before that.
    const HANDLE file = CreateFileW(wide(scratch), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_DELETE_ON_CLOSE,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    CloseHandle(file);
    return QString();
}

std::optional<qint64> Folder::freeSpace() const
{
    ULARGE_INTEGER available;
    if (!folderError.isEmpty() || !GetDiskFreeSpaceExW(wide(path(QString())), &available, nullptr, nullptr))
        return std::nullopt;
    return qint64(qMin<ULONGLONG>(available.QuadPart, ULONGLONG(std::numeric_limits<qint64>::max())));
}

} // namespace session
