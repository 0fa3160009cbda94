#pragma once
// The simulated recorder: the recordings it holds, which addresses it answers on, and the
// pacing of a transfer. Texts are Windows-1252 bytes, as the real recorder's guide is.
#include <QByteArray>
#include <QList>
#include <QString>

namespace replaysim {

struct Recording
{
    // NoFile: exits 0 and writes nothing; Fail: exits 1 and writes nothing; Partial: writes half
    // the recording and exits 3; Crash: writes half the recording and crashes; Empty: writes an
    // empty file and exits 0.
    enum class Fault { None, NoFile, Fail, Partial, Crash, Empty };

    QByteArray title;    // as the guide shows it, e.g. "Movie: Casablanca (1942)"
    QByteArray quality;  // Standard, Medium or High
    QByteArray recorded; // "12/21/2002 8:00 PM"
    QByteArray fileName; // the recorder's own name, e.g. "1040500800.mpg"
    QByteArray duration; // minutes as digits, e.g. "102"
    QByteArray channel;  // may be empty
    Fault fault = Fault::None;
};

// The recorder's recordings: the file named by REPLAYSIM_RECORDINGS when it is set, otherwise
// the built-in list. Returns false with `error` set when that file cannot be read or a line of
// it is malformed.
bool loadRecordings(QList<Recording> &recordings, QString &error);
QList<Recording> builtInRecordings();

// Parses one line of a recordings file: title, quality, recorded, file name, duration and an
// optional fault flag ("nofile", "fail", "partial", "crash" or "empty"), separated by tabs.
bool parseRecordingLine(const QByteArray &line, Recording &recording);

// The simulated recorder answers on every dotted IPv4 quad except those of 192.0.2.0/24.
bool isReachable(const QByteArray &address);

// A file name the tools may write in the working directory: not empty, not "." or "..", and
// without "/", "\" or ":" (which would reach another directory or drive on some system) among
// the bytes that start a character.
bool isBareFileName(const QByteArray &name);

// True when REPLAYSIM_FAST is set to anything but "0" or "".
bool fastMode();
// Sleeps `ms` milliseconds unless fast mode is on.
void pause(int ms);

} // namespace replaysim
