#pragma once
// CTorrent: a decoded .torrent file, answering one question per field of the record.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string_view>
#include <vector>

#include "torrent/bencode.h"
#include "web/text.h"

namespace miravue {

// One file of a multi-file torrent.
struct FileEntry {
    Text path;  // "\dir\file"
    std::int64_t length = 0;
    std::int32_t index = 0;  // 0-based position in "files"
};

struct TrackerEntry {
    Text host;
    std::int32_t port = 0;
};

class CTorrent {
  public:
    CTorrent() = default;
    virtual ~CTorrent() = default;
    CTorrent(const CTorrent&) = default;
    CTorrent& operator=(const CTorrent&) = default;

    // True when the file decodes and its top level is a dictionary.
    bool Load(const Text& path);
    // The same over bytes already in memory.
    bool LoadBytes(const std::uint8_t* data, std::size_t size);

    // True when the top level has "announce"; "announce-list", when it is a list, then
    // replaces what "announce" gave.
    bool GetTrackers(std::vector<TrackerEntry>& trackers) const;
    Text GetComment() const;
    Text GetCreatedBy() const;
    std::int64_t GetTotalSize() const;
    // The same, given the sizes GetFiles gave, without walking the file list again.
    std::int64_t GetTotalSize(const std::vector<std::int64_t>& file_sizes) const;
    Text GetName() const;
    std::int32_t GetPieceLength() const;
    std::int32_t GetPieceCount() const;
    // True when at least one file is listed.
    bool GetFiles(std::vector<std::int64_t>& sizes, TextList& paths) const;
    Text GetInfoHash() const;
    // Local calendar time of "creation date" (the epoch when absent); none when the time
    // is before 1970, which the local-time conversion of every target cannot take.
    std::optional<std::tm> GetCreationDate() const;

    // Every entry of "files", or none at all when any of them is malformed.
    std::vector<FileEntry> GetFileEntries() const;
    // The 20-byte SHA-1 groups of "pieces" (the last may be shorter); they point into the
    // torrent and are valid while it is unchanged.
    std::vector<std::string_view> GetPieceHashes() const;

  private:
    bool Adopt(std::unique_ptr<CAtom> value);
    // Calls visit(length, path list) for each entry of "files" when all of them are well
    // formed; false, visiting none, otherwise.
    template <typename Visit>
    bool WalkFiles(Visit&& visit) const;

    CAtomDicti root_;
    CAtomDicti info_;
};

}  // namespace miravue
