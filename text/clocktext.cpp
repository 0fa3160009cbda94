#include "clocktext.h"

#include <cstdio>

namespace text {

QByteArray dateText(const QDate &date)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", date.month(), date.day(), date.year());
    return QByteArray(buf);
}

QByteArray timeText(const QTime &time)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", time.hour(), time.minute(), time.second());
    return QByteArray(buf);
}

QByteArray dateTextNow() { return dateText(QDate::currentDate()); }
QByteArray timeTextNow() { return timeText(QTime::currentTime()); }

} // namespace text
