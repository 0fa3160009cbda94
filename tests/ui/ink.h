#pragma once
// Where text ink lies in a picture of a window: runs of ink columns and bands of ink rows,
// against the area's most frequent colour.
#include <QImage>
#include <QList>
#include <QRect>

struct Run
{
    int start; // first ink column (or row), pixels
    int end;   // last one
};

// Runs of ink columns in `area`; gaps up to `joinGap` pixels join their neighbours into one run.
QList<Run> inkRuns(const QImage &image, const QRect &area, int joinGap);
// Bands of ink rows in `area`, as a line of text each; a blank pixel row parts two bands.
QList<Run> inkBands(const QImage &image, const QRect &area);
