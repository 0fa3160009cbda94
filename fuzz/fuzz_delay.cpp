// Reads the input as the delay typed into the window and builds the extraction command line.
#include "delaycheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    requireDelayNumber(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
