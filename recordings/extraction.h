#pragma once
// The rules of an extraction session that do not touch the window: the output file name of a
// recording and its collision steps, whether a recording may be handed to the tool, and what
// became of it once the tool has run. The window only words the outcomes.
#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace recordings {

// Title without trailing blanks + "_" + recorded + ".mpg", with "/", double quote, ":", ";",
// backslash and every control character turned into a blank; on Windows also "<", ">", "|",
// "?" and "*".
QByteArray targetName(const QByteArray &title, const QByteArray &recorded);

// The five collision steps: each tests the name as it stands and, when taken, replaces every
// occurrence of ".mpg", "_01.mpg", ... "_04.mpg" by "_01" ... "_05" + the last four characters.
QByteArray stepAwayFromExisting(QByteArray name,
                                const std::function<bool(const QByteArray &)> &exists);

// The recorder file name as a file name: trailing blanks dropped.
QByteArray recorderFile(const QByteArray &recorderFileName);

// Empty when the recorder file name can be passed to the tool; otherwise why it cannot
// (empty, "." or "..", a "/", a backslash or a ":", a leading "-" the tool would take for an
// option, a name Windows takes for a device, or anything the command line would split or mangle).
QString unsafeRecorderFileReason(const QByteArray &recorderFileName);

// Whether Windows takes the name for a device, whatever its extension and trailing dots or
// blanks: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 and LPT0 to LPT9, also with the
// superscript digits one to three. Judged on the name as the system's code page reads it,
// without opening anything.
bool isDeviceName(const QByteArray &name);

// Whether the name ends in the extension of an MPEG recording (.mpg, .mpeg, .mpe, .m2p, .m2v,
// .vob, .ts, .m2ts), trailing dots and blanks dropped as Windows drops them. Any other file in
// the program's folder could be loaded or run by Windows or Qt (a library beside the program, a
// program, a script, qt.conf, a redirection or manifest file), so only these are ever pulled;
// a kind nobody thought of is refused too.
bool isRecordingName(const QByteArray &name);

// The program's own file that the name stands for, or empty: names are compared without regard
// to case, and trailing dots and blanks are dropped first, as Windows drops them.
QString ownFileNamed(const QByteArray &name);

// Whether a recording may be handed to the tool, and if not, why.
struct PullCheck
{
    enum Refusal { None, UnsafeName, OwnFile, NotARecording, NameTaken };
    Refusal refusal = None;
    QString detail; // UnsafeName: what is wrong with the name; OwnFile: the program's file
};

// A name that could reach outside the folder or that the tool could misread is never passed on;
// neither is one of the program's own files, whether it is there or not, a name that is not a
// recording's (isRecordingName), nor a name `taken`
// says is in use (the tool would write over that file and the rename would carry it off).
PullCheck checkPull(const QByteArray &recorderFileName,
                    const std::function<bool(const QByteArray &)> &taken);

// Free space kept back on the folder's disk for the activity log and the settings: a night's
// records are a few tens of kilobytes, the settings less than one.
constexpr qint64 kSpaceReserve = 1024 * 1024;

// Whether the folder's disk has room for a recording: its estimated size plus the reserve. An
// unknown free space, or an unknown size (0), is no reason to refuse.
struct SpaceCheck
{
    enum Verdict { Fits, TooLarge, DiskFull };
    Verdict verdict = Fits;
    qint64 freeBytes = 0;
    qint64 neededBytes = 0; // the estimate plus the reserve
};
SpaceCheck checkSpace(std::optional<qint64> freeBytes, double estimatedBytes);

// The disk counts as full once less than the reserve is free.
inline bool diskFull(std::optional<qint64> freeBytes) { return freeBytes && *freeBytes < kSpaceReserve; }

// How the tool's run for a recording ended, as far as its file is concerned.
struct ToolEnd
{
    bool seen = true;    // its end was awaited; else it may still be writing
    bool failed = false; // it ended with a failure status or crashed
    bool diskFull = false; // the folder's disk was full when it ended
};

// What became of a recording that was handed to the tool.
struct SaveOutcome
{
    enum Fate { Saved, EndNotSeen, NoFile, NotRenamed, EmptyRemoved };
    Fate fate = Saved;
    bool emptyFile = false;   // the tool left an empty file (removed unless NotRenamed)
    bool targetTaken = false; // NotRenamed: a file of the target name is there
    QString renameError;      // NotRenamed otherwise: the system's reason
    QByteArray liesAs;        // the file's name in the folder now; empty when there is none

    bool mayBeIncomplete(const ToolEnd &tool) const
    {
        return (fate == Saved || fate == NotRenamed) && (tool.failed || tool.diskFull || emptyFile);
    }
};

// Gives the file the tool left under the recorder's name its target name; an existing file is
// never replaced. A file whose tool's end was not seen is left where it is. An empty file is no
// recording: it never gets a show's name, and is removed (the pull check made sure nothing of
// its name was there before the tool ran).
SaveOutcome saveRecording(const QByteArray &recorderFile, const QByteArray &target,
                          const ToolEnd &tool);

} // namespace recordings
