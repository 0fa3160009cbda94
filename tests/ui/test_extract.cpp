// Extraction sessions and the log window, through the window with the recorder simulator.
#include "codepage.h"
#include "fitmessage.h"
#include "fixture.h"
#include "form2.h"
#include "testtools.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const QString kLog = QStringLiteral("DOVLGUIDE.LOG");
const QString kTime = QStringLiteral("\\d\\d:\\d\\d:\\d\\d");

QLineEdit *box(ui::Form1 *form, const char *name) { return control<QLineEdit>(form, name); }

QStringList extractCalls(const Simulator &sim)
{
    QStringList calls;
    for (const QString &call : sim.calls())
        if (call.contains(QStringLiteral("\t-e\t")))
            calls << call.section(u'\t', 3);
    return calls;
}

// What the log gained since `before`, line by line; every line must end in CR LF.
QStringList logLinesSince(const QByteArray &before)
{
    const QByteArray now = fileBytes(kLog);
    if (!now.startsWith(before) || !now.endsWith("\r\n"))
        return {QStringLiteral("<log rewritten or not ended by CR LF>")};
    QStringList lines = text::toUnicode(now.mid(before.size())).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

// Each line must match its pattern whole.
bool linesMatch(const QStringList &lines, const QStringList &patterns)
{
    if (lines.size() != patterns.size()) {
        qWarning() << "lines:" << lines;
        return false;
    }
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpression re(QRegularExpression::anchoredPattern(patterns.at(i)));
        if (!re.match(lines.at(i)).hasMatch()) {
            qWarning() << "line" << i << lines.at(i) << "does not match" << patterns.at(i);
            return false;
        }
    }
    return true;
}

QString esc(const QString &s) { return QRegularExpression::escape(s); }

// The code page this run must have: DOVREL_TEST_CODEPAGE, set by the CTest entry that runs the
// test under another locale; 1252 otherwise.
unsigned expectedCodePage()
{
    bool ok = false;
    const int page = qEnvironmentVariableIntValue("DOVREL_TEST_CODEPAGE", &ok);
    return ok ? unsigned(page) : 1252u;
}

QStringList listRows(ui::Form2 *logWindow)
{
    QStringList rows;
    auto *list = control<QListWidget>(logWindow, "Log_List");
    for (int i = 0; i < list->count(); ++i)
        rows << rowItem(list, i).text();
    return rows;
}

} // namespace

class TestExtract : public QObject
{
    Q_OBJECT

    std::unique_ptr<WorkDir> dir;
    std::unique_ptr<Simulator> sim;
    Seen seen;
    std::unique_ptr<ui::Form1> form;
    QListWidget *list = nullptr;

    // A run with the guide of `rows` fetched.
    // Called as QVERIFY(start(...)): a guide that did not list whole ends the test there.
    bool start(const QList<QByteArrayList> &rows)
    {
        form = formWithGuide(seen, *sim, rows);
        list = control<QListWidget>(form.get(), "List1");
        if (list->count() != rows.size()) {
            qWarning("%lld of %lld rows listed; messages: %s", qlonglong(list->count()),
                     qlonglong(rows.size()), qPrintable(seen.messages.join(u'\n')));
            return false;
        }
        return true;
    }

private slots:
    void init()
    {
        dir = std::make_unique<WorkDir>();
        sim = std::make_unique<Simulator>();
        QVERIFY(sim->installed());
        seen = Seen();
    }
    void cleanup()
    {
        form.reset();
        sim.reset();
        dir.reset();
    }

    void rowsPulledInListOrder_thenListDisabled()
    {
        QList<QByteArrayList> rows;
        for (int n = 0; n < 8; ++n)
            rows << recording("Movie: Show " + QByteArray::number(n), "f" + QByteArray::number(n) + ".mpg");
        QVERIFY(start(rows));
        clickRow(list, 7);
        clickRow(list, 2);
        clickRow(list, 5);
        const QString bytesBefore = box(form.get(), "Text6")->text();
        QStringList captions; // as the taskbar shows each recording
        seen.duringBeep = [&] { captions << form->windowTitle(); };
        clickButton(form.get(), "Extract");
        QCOMPARE(captions, (QStringList{QStringLiteral("Dovrel Mpeg Utility - 1 of 3"),
                                        QStringLiteral("Dovrel Mpeg Utility - 2 of 3"),
                                        QStringLiteral("Dovrel Mpeg Utility - 3 of 3")}));
        QCOMPARE(form->windowTitle(), QStringLiteral("Dovrel Mpeg Utility"));

        QCOMPARE(extractCalls(*sim), (QStringList{QStringLiteral("f2.mpg"), QStringLiteral("f5.mpg"), QStringLiteral("f7.mpg")}));
        for (int n : {2, 5, 7}) {
            const QString target = QStringLiteral(" Show %1_12 21 2002.mpg").arg(n);
            QVERIFY2(fileBytes(target).startsWith(QByteArray("\x00\x00\x01\xBA", 4)), qPrintable(target));
            QVERIFY(!QFileInfo::exists(QStringLiteral("f%1.mpg").arg(n)));
            QCOMPARE(rowItem(list, n).checkState(), Qt::Unchecked);
        }
        QVERIFY(!list->isEnabled());
        QCOMPARE(box(form.get(), "Text3")->text(), QStringLiteral("Session End"));
        QCOMPARE(box(form.get(), "Text4")->text(), QString());
        QCOMPARE(box(form.get(), "Text7")->text(), QString());
        QCOMPARE(box(form.get(), "Text5")->text(), QStringLiteral("3")); // the figures stay
        QCOMPARE(box(form.get(), "Text6")->text(), bytesBefore);
        QCOMPARE(seen.beeps, 3);
        QVERIFY(seen.messages.isEmpty());
        QVERIFY(!form->sessionState().DownloadActive);
        QVERIFY(!QGuiApplication::overrideCursor());

        // The list stays disabled: a click on a row changes nothing.
        clickRow(list, 0);
        QCOMPARE(rowItem(list, 0).checkState(), Qt::Unchecked);
    }

