#include "activitylog.h"

#include "textreader.h"


namespace session {

namespace records {
QByteArray startSeparator()
{
    QByteArray line;
    for (int i = 0; i < 19; ++i)
        line += " -";
    return line;
}
QByteArray startRecord(const QByteArray &date) { return "New Guide Started - Guide Date " + date; }
QByteArray sessionHeader(const QByteArray &date, const QByteArray &time)
{
    return "DOVLGuide 1.3 log for " + date + ' ' + time;
}
QByteArray sessionSpacer() { return QByteArray(8, ' '); }
QByteArray startedRecord(const QByteArray &target, const QByteArray &time, const QByteArray &delay)
{
    return target + "  Started:  " + time + "  Delay = " + delay;
}
QByteArray finishedRecord(const QByteArray &target, const QByteArray &time)
{
    return target + " Finished:  " + time;
}
QByteArray blankRecord() { return QByteArray(" "); }
QByteArray sessionEndRecord() { return QByteArray("End of Download Session "); }
QByteArray exitRecord() { return QByteArray("Program Terminated "); }
QByteArray attentionRecord(const QByteArray &what)
{
    QByteArray line = "ATTENTION: " + what;
    for (char &c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return line;
}
} // namespace records

namespace groups {
QByteArrayList logStart(const QByteArray &date)
{
    return {records::startSeparator(), records::startRecord(date)};
}
QByteArrayList sessionStart(const QByteArray &date, const QByteArray &time)
{
    return {records::sessionHeader(date, time), records::sessionSpacer()};
}
QByteArrayList started(const QByteArray &target, const QByteArray &time, const QByteArray &delay)
{
    return {records::startedRecord(target, time, delay)};
}
QByteArrayList finished(const QByteArray &target, const QByteArray &time)
{
    return {records::finishedRecord(target, time), records::blankRecord()};
}
QByteArrayList sessionEnd() { return {records::blankRecord(), records::sessionEndRecord()}; }
QByteArrayList programExit()
{
    return {records::exitRecord(), records::blankRecord(), records::blankRecord()};
}
QByteArrayList attention(const QByteArray &what)
{
    return {records::attentionRecord(what), records::blankRecord()};
}
} // namespace groups

bool appendRecords(const QByteArrayList &lines, FileFailure *failure)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    // One write for the group, taken back whole when it cannot be written whole: the log never
    // ends in part of a record.
    return Folder().appendWhole(kLogFile, bytes, failure);
}

std::optional<CutOffPull> cutOffPull(const QByteArrayList &records)
{
    static const QByteArray header = records::sessionHeader("", "").trimmed() + ' ';
    static const QByteArray started = "  Started:  ", finished = " Finished:  ";
    QByteArray date;
    std::optional<CutOffPull> pending;
    for (const QByteArray &record : records) {
        if (record.startsWith(header)) {
            date = record.mid(header.size(), 10);
            pending.reset();
        } else if (const qsizetype at = record.lastIndexOf(started); at >= 0) {
            pending = CutOffPull{record.left(at), date, record.mid(at + started.size(), 8)};
        } else if (record.contains(finished) || record == records::sessionEndRecord()) {
            pending.reset();
        }
    }
    return pending;
}

QByteArrayList readAllRecords(bool *opened)
{
    FileFailure failure;
    const std::optional<QByteArray> bytes = Folder().read(kLogFile, &failure);
    *opened = bytes.has_value();
    QByteArrayList lines;
    if (!*opened)
        return lines;
    text::TextReader reader(*bytes);
    QByteArray line;
    while (reader.readLine(line))
        lines.append(line);
    return lines;
}

} // namespace session
