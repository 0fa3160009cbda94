#include "ink.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

// Most frequent colour of the area: the background the text is drawn on.
QRgb background(const QImage &image, const QRect &area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto &a, const auto &b) { return a.second < b.second; })
        ->first;
}

bool isInk(QRgb pixel, QRgb paper) { return std::abs(qGray(pixel) - qGray(paper)) > 40; }

void extend(QList<Run> &runs, int at, int joinGap)
{
    if (!runs.isEmpty() && at - runs.last().end - 1 <= joinGap)
        runs.last().end = at;
    else
        runs.append({at, at});
}

} // namespace

QList<Run> inkRuns(const QImage &image, const QRect &area, int joinGap)
{
    const QRgb paper = background(image, area);
    QList<Run> runs;
    for (int x = area.left(); x <= area.right(); ++x) {
        bool ink = false;
        for (int y = area.top(); y <= area.bottom() && !ink; ++y)
            ink = isInk(image.pixel(x, y), paper);
        if (ink)
            extend(runs, x, joinGap);
    }
    return runs;
}

QList<Run> inkBands(const QImage &image, const QRect &area)
{
    const QRgb paper = background(image, area);
    QList<Run> bands;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool ink = false;
        for (int x = area.left(); x <= area.right() && !ink; ++x)
            ink = isInk(image.pixel(x, y), paper);
        if (ink)
            extend(bands, y, 0);
    }
    return bands;
}
