#pragma once
// The two ways the inspection command shows a TorrentFileInfo.

#include <string>

#include "torrent/torrent_file_info.h"

namespace miravue::inspect {

inline constexpr const char* kMagnetPrefix = "magnet:?xt=urn:btih:";

// One JSON object on one line, without the line end.
std::string RecordJson(const std::string& path, const TorrentFileInfo& record);
// A block of "Label: value" lines for people, ended by an empty line.
std::string RecordText(const std::string& path, const TorrentFileInfo& record);

}  // namespace miravue::inspect
