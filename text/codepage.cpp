#include "codepage.h"

#include <array>

namespace text {

namespace {

// Windows-1252 is Latin-1 except for the 32 bytes 0x80 to 0x9F. Five of them (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) name no character and stand for the C1 control of the same number, as
// Windows converts them, so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

constexpr unsigned char kFirstHigh = 0x80;
constexpr unsigned char kAfterHigh = 0xA0;

// The byte for one UTF-16 unit, or 0 with ok false when the code page has none.
char byteFor(char16_t unit, bool &ok)
{
    ok = true;
    if (unit < kFirstHigh || (unit >= kAfterHigh && unit <= 0xFF))
        return char(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == unit)
            return char(kFirstHigh + i);
    }
    ok = false;
    return 0;
}

} // namespace

QString toUnicode(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *dst++ = (byte >= kFirstHigh && byte < kAfterHigh) ? QChar(kHighControls[byte - kFirstHigh])
                                                           : QChar(char16_t(byte));
    }
    return out;
}

QByteArray fromUnicode(const QString &unicode)
{
    QByteArray out;
    out.reserve(unicode.size());
    for (qsizetype i = 0; i < unicode.size(); ++i) {
        const QChar c = unicode.at(i);
        // A character beyond the 16-bit range takes two units and becomes one "?".
        if (c.isHighSurrogate() && i + 1 < unicode.size() && unicode.at(i + 1).isLowSurrogate()) {
            out += '?';
            ++i;
            continue;
        }
        bool ok = false;
        const char byte = byteFor(c.unicode(), ok);
        out += ok ? byte : '?';
    }
    return out;
}

} // namespace text
