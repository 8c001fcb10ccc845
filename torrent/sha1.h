#pragma once
// SHA-1 exactly as FIPS 180-4 defines it. The block transform uses the x86 SHA
// instructions when the CPU has them (asked at run time) and a portable one otherwise.

#include <array>
#include <cstddef>
#include <cstdint>

#include "web/text.h"

namespace miravue {

// Which block transform a CSHA1 uses.
enum class Sha1Path {
    kFastest,   // the SHA instructions when the CPU has them, else portable
    kPortable,  // always the portable transform (tests and benchmarks pin it)
};

class CSHA1 {
  public:
    explicit CSHA1(Sha1Path path = Sha1Path::kFastest);
    virtual ~CSHA1();
    CSHA1(const CSHA1&) = default;
    CSHA1& operator=(const CSHA1&) = default;

    // Loads the initial chaining values and zeroes the length.
    void Reset();
    void Update(const std::uint8_t* data, std::size_t count);
    // Pads, stores the digest, then clears the chaining values, the length and the block
    // buffer: Reset before hashing another message.
    void Final();
    // Appends the 20 digest bytes to `text`, each as two lowercase hexadecimal digits.
    void FormatDigest(Text& text) const;
    const std::array<std::uint8_t, 20>& Digest() const { return digest_; }

    // True when this instance runs the SHA instruction transform.
    bool UsesShaInstructions() const { return use_sha_instructions_; }
    // True when this build and this CPU can run the SHA instruction transform.
    static bool CpuHasShaInstructions();

  private:
    void Transform(const std::uint8_t* blocks, std::size_t count);

    std::array<std::uint32_t, 5> state_{};
    std::uint64_t length_ = 0;  // bytes hashed so far
    std::array<std::uint8_t, 64> block_{};
    std::array<std::uint8_t, 20> digest_{};
    bool use_sha_instructions_ = false;
};

// The whole digest of `count` bytes as 40 lowercase hexadecimal digits.
Text Sha1Hex(const std::uint8_t* data, std::size_t count, Sha1Path path = Sha1Path::kFastest);

}  // namespace miravue
