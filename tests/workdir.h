#pragma once
// What every test that touches files shares: a fresh working directory per test, whole-file
// reads and writes, and file permissions that hold also for root.
//
// WorkDir: <temp>/work becomes the current directory while the object lives; <temp> itself is
// outside it (the simulator's command record of the runner tests goes there), so anything a
// tool writes beside "work" shows up in rootEntries().
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif
#ifdef QT_GUI_LIB
#include <QGuiApplication>
#endif
#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

class WorkDir
{
public:
    WorkDir() : previous_(QDir::currentPath())
    {
        QDir(root_.path()).mkdir(QStringLiteral("work"));
        QDir::setCurrent(path());
    }
    ~WorkDir()
    {
        QDir::setCurrent(previous_);
#ifdef QT_GUI_LIB
        // A window test leaves no busy pointer behind for the next one.
        if (qGuiApp)
            while (QGuiApplication::overrideCursor())
                QGuiApplication::restoreOverrideCursor();
#endif
    }
    WorkDir(const WorkDir &) = delete;
    WorkDir &operator=(const WorkDir &) = delete;

    bool ok() const { return root_.isValid() && QDir::currentPath() == QDir(path()).canonicalPath(); }
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

// The file's bytes, or "<missing>" when it cannot be read, so that an absent file never
// compares equal to an empty one.
inline QByteArray fileBytes(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
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

// Puts `kind` under `name`: "folder", "fifo", "link" (to `outside`), "deviceLink" (to a device
// that never ends) or "danglingLink". False where the system cannot make it.
inline bool makeEntry(const QString &kind, const QString &name, const QString &outside)
{
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(name);
#ifdef Q_OS_WIN
    QString target = kind == QLatin1String("link") ? outside : QStringLiteral("C:\\no such place\\x");
    if (kind != QLatin1String("link") && kind != QLatin1String("danglingLink"))
        return false;
    const auto *path = reinterpret_cast<const wchar_t *>(name.utf16());
    if (!CreateSymbolicLinkW(path, reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(target).utf16()),
                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        return false;
    // Wine answers success without making anything: only a link that is there counts. The
    // attributes are the link's own, so one that leads nowhere counts too.
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
#else
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(name).constData(), 0666) == 0;
    if (kind == QLatin1String("link"))
        return QFile::link(outside, name);
    if (kind == QLatin1String("deviceLink"))
        return QFile::link(QStringLiteral("/dev/zero"), name);
    if (kind == QLatin1String("danglingLink"))
        return QFile::link(outside + QStringLiteral(".gone"), name);
    return false;
#endif
}

// Takes away the process's power to ignore file permissions and ownership while it lives, so
// that a read-only directory is read-only for the test also when it runs as root.
class PermissionsEnforced
{
public:
#ifdef Q_OS_LINUX
    PermissionsEnforced() : dropped(setOverrides(false)) {}
    ~PermissionsEnforced()
    {
        if (dropped)
            setOverrides(true);
    }

private:
    static bool setOverrides(bool on)
    {
        constexpr unsigned overrides =
            (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) != 0)
            return false;
        if (!(data[0].permitted & overrides))
            return false;
        data[0].effective = on ? (data[0].effective | (data[0].permitted & overrides))
                               : (data[0].effective & ~overrides);
        return syscall(SYS_capset, &header, data) == 0;
    }
    bool dropped = false;
#else
    // Nothing to take away here; declared so that a guard object is not an unused variable.
    PermissionsEnforced() {}
    ~PermissionsEnforced() {}
#endif
};