    void targetNames_data()
    {
        QTest::addColumn<QByteArray>("titleLine");
        QTest::addColumn<QByteArray>("recorded");
        QTest::addColumn<QString>("target");
        QTest::newRow("leadingBlankKept") << QByteArray("Movie: Casablanca (1942)") << QByteArray("12/21/2002 8:00 PM")
                                          << QStringLiteral(" Casablanca_12 21 2002.mpg");
        QTest::newRow("noBlankAfterColon") << QByteArray("Movie:Casablanca") << QByteArray("01/05/2003 9:00 PM")
                                           << QStringLiteral("Casablanca_01 05 2003.mpg");
        QTest::newRow("quotesSemicolonsColons") << QByteArray("Series: Law; Order: \"SVU\"") << QByteArray("03/04/2002 7:00 PM")
                                                << QStringLiteral(" Law  Order   - SVU -_03 04 2002.mpg");
        QTest::newRow("accented") << QByteArray("Movie: Am\xE9lie") << QByteArray("12/21/2002 8:00 PM")
                                  << QString::fromUtf8(" Amélie_12 21 2002.mpg");
        QTest::newRow("windows1252Letters") << QByteArray("Movie: \x80 \x93Quoted\x94 \x8A\xFF") << QByteArray("12/21/2002 8:00 PM")
                                            << QString::fromUtf8(" € “Quoted” Šÿ_12 21 2002.mpg");
        QTest::newRow("dotMpgInTitle") << QByteArray("Movie:a.mpg") << QByteArray("12/21/2002 8:00 PM")
                                       << QStringLiteral("a.mpg_12 21 2002.mpg");
    }
    void targetNames()
    {
        QFETCH(QByteArray, titleLine);
        QFETCH(QByteArray, recorded);
        QFETCH(QString, target);
        QVERIFY(start({recording(titleLine, "1001.mpg", recorded)}));
        clickRow(list, 0);
        clickButton(form.get(), "Extract");
        QVERIFY(seen.messages.isEmpty());
        QVERIFY(fileBytes(target).startsWith(QByteArray("\x00\x00\x01\xBA", 4)));
        QVERIFY(!QFileInfo::exists(QStringLiteral("1001.mpg")));
        // The name on disk is the Unicode name, not its bytes read in some other code page.
        QVERIFY2(QDir::current().entryList(QDir::Files).contains(target),
                 qPrintable(QDir::current().entryList(QDir::Files).join(u'|')));
    }

