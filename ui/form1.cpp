#include "form1.h"

#include "accessibility.h"
#include "activitylog.h"
#include "clocktext.h"
#include "codepage.h"
#include "commandlines.h"
#include "controls.h"
#include "estimate.h"
#include "extraction.h"
#include "fileexists.h"
#include "form2.h"
#include "guide.h"
#include "numeric.h"
#include "settingsfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPair>
#include <QPushButton>
#include <QScreen>

namespace ui {

namespace {

QByteArray withoutTrailingSpaces(QByteArray text)
{
    while (text.endsWith(' '))
        text.chop(1);
    return text;
}

QString quoted(const QByteArray &name) { return u'"' + text::toUnicode(name) + u'"'; }

// Why one of the program's own files was not written, for a message.
QString fileFailureText(const session::FileFailure &failure)
{
    switch (failure.found) {
    case session::Entry::Link:
        return Form1::tr("it is a link, which the program does not follow: nothing was written "
                         "through it. Replace the link with a plain file");
    case session::Entry::Other:
        return Form1::tr("it is not a plain file");
    default:
        return failure.error;
    }
}

// " ReplayPC ended with failure status 1." for each tool that ran and failed, or empty.
QString toolFailures(const QList<QPair<QString, runner::RunResult>> &runs)
{
    QString text;
    for (const auto &run : runs) {
        const QString failure = runner::failureText(run.first, run.second);
        if (!failure.isEmpty())
            text += u' ' + failure + u'.';
    }
    return text;
}

} // namespace

Form1::Form1(std::unique_ptr<WindowServices> services_)
    : services(services_ ? std::move(services_) : std::make_unique<SystemServices>())
{
    buildWindow(this, form1Spec());
    const auto box = [this](const char *name) {
        return findChild<QLineEdit *>(QString::fromLatin1(name));
    };
    const auto button = [this](const char *name) {
        return findChild<QPushButton *>(QString::fromLatin1(name));
    };
    Text1 = box("Text1"), Text2 = box("Text2"), Text3 = box("Text3"), Text4 = box("Text4");
    Text5 = box("Text5"), Text6 = box("Text6"), Text7 = box("Text7"), Text9 = box("Text9");
    IPAddress = box("IPAddress");
    Check1 = findChild<QCheckBox *>(QStringLiteral("Check1"));
    List1 = findChild<QListWidget *>(QStringLiteral("List1"));
    GetGuide = button("GetGuide"), Extract = button("Extract");
    LogView = button("LogView"), Quit = button("Quit");
    describeSavingAs(Text7, false);

    // toggled, not clicked: the handling must also run when the program changes the tick.
    connect(Text9, &QLineEdit::textChanged, this, &Form1::Text9_Change);
    connect(Check1, &QCheckBox::toggled, this, &Form1::Check1_Click);
    connect(List1, &QListWidget::itemChanged, this, &Form1::List1_Click);
    connect(GetGuide, &QPushButton::clicked, this, &Form1::GetGuide_Click);
    connect(Extract, &QPushButton::clicked, this, &Form1::Extract_Click);
    connect(LogView, &QPushButton::clicked, this, &Form1::LogView_Click);
    connect(Quit, &QPushButton::clicked, this, &Form1::Quit_Click);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Form_Load();
}

Form1::~Form1() { delete logView.data(); }

Form2 *Form1::logWindow() const { return logView; }

// ---- Start-up, delay controls and Exit ----

void Form1::Form_Load()
{
    if (const auto saved = session::loadSettings()) {
        state.SavedAddress = saved->address;
        state.DelaySetting = saved->delay;
        IPAddress->setText(text::toUnicode(withoutTrailingSpaces(state.SavedAddress)));
        setDelayBox(withoutTrailingSpaces(state.DelaySetting));
        Check1->setChecked(state.DelaySetting == "Default");
    } else {
        state.DelaySetting = QByteArray("Default");
        setDelayBox(QByteArray("Default"));
    }
    session::removeIfPresent(session::kGuideText);
    session::removeIfPresent(session::kGuideData);
    state.GuideFetched = false;
    state.DownloadActive = false;
    // A log that is not a plain file is never opened here: the write below names the problem.
    if (session::entryAt(session::kLogFile) != session::Entry::PlainFile || !FileExists(session::kLogFile))
        appendLog(session::groups::logStart(text::dateTextNow()));
    reportLogProblem();
}

void Form1::Text9_Change() { state.DelaySetting = text::fromUnicode(Text9->text()); }

void Form1::Check1_Click()
{
    if (Check1->isChecked()) {
        setDelayBox(QByteArray("Default"));
        state.DelaySetting = QByteArray("Default");
    } else {
        setDelayBox(QByteArray());
    }
}

void Form1::Quit_Click()
{
    if (state.DownloadActive)
        return;
    if (!IPAddress->text().isEmpty() && state.ShowCount > 0) {
        session::removeIfPresent(session::kGuideData);
        session::removeIfPresent(session::kGuideText);
        appendLog(session::groups::programExit());
    }
    session::FileFailure failure;
    if (!session::saveSettings(address(), state.DelaySetting, &failure))
        services->message(this, tr("The settings could not be saved to \"%1\": %2")
                                    .arg(session::kSettingsFile, fileFailureText(failure)));
    reportLogProblem();
    services->endProgram();
}

// Closing the window through the window system ends the program without any of Exit's steps.
void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (logView)
        logView->close();
    services->endProgram();
}

