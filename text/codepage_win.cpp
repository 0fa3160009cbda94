// On Windows the tools are programs of the ANSI code page: their file names and texts are bytes
// of it, and the system turns those names into Unicode with that page's table. Read that table
// byte by byte when the page is single-byte; a multi-byte page (932, 936, 949, 950, 65001 ...)
// cannot be read one byte at a time, and Windows-1252 is kept there.
#include "codepagetable.h"

#include <windows.h>

namespace text::detail {

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

} // namespace text::detail
