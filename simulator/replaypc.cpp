// Stand-in for ReplayPC, the tool that talks to the recorder.
//   ReplayPC <address> -g                       writes the recorder's guide to "guide.dat"
//   ReplayPC <address> -e <file name> [delay]   writes that recording to <file name>
// Exit status 0 on success, 1 when the recorder cannot be reached or the recording cannot be
// delivered (no file is left behind then), 2 for a command line it does not understand or an
// unreadable REPLAYSIM_RECORDINGS file, 3 when a transfer broke off after part of the file was
// written (the "partial" fault); the "crash" fault ends it abnormally after half the file.
#include "codepage.h"
#include "guidedat.h"
#include "recorder.h"
#include "simlog.h"
#include "toolfile.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace replaysim;

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kBrokenOff = 3;

// Ends the process as a crash does, so that whoever waits for it sees an abnormal end rather
// than an exit status.
[[noreturn]] void crash()
{
    std::fflush(nullptr);
#ifdef Q_OS_WIN
    TerminateProcess(GetCurrentProcess(), EXCEPTION_ACCESS_VIOLATION);
#endif
    std::abort(); // SIGABRT: sanitizers leave it alone, unlike a segmentation fault

}

int usage()
{
    return fail("ReplayPC", QStringLiteral("usage: ReplayPC <address> -g | ReplayPC <address> -e <file> [delay]"),
                kUsage);
}

// The delay as ReplayPC reads it: a non-negative number, with a point or a comma.
bool parseDelay(const QString &text, double &delay)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    delay = t.toDouble(&ok);
    return ok && delay >= 0;
}

// An MPEG program stream of a few KB: packs of 2048 bytes, each a pack header followed by a
// padding packet, one pack per started hour of the recording (at most four), then the end code.
QByteArray programStream(const Recording &r)
{
    const int hours = std::clamp(r.duration.toInt() / 60 + 1, 1, 4);
    static const char packHeader[] = {'\x00', '\x00', '\x01', '\xBA', '\x44', '\x00', '\x04',
                                      '\x00', '\x04', '\x01', '\x01', '\x89', '\xC3', '\xF8'};
    const int padding = 2048 - int(sizeof packHeader) - 6;
    QByteArray out;
    for (int i = 0; i < hours; ++i) {
        out.append(packHeader, sizeof packHeader);
        out.append(QByteArray::fromHex("000001BE"));
        out.append(char(padding >> 8)).append(char(padding & 0xFF));
        out.append(QByteArray(padding, '\xFF'));
    }
    out.append(QByteArray::fromHex("000001B9"));
    return out;
}

int fetchGuide(const QByteArray &address, const QList<Recording> &recordings)
{
    pause(300);
    if (!isReachable(address))
        return fail("ReplayPC", QStringLiteral("no recorder answers at %1").arg(text::toUnicode(address)),
                    kFailed);
    QSaveFile file(QStringLiteral("guide.dat"));
    if (!file.open(QIODevice::WriteOnly))
        return fail("ReplayPC", file.errorString(), kFailed);
    file.write(guideDat(address, recordings));
    if (!file.commit())
        return fail("ReplayPC", file.errorString(), kFailed);
    return kOk;
}

int extract(const QByteArray &address, const QByteArray &bytes, const QList<Recording> &recordings,
            int pauseMs)
{
    const QString name = text::toUnicode(bytes);
    if (!isBareFileName(bytes))
        return fail("ReplayPC", QStringLiteral("refusing to write \"%1\" outside the working directory").arg(name),
                    kFailed);
    if (!isReachable(address))
        return fail("ReplayPC", QStringLiteral("no recorder answers at %1").arg(text::toUnicode(address)),
                    kFailed);
    const auto found = std::find_if(recordings.begin(), recordings.end(),
                                    [&](const Recording &r) { return r.fileName == bytes; });
    if (found == recordings.end())
        return fail("ReplayPC", QStringLiteral("the recorder holds no recording %1").arg(name), kFailed);
    pause(pauseMs);
    switch (found->fault) {
    case Recording::Fault::Fail:
        return fail("ReplayPC", QStringLiteral("transfer of %1 broke off").arg(name), kFailed);
    case Recording::Fault::NoFile:
        return kOk; // reports success and leaves nothing, as a confused tool would
    case Recording::Fault::None:
    case Recording::Fault::Partial:
    case Recording::Fault::Crash:
    case Recording::Fault::Empty:
        break;
    }
    QByteArray data = programStream(*found);
    if (found->fault == Recording::Fault::Empty)
        data.clear();
    else if (found->fault != Recording::Fault::None)
        data.truncate(data.size() / 2); // the transfer breaks off half-way
    QString error;
    if (!writeRecording(bytes, data, error))
        return fail("ReplayPC", QStringLiteral("could not write %1: %2").arg(name, error), kFailed);
    if (found->fault == Recording::Fault::Partial)
        return fail("ReplayPC", QStringLiteral("transfer of %1 broke off half-way").arg(name),
                    kBrokenOff);
    if (found->fault == Recording::Fault::Crash)
        crash();
    return kOk;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    logCommandLine(args);

    const bool guide = args.size() == 3 && args.at(2) == QStringLiteral("-g");
    const bool extraction =
        (args.size() == 4 || args.size() == 5) && args.at(2) == QStringLiteral("-e");
    if (!guide && !extraction)
        return usage();

    // The default pace takes about a second; a delay d paces it at 0.5 s + d * 50 ms, up to 3 s.
    int pauseMs = 1000;
    if (args.size() == 5) {
        double delay = 0;
        if (!parseDelay(args.at(4), delay))
            return usage();
        pauseMs = int(std::min(3000.0, 500 + delay * 50));
    }

    QList<Recording> recordings;
    QString error;
    if (!loadRecordings(recordings, error))
        return fail("ReplayPC", error, kUsage);

    const QByteArray address = text::fromUnicode(args.at(1));
    if (guide)
        return fetchGuide(address, recordings);
    return extract(address, fileNameArgument(argc, argv, args, 3), recordings, pauseMs);
}
