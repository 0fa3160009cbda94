#include "estimate.h"

#include <algorithm>

namespace recordings {

Estimate estimateSelection(session::ShowTable &table, int showCount,
                           const std::function<bool(int)> &isTagged)
{
    Estimate totals;
    const int count = std::clamp(showCount, 0, session::kMaxShows);
    for (int i = 0; i < count; ++i) {
        if (!isTagged(i))
            continue;
        ++totals.taggedCount;
        // Each marker is tested on its own, so the last one found sets the rate; a quality
        // without any marker keeps the estimate the show already had.
        const QByteArray &quality = table.ShowQuality[i];
        if (quality.contains("Sta"))
            table.ShowEstBytes[i] = table.ShowDuration[i] * kStandardBytesPerMinute;
        if (quality.contains("Med"))
            table.ShowEstBytes[i] = table.ShowDuration[i] * kMediumBytesPerMinute;
        if (quality.contains("Hig"))
            table.ShowEstBytes[i] = table.ShowDuration[i] * kHighBytesPerMinute;
        totals.taggedMinutes += table.ShowMinutes[i];
        totals.taggedBytes += table.ShowEstBytes[i];
    }
    return totals;
}

QByteArray hoursText(qint32 minutes)
{
    if (minutes < 60)
        return QByteArray("0");
    return QByteArray::number(minutes / 60);
}

} // namespace recordings
