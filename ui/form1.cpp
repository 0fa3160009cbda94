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
#include "fitmessage.h"
#include "form2.h"
#include "guide.h"
#include "numeric.h"
#include "settingsfile.h"
#include "textreader.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPair>
#include <QPushButton>
#include <QScreen>

namespace ui {

namespace {

QString quoted(const QByteArray &name) { return u'"' + text::toUnicode(name) + u'"'; }

// Why one of the program's own files was not written, for a message.
QString fileFailureText(const session::FileFailure &failure)
{
    switch (failure.found) {
    case session::Entry::Link:
        return Form1::tr("it is a link, which the program does not follow: nothing was read or "
                         "written through it. Replace the link with a plain file");
    case session::Entry::Other:
        return Form1::tr("it is not a plain file");
    default:
        return failure.error;
    }
}

// "a folder", "a link", ...: what stands under a name, for a sentence about it.
QString whatStandsThere(const session::EntryInfo &entry)
{
    switch (entry.kind) {
    case session::Entry::PlainFile:
        return Form1::tr("a file");
    case session::Entry::Link:
        return Form1::tr("a link");
    case session::Entry::Other:
        return entry.folder ? Form1::tr("a folder") : Form1::tr("a pipe or a device");
    case session::Entry::Missing:
        break;
    }
    return Form1::tr("something"); // gone again since it was seen
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
        IPAddress->setText(text::toUnicode(text::withoutTrailingBlanks(state.SavedAddress)));
        setDelayBox(text::withoutTrailingBlanks(state.DelaySetting));
        Check1->setChecked(state.DelaySetting == "Default");
    } else {
        state.DelaySetting = QByteArray("Default");
        setDelayBox(QByteArray("Default"));
        // A link or another entry in the settings' place is said now, not only when Exit fails.
        const session::Entry found = session::entryAt(session::kSettingsFile);
        if (found == session::Entry::Link || found == session::Entry::Other)
            services->message(this, tr("The settings in \"%1\" were not read: %2.")
                                        .arg(session::kSettingsFile, fileFailureText({found, QString()})));
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
    const FetchedGuide guide = fetchGuide();
    if (!guide.whyNot.isEmpty())
        return abandonGetGuide(guide.whyNot);
    const recordings::GuideParse parse = recordings::parseGuide(guide.bytes, state.Shows);
    // A tool failed and nothing came of it: the user may try again, as with no guide at all.
    if (parse.showCount == 0 && !guide.failures.isEmpty())
        return abandonGetGuide(noGuideReceived(tr("\"%1\" holds no show.").arg(session::kGuideText),
                                               guide.failures));
    state.GuideFetched = true;
    fillList(parse.showCount);
    state.ShowCount = qint16(parse.showCount);
    setBox(Text2, ' ' + QByteArray::number(state.ShowCount));
    setBox(Text5, QByteArray::number(tickedRows()));
    setBox(Text3, QByteArray());
    setPointer(Pointer::Arrow);
    state.GuideFetched = true;
    reportGuideProblems(guide.failures, parse);
}

// Runs the two tools into a folder cleared of earlier guide files and reads what they left.
// The list must come from this fetch: the files of an earlier try would be converted or read
// again when a tool fails now.
Form1::FetchedGuide Form1::fetchGuide()
{
    FetchedGuide guide;
    if (const QString problem = session::folderWriteProblem(); !problem.isEmpty()) {
        guide.whyNot = tr("No guide can be fetched: the folder \"%1\" cannot be written (%2), and "
                          "the tools leave the guide there. Start the program in a folder you may "
                          "write to, or make this one writable, then try again.")
                           .arg(QDir::toNativeSeparators(QDir::currentPath()), problem);
        return guide;
    }
    if (!removeGuideFiles()) {
        guide.whyNot = tr("The guide files of an earlier try (\"%1\", \"%2\") could not be "
                          "removed, so a new guide could not be told from them. Check that the "
                          "folder and the files may be changed, then try again.")
                           .arg(session::kGuideText, session::kGuideData);
        return guide;
    }
    // A tool whose end was not seen may still be writing the guide: none of it is listed.
    const auto stillRunning = [this](const QString &tool) {
        return tr("No guide was listed: %1 may still be writing it. Try again when it has ended.")
            .arg(tool);
    };
    const runner::RunResult fetch = ShellAndWait(runner::fetchGuideCommand(address()));
    if (fetch.mayStillRun) {
        guide.whyNot = stillRunning(QStringLiteral("ReplayPC"));
        return guide;
    }
    const runner::RunResult convert = ShellAndWait(runner::convertGuideCommand());
    if (convert.mayStillRun) {
        guide.whyNot = stillRunning(QStringLiteral("PShell.exe"));
        return guide;
    }
    // A tool that is not there is the cause, whatever the address.
    QStringList missing;
    if (fetch.notFound)
        missing << QStringLiteral("ReplayPC");
    if (convert.notFound)
        missing << QStringLiteral("PShell.exe");
    if (!missing.isEmpty()) {
        guide.whyNot = tr("No guide can be fetched without the recorder's tools: %1 could not be found "
                          "or run in the folder \"%2\" (nor on the search path). The tools belong "
                          "beside the program, in the folder it is started in; put them there, then "
                          "try again.")
                           .arg(missing.join(tr(" and ")), QDir::toNativeSeparators(QDir::currentPath()));
        return guide;
    }
    guide.failures = toolFailures({{QStringLiteral("ReplayPC"), fetch},
                                   {QStringLiteral("PShell.exe"), convert}});
    session::FileFailure failure;
    const std::optional<QByteArray> read = session::Folder().read(session::kGuideText, &failure);
    if (!read) {
        guide.whyNot = noGuideReceived(tr("\"%1\" could not be opened (%2).")
                                           .arg(session::kGuideText, fileFailureText(failure)),
                                       guide.failures);
        return guide;
    }
    guide.bytes = *read;
    return guide;
}

QString Form1::noGuideReceived(const QString &why, const QString &failures) const
{
    return tr("No guide was received from the recorder: %1%2 Check the address and try again.")
        .arg(why, failures);
}

// One row per show, unticked, in show order.
void Form1::fillList(int showCount)
{
    for (int i = 0; i < showCount; ++i) {
        auto *row = new QListWidgetItem(text::toUnicode(state.Shows.ListLine[i]));
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
        List1->addItem(row);
    }
}

// What the user should know about a guide that was listed.
void Form1::reportGuideProblems(const QString &failures, const recordings::GuideParse &parse)
{
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
    return !session::nameInUse(session::kGuideText) && !session::nameInUse(session::kGuideData);
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
    showEstimate();
}

// The tagged rows' count, size and hours, in the state and the boxes.
void Form1::showEstimate()
{
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
    diskFilled = false;
    for (int k = 1; k <= n; ++k)
        pullRecording(k, n, DownloadShowIndex[k]);

    pulling.clear();
    setBox(Text3, QByteArray("Session End"));
    setBox(Text4, QByteArray());
    appendLog(session::groups::sessionEnd());
    setPointer(Pointer::Default);
    state.DownloadActive = false;
    setBox(Text7, QByteArray());
    describeSavingAs(Text7, false);
    setWindowTitle(kProgramTitle);
    // Rows left ticked (no room on the disk) are what Extract pulls next: the figures follow them.
    if (tickedRows() > 0)
        showEstimate();
    reportNotSaved();
    reportLogProblem();
}

// Pulls queue position k of n, show s: name, started record, tool run, row cleared, beep,
// finished records, rename; a recording that was not saved cleanly gets a record of its own.
void Form1::pullRecording(int k, int n, int s)
{
    const QByteArray &recorderName = state.DownloadQueue[k];
    const QByteArray recorderFile = recordings::recorderFile(recorderName);
    // The caption is what the taskbar shows of an unattended session.
    setWindowTitle(tr("%1 - %2 of %3").arg(kProgramTitle).arg(k).arg(n));
    setBox(Text3, QByteArray("Downloading "));
    setBox(Text4, recorderName);
    pulling = tr("\"%1\" (recorder file %2)")
                  .arg(text::toUnicode(state.Shows.ShowTitle[s]).trimmed(), quoted(recorderFile));
    const recordings::PullCheck check = recordings::checkPull(recorderName, [](const QByteArray &name) {
        return session::nameInUse(text::toUnicode(name));
    });
    if (check.refusal != recordings::PullCheck::None) {
        setBox(Text7, QByteArray()); // nothing is saved for it
        untick(s);
        noteFate(s, recorderFile, refusalText(check, recorderFile));
        return;
    }
    // A recording that cannot fit is not started, and its row stays ticked for the next Extract;
    // once the disk is full nothing more is started.
    const std::optional<qint64> freeNow = services->freeSpace();
    recordings::SpaceCheck space = recordings::checkSpace(freeNow, state.Shows.ShowEstBytes[s]);
    if (diskFilled && space.verdict == recordings::SpaceCheck::Fits)
        space = recordings::SpaceCheck{recordings::SpaceCheck::DiskFull, freeNow.value_or(0), 0};
    if (space.verdict != recordings::SpaceCheck::Fits) {
        diskFilled = diskFilled || space.verdict == recordings::SpaceCheck::DiskFull;
        setBox(Text7, QByteArray());
        noteFate(s, recorderFile, noRoomText(space));
        return;
    }
    QByteArray target = recordings::targetName(state.Shows.ShowTitle[s], state.Shows.ShowRecorded[s]);
    // Anything under a name takes it: the tool's file is never renamed onto a link or a folder.
    // A device name counts as taken without being looked at.
    target = recordings::stepAwayFromExisting(target, [](const QByteArray &name) {
        return recordings::isDeviceName(name) || session::nameInUse(text::toUnicode(name));
    });
    appendLog(session::groups::started(target, text::timeTextNow(), state.DelaySetting));
    setBox(Text7, target);
    repaint(); // an unattended session shows which recording it is on

    const runner::RunResult tool =
        ShellAndWait(runner::extractCommand(address(), recorderFile, state.DelaySetting));
    untick(s);
    services->beep();
    appendLog(session::groups::finished(target, text::timeTextNow()));
    const std::optional<qint64> freeAfter = services->freeSpace();
    diskFilled = recordings::diskFull(freeAfter);
    const recordings::ToolEnd end{!tool.mayStillRun, tool.failed(), diskFilled};
    const recordings::SaveOutcome saved = recordings::saveRecording(recorderFile, target, end);
    const QString fate = fateText(saved, end, runner::failureText(QStringLiteral("ReplayPC"), tool),
                                  recorderFile, target);
    if (!fate.isEmpty())
        noteFate(s, recorderFile, fate);
}

// Why a recording was not handed to the tool, as the end of a sentence about it.
QString Form1::refusalText(const recordings::PullCheck &check, const QByteArray &recorderFile) const
{
    switch (check.refusal) {
    case recordings::PullCheck::UnsafeName:
        return tr("was not pulled: %1.").arg(check.detail);
    case recordings::PullCheck::OwnFile:
        return tr("was not pulled: its recorder file name stands for \"%1\", one of this program's "
                  "own files, which the tool would write over.")
            .arg(check.detail);
    case recordings::PullCheck::NotARecording:
        return tr("was not pulled: its recorder file name does not end in .mpg or another MPEG "
                  "recording's extension, and a file of another kind in this folder could be "
                  "loaded or run by Windows or by this program.");
    case recordings::PullCheck::NameTaken:
        return tr("was not pulled: %1 of that name is already in the folder; move it away and pull "
                  "the recording again.")
            .arg(whatStandsThere(session::Folder().look(text::toUnicode(recorderFile))));
    case recordings::PullCheck::None:
        break;
    }
    return QString();
}

// Why a recording was not started for want of space, as the end of a sentence about it. Sizes
// are given to two decimals, or in bytes where two figures would otherwise read the same.
QString Form1::noRoomText(const recordings::SpaceCheck &space) const
{
    const QLocale locale;
    const auto sizes = [&locale](qint64 first, qint64 second) {
        QString a = locale.formattedDataSize(first, 2, QLocale::DataSizeTraditionalFormat);
        QString b = locale.formattedDataSize(second, 2, QLocale::DataSizeTraditionalFormat);
        if (a == b) {
            a = tr("%1 bytes").arg(locale.toString(first));
            b = tr("%1 bytes").arg(locale.toString(second));
        }
        return QPair<QString, QString>(a, b);
    };
    const QString again = tr("Make space there, then press Extract again: its row stays ticked.");
    if (space.verdict == recordings::SpaceCheck::DiskFull && space.freeBytes >= recordings::kSpaceReserve)
        return tr("was not pulled: the folder's disk filled during this session, so nothing more "
                  "was started. %1")
            .arg(again);
    if (space.verdict == recordings::SpaceCheck::DiskFull) {
        const auto [free, reserve] = sizes(space.freeBytes, recordings::kSpaceReserve);
        return tr("was not pulled: the folder's disk is full (%1 free, less than the %2 kept for the "
                  "log and the settings). %3")
            .arg(free, reserve, again);
    }
    const auto [needed, free] = sizes(space.neededBytes, space.freeBytes);
    return tr("was not pulled: it needs about %1 on the folder's disk (its estimated size and %2 "
              "kept for the log and the settings), and only %3 are free. %4")
        .arg(needed, locale.formattedDataSize(recordings::kSpaceReserve, 2, QLocale::DataSizeTraditionalFormat),
             free, again);
}

// What became of a pulled recording, as the end of a sentence about it; empty when it was saved
// cleanly under its name.
QString Form1::fateText(const recordings::SaveOutcome &saved, const recordings::ToolEnd &tool,
                        const QString &toolFailureText, const QByteArray &recorderFile,
                        const QByteArray &target) const
{
    // A disk that filled is the reason the tool's status stands for.
    QString toolFailure = toolFailureText;
    if (tool.diskFull)
        toolFailure = toolFailure.isEmpty() ? tr("the folder's disk was full")
                                            : tr("the folder's disk was full; %1").arg(toolFailure);
    const QString incomplete = !saved.mayBeIncomplete(tool) ? QString()
                               : toolFailure.isEmpty()       ? tr("ReplayPC left an empty file")
                                                             : toolFailure;
    switch (saved.fate) {
    case recordings::SaveOutcome::Saved:
        if (incomplete.isEmpty())
            return QString();
        return tr("may be incomplete: %1. It lies in the folder as %2.")
            .arg(incomplete, quoted(saved.liesAs));
    case recordings::SaveOutcome::EndNotSeen:
        return tr("was not saved as %1: the end of ReplayPC could not be awaited; whatever it wrote "
                  "lies in the folder as %2.")
            .arg(quoted(target), quoted(recorderFile));
    case recordings::SaveOutcome::NoFile:
        return tr("was not saved as %1: ReplayPC left no file named %2%3; nothing of it lies in the "
                  "folder.")
            .arg(quoted(target), quoted(recorderFile),
                 toolFailure.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(toolFailure));
    case recordings::SaveOutcome::EmptyRemoved:
        return tr("was not saved as %1: ReplayPC left an empty file%2, which was removed; nothing of "
                  "it lies in the folder.")
            .arg(quoted(target),
                 toolFailure.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(toolFailure));
    case recordings::SaveOutcome::NotRenamed: {
        const QString reason = saved.targetTaken ? tr("%1 already exists").arg(quoted(target))
                                                 : saved.renameError;
        QString text = tr("was not saved as %1: %2; the recording lies in the folder as %3.")
                           .arg(quoted(target), reason, quoted(saved.liesAs));
        if (!incomplete.isEmpty())
            text += u' ' + tr("It may be incomplete: %1.").arg(incomplete);
        return text;
    }
    }
    return QString();
}

// Keeps what became of show s for the end-of-session message and writes it to the log at once,
// named by the show as the list shows it and by its file names.
void Form1::noteFate(int s, const QByteArray &recorderFile, const QString &fate)
{
    QString show = text::toUnicode(state.Shows.ShowTitle[s]).trimmed();
    if (show.isEmpty())
        show = tr("A show without a title");
    const QString sentence = tr("%1, recorded %2 (recorder file %3), %4")
                                 .arg(show, text::toUnicode(state.Shows.ShowRecorded[s]).trimmed(),
                                      quoted(recorderFile), fate);
    notSaved << sentence;
    appendLog(session::groups::attention(text::fromUnicode(sentence)));
}

void Form1::reportNotSaved()
{
    if (notSaved.isEmpty())
        return;
    // As many as the screen holds; the log holds every one.
    services->message(this, fitEntries(tr("Some recordings of this session need your attention:"),
                                       notSaved, boxFits(this)));
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

int Form1::tickedRows() const
{
    int ticked = 0;
    for (int row = 0; row < List1->count(); ++row)
        ticked += isTicked(row);
    return ticked;
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
    if (session::appendRecords(records, &failure))
        return;
    const QString reason = fileFailureText(failure);
    if (logProblem.isEmpty()) {
        logProblem = tr("The activity log \"%1\" could not be written: %2.").arg(session::kLogFile, reason);
        if (!pulling.isEmpty())
            logProblem += u' ' + tr("It lacks records from the recording %1 on.").arg(pulling);
        logProblem += u' ' + tr("The first record it lacks is \"%1\".")
                                 .arg(text::toUnicode(records.value(0)).trimmed());
        logReasons = QStringList{reason};
    } else if (!logReasons.contains(reason)) {
        logProblem += u' ' + tr("Later also: %1.").arg(reason);
        logReasons << reason;
    }
}

// At most one message per handling, shown when the handling has done its work, and only when
// it has a reason not yet said in this run: a log that stays unwritable is said once.
void Form1::reportLogProblem()
{
    const QString problem = logProblem;
    const QStringList reasons = logReasons;
    logProblem.clear();
    logReasons.clear();
    bool news = false;
    for (const QString &reason : reasons)
        if (!logReasonsSaid.contains(reason))
            news = true, logReasonsSaid << reason;
    if (news)
        services->message(this, problem);
}

} // namespace ui
