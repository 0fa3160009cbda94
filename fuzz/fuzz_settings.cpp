// Reads the input as a settings file; values that the writer can quote must read back unchanged,
// and the delay read gives a plain number on the extraction command line.
#include "delaycheck.h"
#include "settingsfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const session::Settings settings = session::parseSettings(bytes);

    const auto quotable = [](const QByteArray &value) {
        return !value.contains('"') && !value.contains('\n');
    };
    if (quotable(settings.address) && quotable(settings.delay)) {
        const session::Settings again =
            session::parseSettings(session::settingsLine(settings.address, settings.delay));
        if (again.address != settings.address || again.delay != settings.delay) {
            std::fprintf(stderr, "settings line does not read back\n");
            std::abort();
        }
    }
    requireDelayNumber(settings.delay);
    return 0;
}
