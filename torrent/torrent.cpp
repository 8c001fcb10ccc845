// CTorrent: the questions the torrent reader asks of a decoded .torrent file.

#include "torrent/torrent.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "torrent/ole_date.h"
#include "torrent/sha1.h"
#include "torrent/tracker_url.h"

namespace miravue {

namespace {

Text TextOf(const CAtom* value) {
    return value == nullptr ? Text() : value->ToText();
}

// The integer in a CAtomLong or CAtomInt, or none for any other kind.
std::optional<std::int64_t> IntegerOf(const CAtom* value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->IsLong()) {
        return static_cast<const CAtomLong*>(value)->Value();
    }
    if (value->IsInt()) {
        return static_cast<const CAtomInt*>(value)->Value();
    }
    return std::nullopt;
}

// Appends ToText() of `value` without building it apart first.
void AppendText(const CAtom& value, Text& out) {
    if (!value.IsString()) {
        out += value.ToText();
        return;
    }
    const std::size_t start = out.size();
    out += static_cast<const CAtomString&>(value).View();
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '\0', ' ');
}

std::int32_t Low32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

void AsciiLower(Text& text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

void AddTracker(Text url, bool normalize, std::vector<TrackerEntry>& trackers) {
    AsciiLower(url);
    if (normalize) {
        NormalizeTrackerUrl(url);
    }
    TrackerEntry entry;
    Text path;
    if (SplitTrackerUrl(url, entry.host, entry.port, path)) {
        trackers.push_back(std::move(entry));
    }
}

}  // namespace

bool CTorrent::Load(const Text& path) {
    if (path.empty()) {
        return false;
    }
    return Adopt(DecodeFile(path));
}

bool CTorrent::LoadBytes(const std::uint8_t* data, std::size_t size) {
    return Adopt(DecodeValue(data, size, 0));
}

bool CTorrent::Adopt(std::unique_ptr<CAtom> value) {
    if (!value || !value->IsDicti()) {
        return false;
    }
    // The decoded value is ours alone, so it is moved in rather than copied, and "info"
    // is kept once: in info_, where every question about it is asked. No question reads
    // "info" from root_, and a large torrent's piece hashes and file list are not copied.
    root_ = std::move(static_cast<CAtomDicti&>(*value));
    const CAtom* info = root_.Find("info");
    if (info != nullptr && info->IsDicti()) {
        info_ = std::move(static_cast<CAtomDicti&>(*root_.Take("info")));
    }
    return true;
}

bool CTorrent::GetTrackers(std::vector<TrackerEntry>& trackers) const {
    trackers.clear();
    const CAtom* announce = root_.Find("announce");
    if (announce == nullptr) {
        return false;
    }
    AddTracker(announce->ToText(), false, trackers);
    const CAtom* announce_list = root_.Find("announce-list");
    if (announce_list != nullptr && announce_list->IsList()) {
        trackers.clear();
        for (const auto& element : static_cast<const CAtomList*>(announce_list)->Elements()) {
            if (element->IsString()) {
                AddTracker(element->ToText(), true, trackers);
            } else if (element->IsList()) {
                for (const auto& url : static_cast<const CAtomList&>(*element).Elements()) {
                    if (url->IsString()) {
                        AddTracker(url->ToText(), true, trackers);
                    }
                }
            }
        }
    }
    return true;
}

Text CTorrent::GetComment() const {
    return TextOf(root_.Find("comment"));
}

Text CTorrent::GetCreatedBy() const {
    return TextOf(root_.Find("created by"));
}

Text CTorrent::GetName() const {
    return TextOf(info_.Find("name"));
}

std::int64_t CTorrent::GetTotalSize() const {
    // Only an integer "length" makes the single-file form; otherwise the files count.
    if (const auto length = IntegerOf(info_.Find("length"))) {
        return *length;
    }
    std::int64_t total = 0;
    WalkFiles([&total](std::int64_t length, const CAtomList&) { total += length; });
    return total;
}

std::int64_t CTorrent::GetTotalSize(const std::vector<std::int64_t>& file_sizes) const {
    if (const auto length = IntegerOf(info_.Find("length"))) {
        return *length;
    }
    std::int64_t total = 0;
    for (const std::int64_t size : file_sizes) {
        total += size;
    }
    return total;
}

std::int32_t CTorrent::GetPieceLength() const {
    return Low32(IntegerOf(info_.Find("piece length")).value_or(0));
}

