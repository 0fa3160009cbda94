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
    QFile file(kSettingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseSettings(file.readAll());
}

bool saveSettings(const QByteArray &address, const QByteArray &delay, QString *error)
{
    // Written beside the old file and renamed over it, so a full disk cannot leave it half
    // written; where the directory refuses new files, the file itself is rewritten.
    QSaveFile file(kSettingsFile);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray line = settingsLine(address, delay);
    if (file.write(line) != line.size() || !file.commit()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace session
