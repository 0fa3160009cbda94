#include "startmessages.h"

#include "codepage.h"
#include "ownfiles.h"

#include <QCoreApplication>
#include <QDir>

namespace ui {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("ui", text); }

// "process 4242 (dovrel-mpeg-utility)", as the lock file names its copy.
QString processText(const session::LockHolder &holder)
{
    return holder.program.isEmpty() ? tr("process %1").arg(holder.pid)
                                    : tr("process %1, %2").arg(holder.pid).arg(holder.program);
}

// Why a copy that holds the folder on this machine holds it, and how the user gets out.
QString heldDetail(const session::FolderLockResult &lock, const QString &file)
{
    if (lock.reason == QLatin1String("unreadable"))
        return tr("Its lock file %1 cannot be read (%2), so it may belong to another user's "
                  "copy. If no copy runs there, delete that file, then start the program again.")
            .arg(file, lock.detail);
    if (lock.reason == QLatin1String("incomplete"))
        return tr("Its lock file %1 is not complete: a copy may be starting this moment. If none "
                  "is, start the program again in a minute; an incomplete lock file older than a "
                  "minute is taken over.")
            .arg(file);
    if (lock.holder.pid > 0)
        return tr("Its lock file %1 names %2.").arg(file, processText(lock.holder));
    return tr("Its lock file is %1.").arg(file);
}

} // namespace

QString folderLockMessage(const session::FolderLockResult &lock)
{
    const QString folder = QDir::toNativeSeparators(lock.folder);
    const QString file = u'"' + QDir::toNativeSeparators(lock.lockFile) + u'"';
    const QString ends = tr("This copy ends now without changing anything there.");
    switch (lock.outcome) {
    case session::FolderLockOutcome::Locked:
        return QString();
    case session::FolderLockOutcome::HeldByAnotherCopy:
        return tr("Another copy of the program is already running in this folder:\n%1\n\n%2\n\n%3")
            .arg(folder, heldDetail(lock, file), ends);
    case session::FolderLockOutcome::HeldElsewhere:
        return tr("A copy of the program on another computer, \"%1\", holds this folder:\n%2\n\nIts "
                  "lock file %3 names %4 there. If that copy no longer runs, delete that file, then "
                  "start the program again.\n\n%5")
            .arg(lock.holder.machine, folder, file, processText(lock.holder), ends);
    case session::FolderLockOutcome::InTheWay:
        return tr("The folder %1 holds %2 named \"%3\", where the program keeps the lock file that "
                  "keeps a second copy out of the folder. Move it away or delete it, then start the "
                  "program again.\n\n%4")
            .arg(folder, lock.reason, session::kLockFile, ends);
    case session::FolderLockOutcome::CannotBeMade:
        break;
    }
    return tr("The folder %1 cannot be written (%2): recordings, the log and the settings cannot be "
              "saved there.")
        .arg(folder, lock.reason);
}

QString cutOffMessage(const session::CutOffPull &cut)
{
    return tr("The program's last run in this folder did not end normally: it was pulling the "
              "recording to be saved as \"%1\", started %2 at %3, when it was cut off. Whatever "
              "ReplayPC wrote of it may lie in the folder under the recorder's file name, "
              "incomplete; the activity log \"%4\" has no finished record for it.")
        .arg(text::toUnicode(cut.target), text::toUnicode(cut.date), text::toUnicode(cut.time),
             session::kLogFile);
}

} // namespace ui
