#pragma once
// A .torrent file dropped on the browser area plays its magnet link.

#include <cstdint>
#include <optional>

#include "torrent/torrent_file_info.h"
#include "web/text.h"

namespace miravue {

inline constexpr char kMagnetPrefix[] = "magnet:?xt=urn:btih:";

// The record of the last torrent dropped. Empty (no record) before CreateGlobals and after
// ReleaseGlobals; in between a record, in its empty state until the first drop.
std::optional<TorrentFileInfo>& CurrentTorrent();

// The drop registry's callback for the browser window: a file whose extension is exactly
// "torrent" is read, kept as CurrentTorrent and played as its magnet link (the magnet
// prefix alone when it cannot be read). Every other file is ignored.
std::int32_t OnFileDropped(std::int32_t count, std::int32_t index, const Text& path,
                           const Text& extension);

}  // namespace miravue