    // A title and a recorder file name in bytes of the system's code page, each row with what
    // they read as in Windows-1252, 1251 and 932 (a row without a reading for a page is not run
    // there). The run takes the column of the page it must have; test_extract_cp1251 and
    // test_extract_cp932 run these rows under Wine with a Russian and a Japanese locale.
    void systemCodePage_data()
    {
        QTest::addColumn<QByteArray>("titleLine");
        QTest::addColumn<QByteArray>("fileName");
        QTest::addColumn<QString>("listed");       // the start of the list row
        QTest::addColumn<QString>("recorderName"); // as the tool is handed it
        QTest::addColumn<QString>("target");       // empty: the recording is refused, not pulled
        struct Reading
        {
            const char *title = nullptr; // UTF-8; the title as the list shows it
            const char *recorderName = nullptr;
            const char *listed = nullptr; // the list row's start, when more than the title
            bool refused = false;
        };
        struct Row
        {
            const char *tag;
            QByteArray titleLine, fileName;
            Reading cp1252, cp1251, cp932;
        };
        const Row rows[] = {
            {"letters 0xC0 to 0xFF", "Movie: \xCC\xEE\xF1\xEA\xE2\xE0", "\xE7\xE0\xEF\xE8\xF1\xFC.mpg",
             {" \u00CC\u00EE\u00F1\u00EA\u00E2\u00E0", "\u00E7\u00E0\u00EF\u00E8\u00F1\u00FC.mpg"},
             {" \u041C\u043E\u0441\u043A\u0432\u0430", "\u0437\u0430\u043F\u0438\u0441\u044C.mpg"},
             {}},
            {"bytes 0x80 to 0xBF", "News: \xA8\xEB\xEA\xE0 \xB9 1 \x80", "\xC0\xA8\xB8.mpg",
             {" \u00A8\u00EB\u00EA\u00E0 \u00B9 1 \u20AC", "\u00C0\u00A8\u00B8.mpg"},
             {" \u0401\u043B\u043A\u0430 \u2116 1 \u0402", "\u0410\u0401\u0451.mpg"},
             {}},
            // 0x98 is a letter in 1252 and undefined in 1251, where it stands for U+0098.
            {"byte undefined in 1251", "Show: \xDF", "\x98x.mpg",
             {" \u00DF", "\u02DCx.mpg"},
             {" \u042F", "\u0098x.mpg"},
             {}},
            // Double-byte characters of 932, read as whole characters.
            {"Japanese title", "Movie: \x93\xFA\x96\x7B\x82\xCC\x89\x66\x89\xE6", "jp1.mpg",
             {}, {},
             {" \u65E5\u672C\u306E\u6620\u753B", "jp1.mpg"}},
            // Their second bytes are 0x5C and 0x7C, which stand alone for a backslash and a bar:
            // inside a character neither is a separator, nor made a blank in the new name.
            {"trail bytes 0x5C and 0x7C", "Movie: \x83\x5C\x95\x5C\x83\x7C", "\x83\x5C\x95\x5C\x83\x7C.mpg",
             {}, {},
             {" \u30BD\u8868\u30DD", "\u30BD\u8868\u30DD.mpg"}},
            // Half-width katakana, which Windows' best fit would turn into "\", "-" and a letter
            // for a program of another page: the tool must be handed these very bytes.
            {"single-byte katakana 0xA5 0xAD 0xCD", "Show: \xA5\xAD\xCD", "\xA5\xAD\xCD.mpg",
             {}, {},
             {" \uFF65\uFF6D\uFF8D", "\uFF65\uFF6D\uFF8D.mpg"}},
            // A character whose lead byte falls on the title's last column is left out whole:
            // kept, it would take the "S" of the quality column as its second byte.
            {"character at the title cut", "Movie: " + QByteArray(56, 'x') + "\x94\xD4\x91\x67", "cut.mpg",
             {}, {},
             {" xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "cut.mpg",
              " xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx Standard"}},
            // 0x85 0x40 is a well-formed pair that 932 assigns no character: it comes back as
            // other bytes, and the tool would be asked for another file.
            {"name that does not come back", "Show: \x94\xD4\x91\x67", "\x85\x40.mpg",
             {}, {},
             {" \u756A\u7D44", nullptr, nullptr, true}},
        };
        const unsigned page = expectedCodePage();
        QVERIFY2(page == 1252 || page == 1251 || page == 932, "these rows know the code pages 1252, 1251 and 932");
        for (const Row &row : rows) {
            const Reading &r = page == 932 ? row.cp932 : page == 1251 ? row.cp1251 : row.cp1252;
            if (!r.title)
                continue;
            const QString title = QString::fromUtf8(r.title);
            QTest::newRow(row.tag) << row.titleLine << row.fileName
                                   << (r.listed ? QString::fromUtf8(r.listed) : title)
                                   << QString::fromUtf8(r.recorderName)
                                   << (r.refused ? QString() : title + QStringLiteral("_12 21 2002.mpg"));
        }
    }
    void systemCodePage()
    {
        QFETCH(QByteArray, titleLine);
        QFETCH(QByteArray, fileName);
        QFETCH(QString, listed);
        QFETCH(QString, recorderName);
        QFETCH(QString, target);
#ifdef Q_OS_WIN
        QCOMPARE(unsigned(GetACP()), expectedCodePage()); // the page the system gave this run
#endif
        QCOMPARE(text::codePage(), expectedCodePage());
        QVERIFY(start({recording(titleLine, fileName)}));
        const QString shown = rowItem(list, 0).text();
        QVERIFY2(shown.startsWith(listed), qPrintable(shown));
        clickRow(list, 0);
        clickButton(form.get(), "Extract");
        const QStringList files = QDir::current().entryList(QDir::Files);
        if (target.isEmpty()) {
            // Refused before the tool is run: the end message gives the reason.
            QVERIFY(extractCalls(*sim).isEmpty());
            QCOMPARE(seen.messages.size(), 1);
            QVERIFY2(seen.messages.first().contains(QStringLiteral("does not survive the system's code page")),
                     qPrintable(seen.messages.first()));
            QVERIFY2(files.filter(QStringLiteral(".mpg")).isEmpty(), qPrintable(files.join(u'|')));
            return;
        }
        QVERIFY2(seen.messages.isEmpty(), qPrintable(seen.messages.join(u'\n')));
        QCOMPARE(extractCalls(*sim), QStringList{recorderName});
        // The tool's file was found under the page's name and renamed to the title's.
        QVERIFY2(files.contains(target), qPrintable(files.join(u'|')));
        QVERIFY(!files.contains(recorderName));
        QVERIFY(fileBytes(target).startsWith(QByteArray("\x00\x00\x01\xBA", 4)));
    }

