#pragma once
// Text in files, and the file names the tools are given and create, are bytes of the system's
// code page: on Windows its ANSI code page, elsewhere Windows-1252. They become Unicode only
// where they meet a control or a file-system name, through this one pair of functions.
// On a single-byte page every byte survives a round trip: a byte the page leaves undefined
// stands for the character of the same number (a C1 control for 0x80 to 0x9F). A multi-byte
// ANSI page (932, 936, 949, 950, 65001 ...) is converted by Windows as whole strings, and a
// byte string it cannot read back unchanged is told by roundTrips().
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace text {

QString toUnicode(const QByteArray &bytes);
// A character that the code page cannot hold becomes "?".
QByteArray fromUnicode(const QString &unicode);
// The number of the code page in use, e.g. 1252, 1251 or 932.
unsigned codePage();

// True when the bytes come back exactly, byte for byte, from their Unicode text: only then is a
// name given to a tool of the code page the name that was checked. Always so on a single-byte
// page.
bool roundTrips(const QByteArray &bytes);

// Where the characters of `bytes` start on the code page in use: one flag per byte, false for
// a byte that continues the character before it (the trail byte of a double-byte character,
// which may be 0x5C, a backslash, or 0x7C, a bar). On a single-byte page every byte starts a
// character.
QList<bool> characterStarts(QByteArrayView bytes);

#ifdef Q_OS_WIN
// The same for Windows code page `page`, which need not be the system's.
bool roundTrips(const QByteArray &bytes, unsigned page);
QList<bool> characterStarts(QByteArrayView bytes, unsigned page);
#endif

} // namespace text
