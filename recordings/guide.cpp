#include "guide.h"

#include "codepage.h"
#include "numeric.h"
#include "textreader.h"

#include <cmath>
#include <limits>
#include <utility>

namespace recordings {

namespace {

constexpr qsizetype kTitleWidth = 58;

// One show record as read; it goes into the table only once it is complete.
struct ShowRecord
{
    QByteArray title;
    QByteArray quality;
    QByteArray recorded;
    QByteArray fileName;
    double duration = 0;
    qint16 minutes = 0;
    QByteArray listLine;
};

// The whole number nearest to `value`, halves to the even neighbour, held within 16 bits.
qint16 wholeMinutes(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double low = std::numeric_limits<qint16>::min();
    constexpr double high = std::numeric_limits<qint16>::max();
    if (value <= low)
        return std::numeric_limits<qint16>::min();
    if (value >= high)
        return std::numeric_limits<qint16>::max();
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0))
        rounded = below + 1;
    return static_cast<qint16>(rounded);
}

// Reads on from `last` until a text starts with `label` and gives that text; false when the
// guide ends first. The texts passed over are only looked at, never copied.
bool findEntry(text::TextReader &reader, QByteArrayView &last, const char *label, QByteArray &entry)
{
    while (!last.startsWith(label)) {
        if (!reader.readField(last))
            return false;
    }
    entry = last.toByteArray();
    return true;
}

// Reads the record whose start line has just been read; false when the guide ends inside it.
bool readRecord(text::TextReader &reader, ShowRecord &show)
{
    QByteArrayView last;
    QByteArray entry;
    if (!reader.readLine(last))
        return false;
    show.title = guideTitle(last.toByteArray());

    if (!findEntry(reader, last, "Quality:", entry))
        return false;
    show.quality = paddedQuality(entry.mid(9, 8));

    if (!findEntry(reader, last, "Recorded:", entry))
        return false;
    show.recorded = entry.mid(10, 10);

    if (!findEntry(reader, last, "Filename:", entry))
        return false;
    show.fileName = entry.mid(10, 26);

    if (!findEntry(reader, last, "Duration:", entry))
        return false;
    const QByteArray durationCharacters = entry.mid(10, 3);
    show.duration = text::numericValue(durationCharacters);
    show.minutes = wholeMinutes(text::numericValue(durationCharacters + QByteArray(8, ' ')));
    show.listLine = listRow(show.title, show.quality, durationCharacters, show.recorded);
    return true;
}

void store(session::ShowTable &table, int i, ShowRecord &show)
{
    table.ShowTitle[i] = std::move(show.title);
    table.ShowFileName[i] = std::move(show.fileName);
    table.ShowDuration[i] = show.duration;
    table.ShowMinutes[i] = show.minutes;
    table.ListLine[i] = std::move(show.listLine);
    table.ShowRecorded[i] = std::move(show.recorded);
    table.ShowQuality[i] = std::move(show.quality);
}

} // namespace

GuideParse parseGuide(const QByteArray &guide, session::ShowTable &table)
{
    GuideParse result;
    text::TextReader reader(guide);
    QByteArrayView line;
    while (reader.readLine(line)) {
        if (!line.startsWith("Show #"))
            continue;
        if (result.showCount == session::kMaxShows) {
            result.moreThanTable = true;
            break;
        }
        ShowRecord show;
        if (!readRecord(reader, show)) {
            result.endedInsideRecord = true;
            break;
        }
        store(table, result.showCount, show);
        ++result.showCount;
    }
    return result;
}

QByteArray guideTitle(const QByteArray &titleLine)
{
    const qsizetype colon = titleLine.indexOf(':');
    QByteArray title = colon < 0 ? titleLine : titleLine.mid(colon + 1);
    const qsizetype paren = title.indexOf('(');
    if (paren >= 0)
        title.truncate(paren);
    if (title.size() < kTitleWidth)
        title.append(QByteArray(kTitleWidth - title.size(), ' '));
    title.replace('"', QByteArray(" - "));
    title.replace(';', ' ');
    title.replace(':', ' ');
    // The cut must not leave the first bytes of a character at the end, where it would take
    // the next column's bytes with it: they become blanks, and the title keeps its width.
    const QList<bool> starts = text::characterStarts(title);
    qsizetype start = kTitleWidth;
    while (start > 0 && start < title.size() && !starts.at(start))
        --start;
    title.truncate(start);
    title.append(QByteArray(kTitleWidth - start, ' '));
    return title;
}

QByteArray paddedQuality(const QByteArray &quality)
{
    QByteArray padded = quality;
    if (padded.startsWith("Stan"))
        padded.append(QByteArray(6, ' '));
    if (padded.startsWith("Medi"))
        padded.append(QByteArray(8, ' '));
    if (padded.startsWith("High"))
        padded.append(QByteArray(10, ' '));
    return padded;
}

QByteArray listRow(const QByteArray &title, const QByteArray &paddedQuality,
                   const QByteArray &durationCharacters, const QByteArray &recorded)
{
    QByteArray row = title + paddedQuality + durationCharacters + QByteArray(8, ' ') + ' '
        + recorded;
    row.replace('"', QByteArray(" - "));
    return row;
}

} // namespace recordings
