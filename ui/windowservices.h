#pragma once
// The window's one seam to the user and the process: message boxes, the beep, the tools' runs
// and the end of the program. Tests put a recorder in its place instead of blocking on a modal
// box, and may stand in for a tool's run.
#include "folder.h"
#include "shellandwait.h"

#include <QString>

class QWidget;

namespace ui {

extern const QString kProgramTitle;

class WindowServices
{
public:
    virtual ~WindowServices() = default;
    // A modal box over `parent` with `text`, a single OK button and the program's title.
    virtual void message(QWidget *parent, const QString &text) = 0;
    virtual void beep() = 0;
    // Runs a tool's command line to its end.
    virtual runner::RunResult run(const QByteArray &commandLine) { return runner::runAndWait(commandLine); }
    // The bytes free on the working folder's disk; none when the system does not say.
    virtual std::optional<qint64> freeSpace() { return session::Folder().freeSpace(); }
    // Ends the program at once; no close events are sent.
    virtual void endProgram() = 0;
};

class SystemServices final : public WindowServices
{
public:
    void message(QWidget *parent, const QString &text) override;
    void beep() override;
    void endProgram() override;
};

} // namespace ui
