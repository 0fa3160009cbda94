#pragma once
// The one way into the working folder. Every open, create, rename, remove and existence test of
// a name in the folder goes through a Folder: a link is never followed, a pipe or device is never
// opened by accident, a rename never copies and never replaces, and a file of the program's own
// is replaced only by a file the program made itself. Names are single names of the folder; a
// name with a separator, ".", ".." or an empty name is refused.
//
// A Folder holds the folder it was made on (the current folder by default) for its lifetime, so
// the steps of one operation all act on the same folder; make one per operation, since the
// current folder may change between them. One source file per system: folder_unix.cpp works
// relative to a descriptor of the folder, folder_win.cpp with handles that never follow a
// reparse point.
#include <QDateTime>
#include <QTimeZone>
#include <QFile>
#include <QString>

#include <optional>

namespace session {

// What stands under a name, looked at without following a link. On Windows a junction or any
// other reparse point is a Link.
enum class Entry { Missing, PlainFile, Link, Other };

// Why a file was not used: a link or another entry in its place (refused, neither followed nor
// opened), or the system's reason for a plain or missing file.
struct FileFailure
{
    Entry found = Entry::PlainFile;
    QString error;
};

struct EntryInfo
{
    Entry kind = Entry::Missing;
    bool folder = false; // Other: a folder, not a pipe or a device
    qint64 size = 0;     // a plain file's size
    QDateTime modified;  // its last change
};

struct RenameResult
{
    bool renamed = false;
    bool targetTaken = false; // something of any kind is under the new name
    QString error;            // the system's reason otherwise
};

// The ways a rename that never replaces can be made, each the fallback of the one before where
// the file system refuses it: on Linux renameat2 with RENAME_NOREPLACE, then a hard link and the
// removal of the old name, then a plain rename right after a check that the new name is free.
// Windows knows only the last, done by MoveFileExW without MOVEFILE_REPLACE_EXISTING, which
// itself refuses to replace.
enum class NoReplaceWay { Exclusive, LinkThenRemove, CheckThenRename };

class Folder
{
public:
    // The current folder, or the folder at `path`.
    Folder();
    explicit Folder(const QString &path);
    ~Folder();
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    // Empty when the folder could be opened; else the system's reason, which every operation
    // then reports.
    QString openError() const { return folderError; }

    EntryInfo look(const QString &name) const;
    Entry entry(const QString &name) const { return look(name).kind; }
    // Anything at all under the name: a file, readable or not, a folder, a pipe, a device or a
    // link, even one that leads nowhere.
    bool inUse(const QString &name) const { return entry(name) != Entry::Missing; }
    // Whether a plain file of that name can be opened for reading; it is closed again at once. A
    // pipe or a device answers true without being opened; a link, a folder, a missing or
    // unreadable file (on Windows also one another program holds without sharing) false.
    bool canRead(const QString &name) const;

    // Opens a plain file: ReadOnly, or WriteOnly | Append (created when missing). A link or any
    // other entry is refused with `failure->found` saying which.
    bool open(QFile &file, const QString &name, QIODevice::OpenMode mode, FileFailure *failure) const;

    // Appends `bytes` to a plain file (created when missing) with one write, or not at all: a
    // write cut short, by a full disk for one, is taken back by cutting the file to its length
    // before, so the file never ends in part of what was written. A link or any other entry is
    // refused, as open() refuses. The reason is always the system's: a write that stops short
    // without one is taken for a full disk.
    bool appendWhole(const QString &name, const QByteArray &bytes, FileFailure *failure) const;

    // The whole of a plain file (at most `maxBytes` of it when that is not negative), or nothing
    // with the reason in `failure`, as open() refuses.
    std::optional<QByteArray> read(const QString &name, FileFailure *failure, qint64 maxBytes = -1) const;

    // Removes the name itself, never what a link points to; a folder stays. A name that is not
    // there is no error. False with the system's reason in `error` when something is still there.
    bool remove(const QString &name, QString *error = nullptr) const;

    // Gives `from` the name `to`, only when nothing at all is under `to`; never copies.
    RenameResult renameNoReplace(const QString &from, const QString &to) const;

    // Puts `bytes` under `name` whole or not at all: written to a file the program makes itself
    // (kScratchFile, with the old file's permissions), synced, and renamed over `name`. A link
    // or another entry under `name` is refused and left as it is. On failure `name` keeps what it
    // held, and the scratch file is gone.
    bool replaceWhole(const QString &name, const QByteArray &bytes, FileFailure *failure) const;

    // Empty when a new file can be made in the folder; else the system's reason why not. Only
    // making one tells: permissions, a read-only mount and root's rights all play a part.
    QString writeProblem() const;

    // The bytes this user may still write on the folder's disk, asked of the folder itself; none
    // when the system does not say.
    std::optional<qint64> freeSpace() const;

    // For tests: the first way renames try, so that the fallbacks of file systems that refuse
    // the first ways run here too. Exclusive is the program's own setting.
    static void setFirstRenameWay(NoReplaceWay way);

private:
#ifdef Q_OS_WIN
    QString path(const QString &name) const;
    QString folder;
#else
    int fd = -1;
#endif
    QString folderError;
};

} // namespace session
