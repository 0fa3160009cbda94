#include "toolfile.h"

#include <windows.h>

namespace replaysim {

// argv is the start-up code's split of the ANSI command line, what a program of that page sees;
// Qt's list is read from the Unicode command line and is not used here.
QByteArray fileNameArgument(int argc, char **argv, const QStringList &, int index)
{
    return index < argc ? QByteArray(argv[index]) : QByteArray();
}

bool writeRecording(const QByteArray &name, const QByteArray &data, QString &error)
{
    const HANDLE file = CreateFileA(name.constData(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = qt_error_string(int(GetLastError()));
        return false;
    }
    DWORD written = 0;
    const bool whole = data.isEmpty()
        || (WriteFile(file, data.constData(), DWORD(data.size()), &written, nullptr)
            && written == DWORD(data.size()));
    if (!whole)
        error = qt_error_string(int(GetLastError()));
    CloseHandle(file);
    if (!whole)
        DeleteFileA(name.constData());
    return whole;
}

} // namespace replaysim