    // Characters the title may carry into the target name that Windows refuses in a file name:
    // there they become blanks, as "/" and ":" do; elsewhere the name is taken as it is.
    void targetNamesWindowsRefuses_data()
    {
        QTest::addColumn<QByteArray>("titleLine");
        QTest::addColumn<QString>("target");
#ifdef Q_OS_WIN
        QTest::newRow("question mark") << QByteArray("Quiz: Who?") << QStringLiteral(" Who _12 21 2002.mpg");
        QTest::newRow("asterisk") << QByteArray("Show: M*A*S*H") << QStringLiteral(" M A S H_12 21 2002.mpg");
        QTest::newRow("less than") << QByteArray("Math: a<b") << QStringLiteral(" a b_12 21 2002.mpg");
        QTest::newRow("greater than") << QByteArray("Math: b>a") << QStringLiteral(" b a_12 21 2002.mpg");
        QTest::newRow("bar") << QByteArray("News: Left|Right") << QStringLiteral(" Left Right_12 21 2002.mpg");
#else
        QTest::newRow("question mark") << QByteArray("Quiz: Who?") << QStringLiteral(" Who?_12 21 2002.mpg");
        QTest::newRow("asterisk") << QByteArray("Show: M*A*S*H") << QStringLiteral(" M*A*S*H_12 21 2002.mpg");
        QTest::newRow("less than") << QByteArray("Math: a<b") << QStringLiteral(" a<b_12 21 2002.mpg");
        QTest::newRow("greater than") << QByteArray("Math: b>a") << QStringLiteral(" b>a_12 21 2002.mpg");
        QTest::newRow("bar") << QByteArray("News: Left|Right") << QStringLiteral(" Left|Right_12 21 2002.mpg");
#endif
    }
    void targetNamesWindowsRefuses()
    {
        QFETCH(QByteArray, titleLine);
        QFETCH(QString, target);
        QVERIFY(start({recording(titleLine, "1001.mpg"), recording("Movie: Fine", "1002.mpg")}));
        clickRow(list, 0);
        clickRow(list, 1);
        clickButton(form.get(), "Extract");
        QVERIFY(QFileInfo::exists(QStringLiteral(" Fine_12 21 2002.mpg"))); // the session went on
        const QStringList files = QDir::current().entryList(QDir::Files);
        QVERIFY2(seen.messages.isEmpty(), qPrintable(seen.messages.join(u'\n')));
        QVERIFY2(files.contains(target), qPrintable(files.join(u'|')));
        QVERIFY(!files.contains(QStringLiteral("1001.mpg")));
    }

