// CSHA1: message buffering, padding and the portable block transform.

#include "torrent/sha1.h"

#include <cstring>

#include "torrent/sha1_transform.h"

namespace miravue {

namespace sha1_detail {

namespace {

constexpr std::uint32_t Rotl(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

std::uint32_t LoadBigEndian(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

}  // namespace

void TransformPortable(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count) {
    for (; count > 0; --count, blocks += 64) {
        // The message schedule kept as a 16-word ring: W[t] for t >= 16 overwrites W[t-16].
        std::uint32_t w[16];
        for (int t = 0; t < 16; ++t) {
            w[t] = LoadBigEndian(blocks + 4 * t);
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        for (int t = 0; t < 80; ++t) {
            if (t >= 16) {
                w[t & 15] =
                    Rotl(w[(t - 3) & 15] ^ w[(t - 8) & 15] ^ w[(t - 14) & 15] ^ w[t & 15], 1);
            }
            std::uint32_t f = 0;
            std::uint32_t k = 0;
            if (t < 20) {
                f = (b & c) | (~b & d);
                k = 0x5a827999;
            } else if (t < 40) {
                f = b ^ c ^ d;
                k = 0x6ed9eba1;
            } else if (t < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8f1bbcdc;
            } else {
                f = b ^ c ^ d;
                k = 0xca62c1d6;
            }
            const std::uint32_t temp = Rotl(a, 5) + f + e + k + w[t & 15];
            e = d;
            d = c;
            c = Rotl(b, 30);
            b = a;
            a = temp;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

}  // namespace sha1_detail

CSHA1::CSHA1(Sha1Path path) {
#if MIRAVUE_SHA1_X86
    use_sha_instructions_ = path == Sha1Path::kFastest && sha1_detail::ShaInstructionsAvailable();
#else
    (void)path;
#endif
    Reset();
}

CSHA1::~CSHA1() {
    Reset();
}

bool CSHA1::CpuHasShaInstructions() {
#if MIRAVUE_SHA1_X86
    return sha1_detail::ShaInstructionsAvailable();
#else
    return false;
#endif
}

void CSHA1::Reset() {
    state_ = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};
    length_ = 0;
    block_.fill(0);
}

void CSHA1::Transform(const std::uint8_t* blocks, std::size_t count) {
#if MIRAVUE_SHA1_X86
    if (use_sha_instructions_) {
        sha1_detail::TransformShaInstructions(state_.data(), blocks, count);
        return;
    }
#endif
    sha1_detail::TransformPortable(state_.data(), blocks, count);
}

void CSHA1::Update(const std::uint8_t* data, std::size_t count) {
    if (data == nullptr || count == 0) {
        return;
    }
    std::size_t used = static_cast<std::size_t>(length_ % 64);
    length_ += count;
    if (used > 0) {
        const std::size_t take = count < 64 - used ? count : 64 - used;
        std::memcpy(block_.data() + used, data, take);
        data += take;
        count -= take;
        used += take;
        if (used < 64) {
            return;
        }
        Transform(block_.data(), 1);
    }
    const std::size_t whole = count / 64;
    if (whole > 0) {
        Transform(data, whole);
        data += whole * 64;
        count -= whole * 64;
    }
    if (count > 0) {
        std::memcpy(block_.data(), data, count);
    }
}

void CSHA1::Final() {
    const std::uint64_t bit_length = length_ * 8;
    std::size_t used = static_cast<std::size_t>(length_ % 64);
    block_[used++] = 0x80;
    if (used > 56) {
        std::memset(block_.data() + used, 0, 64 - used);
        Transform(block_.data(), 1);
        used = 0;
    }
    std::memset(block_.data() + used, 0, 56 - used);
    for (int i = 0; i < 8; ++i) {
        block_[56 + i] = static_cast<std::uint8_t>(bit_length >> (56 - 8 * i));
    }
    Transform(block_.data(), 1);
    for (int i = 0; i < 5; ++i) {
        digest_[4 * i] = static_cast<std::uint8_t>(state_[i] >> 24);
        digest_[4 * i + 1] = static_cast<std::uint8_t>(state_[i] >> 16);
        digest_[4 * i + 2] = static_cast<std::uint8_t>(state_[i] >> 8);
        digest_[4 * i + 3] = static_cast<std::uint8_t>(state_[i]);
    }
    // Nothing of the message stays behind in the object.
    state_.fill(0);
    length_ = 0;
    block_.fill(0);
}

void CSHA1::FormatDigest(Text& text) const {
    static constexpr char kHex[] = "0123456789abcdef";
    for (const std::uint8_t byte : digest_) {
        text.push_back(kHex[byte >> 4]);
        text.push_back(kHex[byte & 15]);
    }
}

Text Sha1Hex(const std::uint8_t* data, std::size_t count, Sha1Path path) {
    CSHA1 sha(path);
    sha.Update(data, count);
    sha.Final();
    Text hex;
    sha.FormatDigest(hex);
    return hex;
}

}  // namespace miravue
