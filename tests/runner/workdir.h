#pragma once
// A fresh directory to run tools in: <temp>/work becomes the current directory, and the
// simulator's command record goes to <temp>/sim.log, outside it. Anything a tool writes beside
// "work" shows up in rootEntries().
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

class WorkDir
{
public:
    WorkDir() : previous_(QDir::currentPath())
    {
        QDir(root_.path()).mkdir(QStringLiteral("work"));
        QDir::setCurrent(path());
    }
    ~WorkDir() { QDir::setCurrent(previous_); }

    QString path() const { return root_.path() + QStringLiteral("/work"); }
    QString logPath() const { return root_.path() + QStringLiteral("/sim.log"); }

    QStringList entries(const QStringList &ignore = {}) const
    {
        QStringList names = QDir(path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                                   QDir::Name);
        for (const QString &n : ignore)
            names.removeAll(n);
        return names;
    }
    QStringList rootEntries() const
    {
        return QDir(root_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                            QDir::Name);
    }

    // One entry per logged run, split at its TABs.
    QList<QStringList> logged() const
    {
        QList<QStringList> runs;
        QFile log(logPath());
        if (log.open(QIODevice::ReadOnly))
            for (const QByteArray &line : log.readAll().split('\n'))
                if (!line.isEmpty())
                    runs.append(QString::fromUtf8(line).split(QLatin1Char('\t')));
        return runs;
    }

private:
    QTemporaryDir root_;
    QString previous_;
};

inline QByteArray fileBytes(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &name, const QByteArray &bytes, bool executable = false)
{
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return false;
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
    return true;
}
