// On Windows the tools are programs of the ANSI code page: their file names and texts are bytes
// of it, and the system turns those names into Unicode with that page's table. Read that table
// byte by byte when the page is single-byte; a multi-byte page (932, 936, 949, 950, 65001 ...)
// cannot be read one byte at a time and is converted as whole strings, as the system does.
#include "codepage.h"
#include "codepagetable.h"

#include <windows.h>

namespace text {

namespace detail {

namespace {

// The number of bytes the longest character of `page` takes; 0 when the system lacks the page.
unsigned maxCharSize(UINT page)
{
    CPINFO info{};
    return GetCPInfo(page, &info) ? info.MaxCharSize : 0;
}

} // namespace

bool refusesNoBestFit(unsigned page)
{
    return page == 42 || page == 65000 || page == 65001 || (page >= 50220 && page <= 50229)
        || (page >= 57002 && page <= 57011);
}

ByteTable systemTable()
{
    const UINT page = GetACP();
    CPINFOEXW info{};
    if (!GetCPInfoExW(page, 0, &info) || info.MaxCharSize != 1)
        return windows1252();
    ByteTable table;
    table.number = page;
    for (int byte = 0; byte < 256; ++byte) {
        const char in = char(byte);
        WCHAR out = 0;
        // As the narrow file functions convert, without flags: where the page has a character
        // for the byte, or stands it for a control, that is the name the system gives. A byte
        // it cannot convert, or turns into the page's stand-in for any unknown character,
        // stands for the character of its own number.
        const bool converted = MultiByteToWideChar(page, 0, &in, 1, &out, 1) == 1;
        if (!converted || out == 0xFFFD || (out == info.UnicodeDefaultChar && byte != info.DefaultChar[0]))
            out = WCHAR(byte);
        table.units[byte] = char16_t(out);
    }
    return table;
}

unsigned systemMultiBytePage()
{
    const UINT page = GetACP();
    return maxCharSize(page) > 1 ? page : 0;
}

QString pageToUnicode(unsigned page, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    // Without flags, as the system converts a narrow name or command line.
    const int size = int(bytes.size());
    const int units = MultiByteToWideChar(page, 0, bytes.data(), size, nullptr, 0);
    QString out(units, Qt::Uninitialized);
    out.truncate(MultiByteToWideChar(page, 0, bytes.data(), size, reinterpret_cast<wchar_t *>(out.data()), units));
    return out;
}

QByteArray pageFromUnicode(unsigned page, const QString &unicode)
{
    if (unicode.isEmpty())
        return QByteArray();
    const auto *src = reinterpret_cast<const wchar_t *>(unicode.utf16());
    const int size = int(unicode.size());
    // No "best fit": a character the page lacks becomes "?", never a look-alike.
    DWORD flags = refusesNoBestFit(page) ? 0 : WC_NO_BEST_FIT_CHARS;
    // Ended by a nul: on a double-byte page the system reads a second byte of the stand-in.
    static const char question[] = "?";
    const char *fallback = flags ? question : nullptr;
    int bytes = WideCharToMultiByte(page, flags, src, size, nullptr, 0, fallback, nullptr);
    if (bytes == 0 && flags) {
        flags = 0;
        fallback = nullptr;
        bytes = WideCharToMultiByte(page, flags, src, size, nullptr, 0, nullptr, nullptr);
    }
    QByteArray out(bytes, Qt::Uninitialized);
    out.truncate(WideCharToMultiByte(page, flags, src, size, out.data(), bytes, fallback, nullptr));
    return out;
}

} // namespace detail

bool roundTrips(const QByteArray &bytes, unsigned page)
{
    // Byte for byte: a page may turn an invalid sequence into a character that comes back as
    // other bytes, and UTF-8 takes no flag that would say so.
    return detail::pageFromUnicode(page, detail::pageToUnicode(page, bytes)) == bytes;
}

QList<bool> characterStarts(QByteArrayView bytes, unsigned page)
{
    QList<bool> starts(bytes.size(), true);
    if (page == CP_UTF8) {
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes.at(i));
            starts[i] = byte < 0x80 || byte > 0xBF;
        }
        return starts;
    }
    if (detail::maxCharSize(page) != 2)
        return starts;
    // A lead byte takes the next byte with it, whatever that byte would be alone.
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        if (IsDBCSLeadByteEx(page, static_cast<BYTE>(bytes.at(i))))
            starts[++i] = false;
    }
    return starts;
}

} // namespace text
