#pragma once
// The running estimate for the tagged rows: how many, their size in bytes, their minutes.
#include "sessionstate.h"

#include <QByteArray>

#include <functional>

namespace recordings {

constexpr double kStandardBytesPerMinute = 15536401;
constexpr double kMediumBytesPerMinute = 32032904;
constexpr double kHighBytesPerMinute = 47095261;

struct Estimate
{
    qint16 taggedCount = 0;
    double taggedBytes = 0;
    qint32 taggedMinutes = 0;
};

// Recomputes the totals over shows 0 to showCount - 1 for which `isTagged(i)` holds, setting
// ShowEstBytes of each tagged show whose quality holds "Sta", "Med" or "Hig" (last match wins).
Estimate estimateSelection(session::ShowTable &table, int showCount,
                           const std::function<bool(int)> &isTagged);

// Whole hours of the minutes, rounded down; "0" below 60.
QByteArray hoursText(qint32 minutes);

} // namespace recordings
