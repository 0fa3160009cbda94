#pragma once
// The rules of an extraction session that do not touch the window: the output file name of a
// recording, its collision steps, and which recorder file names may be handed to the tool.
#include <QByteArray>
#include <QString>

#include <functional>

namespace recordings {

// Title without trailing blanks + "_" + recorded + ".mpg", with "/", double quote, ":", ";",
// backslash and every control character turned into a blank.
QByteArray targetName(const QByteArray &title, const QByteArray &recorded);

// The five collision steps: each tests the name as it stands and, when taken, replaces every
// occurrence of ".mpg", "_01.mpg", ... "_04.mpg" by "_01" ... "_05" + the last four characters.
QByteArray stepAwayFromExisting(QByteArray name,
                                const std::function<bool(const QByteArray &)> &exists);

// The recorder file name as a file name: trailing blanks dropped.
QByteArray recorderFile(const QByteArray &recorderFileName);

// Empty when the recorder file name can be passed to the tool; otherwise why it cannot
// (empty, "." or "..", a "/", a backslash or a ":", a leading "-" the tool would take for an
// option, or anything the command line would split or mangle).
QString unsafeRecorderFileReason(const QByteArray &recorderFileName);

} // namespace recordings
