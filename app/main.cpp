#include "folderlock.h"
#include "form1.h"
#include "startmessages.h"
#include "windowservices.h"

#include <QApplication>
#include <QDir>

#ifdef Q_OS_WIN
#include "windowsdesktop.h"
#endif

int main(int argc, char *argv[])
{
    // The program takes no command-line options, Qt's own (-platform, -style, ...) included:
    // only the program's name is handed on.
    int nameOnly = argc > 0 ? 1 : 0;
    QApplication app(nameOnly, argv);
    QApplication::setApplicationName(ui::kProgramTitle);
#ifdef Q_OS_WIN
    app::keepWindowsOwnFrames();
#endif

    // One copy per working folder, decided before the window's load handling touches it. The
    // lock lives until main returns, after the event loop has ended.
    session::FolderLock lock(QDir::currentPath());
    const session::FolderLockResult locked = lock.take();
    if (locked.outcome != session::FolderLockOutcome::Locked) {
        ui::SystemServices().message(nullptr, ui::folderLockMessage(locked));
        if (locked.endsProgram())
            return 1;
    }
    // A copy that did not end normally may have been cut off mid-pull: said once, here.
    if (locked.tookOver) {
        bool opened = false;
        if (const auto cut = session::cutOffPull(session::readAllRecords(&opened)))
            ui::SystemServices().message(nullptr, ui::cutOffMessage(*cut));
    }

    ui::Form1 form;
    form.show();
    return app.exec();
}
