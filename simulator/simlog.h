#pragma once
// The record of received command lines that tests assert on.
//
// When REPLAYSIM_LOG names a file, each run of a simulator appends one line to it, in UTF-8,
// ended by LF: the program's file name ("ReplayPC" or "PShell.exe"), then every argument, each
// preceded by one TAB. Inside a name or argument a backslash, TAB, CR and LF are written as
// \\, \t, \r and \n, so the line splits unambiguously at TABs. Example for "ReplayPC 10.0.0.5 -g":
//     ReplayPC<TAB>10.0.0.5<TAB>-g
#include <QStringList>

namespace replaysim {

// Appends the line for `arguments` (program path first, as QCoreApplication gives them).
void logCommandLine(const QStringList &arguments);

QString escapeForLog(const QString &text);

// Prints "<tool>: <message>" on standard error and gives back `code` as the exit status.
int fail(const char *tool, const QString &message, int code);

} // namespace replaysim
