#include "extraction.h"

#include "codepage.h"
#include "folder.h"
#include "ownfiles.h"
#include "textreader.h"

#include <array>
#include <cmath>
#include <limits>

namespace recordings {

namespace {

bool isControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

} // namespace

bool isDeviceName(const QByteArray &name)
{
    // Read as the system reads it: on 1251 the bytes of the superscript digits of 1252 are letters.
    QString base = text::toUnicode(name);
    base.truncate(base.indexOf(u'.') < 0 ? base.size() : base.indexOf(u'.'));
    while (base.endsWith(u' '))
        base.chop(1);
    base = base.toUpper();
    static const QStringList devices{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                     QStringLiteral("NUL"), QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    if (devices.contains(base))
        return true;
    if (base.size() != 4 || !(base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))))
        return false;
    const QChar digit = base.at(3);
    // Windows' own naming rules list COM0 and LPT0 too, and the superscript one, two and three.
    return (digit >= u'0' && digit <= u'9') || digit == QChar(0xB9) || digit == QChar(0xB2)
        || digit == QChar(0xB3);
}

bool isRecordingName(const QByteArray &name)
{
    QString bare = text::toUnicode(name);
    while (bare.endsWith(u'.') || bare.endsWith(u' '))
        bare.chop(1); // Windows drops them: "x.exe." is "x.exe"
    const qsizetype dot = bare.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    static const QStringList extensions{QStringLiteral("mpg"), QStringLiteral("mpeg"), QStringLiteral("mpe"),
                                        QStringLiteral("m2p"), QStringLiteral("m2v"), QStringLiteral("vob"),
                                        QStringLiteral("ts"),  QStringLiteral("m2ts")};
    return extensions.contains(bare.mid(dot + 1), Qt::CaseInsensitive);
}

QByteArray targetName(const QByteArray &title, const QByteArray &recorded)
{
    QByteArray name = text::withoutTrailingBlanks(title) + '_' + recorded + ".mpg";
    // Characters that cannot stand in a file name, or that would end it early, become blanks;
    // on Windows also those Windows refuses in a name, which would make every rename fail.
    // Only bytes that start a character: on a double-byte page the second byte of a character
    // may be 0x5C or 0x7C and is no backslash or bar.
    const QList<bool> starts = text::characterStarts(name);
    for (qsizetype i = 0; i < name.size(); ++i) {
        char &c = name[i];
        if (!starts.at(i))
            continue;
        if (c == '/' || c == '"' || c == ':' || c == ';' || c == '\\' || isControl(c))
            c = ' ';
#ifdef Q_OS_WIN
        if (c == '<' || c == '>' || c == '|' || c == '?' || c == '*')
            c = ' ';
#endif
    }
    return name;
}

QByteArray stepAwayFromExisting(QByteArray name,
                                const std::function<bool(const QByteArray &)> &exists)
{
    struct Step
    {
        const char *search;
        const char *number;
    };
    static constexpr std::array<Step, 5> steps{{{".mpg", "_01"},
                                                {"_01.mpg", "_02"},
                                                {"_02.mpg", "_03"},
                                                {"_03.mpg", "_04"},
                                                {"_04.mpg", "_05"}}};
    for (const Step &step : steps) {
        if (!exists(name))
            continue;
        // Every occurrence changes, not only the one at the end of the name.
        const QByteArray replacement = QByteArray(step.number) + name.right(4);
        name.replace(QByteArray(step.search), replacement);
    }
    return name;
}

QByteArray recorderFile(const QByteArray &recorderFileName)
{
    return text::withoutTrailingBlanks(recorderFileName);
}

QString unsafeRecorderFileReason(const QByteArray &recorderFileName)
{
    const QByteArray name = recorderFile(recorderFileName);
    if (name.isEmpty())
        return QStringLiteral("the recorder file name is empty");
    if (name == "." || name == "..")
        return QStringLiteral("the recorder file name is \".\" or \"..\"");
    // The tool must be given the very bytes checked here, not another name the code page
    // makes of them.
    if (!text::roundTrips(name))
        return QStringLiteral("the recorder file name does not survive the system's code page "
                              "unchanged, so the tool would be given another name");
    // Only bytes that start a character count: a trail byte 0x5C is no backslash.
    const QList<bool> starts = text::characterStarts(name);
    const auto holds = [&](const auto &isWanted) {
        for (qsizetype i = 0; i < name.size(); ++i)
            if (starts.at(i) && isWanted(name.at(i)))
                return true;
        return false;
    };
    // On Windows "C:x" names a file in another drive's current directory.
    if (holds([](char c) { return c == '/' || c == '\\' || c == ':'; }))
        return QStringLiteral("the recorder file name holds a path separator or a drive colon");
    if (name.startsWith('-'))
        return QStringLiteral("the recorder file name begins with \"-\", which the tool would read "
                              "as an option");
    if (isDeviceName(name))
        return QStringLiteral("the recorder file name is that of a device on Windows (CON, PRN, AUX, "
                              "NUL, CONIN$, CONOUT$, COM0 to COM9, LPT0 to LPT9)");
    if (holds([](char c) { return c == ' ' || c == '"' || isControl(c); }))
        return QStringLiteral(
            "the recorder file name holds a blank, a double quote or a control character, "
            "which the tool's command line would split or mangle");
    return QString();
}

