#pragma once
// Everything a run knows: the two remembered settings, the session flags, the show table that
// Get Guide fills and the running totals of the tagged rows. Owned by the main window.
#include <QByteArray>
#include <QtGlobal>

#include <array>

namespace session {

constexpr int kMaxShows = 201;     // shows 0 to 200
constexpr int kListLines = 601;    // list rows 0 to 600; only the first 201 can be filled
constexpr int kQueuePositions = 202; // queue positions 1 to 201; position 0 is never written

// Parallel arrays indexed by show number; show i is row i of the list.
struct ShowTable
{
    std::array<QByteArray, kMaxShows> ShowTitle;
    std::array<QByteArray, kMaxShows> ShowQuality;
    std::array<QByteArray, kMaxShows> ShowRecorded;
    std::array<QByteArray, kMaxShows> ShowFileName;
    std::array<double, kMaxShows> ShowDuration{};
    std::array<qint16, kMaxShows> ShowMinutes{};
    std::array<double, kMaxShows> ShowEstBytes{};
    std::array<QByteArray, kListLines> ListLine;
};

struct SessionState
{
    QByteArray SavedAddress;
    QByteArray DelaySetting; // always the delay box's text
    bool GuideFetched = false;
    bool DownloadActive = false;

    qint16 ShowCount = 0;
    qint16 TaggedCount = 0;
    double TaggedBytes = 0;
    qint32 TaggedMinutes = 0; // 16 bits would overflow at 33 shows of 999 minutes

    ShowTable Shows;
    // Recorder file names of the shows an extraction session pulls, from position 1 on.
    std::array<QByteArray, kQueuePositions> DownloadQueue;
};

} // namespace session
