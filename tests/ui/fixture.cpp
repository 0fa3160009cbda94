#include "fixture.h"
#include "testtools.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <QFile>

void RecordingServices::message(QWidget *, const QString &text)
{
    seen.messages << text;
    if (seen.duringMessage)
        seen.duringMessage();
}

runner::RunResult RecordingServices::run(const QByteArray &commandLine)
{
    if (seen.runInstead)
        if (const std::optional<runner::RunResult> result = seen.runInstead(commandLine))
            return *result;
    return WindowServices::run(commandLine);
}

std::unique_ptr<ui::Form1> makeForm(Seen &seen)
{
    return std::make_unique<ui::Form1>(std::make_unique<RecordingServices>(seen));
}

bool installSimulator()
{
    return QFile::copy(simulatorReplayPC(), replayPCFileName())
        && QFile::copy(simulatorPShell(), QStringLiteral("PShell.exe"));
}

QMap<QString, QByteArray> snapshot()
{
    QMap<QString, QByteArray> files;
    const QStringList names = QDir::current().entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (QFileInfo(name).isFile()) // a pipe would hold the reading up
            files.insert(name, fileBytes(name));
    return files;
}

Simulator::Simulator() : logPath(QDir::current().absoluteFilePath(QStringLiteral("sim.log")))
{
    ok = installSimulator();
    qputenv("REPLAYSIM_FAST", "1");
    qputenv("REPLAYSIM_LOG", QFile::encodeName(logPath));
    qunsetenv("REPLAYSIM_RECORDINGS");
}

Simulator::~Simulator()
{
    qunsetenv("REPLAYSIM_FAST");
    qunsetenv("REPLAYSIM_LOG");
    qunsetenv("REPLAYSIM_RECORDINGS");
    qunsetenv("DOVREL_PROBE");
}

void Simulator::setRecordings(const QList<QByteArrayList> &rows)
{
    QByteArray bytes;
    for (const QByteArrayList &row : rows)
        bytes += row.join('\t') + '\n';
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("recordings.tsv"));
    writeFile(path, bytes);
    qputenv("REPLAYSIM_RECORDINGS", QFile::encodeName(path));
}

QStringList Simulator::calls() const
{
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QListWidgetItem &rowItem(QListWidget *list, int n)
{
    static QListWidgetItem standIn;
    QListWidgetItem *item = list ? list->item(n) : nullptr;
    if (!QTest::qVerify(item != nullptr, "list->item(n)", qPrintable(QStringLiteral("no row %1").arg(n)),
                        __FILE__, __LINE__))
        return standIn;
    return *item;
}

void clickRow(QListWidget *list, int row)
{
    QListWidgetItem *item = &rowItem(list, row);
    if (item->listWidget() != list)
        return;
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}


#ifdef Q_OS_WIN
ExclusiveLock::ExclusiveLock(const QString &name)
    : handle(CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(name).utf16()),
                         GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
{
}
ExclusiveLock::~ExclusiveLock()
{
    if (held())
        CloseHandle(handle);
}
bool ExclusiveLock::held() const { return handle != INVALID_HANDLE_VALUE; }
#endif

QByteArrayList recording(const QByteArray &title, const QByteArray &fileName, const QByteArray &recorded,
                         const QByteArray &quality, const QByteArray &duration, const QByteArray &fault)
{
    QByteArrayList row{title, quality, recorded, fileName, duration};
    if (!fault.isEmpty())
        row << fault;
    return row;
}

void getGuide(ui::Form1 *form, const QString &address)
{
    typeInto(control<QLineEdit>(form, "IPAddress"), address);
    clickButton(form, "GetGuide");
}

void typeInto(QLineEdit *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    // keyClicks knows only ASCII keys; a letter beyond it comes as a key that only brings text,
    // as an input method gives it.
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(box, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void clickButton(QWidget *window, const char *name)
{
    QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
}

std::unique_ptr<ui::Form1> formWithGuide(Seen &seen, Simulator &sim, const QList<QByteArrayList> &rows)
{
    sim.setRecordings(rows);
    auto form = makeForm(seen);
    form->show();
    getGuide(form.get());
    return form;
}
