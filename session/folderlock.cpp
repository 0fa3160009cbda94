#include "folderlock.h"

#include "ownfiles.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace session {

namespace {

// The system's words for the failure Qt has just reported. Read at once: Qt reports only the
// kind of failure, and the next system call replaces the code behind it.
QString systemReason(QLockFile::LockError kind)
{
#ifdef Q_OS_WIN
    // Qt reports a permission error only for ERROR_ACCESS_DENIED, and looks for the file after
    // it, which sets the last error anew.
    if (kind == QLockFile::PermissionError)
        return qt_error_string(ERROR_ACCESS_DENIED);
#else
    Q_UNUSED(kind);
#endif
    return qt_error_string(-1);
}

} // namespace

FolderLock::FolderLock(const QString &folder)
    : folder(QDir(folder).absolutePath()), file(QDir(folder).absoluteFilePath(kLockFile))
{
    // A session lasts hours: the lock's age says nothing. Only a holder that no longer runs
    // (or a system started again since) makes it stale.
    file.setStaleLockTime(0);
}

FolderLockResult FolderLock::take()
{
    FolderLockResult result;
    result.folder = folder;
    if (file.tryLock(0)) {
        result.outcome = FolderLockOutcome::Locked;
        return result;
    }
    // Only a file can hold the lock: a folder of that name stands in the way of every copy.
    if (file.error() == QLockFile::LockFailedError && !QFileInfo(file.fileName()).isDir()) {
        result.outcome = FolderLockOutcome::HeldByAnotherCopy;
        return result;
    }
    if (file.error() == QLockFile::LockFailedError) {
        result.reason = QStringLiteral("a folder named \"%1\" stands where the lock is kept").arg(kLockFile);
        result.outcome = FolderLockOutcome::CannotBeMade;
        return result;
    }
    result.reason = systemReason(file.error());
    result.outcome = FolderLockOutcome::CannotBeMade;
    return result;
}

} // namespace session
