// The program's main window in a program of its own, for the test that kills the program
// mid-pull. It takes the folder's lock as the program does, types the address and the delay,
// fetches the guide, ticks the first show and clicks Extract, the tools running through the
// program's own command runner. It ends only when killed; should the window say anything, or
// the pull end first, it ends with status 3 and the reason on its standard error.
//   dovrel_window_pull <address> <delay>
#include "folderlock.h"
#include "form1.h"
#include "windowservices.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    std::fflush(stderr);
    std::_Exit(3);
}

// The program's own tool runs (the base class's); a message box would wait for a click that
// nobody gives, so whatever the window says ends this program instead.
class Services final : public ui::WindowServices
{
public:
    void message(QWidget *, const QString &text) override { fail(text); }
    void beep() override {}
    void endProgram() override { fail(QStringLiteral("the window ended the program")); }
};

template <class T>
T *control(const QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        fail(QStringLiteral("the window has no control %1").arg(QString::fromLatin1(name)));
    return found;
}

// Replaces what the box holds by typing, as a user does.
void typeInto(QLineEdit *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return 2;

    session::FolderLock lock(QDir::currentPath());
    if (lock.take().outcome != session::FolderLockOutcome::Locked)
        fail(QStringLiteral("the folder's lock was not taken"));

    ui::Form1 form(std::make_unique<Services>());
    form.show();
    typeInto(control<QLineEdit>(&form, "IPAddress"), arguments.at(1));
    typeInto(control<QLineEdit>(&form, "Text9"), arguments.at(2));
    QTest::mouseClick(control<QPushButton>(&form, "GetGuide"), Qt::LeftButton);

    auto *list = control<QListWidget>(&form, "List1");
    if (list->count() < 1)
        fail(QStringLiteral("the guide listed no show"));
    // Ticked by a click on the row's text.
    QListWidgetItem *row = list->item(0);
    list->scrollToItem(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
    if (row->checkState() != Qt::Checked)
        fail(QStringLiteral("the click did not tick the show"));

    // Returns only once the whole session has ended.
    QTest::mouseClick(control<QPushButton>(&form, "Extract"), Qt::LeftButton);
    fail(QStringLiteral("the pull ended before the program was killed"));
}
