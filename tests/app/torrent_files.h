#pragma once
// Small .torrent files written to a private temporary folder for the drop tests, with the
// info hashes an independent SHA-1 (Python's hashlib) gave for their "info" dictionaries.

#include <filesystem>
#include <string>

namespace miravue::testing_files {

struct TorrentSample {
    std::string name;      // file name inside the folder
    std::string contents;  // the bencoded file
    std::string infoHash;  // 40 lower-case hex digits
};

// Three single-file torrents: a.txt (3 bytes), b.txt (5), c.txt (7).
const TorrentSample& SampleA();
const TorrentSample& SampleB();
const TorrentSample& SampleC();

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
  public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::filesystem::path& path() const { return path_; }
    // Writes the file and returns its full path.
    std::string Write(const std::string& name, const std::string& contents) const;

  private:
    std::filesystem::path path_;
};

}  // namespace miravue::testing_files
