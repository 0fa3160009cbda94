#pragma once
// The 256 characters of a single-byte code page, one per byte, for text/codepage.cpp; on
// Windows also the conversions of a multi-byte ANSI page.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

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

// The number of the system's code page when it holds more than one byte per character (only
// on Windows), else 0 and systemTable() serves.
unsigned systemMultiBytePage();

#ifdef Q_OS_WIN
// Whole-string conversions with Windows code page `page` (codepage_win.cpp). A character the
// page cannot hold becomes "?".
QString pageToUnicode(unsigned page, QByteArrayView bytes);
QByteArray pageFromUnicode(unsigned page, const QString &unicode);
// True for the pages that refuse WC_NO_BEST_FIT_CHARS (UTF-7, UTF-8, the ISO-2022 and ISCII
// pages, symbol): they are converted without flags, and only a byte comparison tells a name
// that does not come back.
bool refusesNoBestFit(unsigned page);
#endif

// True when no two bytes share a character and none is a surrogate, so that every byte
// survives a round trip.
bool isOneToOne(const ByteTable &table);

} // namespace text::detail
