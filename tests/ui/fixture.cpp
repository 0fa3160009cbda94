#include "fixture.h"

#include <QDir>
#include <QFile>

void RecordingServices::message(QWidget *, const QString &text)
{
    seen.messages << text;
    if (seen.duringMessage)
        seen.duringMessage();
}

WorkDir::WorkDir() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }

WorkDir::~WorkDir() { QDir::setCurrent(previous); }

std::unique_ptr<ui::Form1> makeForm(Seen &seen)
{
    return std::make_unique<ui::Form1>(std::make_unique<RecordingServices>(seen));
}

QByteArray fileBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

bool installSimulator()
{
    return QFile::copy(QStringLiteral(SIMULATOR_REPLAYPC), QStringLiteral("ReplayPC"))
        && QFile::copy(QStringLiteral(SIMULATOR_PSHELL), QStringLiteral("PShell.exe"));
}

QMap<QString, QByteArray> snapshot()
{
    QMap<QString, QByteArray> files;
    const QStringList names = QDir::current().entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        files.insert(name, fileBytes(name));
    return files;
}