    void collisionSteps_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("target");
        const QString plain = QStringLiteral("a.mpg_D.mpg");
        QTest::newRow("free") << QStringList{} << plain;
        QTest::newRow("plainTakenEveryOccurrence") << QStringList{plain} << QStringLiteral("a_01.mpg_D_01.mpg");
        QTest::newRow("through_02") << QStringList{plain, QStringLiteral("a_01.mpg_D_01.mpg"), QStringLiteral("a_02.mpg_D_02.mpg")}
                                    << QStringLiteral("a_03.mpg_D_03.mpg");
        QTest::newRow("through_04") << QStringList{plain, QStringLiteral("a_01.mpg_D_01.mpg"), QStringLiteral("a_02.mpg_D_02.mpg"),
                                                   QStringLiteral("a_03.mpg_D_03.mpg"), QStringLiteral("a_04.mpg_D_04.mpg")}
                                    << QStringLiteral("a_05.mpg_D_05.mpg");
        QTest::newRow("gapNotFilled") << QStringList{plain, QStringLiteral("a_02.mpg_D_02.mpg")}
                                      << QStringLiteral("a_01.mpg_D_01.mpg");
    }
    void collisionSteps()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, target);
        QVERIFY(start({recording("X:a.mpg", "1001.mpg", "D")}));
        for (const QString &name : existing)
            writeFile(name, "earlier " + name.toLatin1());
        const QByteArray logBefore = fileBytes(kLog);
        clickRow(list, 0);
        clickButton(form.get(), "Extract");

        QVERIFY(seen.messages.isEmpty());
        QVERIFY(fileBytes(target).startsWith(QByteArray("\x00\x00\x01\xBA", 4)));
        for (const QString &name : existing)
            QCOMPARE(fileBytes(name), "earlier " + name.toLatin1());
        // The log carries the final name.
        const QStringList lines = logLinesSince(logBefore);
        QVERIFY(lines.size() > 3);
        QVERIFY(lines.at(2).startsWith(target + QStringLiteral("  Started:  ")));
        QVERIFY(lines.at(3).startsWith(target + QStringLiteral(" Finished:  ")));
    }

    void everyFormTaken_recordingKeptUnderItsOwnName()
    {
        QVERIFY(start({recording("X:a.mpg", "1001.mpg", "D")}));
        QStringList existing{QStringLiteral("a.mpg_D.mpg")};
        for (int n = 1; n <= 5; ++n)
            existing << QStringLiteral("a_0%1.mpg_D_0%1.mpg").arg(n);
        for (const QString &name : existing)
            writeFile(name, "earlier " + name.toLatin1());
        clickRow(list, 0);
        clickButton(form.get(), "Extract");
        for (const QString &name : existing)
            QCOMPARE(fileBytes(name), "earlier " + name.toLatin1());
        QVERIFY(fileBytes(QStringLiteral("1001.mpg")).startsWith(QByteArray("\x00\x00\x01\xBA", 4)));
        QCOMPARE(seen.messages.size(), 1);
        QVERIFY(seen.messages.first().contains(QStringLiteral("\"1001.mpg\"")));
        QVERIFY(seen.messages.first().contains(QStringLiteral("a_05.mpg_D_05.mpg")));
    }

    void sameTitleAndDateTwice_secondGets01()
    {
        QVERIFY(start({recording("Sitcom: Frasier", "1.mpg", "02/14/2002 9:00 PM"),
               recording("Sitcom: Frasier", "2.mpg", "02/14/2002 9:30 PM")}));
        clickRow(list, 0);
        clickRow(list, 1);
        clickButton(form.get(), "Extract");
        QVERIFY(QFileInfo::exists(QStringLiteral(" Frasier_02 14 2002.mpg")));
        QVERIFY(QFileInfo::exists(QStringLiteral(" Frasier_02 14 2002_01.mpg")));
        QVERIFY(seen.messages.isEmpty());
    }

    void logOfTwoRecordingsThenAnEmptySession()
    {
        QVERIFY(start({recording("Movie: One", "1.mpg"), recording("Movie: Two", "2.mpg", "01/02/2003 1:00 PM")}));
        clickRow(list, 0);
        clickRow(list, 1);
        QByteArray before = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        const QString date = QStringLiteral("\\d\\d-\\d\\d-\\d\\d\\d\\d");
        QVERIFY(linesMatch(logLinesSince(before), {
            QStringLiteral("DOVLGuide 1\\.3 log for ") + date + u' ' + kTime,
            QStringLiteral("        "),
            esc(QStringLiteral(" One_12 21 2002.mpg  Started:  ")) + kTime + esc(QStringLiteral("  Delay = Default")),
            esc(QStringLiteral(" One_12 21 2002.mpg Finished:  ")) + kTime,
            QStringLiteral(" "),
            esc(QStringLiteral(" Two_01 02 2003.mpg  Started:  ")) + kTime + esc(QStringLiteral("  Delay = Default")),
            esc(QStringLiteral(" Two_01 02 2003.mpg Finished:  ")) + kTime,
            QStringLiteral(" "),
            QStringLiteral(" "),
            esc(QStringLiteral("End of Download Session ")),
        }));

        // A second Extract passes the guard but finds no ticked row.
        before = fileBytes(kLog);
        const int callsBefore = sim->calls().size();
        clickButton(form.get(), "Extract");
        QVERIFY(linesMatch(logLinesSince(before), {
            QStringLiteral("DOVLGuide 1\\.3 log for ") + date + u' ' + kTime,
            QStringLiteral("        "),
            QStringLiteral(" "),
            esc(QStringLiteral("End of Download Session ")),
        }));
        QCOMPARE(sim->calls().size(), callsBefore);
        QCOMPARE(box(form.get(), "Text3")->text(), QStringLiteral("Session End"));

        // Exit after a guide: guide files deleted, exit records, settings.
        before = fileBytes(kLog);
        clickButton(form.get(), "Quit");
        QCOMPARE(fileBytes(kLog).mid(before.size()), QByteArray("Program Terminated \r\n \r\n \r\n"));
        QVERIFY(!QFileInfo::exists(QStringLiteral("guide.txt")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("guide.dat")));
        QCOMPARE(fileBytes(QStringLiteral("DOVLIP.dat")), QByteArray("\"192.168.0.20\",\"Default\"\r\n"));
        QCOMPARE(seen.ends, 1);
    }

    void delayForms_data()
    {
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("logged");
        QTest::newRow("defaultExact") << QStringLiteral("Default") << QStringLiteral("1.mpg") << QStringLiteral("Default");
        QTest::newRow("leadingZero") << QStringLiteral("07") << QStringLiteral("1.mpg\t7") << QStringLiteral("07");
        QTest::newRow("otherCase") << QStringLiteral("default") << QStringLiteral("1.mpg\t0") << QStringLiteral("default");
        QTest::newRow("withUnit") << QStringLiteral("12 min") << QStringLiteral("1.mpg\t12") << QStringLiteral("12 min");
    }
    void delayForms()
    {
        QFETCH(QString, delay);
        QFETCH(QString, call);
        QFETCH(QString, logged);
        QVERIFY(start({recording("Movie: One", "1.mpg")}));
        typeInto(box(form.get(), "Text9"), delay);
        clickRow(list, 0);
        const QByteArray before = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        QCOMPARE(extractCalls(*sim), QStringList{call});
        QVERIFY(logLinesSince(before).at(2).endsWith(QStringLiteral("  Delay = ") + logged));
    }

    void all201ShowsPulled()
    {
        QList<QByteArrayList> rows;
        for (int n = 0; n < 201; ++n)
            rows << recording("Movie: Show " + QByteArray::number(n), QByteArray::number(5000 + n) + ".mpg");
        QVERIFY(start(rows));
        for (int n = 0; n < 201; ++n)
            rowItem(list, n).setCheckState(Qt::Checked);
        QCOMPARE(box(form.get(), "Text5")->text(), QStringLiteral("201"));
        clickButton(form.get(), "Extract");
        QCOMPARE(extractCalls(*sim).size(), 201);
        QVERIFY(QFileInfo::exists(QStringLiteral(" Show 200_12 21 2002.mpg")));
        QVERIFY(seen.messages.isEmpty());
    }

    void otherButtonsIgnoredDuringASession()
    {
        QVERIFY(start({recording("Movie: One", "1.mpg"), recording("Movie: Two", "2.mpg")}));
        clickRow(list, 0);
        clickRow(list, 1);
        QVERIFY(QFile::remove(replayPCFileName())); // its runner message is up while the session runs
        int nestedCallsSeen = 0;
        seen.duringMessage = [&] {
            if (nestedCallsSeen++)
                return;
            QVERIFY(form->sessionState().DownloadActive);
            const QByteArray logBefore = fileBytes(kLog);
            clickButton(form.get(), "Quit");
            clickButton(form.get(), "LogView");
            clickButton(form.get(), "Extract");
            QCOMPARE(seen.ends, 0);
            QVERIFY(!form->logWindow());
            QCOMPARE(fileBytes(kLog), logBefore);
        };
        clickButton(form.get(), "Extract");
        QCOMPARE(nestedCallsSeen, 3); // two runner messages and the end-of-session list
        QVERIFY(!form->sessionState().DownloadActive);
        QVERIFY(!QFileInfo::exists(QStringLiteral("DOVLIP.dat")));
    }

    // ---- The end-of-session message within the screen ----

    // A stand-in screen that holds `maxLines` lines of text.
    void fitEntries_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("closing");
        const auto more = [](int n) {
            return QStringLiteral("... and %1 more, which the activity log holds with all the others: "
                                  "see View Log.").arg(n);
        };
        // The whole list takes count + 2 lines; k of them with the closing sentence k + 4; none
        // of them, the heading, a blank line and the sentence.
        QTest::newRow("all fit with room to spare") << 5 << 50 << 5 << QString();
        QTest::newRow("all fit to the line") << 5 << 7 << 5 << QString();
        QTest::newRow("a line short: the sentence takes two more") << 5 << 6 << 2 << more(3);
        QTest::newRow("nine of forty to the line") << 40 << 13 << 9 << more(31);
        QTest::newRow("a line less, eight") << 40 << 12 << 8 << more(32);
        QTest::newRow("one") << 40 << 5 << 1 << more(39);
        QTest::newRow("a line short of forty") << 40 << 41 << 37 << more(3);
        QTest::newRow("none, the sentence still said")
            << 40 << 4 << 0 << QStringLiteral("The activity log holds all 40 of them: see View Log.");
        QTest::newRow("not even the heading fits")
            << 40 << 1 << 0 << QStringLiteral("The activity log holds all 40 of them: see View Log.");
        QTest::newRow("a single entry that does not fit")
            << 1 << 2 << 0 << QStringLiteral("The activity log holds it: see View Log.");
        QTest::newRow("no entries") << 0 << 1 << 0 << QString();
    }
    void fitEntries()
    {
        QFETCH(int, count);
        QFETCH(int, maxLines);
        QFETCH(int, shown);
        QFETCH(QString, closing);
        const QString heading = QStringLiteral("Some need attention:");
        QStringList entries;
        for (int n = 1; n <= count; ++n)
            entries << QStringLiteral("Entry %1 went wrong.").arg(n);
        const auto fits = [maxLines](const QString &text) { return text.count(u'\n') + 1 <= maxLines; };

        const QString message = ui::fitEntries(heading, entries, fits);
        QStringList paragraphs = message.split(QStringLiteral("\n\n"));
        QCOMPARE(paragraphs.takeFirst(), heading);
        if (shown > 0)
            QCOMPARE(paragraphs.takeFirst().split(u'\n'), entries.mid(0, shown)); // whole, in order
        QCOMPARE(paragraphs, closing.isEmpty() ? QStringList() : QStringList{closing});
        if (maxLines >= 3)
            QVERIFY(fits(message));
    }

    // A stand-in screen that holds `limit` characters; the note is "N".
    void fitText_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("shown");
        // Words end at 3, 7, 14 and 19; the whole text is 24 characters.
        QTest::newRow("whole, to the character") << 24 << QStringLiteral("one two  three\nfour five");
        QTest::newRow("a character short: to the fourth word") << 23 << QStringLiteral("one two  three\nfour\n\nN");
        QTest::newRow("four words to the character") << 22 << QStringLiteral("one two  three\nfour\n\nN");
        QTest::newRow("a character less, three") << 21 << QStringLiteral("one two  three\n\nN");
        QTest::newRow("two words") << 16 << QStringLiteral("one two\n\nN");
        QTest::newRow("one word") << 9 << QStringLiteral("one\n\nN");
        QTest::newRow("no word: the note alone") << 5 << QStringLiteral("N");
        QTest::newRow("nothing fits: the note alone") << 0 << QStringLiteral("N");
    }
    void fitText()
    {
        QFETCH(int, limit);
        QFETCH(QString, shown);
        const auto fits = [limit](const QString &text) { return text.size() <= limit; };
        QCOMPARE(ui::fitText(QStringLiteral("one two  three\nfour five"), QStringLiteral("N"), fits), shown);
    }

    // Every pull of forty fails: the message lists what the screen holds, each sentence whole,
    // and sends the user to the log, which names all of them.
    void fortyFailedPulls_endMessageFitsTheScreen()
    {
        const int count = 40;
        QList<QByteArrayList> rows;
        for (int n = 0; n < count; ++n)
            rows << recording("Movie: Show " + QByteArray::number(n), QByteArray::number(7000 + n) + ".mpg");
        QVERIFY(start(rows));
        for (int n = 0; n < count; ++n)
            rowItem(list, n).setCheckState(Qt::Checked);
        seen.runInstead = [](const QByteArray &line) -> std::optional<runner::RunResult> {
            if (!line.contains(" -e "))
                return std::nullopt;
            runner::RunResult failed;
            failed.started = true;
            failed.exitCode = 1;
            return failed;
        };
        const QByteArray logBefore = fileBytes(kLog);
        clickButton(form.get(), "Extract");
        QCOMPARE(seen.messages.size(), 1);
        const QString message = seen.messages.last();

        QMessageBox box(QMessageBox::NoIcon, ui::kProgramTitle, message, QMessageBox::Ok);
        box.show();
        const int available = QGuiApplication::primaryScreen()->availableGeometry().height();
        QVERIFY2(box.frameGeometry().height() <= available,
                 qPrintable(QStringLiteral("%1 px high on %2 px").arg(box.frameGeometry().height()).arg(available)));
        QVERIFY2(box.frameGeometry().height() > available / 2, "the screen's room is left unused");

        const QStringList paragraphs = message.split(QStringLiteral("\n\n"));
        QCOMPARE(paragraphs.size(), 3);
        QCOMPARE(paragraphs.at(0), QStringLiteral("Some recordings of this session need your attention:"));
        const QStringList listed = paragraphs.at(1).split(u'\n');
        QVERIFY(listed.size() < count);
        QCOMPARE(paragraphs.at(2), QStringLiteral("... and %1 more, which the activity log holds with all the "
                                                  "others: see View Log.")
                                       .arg(count - listed.size()));

        QStringList logged;
        for (const QString &line : logLinesSince(logBefore))
            if (line.startsWith(QStringLiteral("ATTENTION: ")))
                logged << line.mid(11);
        QCOMPARE(logged.size(), count);
        for (int n = 0; n < count; ++n)
            QVERIFY2(logged.at(n).contains(QStringLiteral("(recorder file \"%1.mpg\"), was not saved").arg(7000 + n)),
                     qPrintable(logged.at(n)));
        QCOMPARE(listed, logged.mid(0, listed.size()));
    }

    // The program's own box, shown: a text too tall for the screen shows its start, cut after a
    // word, and the details hold the whole, open or closed within the screen.
    void messageBox_neverTallerThanTheScreen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("overWindow");
        QTest::addColumn<bool>("cut");
        QString lines, paragraph;
        for (int n = 1; n <= 300; ++n)
            lines += QStringLiteral("Line %1 of a long report of a problem.\n").arg(n);
        for (int n = 1; n <= 3000; ++n)
            paragraph += QStringLiteral("word%1 ").arg(n);
        QTest::newRow("short, over the window") << QStringLiteral("It went well.") << true << false;
        QTest::newRow("short, before the window") << QStringLiteral("It went well.") << false << false;
        QTest::newRow("many lines, over the window") << lines.trimmed() << true << true;
        QTest::newRow("one long paragraph, before the window") << paragraph.trimmed() << false << true;
    }
    void messageBox_neverTallerThanTheScreen()
    {
        QFETCH(QString, text);
        QFETCH(bool, overWindow);
        QFETCH(bool, cut);
        if (overWindow) {
            form = makeForm(seen);
            form->show();
        }
        QString name, shown, details;
        int closed = 0, open = 0;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            name = box->objectName();
            shown = box->text();
            details = box->detailedText();
            closed = box->frameGeometry().height();
            for (QAbstractButton *button : box->buttons())
                if (box->buttonRole(button) == QMessageBox::ActionRole)
                    button->click();
            open = box->frameGeometry().height();
            box->done(QMessageBox::Ok);
        });
        ui::SystemServices().message(form.get(), text);

        QCOMPARE(name, QStringLiteral("MessageBox"));
        const int available = QGuiApplication::primaryScreen()->availableGeometry().height();
        QVERIFY2(closed > 0 && closed <= available && open <= available,
                 qPrintable(QStringLiteral("%1 and %2 px high on %3 px").arg(closed).arg(open).arg(available)));
        if (!cut) {
            QCOMPARE(shown, text);
            QCOMPARE(details, QString());
            return;
        }
        QCOMPARE(details, text);
        const QString note = QStringLiteral("\n\nThe message goes on: Show Details holds the whole of it.");
        QVERIFY2(shown.endsWith(note), qPrintable(shown));
        const QString start = shown.chopped(note.size());
        QVERIFY2(!start.isEmpty() && text.startsWith(start) && text.at(start.size()).isSpace(), qPrintable(start));
        QVERIFY2(open > available / 2, "the screen's room is left unused");
    }

    // ---- The log window ----

    void logWindow_tableCaptionAndFirstRows()
    {
        form = makeForm(seen);
        clickButton(form.get(), "LogView");
        ui::Form2 *logWindow = form->logWindow();
        QVERIFY(logWindow);
        QVERIFY(logWindow->isVisible());
        QCOMPARE(logWindow->objectName(), QStringLiteral("Form2"));
        QCOMPARE(logWindow->windowTitle(), QStringLiteral("Log View"));
        QCOMPARE(logWindow->size(), QSize(605, 317));
        QVERIFY(!logWindow->parentWidget()); // modeless, no owner
        QCOMPARE(control<QLabel>(logWindow, "Label1")->text(), QStringLiteral("Dovrel Mpeg Utility Log"));
        QCOMPARE(control<QLabel>(logWindow, "Label1")->font().pointSizeF(), 18.0);
        QCOMPARE(control<QPushButton>(logWindow, "Command1")->text(), QStringLiteral("Close Window"));
        const QStringList rows = listRows(logWindow);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0), QStringLiteral("Log_List"));
        QCOMPARE(rows.at(1), QStringLiteral(" - - - - - - - - - - - - - - - - - - -"));
        QVERIFY(rows.at(2).startsWith(QStringLiteral("New Guide Started - Guide Date ")));
    }

    void logWindow_closeWindowKeepsRows_thenNoReread()
    {
        QVERIFY(start({recording("Movie: One", "1.mpg")}));
        clickButton(form.get(), "LogView");
        QPointer<ui::Form2> first = form->logWindow();
        const QStringList rows = listRows(first);
        clickButton(first, "Command1");
        QVERIFY(first && !first->isVisible());

        clickRow(list, 0);
        clickButton(form.get(), "Extract");
        clickButton(form.get(), "LogView");
        QCOMPARE(form->logWindow(), first.data());
        QVERIFY(first->isVisible());
        QCOMPARE(listRows(first), rows); // the session's records are not in it

        clickButton(form.get(), "LogView"); // already shown: no second window, no reading
        QCOMPARE(form->logWindow(), first.data());
        QCOMPARE(listRows(first), rows);
    }

    void logWindow_closedThroughWindowSystem_rereadsWholeLog()
    {
        QVERIFY(start({recording("Movie: One", "1.mpg")}));
        clickButton(form.get(), "LogView");
        QPointer<ui::Form2> first = form->logWindow();
        const int rowsBefore = int(listRows(first).size());
        first->close();
        QTRY_VERIFY(!first);
        QVERIFY(!form->logWindow());

        clickRow(list, 0);
        clickButton(form.get(), "Extract");
        clickButton(form.get(), "LogView");
        const QStringList rows = listRows(form->logWindow());
        QCOMPARE(rows.first(), QStringLiteral("Log_List"));
        QCOMPARE(rows.size(), rowsBefore + 7);
        QCOMPARE(rows.last(), QStringLiteral("End of Download Session "));
        QVERIFY(rows.contains(QStringLiteral("        ")));
    }

    void logWindow_unreadableLogShowsFirstRow()
    {
        form = makeForm(seen);
        QVERIFY(QFile::remove(kLog));
        QVERIFY(QDir().mkdir(kLog));
        clickButton(form.get(), "LogView");
        QCOMPARE(listRows(form->logWindow()), QStringList{QStringLiteral("Log_List")});
        QVERIFY(seen.messages.isEmpty());
    }
};

QTEST_MAIN(TestExtract)
#include "test_extract.moc"
