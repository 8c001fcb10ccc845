#pragma once
// A synthetic multi-file torrent of a chosen size, for the reader benchmarks.

#include <cstddef>
#include <string>

namespace miravue::bench {

// A canonical torrent with `piece_bytes` bytes of "pieces" (rounded down to whole 20-byte
// hashes) and `files` entries in "files", each with a two-part path.
std::string MakeLargeTorrent(std::size_t piece_bytes, std::size_t files);

}  // namespace miravue::bench
