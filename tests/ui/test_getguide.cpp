// Get Guide through the window with the recorder simulator, and the selection estimate as the
// user ticks rows.
#include "clocktext.h"
#include "codepage.h"
#include "fixture.h"
#include "guide.h"
#include "testtools.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kNeedAddress = QStringLiteral("Need IP Address");
const QString kNeedDelay = QStringLiteral("Need delay factor 0 - 48 or check ReplayPC Default");

QLineEdit *box(const std::unique_ptr<ui::Form1> &form, const char *name)
{
    return control<QLineEdit>(form.get(), name);
}

// Replaces PShell.exe by the stand-in tool, set to leave exactly `guide` as "guide.txt".
void convertTo(const QByteArray &guide)
{
    writeFile(QStringLiteral("guide.src"), guide);
    QFile::remove(QStringLiteral("PShell.exe"));
    QVERIFY(QFile::copy(probeTool(), QStringLiteral("PShell.exe")));
    qputenv("DOVREL_PROBE", "copy guide.src guide.txt");
}

QByteArray record(int n, const QByteArray &quality, const QByteArray &duration)
{
    return "Show #" + QByteArray::number(n) + "\r\nMovie: Show " + QByteArray::number(n)
           + "\r\nQuality: " + quality + "\r\nRecorded: 01/02/2003 8:00 PM\r\nFilename: "
           + QByteArray::number(1000 + n) + ".mpg\r\nDuration: " + duration + " min\r\n\r\n";
}

} // namespace

