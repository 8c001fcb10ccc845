#include "app/torrent_drop.h"

#include <utility>

#include "app/play.h"

namespace miravue {

std::optional<TorrentFileInfo>& CurrentTorrent() {
    static std::optional<TorrentFileInfo> current;
    return current;
}

std::int32_t OnFileDropped(std::int32_t /*count*/, std::int32_t /*index*/, const Text& path,
                           const Text& extension) {
    if (extension != "torrent") {
        return 0;
    }
    TorrentFileInfo record = ReadTorrentFile(path);
    const Text magnet = kMagnetPrefix + record.InfoHash;
    std::optional<TorrentFileInfo>& current = CurrentTorrent();
    if (current) {
        FreeTorrentFileInfo(*current);
    }
    current = std::move(record);
    PlayAddress(magnet);
    return 0;
}

}  // namespace miravue
