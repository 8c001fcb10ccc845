// ReadTorrentFile: a .torrent file into a TorrentFileInfo record.

#include "torrent/ole_date.h"
#include "torrent/torrent.h"
#include "torrent/torrent_file_info.h"

namespace miravue {

namespace {

TorrentFileInfo Fill(const CTorrent& torrent) {
    TorrentFileInfo record;
    std::vector<TrackerEntry> trackers;
    if (torrent.GetTrackers(trackers)) {
        for (const TrackerEntry& tracker : trackers) {
            record.Trackers += tracker.host;
            record.Trackers += ':';
            record.Trackers += std::to_string(tracker.port);
            record.Trackers += ';';
        }
    }
    record.Comment = torrent.GetComment();
    record.CreatedBy = torrent.GetCreatedBy();
    torrent.GetFiles(record.FileSizes, record.FilePaths);
    record.TotalSize = torrent.GetTotalSize(record.FileSizes);
    record.Name = torrent.GetName();
    record.PieceLength = torrent.GetPieceLength();
    record.PieceCount = torrent.GetPieceCount();
    record.InfoHash = torrent.GetInfoHash();
    if (const auto date = torrent.GetCreationDate()) {
        record.CreationDate =
            OleDateFromCalendar(date->tm_year + 1900, date->tm_mon + 1, date->tm_mday,
                                date->tm_hour, date->tm_min, date->tm_sec);
    }
    return record;
}

}  // namespace

void InitTorrentFileInfo(TorrentFileInfo& record) {
    record = TorrentFileInfo{};
}

void FreeTorrentFileInfo(TorrentFileInfo& record) {
    record = TorrentFileInfo{};
}

TorrentFileInfo ReadTorrentFile(const Text& path) {
    CTorrent torrent;
    if (path.empty() || !torrent.Load(path)) {
        return TorrentFileInfo{};
    }
    return Fill(torrent);
}

TorrentFileInfo ReadTorrentBytes(const std::uint8_t* data, std::size_t size) {
    CTorrent torrent;
    if (!torrent.LoadBytes(data, size)) {
        return TorrentFileInfo{};
    }
    return Fill(torrent);
}

}  // namespace miravue
