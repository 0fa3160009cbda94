#pragma once
// The main window: owns the run's state and handles every user action, one at a time.
#include "extraction.h"
#include "guide.h"
#include "sessionstate.h"
#include "shellandwait.h"
#include "windowservices.h"

#include <QByteArrayList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {

class Form2;

enum class Pointer { Busy, Arrow, Default };

class Form1 : public QWidget
{
    Q_OBJECT

public:
    // Builds the window from its table and runs its load handling; `services` defaults to the
    // real message box, beep and program end.
    explicit Form1(std::unique_ptr<WindowServices> services = nullptr);
    ~Form1() override;

    const session::SessionState &sessionState() const { return state; }
    Form2 *logWindow() const;

    bool FileExists(const QString &name) const;
    // Runs the command line to its end; a tool that cannot be started is reported here. The
    // result says whether it ran and how it ended.
    runner::RunResult ShellAndWait(const QByteArray &filename);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Handlers, named after control and event.
    void Form_Load();
    void Text9_Change();
    void Check1_Click();
    void GetGuide_Click();
    void List1_Click();
    void showEstimate();
    void Extract_Click();
    void LogView_Click();
    void Quit_Click();

    // What Get Guide's tools left: the guide's bytes, how any tool failed, or why there is
    // nothing to list.
    struct FetchedGuide
    {
        QByteArray bytes;
        QString failures;
        QString whyNot;
    };
    FetchedGuide fetchGuide();
    bool removeGuideFiles();
    QString noGuideReceived(const QString &why, const QString &failures) const;
    void fillList(int showCount);
    void reportGuideProblems(const QString &failures, const recordings::GuideParse &parse);
    void abandonGetGuide(const QString &why);

    void pullRecording(int k, int n, int s);
    QString refusalText(const recordings::PullCheck &check, const QByteArray &recorderFile) const;
    QString noRoomText(const recordings::SpaceCheck &space) const;
    QString fateText(const recordings::SaveOutcome &saved, const recordings::ToolEnd &tool,
                     const QString &toolFailure, const QByteArray &recorderFile,
                     const QByteArray &target) const;
    void noteFate(int s, const QByteArray &recorderFile, const QString &fate);

    // Small steps the handlers share.
    QByteArray address() const;
    void setBox(QLineEdit *box, const QByteArray &text);
    void setDelayBox(const QByteArray &text);
    bool isTicked(int row) const;
    int tickedRows() const;
    void untick(int row);
    void setPointer(Pointer pointer);
    void appendLog(const QByteArrayList &records);
    void reportLogProblem();
    void reportNotSaved();

    std::unique_ptr<WindowServices> services;
    session::SessionState state;
    QPointer<Form2> logView;
    QString logProblem;     // the failed log writes of the current handling: the first, and why
                            // later ones failed where the reason differs
    QStringList notSaved;   // recordings of the current session not saved cleanly under their names
    bool diskFilled = false; // the current session found the folder's disk full: it pulls no more
    QStringList logReasons;     // the reasons logProblem gives
    QStringList logReasonsSaid; // why the log could not be written, as said to the user this run
    QString pulling;            // the recording being pulled, for a log problem to name

    QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text9, *IPAddress;
    QCheckBox *Check1;
    QListWidget *List1;
    QPushButton *GetGuide, *Extract, *LogView, *Quit;
};

} // namespace ui
