// The inspection command's two output forms.

#include "record_output.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "json_text.h"

namespace miravue::inspect {

namespace {

std::string Number(double value) {
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

// The date-time value as "YYYY-MM-DD hh:mm:ss" (to the nearest second), or a note when
// the record holds the empty date.
std::string DateText(double ole_date) {
    if (ole_date == kEmptyDate) {
        return "(none)";
    }
    const auto total_seconds = static_cast<std::int64_t>(std::llround(ole_date * 86400.0));
    std::int64_t days = total_seconds / 86400;
    std::int64_t seconds = total_seconds % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    // Civil date from days since 1970-01-01; 1899-12-30 is 25569 days before it.
    const std::int64_t z = days - 25569 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                  static_cast<long long>(year), static_cast<long long>(month),
                  static_cast<long long>(day), static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

}  // namespace

std::string RecordJson(const std::string& path, const TorrentFileInfo& record) {
    std::string out = "{\"path\":" + JsonString(path);
    out += ",\"trackers\":" + JsonString(record.Trackers);
    out += ",\"comment\":" + JsonString(record.Comment);
    out += ",\"created_by\":" + JsonString(record.CreatedBy);
    out += ",\"name\":" + JsonString(record.Name);
    out += ",\"total_size\":" + std::to_string(record.TotalSize);
    out += ",\"piece_length\":" + std::to_string(record.PieceLength);
    out += ",\"piece_count\":" + std::to_string(record.PieceCount);
    out += ",\"file_sizes\":[";
    for (std::size_t i = 0; i < record.FileSizes.size(); ++i) {
        out += (i > 0 ? "," : "") + std::to_string(record.FileSizes[i]);
    }
    out += "],\"file_paths\":[";
    for (std::size_t i = 0; i < record.FilePaths.size(); ++i) {
        out += (i > 0 ? "," : "") + JsonString(record.FilePaths[i]);
    }
    out += "],\"info_hash\":" + JsonString(record.InfoHash);
    out += ",\"creation_date\":" + Number(record.CreationDate);
    out += ",\"magnet\":" + JsonString(kMagnetPrefix + record.InfoHash);
    out += "}";
    return out;
}

std::string RecordText(const std::string& path, const TorrentFileInfo& record) {
    std::string out;
    auto line = [&out](const char* label, const std::string& value) {
        out += label;
        out += value;
        out += '\n';
    };
    line("File:          ", path);
    line("Name:          ", record.Name);
    line("Info hash:     ", record.InfoHash);
    line("Magnet:        ", kMagnetPrefix + record.InfoHash);
    line("Trackers:      ", record.Trackers);
    line("Comment:       ", record.Comment);
    line("Created by:    ", record.CreatedBy);
    line("Creation date: ",
         DateText(record.CreationDate) + " (" + Number(record.CreationDate) + ")");
    line("Total size:    ", std::to_string(record.TotalSize));
    line("Piece length:  ", std::to_string(record.PieceLength));
    line("Piece count:   ", std::to_string(record.PieceCount));
    line("Files:         ", std::to_string(record.FilePaths.size()));
    for (std::size_t i = 0; i < record.FilePaths.size(); ++i) {
        line("  ", std::to_string(record.FileSizes[i]) + "  " + record.FilePaths[i]);
    }
    out += '\n';
    return out;
}

}  // namespace miravue::inspect
