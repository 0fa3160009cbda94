#include "codepage.h"
#include "codepagetable.h"

#include <memory>
#include <vector>

namespace text {

namespace detail {

ByteTable windows1252()
{
    // Latin-1 except for the 32 bytes 0x80 to 0x9F. Five of them (0x81, 0x8D, 0x8F, 0x90, 0x9D)
    // name no character and stand for the C1 control of the same number, as Windows converts
    // them.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
    };
    ByteTable table;
    table.number = 1252;
    for (int byte = 0; byte < 256; ++byte)
        table.units[byte] = byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte);
    return table;
}

bool isOneToOne(const ByteTable &table)
{
    std::vector<bool> taken(0x10000);
    for (const char16_t unit : table.units) {
        if (taken[unit] || QChar::isSurrogate(unit))
            return false;
        taken[unit] = true;
    }
    return true;
}

} // namespace detail

namespace {

// Both directions of the code page in use, built on first use. `bytes` gives each UTF-16 unit
// its byte; a unit the page does not hold gets a byte whose character is another one.
struct Tables
{
    detail::ByteTable page;
    std::array<unsigned char, 0x10000> bytes{};
};

const Tables &tables()
{
    static const std::unique_ptr<const Tables> built = [] {
        auto t = std::make_unique<Tables>();
        t->page = detail::systemTable();
        // A table where two bytes share a character could not give every byte back.
        if (!detail::isOneToOne(t->page))
            t->page = detail::windows1252();
        for (int byte = 0; byte < 256; ++byte)
            t->bytes[t->page.units[byte]] = static_cast<unsigned char>(byte);
        return std::unique_ptr<const Tables>(std::move(t));
    }();
    return *built;
}

// The system's multi-byte page, 0 when the single-byte table serves.
unsigned multiBytePage()
{
    static const unsigned page = detail::systemMultiBytePage();
    return page;
}

} // namespace

QString toUnicode(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    if (const unsigned page = multiBytePage())
        return detail::pageToUnicode(page, bytes);
#endif
    const auto &units = tables().page.units;
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char c : bytes)
        *dst++ = QChar(units[static_cast<unsigned char>(c)]);
    return out;
}

QByteArray fromUnicode(const QString &unicode)
{
#ifdef Q_OS_WIN
    if (const unsigned page = multiBytePage())
        return detail::pageFromUnicode(page, unicode);
#endif
    const Tables &t = tables();
    QByteArray out(unicode.size(), Qt::Uninitialized);
    char *dst = out.data();
    const QChar *src = unicode.constData();
    const QChar *const end = src + unicode.size();
    for (; src != end; ++src) {
        const char16_t unit = src->unicode();
        // A character beyond the 16-bit range takes two units and becomes one "?".
        if (src->isHighSurrogate() && src + 1 != end && src[1].isLowSurrogate()) {
            *dst++ = '?';
            ++src;
            continue;
        }
        const unsigned char byte = t.bytes[unit];
        *dst++ = t.page.units[byte] == unit ? char(byte) : '?';
    }
    out.truncate(dst - out.constData());
    return out;
}

unsigned codePage()
{
    const unsigned page = multiBytePage();
    return page ? page : tables().page.number;
}

bool roundTrips(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    if (const unsigned page = multiBytePage())
        return roundTrips(bytes, page);
#else
    Q_UNUSED(bytes);
#endif
    // The single-byte table gives every byte its own character.
    return true;
}

QList<bool> characterStarts(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    if (const unsigned page = multiBytePage())
        return characterStarts(bytes, page);
#endif
    return QList<bool>(bytes.size(), true);
}

} // namespace text
