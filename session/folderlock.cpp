#include "folderlock.h"

#include "folder.h"
#include "ownfiles.h"
#include "processes.h"

#include <QDir>
#include <QSysInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace session {

namespace {

// An incomplete lock file younger than this may belong to a copy that is writing it right now.
constexpr qint64 kIncompleteLockSeconds = 60;
// Qt's lock files are a few short lines; anything longer is not one.
constexpr qint64 kLockFileBytes = 4096;

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

QString whatStands(const EntryInfo &entry)
{
    if (entry.kind == Entry::Link)
        return QStringLiteral("a link");
    return entry.folder ? QStringLiteral("a folder") : QStringLiteral("a pipe or a device");
}

} // namespace

ThisMachine ThisMachine::current()
{
    return {QSysInfo::machineHostName(), QSysInfo::machineUniqueId(), QSysInfo::bootUniqueId()};
}

LockVerdict judgeLockFile(const QByteArray &contents, qint64 ageSeconds, const ThisMachine &here,
                          const std::function<bool(qint64, const QString &)> &runs, LockHolder *holder)
{
    // Qt writes: process id, program, host name, machine id, boot id, one per line.
    QByteArrayList lines = contents.split('\n');
    for (QByteArray &line : lines)
        line = line.trimmed();
    bool number = false;
    const qint64 pid = lines.value(0).toLongLong(&number);
    if (!number || pid <= 0)
        return qAbs(ageSeconds) > kIncompleteLockSeconds ? LockVerdict::Stale : LockVerdict::Incomplete;
    *holder = {pid, QString::fromUtf8(lines.value(1)), QString::fromUtf8(lines.value(2))};
    const QByteArray machineId = lines.value(3), bootId = lines.value(4);

    bool sameMachine = holder->machine.isEmpty() || holder->machine.compare(here.hostName, Qt::CaseInsensitive) == 0;
    if (!machineId.isEmpty() && !here.machineId.isEmpty())
        sameMachine = machineId == here.machineId;
    if (!sameMachine)
        return LockVerdict::OtherMachine;
    if (!bootId.isEmpty() && !here.bootId.isEmpty() && bootId != here.bootId)
        return LockVerdict::Stale; // the machine was started again since
    return runs(pid, holder->program) ? LockVerdict::Live : LockVerdict::Stale;
}

// What stands under the lock's name, looked at without opening anything but a plain file: the
// outcome, or Locked when the name is free (a stale lock is removed first).
static FolderLockResult judgeWhatIsThere(const Folder &dir, FolderLockResult result)
{
    const EntryInfo entry = dir.look(kLockFile);
    if (entry.kind == Entry::Link || entry.kind == Entry::Other) {
        result.outcome = FolderLockOutcome::InTheWay;
        result.reason = whatStands(entry);
        return result;
    }
    result.outcome = FolderLockOutcome::Locked;
    if (entry.kind == Entry::Missing)
        return result;

    FileFailure failure;
    const std::optional<QByteArray> lock = dir.read(kLockFile, &failure, kLockFileBytes);
    if (!lock) {
        // Another user's lock: its copy may well run.
        result.outcome = failure.found == Entry::PlainFile ? FolderLockOutcome::HeldByAnotherCopy
                                                           : FolderLockOutcome::InTheWay;
        result.reason = failure.found == Entry::PlainFile ? QStringLiteral("unreadable")
                                                          : whatStands(dir.look(kLockFile));
        result.detail = failure.error;
        return result;
    }
    const qint64 age = entry.modified.secsTo(QDateTime::currentDateTimeUtc());
    switch (judgeLockFile(*lock, age, ThisMachine::current(), processRuns, &result.holder)) {
    case LockVerdict::Live:
        result.outcome = FolderLockOutcome::HeldByAnotherCopy;
        return result;
    case LockVerdict::Incomplete:
        result.outcome = FolderLockOutcome::HeldByAnotherCopy;
        result.reason = QStringLiteral("incomplete");
        return result;
    case LockVerdict::OtherMachine:
        result.outcome = FolderLockOutcome::HeldElsewhere;
        return result;
    case LockVerdict::Stale:
        break;
    }
    // Removed by name: whatever may have been put there since is not opened. Where the folder
    // refuses the removal, it refuses every other copy's writes too.
    QString error;
    if (!dir.remove(kLockFile, &error)) {
        result.outcome = FolderLockOutcome::CannotBeMade;
        result.reason = error;
    }
    result.tookOver = true;
    return result;
}

FolderLock::FolderLock(const QString &folder)
    : folder(QDir(folder).absolutePath()), file(QDir(folder).absoluteFilePath(kLockFile))
{
    // The program judges staleness itself before Qt is asked; Qt's own judgement by age is off.
    file.setStaleLockTime(0);
}

FolderLockResult FolderLock::take()
{
    FolderLockResult result;
    result.folder = folder;
    result.lockFile = file.fileName();
    const Folder dir(folder);
    if (!dir.openError().isEmpty()) {
        result.reason = dir.openError();
        return result;
    }
    // Twice at most: a lock made by another copy between the look and the take is judged anew.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const FolderLockResult there = judgeWhatIsThere(dir, result);
        if (there.outcome != FolderLockOutcome::Locked)
            return there;
        if (file.tryLock(0)) {
            result.outcome = FolderLockOutcome::Locked;
            result.tookOver = there.tookOver;
            return result;
        }
        if (file.error() != QLockFile::LockFailedError) {
            result.reason = systemReason(file.error());
            return result;
        }
    }
    result.outcome = FolderLockOutcome::HeldByAnotherCopy;
    return result;
}

} // namespace session
