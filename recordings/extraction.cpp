#include "extraction.h"

#include <array>

namespace recordings {

namespace {

QByteArray withoutTrailingBlanks(const QByteArray &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == ' ')
        --end;
    return text.left(end);
}

bool isControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

} // namespace

QByteArray targetName(const QByteArray &title, const QByteArray &recorded)
{
    QByteArray name = withoutTrailingBlanks(title) + '_' + recorded + ".mpg";
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
    return withoutTrailingBlanks(recorderFileName);
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
    for (char c : name) {
        if (c == ' ' || c == '"' || isControl(c))
            return QStringLiteral(
                "the recorder file name holds a blank, a double quote or a control character, "
                "which the tool's command line would split or mangle");
    }
    return QString();
}

} // namespace recordings
