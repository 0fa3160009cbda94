#pragma once
// Parsing "guide.txt" into the show table, and the fixed-width list row of each show.
#include "sessionstate.h"

#include <QByteArray>

namespace recordings {

struct GuideParse
{
    int showCount = 0;              // complete show records stored, at most 201
    bool endedInsideRecord = false; // the file ended inside a record, which was left out
    bool moreThanTable = false;     // records after the 201st were not read
};

// Fills shows 0 to showCount - 1 of `table` (title, quality, recorded, file name, duration,
// minutes, list line); entries at or above showCount are left untouched.
GuideParse parseGuide(const QByteArray &guide, session::ShowTable &table);

// The title rules applied to a title line: exactly 58 characters.
QByteArray guideTitle(const QByteArray &titleLine);
// The quality characters padded so each of the three known words fills 14 characters.
QByteArray paddedQuality(const QByteArray &quality);
// Title + padded quality + duration characters + 8 blanks + " " + recorded, quotes made " - ".
QByteArray listRow(const QByteArray &title, const QByteArray &paddedQuality,
                   const QByteArray &durationCharacters, const QByteArray &recorded);

} // namespace recordings
