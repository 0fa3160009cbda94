#pragma once
// "DOVLIP.dat": one line holding the address and the delay, each in double quotes, joined by a
// comma and ended by CR LF. Read at start-up, written at Exit.
#include <QByteArray>
#include <QString>

#include "ownfiles.h"

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

// The saved settings, or nothing when the file is absent or cannot be opened for reading.
std::optional<Settings> loadSettings();

// Creates or replaces the file. On failure returns false with the system's reason in `error`;
// the file then keeps what it held before.
bool saveSettings(const QByteArray &address, const QByteArray &delay, QString *error);

} // namespace session