// ---- Get Guide ----

void Form1::GetGuide_Click()
{
    if (state.GuideFetched)
        return;
    if (IPAddress->text().isEmpty()) {
        services->message(this, QStringLiteral("Need IP Address"));
        return;
    }
    if (Text9->text().isEmpty()) {
        services->message(this, QStringLiteral("Need delay factor 0 - 48 or check ReplayPC Default"));
        return;
    }
    setPointer(Pointer::Busy);
    setBox(Text3, QByteArray("Getting Guide"));
    setBox(Text1, text::dateTextNow());
    repaint(); // the tools block the window: show the status before they run

    // The list must come from this fetch: the files of an earlier try would be converted or read
    // again when a tool fails now.
    if (!removeGuideFiles()) {
        abandonGetGuide(tr("The guide files of an earlier try (\"%1\", \"%2\") could not be "
                           "removed, so a new guide could not be told from them. Check that the "
                           "folder and the files may be changed, then try again.")
                            .arg(session::kGuideText, session::kGuideData));
        return;
    }
    // A tool whose end was not seen may still be writing the guide: none of it is listed.
    const auto stillRunning = [this](const QString &tool) {
        abandonGetGuide(tr("No guide was listed: %1 may still be writing it. Try again when it has "
                           "ended.").arg(tool));
    };
    const runner::RunResult fetch = ShellAndWait(runner::fetchGuideCommand(address()));
    if (fetch.mayStillRun)
        return stillRunning(QStringLiteral("ReplayPC"));
    const runner::RunResult convert = ShellAndWait(runner::convertGuideCommand());
    if (convert.mayStillRun)
        return stillRunning(QStringLiteral("PShell.exe"));
    const QString failures = toolFailures({{QStringLiteral("ReplayPC"), fetch},
                                           {QStringLiteral("PShell.exe"), convert}});

    QFile guide(session::kGuideText);
    if (!guide.open(QIODevice::ReadOnly)) {
        abandonGetGuide(tr("No guide was received from the recorder: \"%1\" could not be opened "
                           "(%2).%3 Check the address and try again.")
                            .arg(session::kGuideText, guide.errorString(), failures));
        return;
    }
    state.GuideFetched = true;
    const recordings::GuideParse parse = recordings::parseGuide(guide.readAll(), state.Shows);
    for (int i = 0; i < parse.showCount; ++i) {
        auto *row = new QListWidgetItem(text::toUnicode(state.Shows.ListLine[i]));
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
        List1->addItem(row);
    }
    state.ShowCount = qint16(parse.showCount);
    guide.close();
    setBox(Text2, ' ' + QByteArray::number(state.ShowCount));
    int tickedRows = 0;
    for (int row = 0; row < List1->count(); ++row)
        tickedRows += isTicked(row);
    setBox(Text5, QByteArray::number(tickedRows));
    setBox(Text3, QByteArray());
    setPointer(Pointer::Arrow);
    state.GuideFetched = true;

    if (!failures.isEmpty())
        services->message(this, tr("The guide was listed, but it may be incomplete:%1").arg(failures));
    if (parse.endedInsideRecord)
        services->message(this, tr("The guide ended inside a show record; that show was left out."));
    if (parse.moreThanTable)
        services->message(this, tr("The guide holds more than %1 shows; only the first %1 shows "
                                   "are listed.").arg(session::kMaxShows));
}

