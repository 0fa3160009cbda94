#pragma once
// The program's own files are read and written only as plain files of the working directory:
// a link in their place (on Windows also a junction or another reparse point) is never
// followed, and a folder, pipe or device of that name is never opened.
#include <QFile>
#include <QString>

namespace session {

// What stands under a name, looked at without following a link.
enum class Entry { Missing, PlainFile, Link, Other };

Entry entryAt(const QString &name);

// Why one of the program's own files was not used: a link or another entry in its place
// (refused, neither followed nor opened), or the system's reason for a plain or missing file.
struct FileFailure
{
    Entry found = Entry::PlainFile;
    QString error;
};

// Opens `name` as a plain file: for reading, or for appending (created when missing). A link
// or any other entry in its place is refused with `failure->found` saying which. On Linux the
// open itself refuses to follow a link and never waits on a pipe; elsewhere the entry is looked
// at right before the open.
bool openPlainFile(QFile &file, const QString &name, QIODevice::OpenMode mode, FileFailure *failure);

} // namespace session
