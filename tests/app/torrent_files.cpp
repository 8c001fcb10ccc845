#include "tests/app/torrent_files.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace miravue::testing_files {
namespace {

std::string Pieces(int first) {
    std::string pieces;
    for (int i = first; i < first + 20; ++i) {
        pieces.push_back(static_cast<char>(i));
    }
    return pieces;
}

TorrentSample MakeSample(const std::string& name, int length, int firstPieceByte,
                         const std::string& infoHash) {
    const std::string info = "d6:lengthi" + std::to_string(length) + "e4:name5:" + name +
                             "12:piece lengthi16384e6:pieces20:" + Pieces(firstPieceByte) + "e";
    return TorrentSample{name + ".torrent",
                         "d8:announce27:http://127.0.0.1:1/announce4:info" + info + "e", infoHash};
}

}  // namespace

const TorrentSample& SampleA() {
    static const TorrentSample sample =
        MakeSample("a.txt", 3, 0, "2bce4e39028145e6baa935c2a248e7eb3347f383");
    return sample;
}

const TorrentSample& SampleB() {
    static const TorrentSample sample =
        MakeSample("b.txt", 5, 20, "d16566359e390284278a2b9ec81f5374b58502b0");
    return sample;
}

const TorrentSample& SampleC() {
    static const TorrentSample sample =
        MakeSample("c.txt", 7, 40, "94ca99acae9d1359bfe14a52dc19a36c179aa277");
    return sample;
}

TempFolder::TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("miravue-app-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::string& contents) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
    return file.string();
}

}  // namespace miravue::testing_files
