#include "guidedat.h"

namespace replaysim {

namespace {

const QByteArray kMagic("REPLAYSIM GUIDE");

} // namespace

QByteArray guideDat(const QByteArray &address, const QList<Recording> &recordings)
{
    QByteArray out = kMagic + '\t' + address + '\n';
    for (const Recording &r : recordings) {
        out += r.title + '\t' + r.quality + '\t' + r.recorded + '\t' + r.fileName + '\t'
               + r.duration + '\t' + r.channel + '\n';
    }
    return out;
}

bool parseGuideDat(const QByteArray &data, QByteArray &address, QList<Recording> &recordings)
{
    QList<QByteArray> lines = data.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty() || !lines.first().startsWith(kMagic + '\t'))
        return false;
    address = lines.first().mid(kMagic.size() + 1);
    recordings.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines.at(i).split('\t');
        if (f.size() != 6)
            return false;
        Recording r;
        r.title = f.at(0);
        r.quality = f.at(1);
        r.recorded = f.at(2);
        r.fileName = f.at(3);
        r.duration = f.at(4);
        r.channel = f.at(5);
        recordings.append(r);
    }
    return true;
}

QByteArray guideListing(const QByteArray &address, const QList<Recording> &recordings)
{
    const QByteArray crlf("\r\n");
    QByteArray out;
    out += QByteArray("Recorder Guide Listing") + crlf;
    out += QByteArray("Unit: ") + address + crlf;
    out += QByteArray("Recordings: ") + QByteArray::number(recordings.size()) + crlf;
    out += crlf;
    int n = 0;
    for (const Recording &r : recordings) {
        out += QByteArray("Show #") + QByteArray::number(++n) + crlf;
        out += r.title + crlf;
        out += QByteArray("Quality: ") + r.quality + crlf;
        out += QByteArray("Recorded: ") + r.recorded + crlf;
        out += QByteArray("Filename: ") + r.fileName + crlf;
        out += QByteArray("Duration: ") + r.duration + QByteArray(" min") + crlf;
        if (!r.channel.isEmpty())
            out += QByteArray("Channel: ") + r.channel + crlf;
        out += crlf;
    }
    out += QByteArray("End of listing") + crlf;
    return out;
}

} // namespace replaysim
