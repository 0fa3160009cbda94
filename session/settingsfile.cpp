#include "settingsfile.h"

#include "textreader.h"


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
    FileFailure failure;
    const std::optional<QByteArray> bytes = Folder().read(kSettingsFile, &failure);
    if (!bytes)
        return std::nullopt;
    return parseSettings(*bytes);
}

bool saveSettings(const QByteArray &address, const QByteArray &delay, FileFailure *failure)
{
    // Whole or not at all: a full disk or a folder that refuses new files leaves the old settings
    // as they were, and a link in the file's place is never written through.
    return Folder().replaceWhole(kSettingsFile, settingsLine(address, delay), failure);
}

} // namespace session
