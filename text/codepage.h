#pragma once
// Text in files, and the file names the tools are given and create, are bytes of the system's
// single-byte code page: on Windows its ANSI code page when that page holds one byte per
// character, otherwise (a multi-byte ANSI page, or any other system) Windows-1252. They become
// Unicode only where they meet a control or a file-system name, through this one pair of
// functions. Every byte survives a round trip: a byte the page leaves undefined stands for the
// character of the same number (a C1 control for 0x80 to 0x9F).
#include <QByteArray>
#include <QString>

namespace text {

QString toUnicode(const QByteArray &bytes);
// A character that the code page cannot hold becomes "?".
QByteArray fromUnicode(const QString &unicode);
// The number of the code page in use, e.g. 1252 or 1251.
unsigned codePage();

} // namespace text
