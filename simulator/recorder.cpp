#include "recorder.h"

#include "codepage.h"

#include <QDateTime>
#include <QFile>
#include <QThread>
#include <QTimeZone>

#include <cstdio>

namespace replaysim {

namespace {

struct Entry
{
    const char *title;
    const char *quality;
    const char *recorded;
    const char *duration;
    const char *channel;
};

// Titles keep the recorder's "Category: Name (Episode)" form, with the awkward characters a
// real guide holds: further colons, double quotes, semicolons, commas in the title line and
// Windows-1252 letters. The two Frasier episodes share their title and recorded date.
const Entry kEntries[] = {
    {"Movie: Casablanca (1942)", "Standard", "12/21/2002 8:00 PM", "102", "38 TCM"},
    {"Series: Star Trek: The Next Generation (Darmok)", "Medium", "09/30/2002 7:00 PM", "60", "11 KTVU"},
    {"Series: Star Trek: The Next Generation (The Inner Light)", "High", "10/07/2002 7:00 PM", "60", "11 KTVU"},
    {"Movie: Am\xE9lie (2001)", "High", "11/02/2002 9:00 PM", "122", "45 IFC"},
    {"News: NewsHour with Jim Lehrer", "Standard", "12/20/2002 6:00 PM", "60", "9 KQED"},
    {"Series: Frasier (The Ski Lodge)", "Medium", "02/14/2002 9:00 PM", "30", "3 KNTV"},
    {"Series: Frasier (Three Valentines)", "Medium", "02/14/2002 9:30 PM", "30", "3 KNTV"},
    {"Sports: Monday Night Football; Raiders at Broncos", "Standard", "11/11/2002 6:00 PM", "185", "7 KGO"},
    {"Movie: \"Crocodile\" Dundee (1986)", "Medium", "12/01/2002 8:00 PM", "98", "52 TNT"},
    {"Series: Malcolm in the Middle (Bowling)", "Standard", "04/01/2002 8:30 PM", "30", "2 KTVU"},
    {"Cooking: Julia Child: Baking with Julia (Cr\xE8me Br\xFBl\xE9" "e)", "Standard", "03/16/2002 11:00 AM", "30", "9 KQED"},
    {"Documentary: Nova (Origins)", "High", "09/28/2002 8:00 PM", "120", "9 KQED"},
    {"Nature (Wolves)", "Medium", "10/13/2002 8:00 PM", "60", ""},
    {"Movie: Crouching Tiger, Hidden Dragon (2000)", "High", "08/17/2002 9:00 PM", "120", "40 HBO"},
    {"Kids: Sesame Street", "Standard", "06/03/2002 7:00 AM", "60", "9 KQED"},
    {"Short: Pixar Shorts: For the Birds (2000)", "High", "07/04/2002 10:55 AM", "5", "61 DIS"},
    {"Series: The West Wing (Two Cathedrals)", "Medium", "05/16/2001 9:00 PM", "60", "3 KNTV"},
    {"Movie: Y Tu Mam\xE1 Tambi\xE9n (2001)", "High", "10/19/2002 11:00 PM", "105", "45 IFC"},
    {"Music: Buena Vista Social Club; Live in Havana", "Standard", "01/05/2002 10:00 PM", "90", "9 KQED"},
    {"Series: Sex and the City (Anchors Away)", "Medium", "07/07/2002 9:00 PM", "30", "40 HBO"},
    {"Movie: The Lord of the Rings: The Fellowship of the Ring (2001)", "High", "12/14/2002 7:00 PM", "178", "40 HBO"},
    {"Series: CSI: Crime Scene Investigation (Pilot)", "Standard", "10/06/2000 9:00 PM", "60", "5 KPIX"},
    {"Event: Cirque du Soleil \x96 Quidam", "High", "12/25/2002 8:00 PM", "90", "41 BRAVO"},
    {"Movie: Citizen Kane (1941)", "Standard", "11/29/2002 10:00 PM", "119", "38 TCM"},
    {"Series: Buffy the Vampire Slayer (Once More, with Feeling)", "Medium", "11/06/2001 8:00 PM", "60", "20 UPN"},
    {"Movie: Das Boot (Director\x92s Cut) (1981)", "Standard", "02/02/2002 1:00 AM", "209", "38 TCM"},
    {"Sports: Tour de France: Stage 17 (Annecy)", "Medium", "07/25/2002 5:00 AM", "240", "33 OLN"},
    {"Series: The Sopranos (Pine Barrens)", "High", "05/06/2001 9:00 PM", "60", "40 HBO"},
    {"Event: The Kennedy Center Honors: A Celebration of the Performing Arts and Its Honorees (2002)", "Standard", "12/26/2002 9:00 PM", "120", "5 KPIX"},
    {"Movie: Spirited Away (2001)", "High", "09/20/2002 7:30 PM", "125", "61 DIS"},
    {"Series: Law & Order (Pilot)", "Standard", "09/13/2002 10:00 PM", "60", "3 KNTV"},
    {"Documentary: The Civil War (Episode 1: The Cause)", "Medium", "09/23/2002 8:00 PM", "99", "9 KQED"},
    {"Movie: L\xE9on: The Professional (1994)", "Medium", "08/31/2002 11:30 PM", "110", "52 TNT"},
    {"Series: Friends (The One Where Everybody Finds Out)", "Standard", "02/11/1999 8:00 PM", "30", "3 KNTV"},
    {"Weather: Storm Watch; Winter Outlook", "Standard", "11/20/2002 5:30 PM", "15", "65 TWC"},
    {"Movie: The Godfather Part II (1974)", "High", "10/26/2002 8:00 PM", "200", "52 TNT"},
    {"Series: M*A*S*H (Goodbye, Farewell and Amen)", "Medium", "02/28/2002 8:00 PM", "150", "5 KPIX"},
    {"Movie: La Vita \xE8 Bella (1997)", "High", "03/09/2002 9:00 PM", "116", "45 IFC"},
    {"Series: Band of Brothers (Currahee)", "High", "09/09/2001 8:00 PM", "73", "40 HBO"},
    {"Game Show: Jeopardy! (Tournament of Champions)", "Standard", "11/15/2002 7:00 PM", "30", "7 KGO"},
};

// The recorder names a recording after the second it started: "12/21/2002 8:00 PM" becomes
// the seconds since 1970 (UTC) followed by ".mpg".
QByteArray fileNameFor(const QByteArray &recorded)
{
    int month = 0, day = 0, year = 0, hour = 0, minute = 0;
    char half[3] = {};
    std::sscanf(recorded.constData(), "%d/%d/%d %d:%d %2s", &month, &day, &year, &hour, &minute,
                half);
    hour %= 12;
    if (half[0] == 'P')
        hour += 12;
    const QDateTime start(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc());
    return QByteArray::number(start.toSecsSinceEpoch()) + QByteArray(".mpg");
}

bool isOctet(const QByteArray &part)
{
    if (part.isEmpty() || part.size() > 3)
        return false;
    for (char c : part)
        if (c < '0' || c > '9')
            return false;
    return part.toInt() <= 255;
}

} // namespace

QList<Recording> builtInRecordings()
{
    QList<Recording> list;
    for (const Entry &e : kEntries) {
        Recording r;
        r.title = e.title;
        r.quality = e.quality;
        r.recorded = e.recorded;
        r.fileName = fileNameFor(r.recorded);
        r.duration = e.duration;
        r.channel = e.channel;
        list.append(r);
    }
    return list;
}

bool parseRecordingLine(const QByteArray &line, Recording &recording)
{
    const QList<QByteArray> f = line.split('\t');
    if (f.size() < 5 || f.size() > 6)
        return false;
    recording = Recording();
    recording.title = f.at(0);
    recording.quality = f.at(1);
    recording.recorded = f.at(2);
    recording.fileName = f.at(3);
    recording.duration = f.at(4);
    if (f.size() < 6)
        return true;
    static const struct
    {
        const char *flag;
        Recording::Fault fault;
    } kFlags[] = {{"nofile", Recording::Fault::NoFile}, {"fail", Recording::Fault::Fail},
                  {"partial", Recording::Fault::Partial}, {"crash", Recording::Fault::Crash},
                  {"empty", Recording::Fault::Empty}};
    for (const auto &known : kFlags) {
        if (f.at(5) == known.flag) {
            recording.fault = known.fault;
            return true;
        }
    }
    return false;
}

bool loadRecordings(QList<Recording> &recordings, QString &error)
{
    const QString path = qEnvironmentVariable("REPLAYSIM_RECORDINGS");
    if (path.isEmpty()) {
        recordings = builtInRecordings();
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    recordings.clear();
    QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        Recording r;
        if (!parseRecordingLine(line, r)) {
            error = path + QStringLiteral(": line %1 is not title, quality, recorded, file name, "
                                          "duration [, nofile|fail|partial|crash|empty] "
                                          "separated by tabs")
                               .arg(i + 1);
            return false;
        }
        recordings.append(r);
    }
    return true;
}

bool isReachable(const QByteArray &address)
{
    const QList<QByteArray> parts = address.split('.');
    if (parts.size() != 4)
        return false;
    for (const QByteArray &p : parts)
        if (!isOctet(p))
            return false;
    // 192.0.2.0/24 is reserved for documentation: no recorder ever answers there.
    return !(parts.at(0).toInt() == 192 && parts.at(1).toInt() == 0 && parts.at(2).toInt() == 2);
}

bool isBareFileName(const QByteArray &name)
{
    if (name.isEmpty() || name == QByteArray(".") || name == QByteArray(".."))
        return false;
    // Read by character, as a program of the code page reads its names: the second byte of a
    // double-byte character may be 0x5C and is no backslash.
    const QList<bool> starts = text::characterStarts(name);
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char c = name.at(i);
        if (starts.at(i) && (c == '/' || c == '\\' || c == ':'))
            return false;
    }
    return true;
}

bool fastMode()
{
    const QByteArray v = qgetenv("REPLAYSIM_FAST");
    return !v.isEmpty() && v != QByteArray("0");
}

void pause(int ms)
{
    if (!fastMode() && ms > 0)
        QThread::msleep(ms);
}

} // namespace replaysim
