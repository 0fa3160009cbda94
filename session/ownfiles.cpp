#include "ownfiles.h"

namespace session {

const QString kSettingsFile = QStringLiteral("DOVLIP.dat");
const QString kLogFile = QStringLiteral("DOVLGUIDE.LOG");
const QString kGuideText = QStringLiteral("guide.txt");
const QString kGuideData = QStringLiteral("guide.dat");
const QString kLockFile = QStringLiteral("DOVLUTIL.LCK");
const QString kScratchFile = QStringLiteral("DOVLUTIL.TMP");

const QStringList &ownFileNames()
{
    static const QStringList names{kSettingsFile,
                                   kLogFile,
                                   kGuideText,
                                   kGuideData,
                                   kLockFile,
                                   kLockFile + QStringLiteral(".rmlock"),
                                   kScratchFile,
                                   QStringLiteral("ReplayPC"),
                                   QStringLiteral("ReplayPC.exe"),
                                   QStringLiteral("PShell"),
                                   QStringLiteral("PShell.exe")};
    return names;
}

} // namespace session
