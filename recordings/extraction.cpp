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

// Windows takes these names, with any extension after them, for devices: a tool told to write
// such a file would write to the device.
bool isWindowsDeviceName(const QByteArray &name)
{
    QByteArray base = name.left(name.indexOf('.') < 0 ? name.size() : name.indexOf('.')).toUpper();
    while (base.endsWith(' '))
        base.chop(1);
    static const QByteArrayList devices{"CON", "PRN", "AUX", "NUL"};
    if (devices.contains(base))
        return true;
    return base.size() == 4 && (base.startsWith("COM") || base.startsWith("LPT")) && base.at(3) >= '1'
        && base.at(3) <= '9';
}

} // namespace

QByteArray targetName(const QByteArray &title, const QByteArray &recorded)
{
    QByteArray name = text::withoutTrailingBlanks(title) + '_' + recorded + ".mpg";
    // Characters that cannot stand in a file name, or that would end it early, become blanks.
    for (char &c : name) {
        if (c == '/' || c == '"' || c == ':' || c == ';' || c == '\\' || isControl(c))
            c = ' ';
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
    // On Windows "C:x" names a file in another drive's current directory.
    if (name.contains('/') || name.contains('\\') || name.contains(':'))
        return QStringLiteral("the recorder file name holds a path separator or a drive colon");
    if (name.startsWith('-'))
        return QStringLiteral("the recorder file name begins with \"-\", which the tool would read "
                              "as an option");
    if (isWindowsDeviceName(name))
        return QStringLiteral("the recorder file name is that of a device on Windows (CON, PRN, AUX, "
                              "NUL, COM1 to COM9, LPT1 to LPT9)");
    for (char c : name) {
        if (c == ' ' || c == '"' || isControl(c))
            return QStringLiteral(
                "the recorder file name holds a blank, a double quote or a control character, "
                "which the tool's command line would split or mangle");
    }
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
