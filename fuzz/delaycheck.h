#pragma once
// What the extraction command line must end with for any delay setting: nothing for the exact
// word "Default", else a blank and a plain number text (an optional minus, digits, an optional
// point and digits) no longer than the longest a double gives (a negative one just above
// zero: "-0.", 323 zeros and 15 digits), never "inf" or "nan".
#include "commandlines.h"

#include <cstdio>
#include <cstdlib>

inline void requireDelayNumber(const QByteArray &delay)
{
    const QByteArray prefix("ReplayPC 10.0.0.5 -e a.mpg");
    const QByteArray line = runner::extractCommand("10.0.0.5", "a.mpg", delay);
    bool plain = line.startsWith(prefix);
    const QByteArray rest = line.mid(prefix.size());
    if (delay == QByteArray("Default")) {
        plain = plain && rest.isEmpty();
    } else {
        plain = plain && rest.size() >= 2 && rest.size() <= 1 + 3 + 323 + 15 && rest[0] == ' ';
        int points = 0;
        for (qsizetype i = 1; plain && i < rest.size(); ++i) {
            const char c = rest[i];
            if (c == '.')
                plain = ++points == 1 && i > 1 && i + 1 < rest.size();
            else if (c == '-')
                plain = i == 1 && rest.size() > 2;
            else
                plain = c >= '0' && c <= '9';
        }
    }
    if (!plain) {
        std::fprintf(stderr, "delay number not plain: %s\n", line.constData());
        std::abort();
    }
}
