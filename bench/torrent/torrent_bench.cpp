// SHA-1 throughput of both transforms beside libcrypto on the same buffer, and
// ReadTorrentFile on a large torrent beside hashing its bytes once.
//
//   miravue_torrent_bench [benchmark flags]
//   miravue_torrent_bench --write-torrent PATH   (writes the large torrent and exits)
//   miravue_torrent_bench --write-data PATH      (writes the SHA-1 buffer and exits)
// bench/torrent/run_torrent_bench adds `openssl sha1` over the same files and the ratios.

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "large_torrent.h"
#include "torrent/sha1.h"
#include "torrent/torrent_file_info.h"

namespace {

using miravue::Sha1Path;

constexpr std::size_t kHashBufferSize = 64u << 20;
// The torrent of the goal: 20 MB of piece hashes and 100k files.
constexpr std::size_t kLargePieceBytes = 20'000'000;
constexpr std::size_t kLargeFiles = 100'000;

const std::vector<std::uint8_t>& HashBuffer() {
    static const std::vector<std::uint8_t> buffer = [] {
        std::vector<std::uint8_t> bytes(kHashBufferSize);
        std::mt19937_64 random(7);
        for (std::size_t i = 0; i < bytes.size(); i += 8) {
            const auto word = random();
            std::memcpy(bytes.data() + i, &word, 8);
        }
        return bytes;
    }();
    return buffer;
}

const std::string& LargeTorrent() {
    static const std::string torrent =
        miravue::bench::MakeLargeTorrent(kLargePieceBytes, kLargeFiles);
    return torrent;
}

std::string g_torrent_file;  // removed at exit when it was written

// The large torrent in a file that lives as long as the process.
const std::string& LargeTorrentPath() {
    static const std::string path = [] {
        std::string name = "/tmp/miravue-bench-XXXXXX";
        const int fd = mkstemp(name.data());
        if (fd >= 0) {
            close(fd);
        }
        std::ofstream(name, std::ios::binary) << LargeTorrent();
        g_torrent_file = name;
        return name;
    }();
    return path;
}

void BM_Sha1(benchmark::State& state, Sha1Path path) {
    if (path == Sha1Path::kFastest && !miravue::CSHA1::CpuHasShaInstructions()) {
        state.SkipWithError("this CPU has no SHA instructions");
        return;
    }
    const auto& buffer = HashBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(miravue::Sha1Hex(buffer.data(), buffer.size(), path));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK_CAPTURE(BM_Sha1, Portable, Sha1Path::kPortable)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Sha1, ShaInstructions, Sha1Path::kFastest)->Unit(benchmark::kMillisecond);

void BM_Sha1Libcrypto(benchmark::State& state) {
    const auto& buffer = HashBuffer();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    for (auto _ : state) {
        EVP_Digest(buffer.data(), buffer.size(), digest, &length, EVP_sha1(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK(BM_Sha1Libcrypto)->Unit(benchmark::kMillisecond);

void BM_ReadTorrentFile(benchmark::State& state) {
    const std::string& path = LargeTorrentPath();
    for (auto _ : state) {
        const auto record = miravue::ReadTorrentFile(path);
        if (record.FilePaths.size() != kLargeFiles) {
            state.SkipWithError("the large torrent did not read");
            return;
        }
        benchmark::DoNotOptimize(record.InfoHash);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * LargeTorrent().size()));
}
BENCHMARK(BM_ReadTorrentFile)->Unit(benchmark::kMillisecond);

// The yardstick: SHA-1 of the torrent's bytes, once, already in memory.
void BM_HashTorrentBytesOnce(benchmark::State& state) {
    const std::string& torrent = LargeTorrent();
    for (auto _ : state) {
        benchmark::DoNotOptimize(miravue::Sha1Hex(
            reinterpret_cast<const std::uint8_t*>(torrent.data()), torrent.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * torrent.size()));
}
BENCHMARK(BM_HashTorrentBytesOnce)->Unit(benchmark::kMillisecond);

// Linearity: the same shape at 1/8, 1/4, 1/2 and the full size, read from memory.
void BM_ReadTorrentBytesScaled(benchmark::State& state) {
    const auto eighths = static_cast<std::size_t>(state.range(0));
    const std::string torrent =
        miravue::bench::MakeLargeTorrent(kLargePieceBytes / 8 * eighths, kLargeFiles / 8 * eighths);
    for (auto _ : state) {
        benchmark::DoNotOptimize(miravue::ReadTorrentBytes(
            reinterpret_cast<const std::uint8_t*>(torrent.data()), torrent.size()));
    }
    state.SetComplexityN(static_cast<std::int64_t>(torrent.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * torrent.size()));
}
BENCHMARK(BM_ReadTorrentBytesScaled)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

bool WriteFile(const char* path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-torrent") == 0) {
        return WriteFile(argv[2], LargeTorrent().data(), LargeTorrent().size()) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--write-data") == 0) {
        return WriteFile(argv[2], HashBuffer().data(), HashBuffer().size()) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!g_torrent_file.empty()) {
        std::remove(g_torrent_file.c_str());
    }
    return 0;
}