std::int32_t CTorrent::GetPieceCount() const {
    const CAtom* pieces = info_.Find("pieces");
    if (pieces == nullptr || !pieces->IsString()) {
        return 0;
    }
    const std::int64_t count = static_cast<const CAtomString*>(pieces)->Count();
    return static_cast<std::int32_t>((count + 19) / 20);
}

std::vector<std::string_view> CTorrent::GetPieceHashes() const {
    std::vector<std::string_view> groups;
    const CAtom* pieces = info_.Find("pieces");
    if (pieces == nullptr || !pieces->IsString()) {
        return groups;
    }
    const std::string_view bytes = static_cast<const CAtomString*>(pieces)->View();
    for (std::size_t at = 0; at < bytes.size(); at += 20) {
        groups.push_back(bytes.substr(at, 20));
    }
    return groups;
}

template <typename Visit>
bool CTorrent::WalkFiles(Visit&& visit) const {
    const CAtom* files = info_.Find("files");
    if (files == nullptr || !files->IsList()) {
        return false;
    }
    const auto& elements = static_cast<const CAtomList*>(files)->Elements();
    // Every entry is checked before any is visited: one malformed entry lists no file. What
    // the check finds is kept, so that the visits do not search each entry again.
    std::vector<std::pair<std::int64_t, const CAtomList*>> checked;
    checked.reserve(elements.size());
    for (const auto& element : elements) {
        if (!element->IsDicti()) {
            return false;
        }
        const auto& file = static_cast<const CAtomDicti&>(*element);
        const auto length = IntegerOf(file.Find("length"));
        const CAtom* path = file.Find("path");
        if (!length || *length < 0 || path == nullptr || !path->IsList()) {
            return false;
        }
        for (const auto& part : static_cast<const CAtomList*>(path)->Elements()) {
            if (!part->IsString()) {
                return false;
            }
        }
        checked.emplace_back(*length, static_cast<const CAtomList*>(path));
    }
    for (const auto& [length, path] : checked) {
        visit(length, *path);
    }
    return true;
}

std::vector<FileEntry> CTorrent::GetFileEntries() const {
    std::vector<FileEntry> entries;
    std::int32_t index = 0;
    WalkFiles([&](std::int64_t length, const CAtomList& path) {
        FileEntry entry;
        for (const auto& part : path.Elements()) {
            entry.path.push_back('\\');
            entry.path += part->ToText();
        }
        entry.length = length;
        entry.index = index++;
        entries.push_back(std::move(entry));
    });
    return entries;
}

bool CTorrent::GetFiles(std::vector<std::int64_t>& sizes, TextList& paths) const {
    sizes.clear();
    paths.clear();
    if (const CAtom* files = info_.Find("files"); files != nullptr && files->IsList()) {
        sizes.reserve(static_cast<const CAtomList*>(files)->Size());
        paths.reserve(static_cast<const CAtomList*>(files)->Size());
    }
    // Written straight into the two lists: a large torrent lists a hundred thousand files.
    WalkFiles([&](std::int64_t length, const CAtomList& path) {
        Text joined;
        std::size_t joined_size = 0;
        for (const auto& part : path.Elements()) {
            joined_size += 1 + static_cast<std::size_t>(part->TextLength());
        }
        joined.reserve(joined_size);
        for (const auto& part : path.Elements()) {
            joined.push_back('\\');
            AppendText(*part, joined);
        }
        sizes.push_back(length);
        paths.push_back(std::move(joined));
    });
    return !sizes.empty();
}

Text CTorrent::GetInfoHash() const {
    // The SHA-1 of EncodeDictionary(info_), fed as it is encoded.
    CSHA1 sha;
    EncodeValueTo(info_,
                  [&sha](const std::uint8_t* data, std::size_t count) { sha.Update(data, count); });
    sha.Final();
    Text hex;
    sha.FormatDigest(hex);
    return hex;
}

std::optional<std::tm> CTorrent::GetCreationDate() const {
    std::int64_t time = 0;
    const CAtom* date = root_.Find("creation date");
    if (date != nullptr && date->IsLong()) {
        time = static_cast<const CAtomLong*>(date)->Value();
    }
    const std::int32_t seconds = Low32(time);
    if (seconds < 0) {
        return std::nullopt;
    }
    return LocalCalendarTime(seconds);
}

}  // namespace miravue
