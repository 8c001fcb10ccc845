// miravue-torrent [--json] FILE...: shows what Miravue reads from each .torrent file,
// the magnet link it would play included.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "record_output.h"
#include "torrent/torrent_file_info.h"

namespace {

constexpr const char* kUsage =
    "usage: miravue-torrent [--json] FILE...\n"
    "Reads each .torrent file as Miravue does and prints its fields and magnet link.\n"
    "  --json   one JSON object per file, each on its own line\n";

// Paths of the program are code page 936 texts. Windows hands us its ANSI code page
// already; elsewhere the command line is UTF-8.
std::string ProgramPath(const std::string& arg) {
#ifdef _WIN32
    return arg;
#else
    namespace platform = miravue::platform;
    return platform::Utf16UnitsToGbk(platform::Utf8ToUtf16Units(arg));
#endif
}

// Why a file gave the empty record, for the message on stderr.
std::string FailureReason(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return "cannot open the file";
    }
    char byte = 0;
    if (!file.get(byte)) {
        return "the file is empty or cannot be read";
    }
    return "not a torrent: the file does not decode to a bencoded dictionary";
}

}  // namespace

int main(int argc, char** argv) {
    bool json = false;
    std::vector<std::string> paths;
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!options_done && arg == "--json") {
            json = true;
        } else if (!options_done && (arg == "-h" || arg == "--help")) {
            std::cout << kUsage;
            return 0;
        } else if (!options_done && arg == "--") {
            options_done = true;
        } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
            std::cerr << "miravue-torrent: unknown option " << arg << "\n" << kUsage;
            return 2;
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.empty()) {
        std::cerr << kUsage;
        return 2;
    }

    int status = 0;
    for (const std::string& path : paths) {
        const miravue::TorrentFileInfo record = miravue::ReadTorrentFile(ProgramPath(path));
        // Every readable torrent has an info hash; the empty record has none.
        if (record.InfoHash.empty()) {
            std::cerr << "miravue-torrent: " << path << ": " << FailureReason(path) << "\n";
            status = 1;
        }
        std::cout << (json ? miravue::inspect::RecordJson(path, record) + "\n"
                           : miravue::inspect::RecordText(path, record));
        std::cout.flush();
    }
    return status;
}
