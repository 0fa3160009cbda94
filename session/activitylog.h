#pragma once
// "DOVLGUIDE.LOG": appended to in groups of records, one CR LF line each, and never rewritten.
#include <QByteArray>
#include <QByteArrayList>
#include <QString>

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

// Opens the log for appending (creating it when missing), writes the lines, closes it. On
// failure returns false with the reason in `failure`: a link or another entry in the log's
// place is refused and nothing is written through it.
bool appendRecords(const QByteArrayList &lines, FileFailure *failure);

// Every line of the log, without line ends. `opened` tells whether it could be read as a plain
// file.
QByteArrayList readAllRecords(bool *opened);

} // namespace session
