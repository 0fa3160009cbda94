#pragma once
// Keeps a second copy of the program out of its working folder: a lock file ("DOVLUTIL.LCK")
// held for the whole run. A lock left by a copy that died is taken over at once; one whose copy
// still runs is never taken, however old it is.
#include <QLockFile>
#include <QString>

namespace session {

enum class FolderLockOutcome {
    Locked,            // this copy holds the folder
    HeldByAnotherCopy, // a running copy holds it
    CannotBeMade,      // the lock file cannot be created there (read-only folder, disk full ...)
};

struct FolderLockResult
{
    FolderLockOutcome outcome = FolderLockOutcome::CannotBeMade;
    QString folder; // the folder's absolute path
    QString reason; // the system's reason, for CannotBeMade
};

class FolderLock
{
public:
    // The lock of `folder`, not yet taken.
    explicit FolderLock(const QString &folder);
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Tries once, without waiting. While this object lives, a Locked lock stays held; the lock
    // file is removed when it is destroyed.
    FolderLockResult take();

private:
    QString folder;
    QLockFile file;
};

} // namespace session