// Deletes "guide.txt" and "guide.dat"; false when either is still there to be read.
bool Form1::removeGuideFiles()
{
    session::removeIfPresent(session::kGuideText);
    session::removeIfPresent(session::kGuideData);
    return !QFileInfo::exists(session::kGuideText) && !QFileInfo::exists(session::kGuideData);
}

// Get Guide gave up before a list was made: the status and the date go, the user may try again.
void Form1::abandonGetGuide(const QString &why)
{
    setBox(Text3, QByteArray());
    setBox(Text1, QByteArray());
    setPointer(Pointer::Default);
    services->message(this, why);
}

// ---- Selection estimate ----

void Form1::List1_Click()
{
    if (state.DownloadActive) {
        List1->setEnabled(false);
        return;
    }
    List1->setEnabled(true);
    const recordings::Estimate estimate = recordings::estimateSelection(
        state.Shows, state.ShowCount, [this](int row) { return isTicked(row); });
    state.TaggedCount = estimate.taggedCount;
    state.TaggedBytes = estimate.taggedBytes;
    state.TaggedMinutes = estimate.taggedMinutes;
    setBox(Text5, QByteArray::number(state.TaggedCount));
    setBox(Text6, text::numberText(state.TaggedBytes));
    setBox(Text7, recordings::hoursText(state.TaggedMinutes));
}

// ---- Extraction session ----

void Form1::Extract_Click()
{
    if (state.DownloadActive || state.TaggedCount == 0)
        return;
    state.DownloadActive = true;
    describeSavingAs(Text7, true);
    int n = 0;
    appendLog(session::groups::sessionStart(text::dateTextNow(), text::timeTextNow()));
    setPointer(Pointer::Busy);

    std::array<int, session::kQueuePositions> DownloadShowIndex{};
    for (int i = 0; i < state.ShowCount; ++i) {
        if (isTicked(i)) {
            ++n;
            state.DownloadQueue[n] = state.Shows.ShowFileName[i];
            DownloadShowIndex[n] = i;
        }
    }
    notSaved.clear();
    for (int k = 1; k <= n; ++k)
        pullRecording(k, DownloadShowIndex[k]);

    setBox(Text3, QByteArray("Session End"));
    setBox(Text4, QByteArray());
    appendLog(session::groups::sessionEnd());
    setPointer(Pointer::Default);
    state.DownloadActive = false;
    setBox(Text7, QByteArray());
    describeSavingAs(Text7, false);
    reportNotSaved();
    reportLogProblem();
}

// Pulls queue position k, show s: name, started record, tool run, row cleared, beep, finished
// records, rename.
void Form1::pullRecording(int k, int s)
{
    const QByteArray &recorderName = state.DownloadQueue[k];
    const QByteArray recorderFile = recordings::recorderFile(recorderName);
    setBox(Text3, QByteArray("Downloading "));
    setBox(Text4, recorderName);
    const QString refusal = refusalToPull(recorderName);
    if (!refusal.isEmpty()) {
        setBox(Text7, QByteArray()); // nothing is saved for it
        untick(s);
        notSaved << tr("%1 was not pulled: %2.").arg(quoted(recorderFile), refusal);
        return;
    }
    QByteArray target = recordings::targetName(state.Shows.ShowTitle[s], state.Shows.ShowRecorded[s]);
    target = recordings::stepAwayFromExisting(target, [this](const QByteArray &name) {
        return FileExists(text::toUnicode(name));
    });
    appendLog(session::groups::started(target, text::timeTextNow(), state.DelaySetting));
    setBox(Text7, target);
    repaint(); // an unattended session shows which recording it is on

    const runner::RunResult tool =
        ShellAndWait(runner::extractCommand(address(), recorderFile, state.DelaySetting));
    untick(s);
    services->beep();
    appendLog(session::groups::finished(target, text::timeTextNow()));
    renameRecording(recorderFile, target, tool);
}

// Why a recording must not be handed to the tool, or empty. A name that could reach outside the
// working directory is never passed on, and neither is one that names a file already there: the
// tool would write over it and the rename would carry it off (the log, the settings, a tool).
QString Form1::refusalToPull(const QByteArray &recorderFileName) const
{
    const QString unsafe = recordings::unsafeRecorderFileReason(recorderFileName);
    if (!unsafe.isEmpty())
        return unsafe;
    const QString name = text::toUnicode(recordings::recorderFile(recorderFileName));
    // FileExists misses a file that cannot be read; it would be overwritten all the same.
    if (FileExists(name) || QFileInfo::exists(name) || QFileInfo(name).isSymLink())
        return tr("a file of that name is already in the folder; move it away and pull the "
                  "recording again");
    return QString();
}