QString ownFileNamed(const QByteArray &name)
{
    QByteArray bare = name;
    while (bare.endsWith('.') || bare.endsWith(' '))
        bare.chop(1);
    const QString unicode = text::toUnicode(bare);
    for (const QString &own : session::ownFileNames())
        if (unicode.compare(own, Qt::CaseInsensitive) == 0)
            return own;
    return QString();
}

PullCheck checkPull(const QByteArray &recorderFileName,
                    const std::function<bool(const QByteArray &)> &taken)
{
    const QByteArray name = recorderFile(recorderFileName);
    if (const QString unsafe = unsafeRecorderFileReason(name); !unsafe.isEmpty())
        return {PullCheck::UnsafeName, unsafe};
    if (const QString own = ownFileNamed(name); !own.isEmpty())
        return {PullCheck::OwnFile, own};
    if (!isRecordingName(name))
        return {PullCheck::NotARecording, QString()};
    if (taken(name))
        return {PullCheck::NameTaken, QString()};
    return {};
}

SaveOutcome saveRecording(const QByteArray &recorderFile, const QByteArray &target,
                          const ToolEnd &tool)
{
    SaveOutcome outcome;
    outcome.liesAs = recorderFile;
    if (!tool.seen) {
        outcome.fate = SaveOutcome::EndNotSeen;
        return outcome;
    }
    const QString from = text::toUnicode(recorderFile);
    const session::Folder folder;
    const session::EntryInfo left = folder.look(from);
    if (left.kind == session::Entry::Missing) {
        outcome.fate = SaveOutcome::NoFile;
        outcome.liesAs.clear();
        return outcome;
    }
    outcome.emptyFile = left.kind == session::Entry::PlainFile && left.size == 0;
    if (outcome.emptyFile) {
        QString error;
        if (folder.remove(from, &error)) {
            outcome.fate = SaveOutcome::EmptyRemoved;
            outcome.liesAs.clear();
        } else {
            outcome.fate = SaveOutcome::NotRenamed;
            outcome.renameError = error;
        }
        return outcome;
    }
    // A recording the recorder already named as its target needs no rename.
    if (recorderFile == target)
        return outcome;
    // A name Windows keeps for a device is never given, nor even looked at: it would reach the
    // device. The collision steps only add to the end, so a title "COM1.x" keeps its device part.
    if (isDeviceName(target)) {
        outcome.fate = SaveOutcome::NotRenamed;
        outcome.renameError = QStringLiteral("it is a name Windows keeps for a device");
        return outcome;
    }
    // Never a copy, never over anything that stands under the target name, a link that leads
    // nowhere included.
    const session::RenameResult renamed = folder.renameNoReplace(from, text::toUnicode(target));
    if (!renamed.renamed) {
        outcome.fate = SaveOutcome::NotRenamed;
        outcome.targetTaken = renamed.targetTaken;
        outcome.renameError = renamed.error;
        return outcome;
    }
    outcome.liesAs = target;
    return outcome;
}

SpaceCheck checkSpace(std::optional<qint64> freeBytes, double estimatedBytes)
{
    SpaceCheck check;
    if (!freeBytes)
        return check;
    check.freeBytes = *freeBytes;
    if (diskFull(freeBytes)) {
        check.verdict = SpaceCheck::DiskFull;
        return check;
    }
    // A size that is not a positive number of bytes is not known: nothing to compare.
    if (!(estimatedBytes > 0))
        return check;
    const double needed = estimatedBytes + double(kSpaceReserve);
    check.neededBytes = needed >= 9e18 ? std::numeric_limits<qint64>::max() : qint64(std::ceil(needed));
    if (check.neededBytes > check.freeBytes)
        check.verdict = SpaceCheck::TooLarge;
    return check;
}

} // namespace recordings
