#pragma once
// What the GUI tests share: a fresh working directory per test, a recorder in place of the
// message box / beep / program end, and access to controls by name.
#include "form1.h"
#include "windowservices.h"
#include "workdir.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

#include <functional>
#include <memory>
#include <optional>

struct Seen
{
    QStringList messages;
    int beeps = 0;
    int ends = 0;
    // Runs while a message box would be shown, as a user acting while it is up.
    std::function<void()> duringMessage;
    // Runs at each beep, as a user watching the window mid-session.
    std::function<void()> duringBeep;
    // Stands in for the run of a command line when it gives a result; else the tool runs.
    std::function<std::optional<runner::RunResult>(const QByteArray &)> runInstead;
    // The free space the window is told of, asked before and after each pull; unset, plenty:
    // the stand-in recordings are estimated at gigabytes.
    std::function<std::optional<qint64>()> freeSpace;
};

class RecordingServices : public ui::WindowServices
{
public:
    explicit RecordingServices(Seen &seen) : seen(seen) {}
    void message(QWidget *, const QString &text) override;
    void beep() override
    {
        ++seen.beeps;
        if (seen.duringBeep)
            seen.duringBeep();
    }
    runner::RunResult run(const QByteArray &commandLine) override;
    void endProgram() override { ++seen.ends; }
    std::optional<qint64> freeSpace() override
    {
        return seen.freeSpace ? seen.freeSpace() : std::optional<qint64>(qint64(1) << 50);
    }

private:
    Seen &seen;
};

std::unique_ptr<ui::Form1> makeForm(Seen &seen);

// Copies the built recorder simulator into the working directory as ReplayPC and PShell.exe.
bool installSimulator();
// Every file of the working directory with its content, to see that nothing was lost or changed.
QMap<QString, QByteArray> snapshot();

// The recorder simulator installed in the working directory, running fast and recording every
// command line it receives.
class Simulator
{
public:
    Simulator();
    ~Simulator();
    bool installed() const { return ok; }
    // The recorder's recordings, one per row: title, quality, recorded, file name, duration and
    // an optional fault ("nofile", "fail"), as the simulator reads them.
    void setRecordings(const QList<QByteArrayList> &rows);
    // Each command line received, arguments joined by TABs.
    QStringList calls() const;

private:
    bool ok = false;
    QString logPath;
};

// One recording of the simulated recorder.
QByteArrayList recording(const QByteArray &title, const QByteArray &fileName,
                         const QByteArray &recorded = "12/21/2002 8:00 PM",
                         const QByteArray &quality = "Standard", const QByteArray &duration = "30",
                         const QByteArray &fault = QByteArray());

// A shown main window that has fetched the guide of a recorder holding `rows`.
std::unique_ptr<ui::Form1> formWithGuide(Seen &seen, Simulator &sim, const QList<QByteArrayList> &rows);

// Types the address and clicks Get Guide.
void getGuide(ui::Form1 *form, const QString &address = QStringLiteral("192.168.0.20"));
void clickButton(QWidget *window, const char *name);
// Replaces what the box holds by typing, as a user does: Ctrl+A, Delete, then the text.
void typeInto(QLineEdit *box, const QString &text);

// Row `n` of the list. A missing row fails the test, and a stand-in item that belongs to no list
// is returned, so that the test goes on to its end without touching a null pointer.
QListWidgetItem &rowItem(QListWidget *list, int n);

// Clicks row `row` of the list as a user would, on the row's text.
void clickRow(QListWidget *list, int row);

#ifdef Q_OS_WIN
// Holds a file open the way another program may on Windows, sharing nothing: while it lives
// the file can be neither read, written, renamed over nor deleted.
class ExclusiveLock
{
public:
    explicit ExclusiveLock(const QString &name);
    ~ExclusiveLock();
    ExclusiveLock(const ExclusiveLock &) = delete;
    ExclusiveLock &operator=(const ExclusiveLock &) = delete;
    bool held() const;

private:
    void *handle;
};
#endif

template <class T>
T *control(const QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}
