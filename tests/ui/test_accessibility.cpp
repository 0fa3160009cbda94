// What assistive technology is told: each control's role, name, description, states and
// actions through Qt's accessibility interfaces; the events raised when a row's tick changes;
// the keys that press buttons and close the log window.
#include "accessibility.h"
#include "fixture.h"
#include "testtools.h"
#include "form2.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

struct SeenEvent
{
    QAccessible::Event type;
    QAccessibleInterface *target;
    QAccessible::State changed;
};
QList<SeenEvent> events;

void recordEvent(QAccessibleEvent *event)
{
    SeenEvent seen{event->type(), event->accessibleInterface(), {}};
    if (event->type() == QAccessible::StateChanged)
        seen.changed = static_cast<QAccessibleStateChangeEvent *>(event)->changedStates();
    events << seen;
}

// Checked-state changes recorded for `row`, or for any row when it is null.
int checkedChanges(QAccessibleInterface *row = nullptr)
{
    int n = 0;
    for (const SeenEvent &e : events)
        n += e.type == QAccessible::StateChanged && e.changed.checked && (!row || e.target == row);
    return n;
}

QAccessibleInterface *accessible(QObject *object) { return QAccessible::queryAccessibleInterface(object); }

const QString kHoursDescription = QStringLiteral("Estimated transfer time of the tagged shows, in hours");
const QString kSavingDescription = QStringLiteral("Name of the file being saved");

enum class Way { Mouse, Space, Program, ToggleAction };
enum class Obstacle { SessionMessageBox, ModalBox, ListDisabled, WindowDisabled, WindowHidden, WindowMinimized };

// The program's own message boxes, really shown and modal; each is closed as OK would close it,
// after `whileFirstBoxIsUp` has run in the first one.
class RealMessageBoxes : public ui::WindowServices
{
public:
    std::function<void()> whileFirstBoxIsUp;
    int count = 0;

    void message(QWidget *parent, const QString &text) override
    {
        const bool first = count++ == 0;
        QTimer::singleShot(0, [this, first] {
            if (first && whileFirstBoxIsUp)
                whileFirstBoxIsUp();
            if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                box->done(QMessageBox::Ok);
        });
        ui::SystemServices().message(parent, text);
    }
    void beep() override {}
    void endProgram() override {}
};

// Both windows in a fresh working directory, for tests that run over the controls of either.
struct BothWindows
{
    WorkDir dir;
    Seen seen;
    std::unique_ptr<ui::Form1> form = makeForm(seen);
    ui::Form2 log;

    QWidget *window(bool logWindow) { return logWindow ? static_cast<QWidget *>(&log) : form.get(); }
};

} // namespace

Q_DECLARE_METATYPE(Way)
Q_DECLARE_METATYPE(Obstacle)

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifdef Q_OS_WIN
        // Windows switches Qt's accessibility on when an assistive client first asks a window
        // for its UI Automation root: ask as such a client does.
        QWidget probe;
        probe.show();
        QVERIFY(QTest::qWaitForWindowExposed(&probe));
        constexpr LPARAM uiaRootObjectId = -25; // UiaRootObjectId of uiautomationcoreapi.h
        SendMessageW(reinterpret_cast<HWND>(probe.winId()), WM_GETOBJECT, 0, uiaRootObjectId);
        QTRY_VERIFY2_WITH_TIMEOUT(QAccessible::isActive(), "accessibility not switched on", 10000);
#else
        // The bridge switches itself on once it has reached the accessibility bus.
        QTRY_VERIFY2_WITH_TIMEOUT(QAccessible::isActive(), "no active accessibility bridge", 10000);
