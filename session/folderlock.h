#pragma once
// Keeps a second copy of the program out of its working folder: a lock file ("DOVLUTIL.LCK")
// held for the whole run. What stands under the lock's name is looked at before anything opens
// it, and the program judges for itself whether a lock file left there is stale: one whose copy
// no longer runs on this machine, or one left empty or garbled for more than a minute (a copy
// that died while writing it). A lock whose copy still runs is never taken, however old it is;
// neither is one written on another machine, nor one this user cannot read.
#include <QByteArray>
#include <QLockFile>
#include <QString>

#include <functional>

namespace session {

enum class FolderLockOutcome {
    Locked,            // this copy holds the folder
    HeldByAnotherCopy, // a copy on this machine holds it, or may: see `reason`
    HeldElsewhere,     // a lock written by a copy on another machine
    InTheWay,          // something that is not a lock file stands under its name
    CannotBeMade,      // nothing can be written there (read-only folder, disk full ...)
};

// The copy a lock file names.
struct LockHolder
{
    qint64 pid = 0;
    QString program;
    QString machine;
};

struct FolderLockResult
{
    FolderLockOutcome outcome = FolderLockOutcome::CannotBeMade;
    QString folder;   // the folder's absolute path
    QString lockFile; // the lock file's absolute path
    // CannotBeMade: the system's reason. InTheWay: what stands there ("a link", "a folder", "a
    // pipe or a device"). HeldByAnotherCopy: why the lock was not judged ("unreadable" with
    // `detail`, "incomplete"), or empty when its copy runs.
    QString reason;
    QString detail;
    LockHolder holder; // HeldByAnotherCopy, HeldElsewhere: as the lock file names it
    bool tookOver = false; // Locked: a stale lock of a copy that did not end normally was removed

    // Whether this copy must end: only a folder where nothing can be written is run without the
    // lock, since no other copy can write there either.
    bool endsProgram() const
    {
        return outcome != FolderLockOutcome::Locked && outcome != FolderLockOutcome::CannotBeMade;
    }
};

// Who this machine is, as lock files name machines.
struct ThisMachine
{
    QString hostName;
    QByteArray machineId;
    QByteArray bootId;
    static ThisMachine current();
};

enum class LockVerdict { Stale, Live, Incomplete, OtherMachine };

// The verdict on a lock file's contents, `ageSeconds` after its last change. `runs` tells whether
// a process of this machine runs that program.
LockVerdict judgeLockFile(const QByteArray &contents, qint64 ageSeconds, const ThisMachine &here,
                          const std::function<bool(qint64, const QString &)> &runs, LockHolder *holder);

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
