#pragma once
// The record the torrent reader hands back for a .torrent file.

#include <cstdint>
#include <vector>

#include "web/text.h"

namespace miravue {

// An OLE Automation date (days since 1899-12-30, time of day as the fraction) for
// 0100-01-01 00:00:00: it stands for "no date".
inline constexpr double kEmptyDate = -657434.0;

struct TorrentFileInfo {
    Text Trackers;  // "host:port;" per tracker, in order
    Text Comment;
    Text CreatedBy;
    Text Name;
    std::int64_t TotalSize = 0;
    std::int32_t PieceLength = 0;
    std::int32_t PieceCount = 0;
    std::vector<std::int64_t> FileSizes;  // parallel to FilePaths
    TextList FilePaths;                   // "\dir\file" per file, without the torrent's name
    Text InfoHash;                        // 40 lowercase hexadecimal digits
    double CreationDate = kEmptyDate;     // local time, as an OLE Automation date

    friend bool operator==(const TorrentFileInfo&, const TorrentFileInfo&) = default;
};

// A value-initialised TorrentFileInfo is already empty, and its members release their
// own storage; these two remain for callers that manage a record they keep: both leave
// the record in its empty state (so reading it after Free is harmless).
void InitTorrentFileInfo(TorrentFileInfo& record);
void FreeTorrentFileInfo(TorrentFileInfo& record);

// Reads and decodes a .torrent file. Never fails outright: a file that cannot be read or
// decoded, or whose top level is not a dictionary, gives the empty record.
TorrentFileInfo ReadTorrentFile(const Text& path);
// The same over bytes already in memory.
TorrentFileInfo ReadTorrentBytes(const std::uint8_t* data, std::size_t size);

}  // namespace miravue
