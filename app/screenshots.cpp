// Makes the README's pictures: the main window after Get Guide with three rows ticked, and the
// log window after a session. Runs the real windows with the recorder simulator in a
// temporary working directory.
//   dovrel-screenshots <ReplayPC> <PShell.exe> <output folder>
#include "form1.h"
#include "form2.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// Message boxes would block an unattended run: print them instead.
class PrintingServices : public ui::WindowServices
{
public:
    void message(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    void beep() override {}
    void endProgram() override {}
};

void click(QWidget *window, const char *name)
{
    QTest::mouseClick(window->findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
}

bool save(QWidget *window, const QString &path)
{
    QTest::qWait(200);
    const bool ok = window->grab().save(path);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: dovrel-screenshots <ReplayPC> <PShell.exe> <output folder>\n");
        return 2;
    }
    const auto absolute = [](const char *path) {
        return QDir(QString::fromLocal8Bit(path)).absolutePath();
    };
    const QString replayPC = absolute(argv[1]), pshell = absolute(argv[2]), out = absolute(argv[3]);
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    if (!QFile::copy(replayPC, QStringLiteral("ReplayPC"))
        || !QFile::copy(pshell, QStringLiteral("PShell.exe"))) {
        std::fprintf(stderr, "could not copy the simulator\n");
        return 1;
    }
    qputenv("REPLAYSIM_FAST", "1");

    ui::Form1 form(std::make_unique<PrintingServices>());
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    form.findChild<QLineEdit *>(QStringLiteral("IPAddress"))->setText(QStringLiteral("192.168.0.20"));
    click(&form, "GetGuide");
    auto *list = form.findChild<QListWidget *>(QStringLiteral("List1"));
    for (int row : {0, 2, 3})
        list->item(row)->setCheckState(Qt::Checked);
    bool ok = save(&form, out + QStringLiteral("/main-window.png"));

    click(&form, "Extract");
    click(&form, "LogView");
    ui::Form2 *logWindow = form.logWindow();
    if (!logWindow || !QTest::qWaitForWindowExposed(logWindow))
        return 1;
    ok = save(logWindow, out + QStringLiteral("/log-window.png")) && ok;
    return ok ? 0 : 1;
}