// Renames the tool's file to the target name; an existing file is never replaced. A recording
// whose tool failed, crashed or left an empty file is listed with the name it now has.
void Form1::renameRecording(const QByteArray &recorderFileName, const QByteArray &target,
                            const runner::RunResult &tool)
{
    // A tool whose end was not seen may still be writing its file: it is left where it is.
    if (tool.mayStillRun) {
        notSaved << tr("%1 was not saved as %2: the end of ReplayPC could not be awaited; whatever "
                       "it wrote lies in the folder as %1.")
                        .arg(quoted(recorderFileName), quoted(target));
        return;
    }
    const QString from = text::toUnicode(recorderFileName);
    const QString to = text::toUnicode(target);
    const QString failure = runner::failureText(QStringLiteral("ReplayPC"), tool);
    if (!FileExists(from)) {
        notSaved << tr("%1 was not saved as %2: ReplayPC left no file named %1%3.")
                        .arg(quoted(recorderFileName), quoted(target),
                             failure.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(failure));
        return;
    }
    const bool empty = QFileInfo(from).size() == 0;
    QString liesAs = quoted(target);
    // A recording the recorder already named as its target needs no rename.
    if (recorderFileName != target) {
        QFile file(from);
        if (!file.rename(to)) {
            const QString reason = QFileInfo::exists(to) ? tr("%1 already exists").arg(quoted(target))
                                                         : file.errorString();
            notSaved << tr("%1 was not saved as %2: %3; the recording stays as %1.")
                            .arg(quoted(recorderFileName), quoted(target), reason);
            liesAs = quoted(recorderFileName);
        }
    }
    if (!failure.isEmpty() || empty)
        notSaved << tr("%1 may be incomplete: %2. It now lies in the folder as %3.")
                        .arg(quoted(recorderFileName),
                             failure.isEmpty() ? tr("ReplayPC left an empty file") : failure, liesAs);
}

void Form1::reportNotSaved()
{
    if (notSaved.isEmpty())
        return;
    services->message(this, tr("Some recordings of this session need your attention:\n\n")
                                + notSaved.join(u'\n'));
    notSaved.clear();
}

// ---- View Log ----

void Form1::LogView_Click()
{
    if (state.DownloadActive)
        return;
    if (!logView) {
        logView = new Form2();
        // Closing it through the window system unloads it; the next View Log reads anew.
        logView->setAttribute(Qt::WA_DeleteOnClose);
        logView->Form_Load();
    }
    logView->show();
    logView->raise();
    logView->activateWindow();
}

// ---- Helpers of the window ----

bool Form1::FileExists(const QString &name) const { return session::FileExists(name); }

runner::RunResult Form1::ShellAndWait(const QByteArray &filename)
{
    const runner::RunResult result = services->run(filename);
    if (!result.started)
        services->message(this, result.error);
    return result;
}

QByteArray Form1::address() const { return text::fromUnicode(IPAddress->text()); }

void Form1::setBox(QLineEdit *box, const QByteArray &text)
{
    box->setText(text::toUnicode(text));
    box->setCursorPosition(0); // show the start of a long name
}

// Setting the box to the text it already holds raises no change, so copy it here as well.
void Form1::setDelayBox(const QByteArray &text)
{
    const QString unicode = text::toUnicode(text);
    if (Text9->text() == unicode)
        Text9_Change();
    else
        Text9->setText(unicode);
}

bool Form1::isTicked(int row) const
{
    const QListWidgetItem *item = List1->item(row);
    return item && item->checkState() == Qt::Checked;
}

// Clearing a tick raises the list's click handling, nested in this step.
void Form1::untick(int row)
{
    if (QListWidgetItem *item = List1->item(row))
        item->setCheckState(Qt::Unchecked);
}

void Form1::setPointer(Pointer pointer)
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (pointer == Pointer::Busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else if (pointer == Pointer::Arrow)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
}

void Form1::appendLog(const QByteArrayList &records)
{
    session::FileFailure failure;
    if (!session::appendRecords(records, &failure) && logProblem.isEmpty())
        logProblem = tr("The activity log \"%1\" could not be written: %2")
                         .arg(session::kLogFile, fileFailureText(failure));
}

// At most one message per handling, shown when the handling has done its work.
void Form1::reportLogProblem()
{
    if (logProblem.isEmpty())
        return;
    services->message(this, logProblem);
    logProblem.clear();
}

} // namespace ui
