#pragma once
// The 256 characters of a single-byte code page, one per byte, for text/codepage.cpp.
#include <array>

namespace text::detail {

struct ByteTable
{
    unsigned number = 0;             // the code page's number, e.g. 1252
    std::array<char16_t, 256> units; // the character of each byte
};

// Windows-1252, its five undefined bytes standing for the C1 controls of their numbers.
ByteTable windows1252();

// The table of the system's code page, read once (codepage_unix.cpp, codepage_win.cpp).
ByteTable systemTable();

// True when no two bytes share a character and none is a surrogate, so that every byte
// survives a round trip.
bool isOneToOne(const ByteTable &table);

} // namespace text::detail
