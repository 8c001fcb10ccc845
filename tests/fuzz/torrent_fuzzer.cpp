// Fuzzes the bencode decoder, the canonical encoder and the torrent reader, and checks
// the properties they promise on any input:
// - a decoded value's EncodedSize is the length of its encoding;
// - the canonical encoding decodes back to a value that encodes to the same bytes;
// - both SHA-1 transforms give the same digest.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "torrent/bencode.h"
#include "torrent/sha1.h"
#include "torrent/torrent_file_info.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace miravue;
    if (const auto value = DecodeValue(data, size, 0)) {
        const Bytes encoded = EncodeValue(*value);
        Check(static_cast<std::int64_t>(encoded.size()) == value->EncodedSize());
        const auto again = DecodeValue(encoded.data(), encoded.size(), 0);
        Check(again != nullptr);
        Check(EncodeValue(*again) == encoded);
    }
    const TorrentFileInfo record = ReadTorrentBytes(data, size);
    Check(record.FileSizes.size() == record.FilePaths.size());
    Check(record.InfoHash.empty() || record.InfoHash.size() == 40);
    Check(Sha1Hex(data, size, Sha1Path::kPortable) == Sha1Hex(data, size, Sha1Path::kFastest));
    return 0;
}
