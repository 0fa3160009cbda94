#pragma once
// Date and time texts as the log and the window show them, independent of regional settings.
#include <QByteArray>
#include <QDateTime>

namespace text {

// "12-21-2002": month-day-year, always 10 characters.
QByteArray dateText(const QDate &date);
// "20:15:03": 24-hour time, always 8 characters.
QByteArray timeText(const QTime &time);

QByteArray dateTextNow();
QByteArray timeTextNow();

} // namespace text
