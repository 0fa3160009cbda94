#pragma once
// "DOVLIP.dat": one line holding the address and the delay, each in double quotes, joined by a
// comma and ended by CR LF. Read at start-up, written at Exit.
#include <QByteArray>
#include <QString>

#include "ownfiles.h"
#include "folder.h"

#include <optional>

namespace session {

struct Settings
{
    QByteArray address;
    QByteArray delay;
};

// Two field reads; a missing address reads as "" and a missing delay as "Default".
Settings parseSettings(const QByteArray &bytes);

// The file's one line; quotes inside a value are written as they are.
QByteArray settingsLine(const QByteArray &address, const QByteArray &delay);

// The saved settings, or nothing when the file is absent, cannot be opened for reading or is
// not a plain file (a link, a pipe or a device is never opened).
std::optional<Settings> loadSettings();

// Creates or replaces the file. On failure returns false with the reason in `failure`; the
// file then keeps what it held before. A link or another entry in its place is refused and
// nothing is written through it.
bool saveSettings(const QByteArray &address, const QByteArray &delay, FileFailure *failure);

} // namespace session