#endif
        QAccessible::installUpdateHandler(recordEvent);
    }

    void init() { events.clear(); }

    // What assistive technology is told about every control of both windows.
    void controls_report_data()
    {
        QTest::addColumn<bool>("logWindow");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("in"); // the accessible parent's object name
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("accessibleName");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("traits"); // "focus": takes the focus; "fixed": read-only
        QTest::addColumn<QString>("action"); // an action it offers, or empty
        const QString press = QAccessibleActionInterface::pressAction();
        const QString header = QStringLiteral("     Show      /      Title") + QString(70, u' ')
            + QStringLiteral("Quality          Duration       Date Recorded");
        const auto row = [](const char *window, const char *name, const char *in, QAccessible::Role role,
                            QAnyStringView accessibleName, QAnyStringView description, const char *traits,
                            const QString &action = QString()) {
            QTest::addRow("%s_%s", window, name)
                << (qstrcmp(window, "Form2") == 0) << QString::fromLatin1(name) << QString::fromLatin1(in) << role
                << accessibleName.toString() << description.toString() << QString::fromLatin1(traits) << action;
        };
        using A = QAccessible;
        row("Form1", "Label1", "Form1", A::StaticText, "Dovrel Mpeg Utility", "", "fixed");
        row("Form1", "Label11", "Form1", A::StaticText, "Ver. 1.3", "Version 1.3.0 build 11", "fixed");
        row("Form1", "Label3", "Form1", A::StaticText, header, "", "fixed");
        row("Form1", "List1", "Form1", A::List, "Shows", "", "focus");
        row("Form1", "Label2", "Form1", A::StaticText, "Date List Created", "", "fixed");
        row("Form1", "Text1", "Form1", A::EditableText, "Date List Created", "", "focus fixed");
        row("Form1", "Label4", "Form1", A::StaticText, "Files Available", "", "fixed");
        row("Form1", "Text2", "Form1", A::EditableText, "Files Available", "", "focus fixed");
        row("Form1", "Label5", "Form1", A::StaticText, "Tagged for Download", "", "fixed");
        row("Form1", "Text5", "Form1", A::EditableText, "Tagged for Download", "", "focus fixed");
        row("Form1", "Label6", "Form1", A::StaticText, "Est.  Download  Left", "", "fixed");
        row("Form1", "Text6", "Form1", A::EditableText, "Est. Download Left Bytes", "", "focus fixed");
        row("Form1", "Label7", "Form1", A::StaticText, "Bytes", "", "fixed");
        row("Form1", "GetGuide", "Form1", A::Button, "Get Guide", "Get Guide Info.", "focus", press);
        row("Form1", "Extract", "Form1", A::Button, "Extract Mpeg(s)", "Off-load selected Titles", "focus", press);
        row("Form1", "LogView", "Form1", A::Button, "View Log", "View Program Log", "focus", press);
        row("Form1", "Quit", "Form1", A::Button, "Exit", "Quit program", "focus", press);
        row("Form1", "Frame2", "Form1", A::Grouping, "Parameters", "", "");
        row("Form1", "Label9", "Frame2", A::StaticText, "IP Address", "", "fixed");
        row("Form1", "IPAddress", "Frame2", A::EditableText, "IP Address", "", "focus");
        row("Form1", "Label10", "Frame2", A::StaticText, "Delay", "blank = ReplayPC default", "fixed");
        row("Form1", "Text9", "Frame2", A::EditableText, "Delay", "Blank = ReplayPC Default", "focus");
        row("Form1", "Check1", "Frame2", A::CheckBox, "Use ReplayPC Default Delay", "", "focus",
            QAccessibleActionInterface::toggleAction());
        row("Form1", "Frame1", "Form1", A::Grouping, "Status", "", "");
        row("Form1", "Label8", "Frame1", A::StaticText, "Saving As:", "", "fixed");
        row("Form1", "Text3", "Form1", A::EditableText, "Status", "", "focus fixed");
        row("Form1", "Text4", "Form1", A::EditableText, "Recorder File", "", "focus fixed");
        row("Form1", "Text7", "Form1", A::EditableText, "Saving As", kHoursDescription, "focus fixed");
        row("Form2", "Label1", "Form2", A::StaticText, "Dovrel Mpeg Utility Log", "", "fixed");
        row("Form2", "Log_List", "Form2", A::List, "Log", "", "focus");
        row("Form2", "Command1", "Form2", A::Button, "Close Window", "", "focus", press);
    }
    void controls_report()
    {
        QFETCH(bool, logWindow);
        QFETCH(QString, name);
        QFETCH(QString, in);
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, accessibleName);
        QFETCH(QString, description);
        QFETCH(QString, traits);
        QFETCH(QString, action);
        BothWindows both;
        QWidget *w = both.window(logWindow)->findChild<QWidget *>(name);
        QVERIFY(w);
        QAccessibleInterface *iface = accessible(w);
        QVERIFY(iface);
        QCOMPARE(iface->role(), role);
        QCOMPARE(iface->text(QAccessible::Name), accessibleName);
        QCOMPARE(iface->text(QAccessible::Description), description);
        const QAccessible::State state = iface->state();
        QCOMPARE(bool(state.focusable), traits.contains(QStringLiteral("focus")));
        QCOMPARE(bool(state.readOnly), traits.contains(QStringLiteral("fixed")));
        QVERIFY(!state.disabled);
        QCOMPARE(iface->parent()->object()->objectName(), in);
        if (!action.isEmpty())
            QVERIFY(iface->actionInterface()->actionNames().contains(action));
    }

    void windows_areWindowsNamedByCaption_data()
    {
        QTest::addColumn<bool>("logWindow");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Form1") << false << QStringLiteral("Dovrel Mpeg Utility");
        QTest::newRow("Form2") << true << QStringLiteral("Log View");
    }
    void windows_areWindowsNamedByCaption()
    {
        QFETCH(bool, logWindow);
        QFETCH(QString, caption);
        BothWindows both;
        QWidget *window = both.window(logWindow);
        QAccessibleInterface *iface = accessible(window);
        QCOMPARE(iface->role(), QAccessible::Window);
        QCOMPARE(iface->text(QAccessible::Name), caption);
        // Its controls are its children.
        QVERIFY(iface->childCount() >= 3);
        QCOMPARE(iface->child(0)->parent(), iface);
    }

    void rows_checkableWithTheirTick()
    {
        WorkDir dir;
        Seen seen;
        Simulator sim;
        QVERIFY(sim.installed());
        auto form = formWithGuide(seen, sim, {recording("Alpha", "a.mpg"), recording("Beta", "b.mpg"),
                                              recording("Gamma", "c.mpg")});
        auto *list = control<QListWidget>(form.get(), "List1");
        QCOMPARE(list->count(), 3);
        rowItem(list, 1).setCheckState(Qt::Checked);
        QAccessibleInterface *listIface = accessible(list);
        QCOMPARE(listIface->childCount(), 3);
        QVERIFY(!listIface->child(3));
        QVERIFY(!listIface->child(-1));
        const QRect listRect = listIface->rect();
        for (int row = 0; row < 3; ++row) {
            QAccessibleInterface *r = listIface->child(row);
            QVERIFY(r && r->isValid());
            QCOMPARE(r->role(), QAccessible::CheckBox);
            QCOMPARE(r->text(QAccessible::Name), rowItem(list, row).text());
            QCOMPARE(r->parent(), listIface);
            QCOMPARE(listIface->indexOfChild(r), row);
            QCOMPARE(listIface->child(row), r); // the same interface every time
            const QAccessible::State state = r->state();
            QVERIFY(state.checkable);
            QCOMPARE(bool(state.checked), row == 1);
            QVERIFY(!state.disabled);
            QCOMPARE(r->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::toggleAction()});
            QVERIFY(listRect.contains(r->rect()));
            QCOMPARE(listIface->childAt(r->rect().center().x(), r->rect().center().y()), r);
        }
    }

    // Every way a tick changes tells assistive technology, for that row only, and runs the
    // list's click handling.
    void tickChange_raisesCheckedEvent_data()
    {
        QTest::addColumn<Way>("way");
        QTest::addColumn<bool>("untick");
        QTest::newRow("mouseTicks") << Way::Mouse << false;
        QTest::newRow("mouseUnticks") << Way::Mouse << true;
        QTest::newRow("spaceTicks") << Way::Space << false;
        QTest::newRow("spaceUnticks") << Way::Space << true;
        QTest::newRow("programTicks") << Way::Program << false;
        QTest::newRow("programUnticks") << Way::Program << true;
        QTest::newRow("toggleActionTicks") << Way::ToggleAction << false;
        QTest::newRow("toggleActionUnticks") << Way::ToggleAction << true;
    }
    void tickChange_raisesCheckedEvent()
    {
        QFETCH(Way, way);
        QFETCH(bool, untick);
        WorkDir dir;
        Seen seen;
        Simulator sim;
        QVERIFY(sim.installed());
        auto form = formWithGuide(seen, sim, {recording("Alpha", "a.mpg"), recording("Beta", "b.mpg"),
                                              recording("Gamma", "c.mpg")});
        auto *list = control<QListWidget>(form.get(), "List1");
        auto *tagged = control<QLineEdit>(form.get(), "Text5");
        const int row = 2;
        if (untick)
            rowItem(list, row).setCheckState(Qt::Checked);
        QCOMPARE(tagged->text(), untick ? QStringLiteral("1") : QStringLiteral("0"));
        QAccessibleInterface *r = accessible(list)->child(row);
        events.clear();

        switch (way) {
        case Way::Mouse:
            clickRow(list, row);
            break;
        case Way::Space:
            list->setFocus();
            list->setCurrentRow(row);
            QTest::keyClick(list, Qt::Key_Space);
            break;
        case Way::Program:
            rowItem(list, row).setCheckState(untick ? Qt::Unchecked : Qt::Checked);
            break;
        case Way::ToggleAction:
            r->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QCOMPARE(list->currentRow(), row); // as a click makes it the current row
            break;
        }
        QCOMPARE(rowItem(list, row).checkState(), untick ? Qt::Unchecked : Qt::Checked);
        QCOMPARE(checkedChanges(r), 1);
        QCOMPARE(checkedChanges(), 1);
        QCOMPARE(bool(r->state().checked), !untick);
        QCOMPARE(tagged->text(), untick ? QStringLiteral("0") : QStringLiteral("1"));
    }

    void setSameTick_raisesNothing()
    {
        WorkDir dir;
        Seen seen;
        Simulator sim;
        QVERIFY(sim.installed());
        auto form = formWithGuide(seen, sim, {recording("Alpha", "a.mpg")});
        auto *list = control<QListWidget>(form.get(), "List1");
        QVERIFY(accessible(list)->child(0));
        events.clear();
        rowItem(list, 0).setCheckState(Qt::Unchecked);
        rowItem(list, 0).setText(QStringLiteral("changed text"));
        QCOMPARE(checkedChanges(), 0);
    }

    // The Toggle action is refused wherever a click on the row would not reach it; where the
    // obstacle can go away, the action ticks again once it has.
    void toggleAction_refusedWhereAClickIsNot_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::newRow("sessionMessageBox") << Obstacle::SessionMessageBox;
        QTest::newRow("modalBox") << Obstacle::ModalBox;
        QTest::newRow("listDisabledAfterSession") << Obstacle::ListDisabled;
        QTest::newRow("windowDisabled") << Obstacle::WindowDisabled;
        QTest::newRow("windowHidden") << Obstacle::WindowHidden;
        QTest::newRow("windowMinimized") << Obstacle::WindowMinimized;
    }
    void toggleAction_refusedWhereAClickIsNot()
    {
        QFETCH(Obstacle, obstacle);
        WorkDir dir;
        Simulator sim;
        QVERIFY(sim.installed());
        sim.setRecordings({recording("Alpha", "a.mpg"), recording("Beta", "b.mpg")});
        // The program's own message boxes, really shown and modal, each closed as OK would.
        auto boxes = std::make_unique<RealMessageBoxes>();
        RealMessageBoxes *shown = boxes.get();
        ui::Form1 form(std::move(boxes));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        getGuide(&form);
        auto *list = control<QListWidget>(&form, "List1");
        auto *tagged = control<QLineEdit>(&form, "Text5");
        QCOMPARE(list->count(), 2);
        QAccessibleInterface *r = accessible(list)->child(1);
        const auto toggle = [&] {
            events.clear();
            r->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        };
        const auto refused = [&](const QString &taggedBefore) {
            QCOMPARE(rowItem(list, 1).checkState(), Qt::Unchecked);
            QCOMPARE(checkedChanges(), 0);
            QCOMPARE(tagged->text(), taggedBefore);
        };

        QMessageBox modal(QMessageBox::NoIcon, QStringLiteral("modal"), QStringLiteral("modal"),
                          QMessageBox::Ok, &form);
        switch (obstacle) {
        case Obstacle::SessionMessageBox: {
            // The first recording's tool cannot be started: its box is up while the list is
            // still enabled, the row queued and the session running.
            rowItem(list, 0).setCheckState(Qt::Checked);
            QVERIFY(QFile::remove(replayPCFileName()));
            bool tried = false;
            shown->whileFirstBoxIsUp = [&] {
                QVERIFY(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
                QVERIFY(list->isEnabled());
                toggle();
                refused(QStringLiteral("1"));
                tried = true;
            };
            clickButton(&form, "Extract");
            QVERIFY(tried);
            QCOMPARE(shown->count, 2); // the tool's box and the session's list
            QCOMPARE(rowItem(list, 1).checkState(), Qt::Unchecked);
            return;
        }
        case Obstacle::ModalBox:
            modal.setWindowModality(Qt::ApplicationModal);
            modal.show();
            QVERIFY(QTest::qWaitForWindowExposed(&modal));
            QCOMPARE(QApplication::activeModalWidget(), &modal);
            break;
        case Obstacle::ListDisabled:
            rowItem(list, 0).setCheckState(Qt::Checked);
            clickButton(&form, "Extract");
            QVERIFY(!list->isEnabled());
            QVERIFY(r->state().disabled);
            toggle();
            refused(tagged->text());
            return;
        case Obstacle::WindowDisabled:
            form.setEnabled(false);
            break;
        case Obstacle::WindowHidden:
            form.hide();
            break;
        case Obstacle::WindowMinimized:
            form.showMinimized();
            QTRY_VERIFY(form.isMinimized());
            break;
        }
        toggle();
        refused(QStringLiteral("0"));
        if (QTest::currentTestFailed())
            return;

        switch (obstacle) {
        case Obstacle::ModalBox:
            modal.close();
            QTRY_VERIFY(!QApplication::activeModalWidget());
            break;
        case Obstacle::WindowDisabled:
            form.setEnabled(true);
            break;
        case Obstacle::WindowHidden:
        case Obstacle::WindowMinimized:
            form.showNormal();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            break;
        default:
            break;
        }
        toggle();
        QCOMPARE(rowItem(list, 1).checkState(), Qt::Checked);
        QCOMPARE(checkedChanges(r), 1);
        QCOMPARE(tagged->text(), QStringLiteral("1"));
    }

    // Rows appended after a row interface was handed out get interfaces of their own; none is
    // left pointing at a row that moved.
    void rowsAppended_interfacesFollow()
    {
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        auto *list = control<QListWidget>(form.get(), "List1");
        list->addItem(QStringLiteral("first"));
        QAccessibleInterface *listIface = accessible(list);
        QCOMPARE(listIface->child(0)->text(QAccessible::Name), QStringLiteral("first"));
        list->insertItem(0, QStringLiteral("new first"));
        QCOMPARE(listIface->childCount(), 2);
        QCOMPARE(listIface->child(0)->text(QAccessible::Name), QStringLiteral("new first"));
        QCOMPARE(listIface->child(1)->text(QAccessible::Name), QStringLiteral("first"));
        list->clear();
        QCOMPARE(listIface->childCount(), 0);
        QVERIFY(!listIface->child(0));
    }

    void buttons_pressedByKeys_data()
    {
        QTest::addColumn<bool>("logWindow");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<int>("clicks");
        const struct { bool log; const char *name; } buttons[] = {
            {false, "GetGuide"}, {false, "Extract"}, {false, "LogView"}, {false, "Quit"}, {true, "Command1"}};
        for (const auto &b : buttons) {
            QTest::addRow("%s_return", b.name) << b.log << QString::fromLatin1(b.name) << int(Qt::Key_Return) << 0 << false << 1;
            QTest::addRow("%s_enter", b.name) << b.log << QString::fromLatin1(b.name) << int(Qt::Key_Enter)
                                              << int(Qt::KeypadModifier) << false << 1;
        }
        QTest::newRow("heldReturn_noRepeat") << false << QStringLiteral("Extract") << int(Qt::Key_Return) << 0 << true << 0;
        QTest::newRow("ctrlReturn_notAPress") << false << QStringLiteral("Extract") << int(Qt::Key_Return)
                                              << int(Qt::ControlModifier) << false << 0;
        QTest::newRow("letter_notAPress") << false << QStringLiteral("Extract") << int(Qt::Key_A) << 0 << false << 0;
    }
    void buttons_pressedByKeys()
    {
        QFETCH(bool, logWindow);
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, autoRepeat);
        QFETCH(int, clicks);
        BothWindows both;
        QWidget *window = both.window(logWindow);
        auto *b = window->findChild<QPushButton *>(button);
        QVERIFY(b);
        QSignalSpy clicked(b, &QPushButton::clicked);
        const auto mods = Qt::KeyboardModifiers(modifiers);
        if (autoRepeat) {
            QKeyEvent press(QEvent::KeyPress, key, mods, QString(), true);
            QKeyEvent release(QEvent::KeyRelease, key, mods, QString(), true);
            QApplication::sendEvent(b, &press);
            QApplication::sendEvent(b, &release);
        } else {
            QTest::keyClick(b, Qt::Key(key), mods);
        }
        QCOMPARE(clicked.count(), clicks);
    }

    // Escape does what Close Window does: the window is hidden, loaded, with its rows.
    void escape_closesLogWindow_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("fromList") << QStringLiteral("Log_List");
        QTest::newRow("fromButton") << QStringLiteral("Command1");
    }
    void escape_closesLogWindow()
    {
        QFETCH(QString, focus);
        WorkDir dir;
        Seen seen;
        auto form = makeForm(seen);
        form->show();
        clickButton(form.get(), "LogView");
        ui::Form2 *log = form->logWindow();
        QVERIFY(log && log->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(log));
        auto *rows = control<QListWidget>(log, "Log_List");
        const int count = rows->count();
        QWidget *target = log->findChild<QWidget *>(focus);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!log->isVisible());
        QCOMPARE(form->logWindow(), log);
        QCOMPARE(rows->count(), count);
    }

    // Text7 says whether it shows the hours or the file being saved; a name too long for the
    // box is whole in its tooltip.
    void text7_describesWhatItShows_data()
    {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<bool>("tooLong");
        QTest::newRow("shortName") << QByteArray("Alpha") << false;
        QTest::newRow("longName") << QByteArray("A Very Long Title Of A Show That Fills The Box Twice Over") << true;
    }
    void text7_describesWhatItShows()
    {
        QFETCH(QByteArray, title);
        QFETCH(bool, tooLong);
        WorkDir dir;
        Seen seen;
        Simulator sim;
        QVERIFY(sim.installed());
        auto form = formWithGuide(seen, sim, {recording(title, "a.mpg")});
        auto *text7 = control<QLineEdit>(form.get(), "Text7");
        QAccessibleInterface *iface = accessible(text7);
        rowItem(control<QListWidget>(form.get(), "List1"), 0).setCheckState(Qt::Checked);
        QCOMPARE(iface->text(QAccessible::Description), kHoursDescription);
        QVERIFY(!text7->text().isEmpty());
        QVERIFY(text7->toolTip().isEmpty());

        QString during, shown, tip;
        seen.duringBeep = [&] {
            during = iface->text(QAccessible::Description);
            shown = text7->text();
            tip = text7->toolTip();
        };
        clickButton(form.get(), "Extract");
        QCOMPARE(during, kSavingDescription);
        QVERIFY(shown.startsWith(QString::fromLatin1(title)));
        QCOMPARE(tip, tooLong ? shown : QString());
        QCOMPARE(iface->text(QAccessible::Description), kHoursDescription);
        QVERIFY(text7->text().isEmpty());
        QVERIFY(text7->toolTip().isEmpty());
    }

    void wholeTextToolTip_data()
    {
        QTest::addColumn<QStringList>("texts"); // set one after another
        QTest::addColumn<bool>("tip");           // whether the last one is in the tooltip
        const QString longText = QStringLiteral("W").repeated(80);
        QTest::newRow("empty") << QStringList{QString()} << false;
        QTest::newRow("fits") << QStringList{QStringLiteral("12")} << false;
        QTest::newRow("tooWide") << QStringList{longText} << true;
        QTest::newRow("tooWideThenFits") << QStringList{longText, QStringLiteral("12")} << false;
        QTest::newRow("fitsThenTooWide") << QStringList{QStringLiteral("12"), longText + u'x'} << true;
        // Narrower than the box of 100 pixels, but not than its text area inside the frame.
        QString betweenWidths;
        const QFontMetrics metrics = QLineEdit().fontMetrics();
        while (metrics.horizontalAdvance(betweenWidths + u'i') < 100 - 2)
            betweenWidths += u'i';
        QTest::newRow("betweenTextAreaAndBox") << QStringList{betweenWidths} << true;
    }
    void wholeTextToolTip()
    {
        QFETCH(QStringList, texts);
        QFETCH(bool, tip);
        QLineEdit box;
        box.resize(100, 20);
        ui::showWholeTextInToolTip(&box);
        for (const QString &text : texts)
            box.setText(text);
        QCOMPARE(box.toolTip(), tip ? texts.last() : QString());
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