class TestGetGuide : public QObject
{
    Q_OBJECT

private slots:
    void refusals_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("message");
        QTest::newRow("noAddress") << QString() << QStringLiteral("Default") << kNeedAddress;
        QTest::newRow("noDelay") << QStringLiteral("192.168.0.20") << QString() << kNeedDelay;
        QTest::newRow("bothEmptyAddressFirst") << QString() << QString() << kNeedAddress;
    }
    void refusals()
    {
        QFETCH(QString, address);
        QFETCH(QString, delay);
        QFETCH(QString, message);
        WorkDir dir;
        Simulator sim;
        QVERIFY(sim.installed());
        Seen seen;
        auto form = makeForm(seen);
        typeInto(box(form, "Text9"), delay);
        getGuide(form.get(), address);
        QCOMPARE(seen.messages, QStringList{message});
        QVERIFY(!form->sessionState().GuideFetched);
        QVERIFY(sim.calls().isEmpty());
        QVERIFY(box(form, "Text3")->text().isEmpty());
        QVERIFY(!QGuiApplication::overrideCursor());

        // The user corrects the boxes and tries again.
        typeInto(box(form, "Text9"), QStringLiteral("Default"));
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        QVERIFY(form->sessionState().GuideFetched);
    }

    void endToEnd_listsTheRecordersGuide()
    {
        WorkDir dir;
        Simulator sim;
        QVERIFY(sim.installed());
        Seen seen;
        auto form = makeForm(seen);
        getGuide(form.get(), QStringLiteral("192.168.0.20"));

        QVERIFY(seen.messages.isEmpty());
        QCOMPARE(sim.calls(), (QStringList{QStringLiteral("ReplayPC\t192.168.0.20\t-g"),
                                           QStringLiteral("PShell.exe")}));
        const QByteArray guide = fileBytes(QStringLiteral("guide.txt"));
        const int shows = int(guide.count("\r\nShow #"));
        QVERIFY(shows >= 30);

        auto *list = control<QListWidget>(form.get(), "List1");
        QCOMPARE(list->count(), shows);
        QCOMPARE(form->sessionState().ShowCount, shows);
        QCOMPARE(box(form, "Text1")->text(), QString::fromLatin1(text::dateTextNow()));
        QCOMPARE(box(form, "Text2")->text(), u' ' + QString::number(shows));
        QCOMPARE(box(form, "Text3")->text(), QString());
        QCOMPARE(box(form, "Text5")->text(), QStringLiteral("0"));
        // Filling the list ran no click handling: the estimate boxes are untouched.
        QCOMPARE(box(form, "Text6")->text(), QString());
        QCOMPARE(box(form, "Text7")->text(), QString());
        QVERIFY(form->sessionState().GuideFetched);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);

        session::ShowTable table;
        QCOMPARE(recordings::parseGuide(guide, table).showCount, shows);
        for (int i = 0; i < shows; ++i) {
            QCOMPARE(rowItem(list, i).text(), text::toUnicode(table.ListLine[i]));
            QCOMPARE(rowItem(list, i).checkState(), Qt::Unchecked);
            QVERIFY(!rowItem(list, i).text().contains(u'"'));
            QVERIFY(rowItem(list, i).text().size() <= 94 + 2 * 3); // a quote in the row becomes " - "
        }

        // A second click changes nothing and runs nothing.
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        QCOMPARE(sim.calls().size(), 2);
        QCOMPARE(list->count(), shows);
        QVERIFY(control<QPushButton>(form.get(), "GetGuide")->isEnabled());
        QGuiApplication::restoreOverrideCursor();
    }

    // A tool that is not in the folder is named with the folder, not blamed on the address;
    // the runner's own box for each stays. Once the tools are there, Get Guide works.
    void missingTools_namedWithTheFolder_data()
    {
        QTest::addColumn<QString>("absent"); // the tools taken away, or made not runnable
        QTest::addColumn<QStringList>("named");
        QTest::newRow("both missing") << QStringLiteral("both")
                                      << QStringList{QStringLiteral("ReplayPC and PShell.exe")};
        QTest::newRow("the converter missing") << QStringLiteral("PShell.exe") << QStringList{QStringLiteral("PShell.exe")};
#ifndef Q_OS_WIN
        QTest::newRow("the fetcher there but not runnable") << QStringLiteral("notRunnable")
                                                           << QStringList{QStringLiteral("ReplayPC could not")};
#endif
    }
    void missingTools_namedWithTheFolder()
    {
        QFETCH(QString, absent);
        QFETCH(QStringList, named);
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        std::optional<Simulator> sim;
        if (absent != QStringLiteral("both")) {
            sim.emplace();
            QVERIFY(sim->installed());
            if (absent == QStringLiteral("notRunnable"))
                QVERIFY(QFile::setPermissions(replayPCFileName(), QFile::ReadOwner | QFile::WriteOwner));
            else
                QVERIFY(QFile::remove(absent));
        }
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        const QString last = seen.messages.value(seen.messages.size() - 1);
        QCOMPARE(seen.messages.size(), absent == QStringLiteral("both") ? 3 : 2); // the runner's, then Get Guide's
        for (const QString &words : named)
            QVERIFY2(last.contains(words), qPrintable(last));
        QVERIFY2(last.contains(QDir::toNativeSeparators(dir.path())), qPrintable(last));
        QVERIFY2(!last.contains(QStringLiteral("address")), qPrintable(last));
        QVERIFY(!form->sessionState().GuideFetched);
        QCOMPARE(box(form, "Text3")->text(), QString());
        QVERIFY(!QGuiApplication::overrideCursor());

        sim.reset();
        QFile::remove(replayPCFileName());
        QFile::remove(QStringLiteral("PShell.exe"));
        Simulator tools;
        QVERIFY(tools.installed());
        seen.messages.clear();
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        QVERIFY2(seen.messages.isEmpty(), qPrintable(seen.messages.join(u'\n')));
        QVERIFY(form->sessionState().GuideFetched);
        QVERIFY(control<QListWidget>(form.get(), "List1")->count() > 0);
        QGuiApplication::restoreOverrideCursor();
    }

    // No "guide.txt": one message, which says how each tool that ran ended; no list, no date.
    void noGuide_saysHowTheToolsEnded_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("pshell"); // the stand-in tool's actions, or empty for the simulator
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QStringList>("notSaid");
        const QString fetchFailed = QStringLiteral("ReplayPC ended with failure status 1.");
        const QString convertFailed = QStringLiteral("PShell.exe ended with failure status 1.");
        QTest::newRow("unreachable recorder: both tools fail")
            << QStringLiteral("192.0.2.7") << QByteArray() << QStringList{fetchFailed, convertFailed}
            << QStringList{QStringLiteral("crashed")};
        QTest::newRow("conversion crashes") << QStringLiteral("192.168.0.20")
                                            << QByteArray("crash")
                                            << QStringList{QStringLiteral("PShell.exe crashed.")}
                                            << QStringList{QStringLiteral("failure status")};
        QTest::newRow("conversion ends well, leaves nothing")
            << QStringLiteral("192.168.0.20") << QByteArray("exit 0") << QStringList{}
            << QStringList{QStringLiteral("crashed"), QStringLiteral("failure status")};
        // A guide without a show from a tool that failed is no guide: Get Guide stays free.
        QTest::newRow("conversion fails, leaves a guide without a show")
            << QStringLiteral("192.168.0.20") << QByteArray("copy guide.src guide.txt;exit 1")
            << QStringList{QStringLiteral("\"guide.txt\" holds no show."), convertFailed}
            << QStringList{QStringLiteral("incomplete")};
    }
    void noGuide_saysHowTheToolsEnded()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, pshell);
        QFETCH(QStringList, said);
        QFETCH(QStringList, notSaid);
        WorkDir dir;
        Simulator sim;
        if (!pshell.isEmpty()) {
            writeFile(QStringLiteral("guide.src"), "Guide of recordings\r\n\r\n");
            QVERIFY(QFile::remove(QStringLiteral("PShell.exe")));
            QVERIFY(QFile::copy(probeTool(), QStringLiteral("PShell.exe")));
            qputenv("DOVREL_PROBE", pshell);
        }
        Seen seen;
        auto form = makeForm(seen);
        getGuide(form.get(), address);
        QCOMPARE(seen.messages.size(), 1);
        const QString message = seen.messages.first();
        QVERIFY2(message.startsWith(QStringLiteral("No guide was received")), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("guide.txt")));
        for (const QString &text : said)
            QVERIFY2(message.contains(text), qPrintable(message));
        for (const QString &text : notSaid)
            QVERIFY2(!message.contains(text), qPrintable(message));
        QVERIFY(!form->sessionState().GuideFetched);
        QCOMPARE(control<QListWidget>(form.get(), "List1")->count(), 0);
        QCOMPARE(box(form, "Text1")->text(), QString()); // no list, so no date it was created
        QCOMPARE(box(form, "Text3")->text(), QString());
    }

    // A list comes from this click's fetch only: guide files that an earlier try or anything
    // else left in the folder are not listed when the recorder cannot be reached now.
    void failedFetch_neverListsAnEarlierGuide_data()
    {
        QTest::addColumn<bool>("earlierTry"); // else the files were just there
        QTest::newRow("an earlier try fetched, its conversion failed") << true;
        QTest::newRow("guide files left in the folder") << false;
    }
    void failedFetch_neverListsAnEarlierGuide()
    {
        QFETCH(bool, earlierTry);
        WorkDir dir;
        Simulator sim;
        Seen seen;
        auto form = makeForm(seen);
        if (earlierTry) {
            convertTo("");
            qputenv("DOVREL_PROBE", "exit 1");
            getGuide(form.get(), QStringLiteral("192.168.0.20"));
            QVERIFY(QFileInfo::exists(QStringLiteral("guide.dat")));
            QVERIFY(QFile::remove(QStringLiteral("PShell.exe")));
            QVERIFY(QFile::copy(simulatorPShell(), QStringLiteral("PShell.exe")));
        } else {
            writeFile(QStringLiteral("guide.txt"), record(1, "Standard", "30"));
            writeFile(QStringLiteral("guide.dat"), "left over");
        }
        seen.messages.clear();
        getGuide(form.get(), QStringLiteral("192.0.2.7")); // no recorder answers there
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY2(seen.messages.first().startsWith(QStringLiteral("No guide was received")),
                 qPrintable(seen.messages.first()));
        QCOMPARE(control<QListWidget>(form.get(), "List1")->count(), 0);
        QVERIFY(!form->sessionState().GuideFetched);

        // The right address still lists the recorder's guide.
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        QVERIFY(form->sessionState().GuideFetched);
        QVERIFY(control<QListWidget>(form.get(), "List1")->count() > 0);
        QGuiApplication::restoreOverrideCursor();
    }

    // Guide files that cannot be removed could not be told from a new guide, and a folder that
    // cannot be written cannot take one: nothing is run, and the message names the cause.
    void guideFilesThatStay_nothingFetched_data()
    {
        QTest::addColumn<QString>("stays"); // a read-only folder, or the guide file a folder stands for
        QTest::newRow("read-only folder") << QStringLiteral("readOnly");
        QTest::newRow("a folder named guide.txt") << QStringLiteral("guide.txt");
        QTest::newRow("a folder named guide.dat") << QStringLiteral("guide.dat");
    }
    void guideFilesThatStay_nothingFetched()
    {
        QFETCH(QString, stays);
        const bool readOnlyFolder = stays == QStringLiteral("readOnly");
#ifdef Q_OS_WIN
        if (readOnlyFolder)
            QSKIP("Windows folders have no write permission bit to take away");
#endif
        WorkDir dir;
        Simulator sim;
        Seen seen;
        auto form = makeForm(seen);
        if (readOnlyFolder)
            writeFile(QStringLiteral("guide.txt"), record(1, "Standard", "30"));
        else
            QVERIFY(QDir().mkdir(stays));
        {
            PermissionsEnforced enforced;
            if (readOnlyFolder)
                QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
            getGuide(form.get(), QStringLiteral("192.168.0.20"));
            QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        QCOMPARE(seen.messages.size(), 1);
        const QString message = seen.messages.first();
        if (readOnlyFolder) {
            QVERIFY2(message.contains(QDir::toNativeSeparators(QDir::currentPath()))
                         && message.contains(QStringLiteral("cannot be written (Permission denied)")),
                     qPrintable(message));
            QVERIFY2(!message.contains(QStringLiteral("address")), qPrintable(message));
        } else {
            QVERIFY2(message.contains(QStringLiteral("could not be removed")), qPrintable(message));
        }
        QVERIFY(sim.calls().isEmpty());
        QCOMPARE(control<QListWidget>(form.get(), "List1")->count(), 0);
        QVERIFY(!form->sessionState().GuideFetched);
        QCOMPARE(box(form, "Text1")->text(), QString());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // A tool whose end could not be awaited may still be writing: nothing is listed, and no
    // conversion runs on a guide that may still be fetched.
    void toolEndNotSeen_nothingListed_data()
    {
        QTest::addColumn<QByteArray>("tool");
        QTest::addColumn<QStringList>("simulatorRan");
        QTest::newRow("fetch") << QByteArray("ReplayPC") << QStringList();
        QTest::newRow("conversion") << QByteArray("PShell.exe")
                                    << QStringList{QStringLiteral("ReplayPC\t192.168.0.20\t-g")};
    }
    void toolEndNotSeen_nothingListed()
    {
        QFETCH(QByteArray, tool);
        QFETCH(QStringList, simulatorRan);
        WorkDir dir;
        Simulator sim;
        Seen seen;
        // The tool has written part of the guide when its end is lost.
        seen.runInstead = [tool](const QByteArray &line) -> std::optional<runner::RunResult> {
            if (!line.startsWith(tool))
                return std::nullopt;
            writeFile(QStringLiteral("guide.txt"), record(1, "Standard", "30"));
            runner::RunResult lost;
            lost.mayStillRun = true;
            lost.error = QStringLiteral("its end could not be awaited");
            return lost;
        };
        auto form = makeForm(seen);
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        QCOMPARE(sim.calls(), simulatorRan);
        QCOMPARE(seen.messages.size(), 2); // the runner's, then Get Guide's
        QVERIFY2(seen.messages.last().contains(QString::fromLatin1(tool) + QStringLiteral(" may still be writing")),
                 qPrintable(seen.messages.last()));
        QCOMPARE(control<QListWidget>(form.get(), "List1")->count(), 0);
        QVERIFY(!form->sessionState().GuideFetched);
        QCOMPARE(box(form, "Text1")->text(), QString());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // A "guide.txt" that is not a plain file is not read: a link is not followed, a pipe cannot
    // hold Get Guide up.
    void guideNotAPlainFile_notRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("a link to a guide outside") << QStringLiteral("link") << QStringLiteral("it is a link");
#ifndef Q_OS_WIN
        QTest::newRow("a pipe") << QStringLiteral("fifo") << QStringLiteral("it is not a plain file");
#endif
    }
    void guideNotAPlainFile_notRead()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        WorkDir dir;
        Simulator sim;
        Seen seen;
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("guide.txt"));
        writeFile(outside, record(1, "Standard", "30"));
        bool made = true;
        seen.runInstead = [&](const QByteArray &line) -> std::optional<runner::RunResult> {
            if (!line.startsWith("PShell.exe"))
                return std::nullopt;
            made = makeEntry(kind, QStringLiteral("guide.txt"), outside);
            runner::RunResult ended;
            ended.started = true;
            return ended;
        };
        auto form = makeForm(seen);
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        if (!made)
            QSKIP("this system cannot make that entry");
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY2(seen.messages.first().contains(said), qPrintable(seen.messages.first()));
        QCOMPARE(control<QListWidget>(form.get(), "List1")->count(), 0);
        QVERIFY(!form->sessionState().GuideFetched);
    }

    // A tool that failed but left a guide behind: the list is shown, and so is the failure.
    void toolFailedButLeftAGuide_listedAndSaid()
    {
        WorkDir dir;
        Simulator sim;
        convertTo(record(1, "Standard", "30") + record(2, "High", "60"));
        qputenv("DOVREL_PROBE", "copy guide.src guide.txt;exit 1");
        Seen seen;
        auto form = makeForm(seen);
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        QCOMPARE(control<QListWidget>(form.get(), "List1")->count(), 2);
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY2(seen.messages.first().contains(QStringLiteral("may be incomplete: PShell.exe ended with failure status 1.")),
                 qPrintable(seen.messages.first()));
        QGuiApplication::restoreOverrideCursor();
    }

    void addressWithShellCharacters_staysPlainText()
    {
        WorkDir dir;
        Simulator sim;
        Seen seen;
        auto form = makeForm(seen);
        getGuide(form.get(), QStringLiteral("192.168.0.20;touch pwned|x$(touch y)`touch z`>w"));
        const QStringList calls = sim.calls();
        QVERIFY(!calls.isEmpty());
        QVERIFY(calls.first().startsWith(QStringLiteral("ReplayPC\t192.168.0.20;touch\tpwned|x$(touch")));
        for (const char *name : {"pwned", "y", "z", "w"})
            QVERIFY2(!QFileInfo::exists(QString::fromLatin1(name)), name);
    }

    void guideEndingInsideARecord_keepsCompleteShowsAndSays()
    {
        WorkDir dir;
        Simulator sim;
        convertTo(record(1, "Standard", "30") + record(2, "High", "60") + "Show #3\r\nMovie: Cut\r\nQuality: High\r\n");
        Seen seen;
        auto form = makeForm(seen);
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        QCOMPARE(control<QListWidget>(form.get(), "List1")->count(), 2);
        QCOMPARE(box(form, "Text2")->text(), QStringLiteral(" 2"));
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY(seen.messages.first().contains(QStringLiteral("left out")));
        QVERIFY(form->sessionState().Shows.ShowTitle[2].isEmpty());
    }

    void guideOfMoreThan201Shows_listsTheFirst201AndSays()
    {
        WorkDir dir;
        Simulator sim;
        QByteArray guide;
        for (int n = 1; n <= 203; ++n)
            guide += record(n, "Medium", "45");
        convertTo(guide);
        Seen seen;
        auto form = makeForm(seen);
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        auto *list = control<QListWidget>(form.get(), "List1");
        QCOMPARE(list->count(), 201);
        QVERIFY(rowItem(list, 200).text().startsWith(QStringLiteral(" Show 201 ")));
        QCOMPARE(box(form, "Text2")->text(), QStringLiteral(" 201"));
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY(seen.messages.first().contains(QStringLiteral("201")));
    }

    void guideWithoutShows_emptyList()
    {
        WorkDir dir;
        Simulator sim;
        convertTo("Recorder Guide Listing\r\nshow #1 is no start line\r\n Show #2 neither\r\n");
        Seen seen;
        auto form = makeForm(seen);
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        QCOMPARE(control<QListWidget>(form.get(), "List1")->count(), 0);
        QCOMPARE(box(form, "Text2")->text(), QStringLiteral(" 0"));
        QVERIFY(form->sessionState().GuideFetched);
        QVERIFY(seen.messages.isEmpty());
    }

    void exitAfterAGuide_data()
    {
        QTest::addColumn<QString>("addressAtExit");
        QTest::addColumn<bool>("guideTextGoneBefore");
        QTest::addColumn<bool>("tidiesUp");
        QTest::newRow("addressKept") << QStringLiteral("192.168.0.20") << false << true;
        QTest::newRow("guideFileAlreadyGone") << QStringLiteral("192.168.0.20") << true << true;
        QTest::newRow("addressEmptied") << QString() << false << false;
    }
    void exitAfterAGuide()
    {
        QFETCH(QString, addressAtExit);
        QFETCH(bool, guideTextGoneBefore);
        QFETCH(bool, tidiesUp);
        WorkDir dir;
        Simulator sim;
        Seen seen;
        auto form = makeForm(seen);
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        QVERIFY(form->sessionState().ShowCount > 0);
        if (guideTextGoneBefore)
            QVERIFY(QFile::remove(QStringLiteral("guide.txt")));
        typeInto(box(form, "IPAddress"), addressAtExit);
        const QByteArray logBefore = fileBytes(QStringLiteral("DOVLGUIDE.LOG"));
        QTest::mouseClick(control<QPushButton>(form.get(), "Quit"), Qt::LeftButton);

        QCOMPARE(fileBytes(QStringLiteral("DOVLGUIDE.LOG")),
                 tidiesUp ? logBefore + "Program Terminated \r\n \r\n \r\n" : logBefore);
        QCOMPARE(QFileInfo::exists(QStringLiteral("guide.dat")), !tidiesUp);
        QCOMPARE(QFileInfo::exists(QStringLiteral("guide.txt")), !tidiesUp && !guideTextGoneBefore);
        QCOMPARE(fileBytes(QStringLiteral("DOVLIP.dat")),
                 '"' + addressAtExit.toLatin1() + "\",\"Default\"\r\n");
        QCOMPARE(seen.ends, 1);
        QVERIFY(seen.messages.isEmpty());
    }

    void estimate_followsTheTicks()
    {
        WorkDir dir;
        Simulator sim;
        convertTo(record(1, "Standard", "30") + record(2, "Medium", "60") + record(3, "High", "120")
                  + record(4, "Lowest", "59") + record(5, "Standard", "1.5"));
        Seen seen;
        auto form = makeForm(seen);
        form->show();
        getGuide(form.get(), QStringLiteral("192.168.0.20"));
        auto *list = control<QListWidget>(form.get(), "List1");
        QCOMPARE(list->count(), 5);
        const auto figures = [&] {
            return QStringList{box(form, "Text5")->text(), box(form, "Text6")->text(), box(form, "Text7")->text()};
        };

        clickRow(list, 0);
        clickRow(list, 1);
        clickRow(list, 2);
        QCOMPARE(figures(), (QStringList{QStringLiteral("3"), QStringLiteral("8039497590"), QStringLiteral("3")}));
        QCOMPARE(form->sessionState().TaggedCount, 3);

        clickRow(list, 2); // untick the 120-minute show
        QCOMPARE(figures(), (QStringList{QStringLiteral("2"), QStringLiteral("2388066270"), QStringLiteral("1")}));

        clickRow(list, 3); // no marker: counts in number and minutes, adds no bytes
        QCOMPARE(figures(), (QStringList{QStringLiteral("3"), QStringLiteral("2388066270"), QStringLiteral("2")}));
        clickRow(list, 3);
        QCOMPARE(figures(), (QStringList{QStringLiteral("2"), QStringLiteral("2388066270"), QStringLiteral("1")}));

        clickRow(list, 0);
        clickRow(list, 1);
        QCOMPARE(figures(), (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));

        // Space on the current row ticks it too.
        list->setFocus();
        list->setCurrentRow(4);
        QTest::keyClick(list->viewport(), Qt::Key_Space);
        QCOMPARE(rowItem(list, 4).checkState(), Qt::Checked);
        // The fraction is written with the user's decimal separator, whatever the locale.
        const QString bytes = QStringLiteral("23304601") + QLocale().decimalPoint() + QStringLiteral("5");
        QCOMPARE(figures(), (QStringList{QStringLiteral("1"), bytes, QStringLiteral("0")}));

        // A tick changed by the program runs the same handling.
        rowItem(list, 4).setCheckState(Qt::Unchecked);
        QCOMPARE(figures(), (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
        QVERIFY(list->isEnabled());
        QGuiApplication::restoreOverrideCursor();
    }
};

QTEST_MAIN(TestGetGuide)
#include "test_getguide.moc"
