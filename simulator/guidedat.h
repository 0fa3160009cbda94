#pragma once
// "guide.dat", the file ReplayPC -g leaves for PShell.exe. A first line
//     REPLAYSIM GUIDE<TAB><address>
// then one line per recording, in guide order:
//     title<TAB>quality<TAB>recorded<TAB>file name<TAB>duration<TAB>channel
// Lines end with LF; texts are the recorder's bytes, copied as they are.
#include "recorder.h"

#include <QByteArray>
#include <QList>

namespace replaysim {

QByteArray guideDat(const QByteArray &address, const QList<Recording> &recordings);
// False when `data` is not a guide written by guideDat.
bool parseGuideDat(const QByteArray &data, QByteArray &address, QList<Recording> &recordings);

// The listing PShell.exe writes to "guide.txt": header lines, then per recording a
// "Show #<n>" line, the title line, the Quality, Recorded, Filename and Duration entries, a
// Channel line when there is a channel, and a blank line. Lines end with CR LF.
QByteArray guideListing(const QByteArray &address, const QList<Recording> &recordings);

} // namespace replaysim
