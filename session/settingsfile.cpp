#include "settingsfile.h"

#include "textreader.h"

#include <QFile>
#include <QSaveFile>

namespace session {

Settings parseSettings(const QByteArray &bytes)
{
    text::TextReader reader(bytes);
    Settings settings;
    reader.readField(settings.address);
    if (!reader.readField(settings.delay))
        settings.delay = QByteArray("Default");
    return settings;
}

QByteArray settingsLine(const QByteArray &address, const QByteArray &delay)
{
    return '"' + address + "\",\"" + delay + "\"\r\n";
}

std::optional<Settings> loadSettings()
{
    QFile file;
    FileFailure failure;
    if (!openPlainFile(file, kSettingsFile, QIODevice::ReadOnly, &failure))
        return std::nullopt;
    return parseSettings(file.readAll());
}

bool saveSettings(const QByteArray &address, const QByteArray &delay, FileFailure *failure)
{
    // QSaveFile would write to a link's target: the entry is looked at right before the open.
    // The rename at the end replaces the name itself, never what a link there points to.
    const Entry entry = entryAt(kSettingsFile);
    if (entry == Entry::Link || entry == Entry::Other) {
        failure->found = entry;
        return false;
    }
    // Written beside the old file and renamed over it, so a full disk cannot leave it half
    // written; where the directory refuses new files, the file itself is rewritten.
    // Unbuffered: a buffered write that fails at the commit's flush is not seen by commit(),
    // which would put a cut-off line in place of the old one.
    QSaveFile file(kSettingsFile);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        failure->error = file.errorString();
        return false;
    }
    const QByteArray line = settingsLine(address, delay);
    if (file.write(line) != line.size() || !file.commit()) {
        failure->error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace session
