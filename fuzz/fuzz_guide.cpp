// Parses the input as a guide and checks what the show table must always look like afterwards.
#include "guide.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <memory>

namespace {

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "guide invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray guide(reinterpret_cast<const char *>(data), qsizetype(size));
    auto table = std::make_unique<session::ShowTable>();
    const recordings::GuideParse parse = recordings::parseGuide(guide, *table);

    require(parse.showCount >= 0 && parse.showCount <= session::kMaxShows, "show count in range");
    require(!parse.moreThanTable || parse.showCount == session::kMaxShows,
            "records beyond the table only once it is full");
    require(!(parse.moreThanTable && parse.endedInsideRecord), "one way to stop early");

    for (int i = 0; i < parse.showCount; ++i) {
        require(table->ShowTitle[i].size() == 58, "stored title is 58 bytes");
        require(table->ShowRecorded[i].size() <= 10, "recorded text at most 10 bytes");
        require(table->ShowFileName[i].size() <= 26, "file name at most 26 bytes");
        require(table->ShowQuality[i].size() <= 18, "padded quality at most 18 bytes");
        require(table->ListLine[i].startsWith(table->ShowTitle[i]), "row starts with the title");
        require(!table->ListLine[i].contains('"'), "row holds no double quote");
        require(!table->ListLine[i].contains('\n'), "row holds no line feed");
        require(table->ShowEstBytes[i] == 0, "parse sets no estimate");
    }
    for (int i = parse.showCount; i < session::kMaxShows; ++i) {
        require(table->ShowTitle[i].isEmpty() && table->ShowQuality[i].isEmpty()
                    && table->ShowRecorded[i].isEmpty() && table->ShowFileName[i].isEmpty()
                    && table->ShowDuration[i] == 0 && table->ShowMinutes[i] == 0
                    && table->ShowEstBytes[i] == 0,
                "entries above the show count empty");
    }
    for (int i = parse.showCount; i < session::kListLines; ++i)
        require(table->ListLine[i].isEmpty(), "list rows above the show count empty");
    return 0;
}
