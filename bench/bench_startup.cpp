// The main window's start against an empty window of its size, in one process.
//
// firstStart runs first, while nothing is loaded yet: the empty window, then the main window's
// steps in the order its constructor takes them (accessibility, faces, controls, load
// handling, showing), each timed once, with the peak memory after it. The steps are taken
// apart here (the controls built on a plain window, the load handling through the session
// calls) so that each can be timed; `window` then times whole windows, built, shown until
// exposed and deleted, again and again: the cost left once the process has loaded everything.
#include "accessibility.h"
#include "activitylog.h"
#include "clocktext.h"
#include "controls.h"
#include "fileexists.h"
#include "form1.h"
#include "settingsfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Under valgrind's callgrind, each step's instructions go to a dump of their own
// (callgrind.out.<pid>.<n>, "desc: Trigger: Client Request: <step>"): counts that do not
// depend on what else the machine runs.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define STEP_DONE(name) CALLGRIND_DUMP_STATS_AT(name)
#else
#define STEP_DONE(name)
#endif

namespace {

// This process's peak resident memory so far, in KiB (0 where /proc is not there).
long peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

void showAndWait(QWidget *window)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

std::unique_ptr<QWidget> emptyWindow()
{
    auto window = std::make_unique<QWidget>();
    const ui::WindowSpec &design = ui::form1Spec();
    window->setFixedSize(ui::twipsToPixels(design.clientWidth), ui::twipsToPixels(design.clientHeight));
    return window;
}

// The least a window of the design draws: one line in each of its two faces, found as the
// main window finds them.
std::unique_ptr<QWidget> twoFacesWindow()
{
    auto window = emptyWindow();
    for (const ui::Face face : {ui::Face::Sans, ui::Face::Fixed}) {
        auto *line = new QLabel(QStringLiteral("Dovrel Mpeg Utility 12/21/2002"), window.get());
        line->setFont(ui::fontFor(ui::FontSpec{face, 9.75}));
        line->move(10, face == ui::Face::Fixed ? 40 : 10);
    }
    return window;
}

// The main window's load handling on start, through the calls it makes.
void loadHandling()
{
    (void)session::loadSettings();
    session::removeIfPresent(session::kGuideText);
    session::removeIfPresent(session::kGuideData);
    session::FileFailure failure;
    if (!session::FileExists(session::kLogFile))
        QVERIFY(session::appendRecords(session::groups::logStart(text::dateTextNow()), &failure));
}

} // namespace

class BenchStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir workDir;

private slots:
    void initTestCase()
    {
        QVERIFY(workDir.isValid());
        QVERIFY(QDir::setCurrent(workDir.path()));
    }

    void firstStart()
    {
        QElapsedTimer clock;
        struct Step
        {
            const char *name;
            qint64 ns;
            long peak;
        };
        std::vector<Step> steps;
        const auto step = [&](const char *name, const auto &work) {
            clock.start();
            work();
            STEP_DONE(name);
            steps.push_back({name, clock.nsecsElapsed(), peakKiB()});
        };
        STEP_DONE("before");
        const long before = peakKiB();
        std::unique_ptr<QWidget> empty;
        step("empty window shown", [&] { empty = emptyWindow(); showAndWait(empty.get()); });
        std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
        step("accessibility", [] { ui::installAccessibility(); });
        step("faces", [] {
            (void)ui::fontFor(ui::form1Spec().font);
            for (const ui::ControlSpec &c : ui::form1Spec().controls)
                (void)ui::fontFor(c.font);
        });
        step("controls", [&] { ui::buildWindow(form.get(), ui::form1Spec()); });
        step("load handling", [] { loadHandling(); });
        step("main window shown", [&] { showAndWait(form.get()); });
        QVERIFY(!QTest::currentTestFailed());

        qInfo("first start, peak memory before: %.1f MiB", before / 1024.0);
        qint64 mainWindow = 0;
        for (const Step &s : steps) {
            qInfo("%-20s %8.2f ms   peak %.1f MiB", s.name, s.ns / 1e6, s.peak / 1024.0);
            if (&s != &steps.front())
                mainWindow += s.ns;
        }
        qInfo("main window in all %8.2f ms against the empty window's %.2f ms", mainWindow / 1e6,
              steps.front().ns / 1e6);
    }

    // Whole windows, built, shown until exposed and deleted, once everything is loaded.
    void window_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("empty window") << 0;
        QTest::newRow("two faces") << 1;
        QTest::newRow("main window") << 2;
    }
    void window()
    {
        QFETCH(int, kind);
        QBENCHMARK {
            std::unique_ptr<QWidget> w = kind == 0 ? emptyWindow()
                : kind == 1                        ? twoFacesWindow()
                                                   : std::make_unique<ui::Form1>();
            showAndWait(w.get());
        }
    }
};

QTEST_MAIN(BenchStartup)
#include "bench_startup.moc"
