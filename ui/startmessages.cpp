#include "startmessages.h"

#include <QCoreApplication>
#include <QDir>

namespace ui {

QString folderLockMessage(const session::FolderLockResult &lock)
{
    const QString folder = QDir::toNativeSeparators(lock.folder);
    switch (lock.outcome) {
    case session::FolderLockOutcome::Locked:
        return QString();
    case session::FolderLockOutcome::HeldByAnotherCopy:
        return QCoreApplication::translate(
                   "ui", "Another copy of the program is already running in this folder:\n%1\n\n"
                         "This copy ends now without changing anything there.")
            .arg(folder);
    case session::FolderLockOutcome::CannotBeMade:
        break;
    }
    return QCoreApplication::translate(
               "ui", "The folder %1 cannot be written (%2): recordings, the log and the "
                     "settings cannot be saved there.")
        .arg(folder, lock.reason);
}

} // namespace ui
