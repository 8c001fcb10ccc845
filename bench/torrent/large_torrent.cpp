// A synthetic multi-file torrent for the reader benchmarks.

#include "large_torrent.h"

#include <random>

namespace miravue::bench {

namespace {

void AppendString(std::string& out, const std::string& bytes) {
    out += std::to_string(bytes.size());
    out += ':';
    out += bytes;
}

}  // namespace

std::string MakeLargeTorrent(std::size_t piece_bytes, std::size_t files) {
    std::string pieces(piece_bytes / 20 * 20, '\0');
    std::mt19937_64 random(42);
    for (std::size_t i = 0; i + 8 <= pieces.size(); i += 8) {
        const auto word = random();
        for (int k = 0; k < 8; ++k) {
            pieces[i + k] = static_cast<char>(word >> (8 * k));
        }
    }
    std::string out = "d8:announce";
    AppendString(out, "http://127.0.0.1:6969/announce");
    out += "10:created by";
    AppendString(out, "miravue bench");
    out += "13:creation datei1700000000e4:infod5:filesl";
    for (std::size_t i = 0; i < files; ++i) {
        out += "d6:lengthi";
        out += std::to_string(1000 + i * 7);
        out += "e4:pathl";
        AppendString(out, "folder" + std::to_string(i / 100));
        AppendString(out, "file" + std::to_string(i) + ".bin");
        out += "ee";
    }
    out += "e4:name";
    AppendString(out, "bench");
    out += "12:piece lengthi1048576e6:pieces";
    AppendString(out, pieces);
    out += "ee";
    return out;
}

}  // namespace miravue::bench
