#pragma once
// "DOVLGUIDE.LOG": appended to in groups of records, one CR LF line each, and never rewritten.
#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <optional>

#include "ownfiles.h"
#include "folder.h"

namespace session {

namespace records {
QByteArray startSeparator();
QByteArray startRecord(const QByteArray &date);
QByteArray sessionHeader(const QByteArray &date, const QByteArray &time);
QByteArray sessionSpacer();
QByteArray startedRecord(const QByteArray &target, const QByteArray &time, const QByteArray &delay);
QByteArray finishedRecord(const QByteArray &target, const QByteArray &time);
QByteArray blankRecord();
QByteArray sessionEndRecord();
QByteArray exitRecord();
// What became of a recording that was not saved cleanly: "ATTENTION: " and the words, with any
// control character made a blank. A saved name never holds a colon, so no other record of the
// log begins that way.
QByteArray attentionRecord(const QByteArray &what);
} // namespace records

// The groups that are written together, each with one open and close of the file.
namespace groups {
QByteArrayList logStart(const QByteArray &date);
QByteArrayList sessionStart(const QByteArray &date, const QByteArray &time);
QByteArrayList started(const QByteArray &target, const QByteArray &time, const QByteArray &delay);
QByteArrayList finished(const QByteArray &target, const QByteArray &time);
QByteArrayList sessionEnd();
QByteArrayList programExit();
QByteArrayList attention(const QByteArray &what);
} // namespace groups

// Opens the log for appending (creating it when missing), writes the lines with one write,
// closes it. On failure returns false with the system's reason in `failure`, and the log is as
// it was: a group written in part is cut off again, and a link or another entry in the log's
// place is refused and nothing is written through it.
bool appendRecords(const QByteArrayList &lines, FileFailure *failure);

// The pull a run was in when it was cut off: the log's last session has a started record with
// no finished record after it.
struct CutOffPull
{
    QByteArray target; // the name the recording was to be saved under
    QByteArray date;   // the session's date text
    QByteArray time;   // the started record's time text
};
std::optional<CutOffPull> cutOffPull(const QByteArrayList &records);

// Every line of the log, without line ends. `opened` tells whether it could be read as a plain
// file.
QByteArrayList readAllRecords(bool *opened);

} // namespace session
