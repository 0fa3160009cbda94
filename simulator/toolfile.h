#pragma once
// The recording's file name as a tool of each system receives it, and the file written under
// it. On Windows the tools are programs of the ANSI code page: they take the narrow argument
// and hand its bytes to the narrow file functions, which the system turns into a Unicode name
// with that page. Elsewhere the argument is read in Windows-1252 and the file is written under
// its Unicode name.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace replaysim {

// Argument `index` of the command line as the tool's bytes.
QByteArray fileNameArgument(int argc, char **argv, const QStringList &arguments, int index);

// Creates `name` in the working directory (emptying a file already there) and writes `data`.
// A file that could not be written whole is removed; false with `error` set then.
bool writeRecording(const QByteArray &name, const QByteArray &data, QString &error);

} // namespace replaysim
