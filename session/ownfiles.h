#pragma once
// The names of the program's own files in its working directory, in one place: the settings,
// the log, the guide files the tools pass between them, the tools themselves and the lock that
// keeps a second copy of the program out of the folder.
#include <QString>
#include <QStringList>

namespace session {

extern const QString kSettingsFile; // "DOVLIP.dat"
extern const QString kLogFile;      // "DOVLGUIDE.LOG"
extern const QString kGuideText;    // "guide.txt"
extern const QString kGuideData;    // "guide.dat"
extern const QString kLockFile;     // "DOVLUTIL.LCK"
// The file a new settings line is written to before it is renamed over the settings file, also
// made for an instant to learn whether the folder can be written.
extern const QString kScratchFile;  // "DOVLUTIL.TMP"

// Every name above, with the tools under their names with and without ".exe", and the helper
// name Qt's lock takes while it removes a lock left by a copy that died.
const QStringList &ownFileNames();

} // namespace session
