// SHA-1 on both transforms: FIPS 180-4 vectors, sha1sum on awkward lengths, and split
// updates.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "test_files.h"
#include "torrent/sha1.h"

namespace miravue {
namespace {

const char* PathName(Sha1Path path) {
    return path == Sha1Path::kPortable ? "Portable" : "ShaInstructions";
}

class Sha1PathTest : public testing::TestWithParam<Sha1Path> {
  protected:
    void SetUp() override {
        if (GetParam() == Sha1Path::kFastest && !CSHA1::CpuHasShaInstructions()) {
            GTEST_SKIP() << "this CPU has no SHA instructions";
        }
        // The instance really runs the transform it is meant to.
        EXPECT_EQ(CSHA1(GetParam()).UsesShaInstructions(), GetParam() == Sha1Path::kFastest);
    }

    Text Hash(std::string_view bytes) const {
        return Sha1Hex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                       GetParam());
    }
};

TEST_P(Sha1PathTest, FipsVectors) {
    EXPECT_EQ(Hash(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(Hash("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Hash("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(Hash("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmno"
                   "pqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "a49b2446a02c645bf419f995b67091253a04a259");
}

TEST_P(Sha1PathTest, MillionA) {
    EXPECT_EQ(Hash(std::string(1'000'000, 'a')), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST_P(Sha1PathTest, MatchesSha1sumOnAwkwardLengths) {
#ifdef _WIN32
    GTEST_SKIP() << "sha1sum is a program of the build machine, out of reach under Wine";
#endif
    const test::ScratchDir dir;
    std::mt19937 random(7);
    for (const std::size_t length :
         {std::size_t{0}, std::size_t{1}, std::size_t{55}, std::size_t{56}, std::size_t{63},
          std::size_t{64}, std::size_t{65}, std::size_t{119}, std::size_t{120},
          std::size_t{1024 * 1024 + 3}}) {
        std::string bytes(length, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random());
        }
        const auto path = dir.Write("data.bin", bytes);
        const auto result = test::RunCommand("sha1sum " + test::ShellQuote(path));
        ASSERT_EQ(result.status, 0);
        EXPECT_EQ(Hash(bytes), result.out.substr(0, 40)) << "length " << length;
    }
}

TEST_P(Sha1PathTest, SplitUpdatesEqualOneUpdate) {
    std::string bytes(1000, '\0');
    std::mt19937 random(11);
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (const std::size_t chunk : {1u, 3u, 63u, 64u, 65u, 200u}) {
        CSHA1 sha(GetParam());
        for (std::size_t at = 0; at < bytes.size(); at += chunk) {
            sha.Update(data + at, std::min(chunk, bytes.size() - at));
        }
        sha.Final();
        Text hex;
        sha.FormatDigest(hex);
        EXPECT_EQ(hex, Hash(bytes)) << "chunk " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(Sha1, Sha1PathTest,
                         testing::Values(Sha1Path::kPortable, Sha1Path::kFastest),
                         [](const auto& test_case) {
                             return std::string(PathName(test_case.param));
                         });

TEST(Sha1, FormatDigestAppendsWithoutSeparators) {
    CSHA1 sha;
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    sha.Update(abc, 3);
    sha.Final();
    Text text = "prefix:";
    sha.FormatDigest(text);
    EXPECT_EQ(text, "prefix:a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(sha.Digest()[0], 0xa9);
    EXPECT_EQ(sha.Digest()[19], 0x9d);
}

TEST(Sha1, ResetStartsAFreshMessage) {
    CSHA1 sha;
    const std::uint8_t junk[] = {1, 2, 3};
    sha.Update(junk, 3);
    sha.Reset();
    sha.Final();
    Text text;
    sha.FormatDigest(text);
    EXPECT_EQ(text, "da39a3ee5e6b4b0d3255bfef95601890afd80709");
}

}  // namespace
}  // namespace miravue
