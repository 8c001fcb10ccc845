#pragma once
// The SHA-1 block transforms behind CSHA1. Each processes `count` whole 64-byte blocks.

#include <cstddef>
#include <cstdint>

// The SHA instructions exist only on x86, and only GCC and Clang spell their per-function
// target attribute; anything else builds the portable transform alone.
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define MIRAVUE_SHA1_X86 1
#else
#define MIRAVUE_SHA1_X86 0
#endif

namespace miravue::sha1_detail {

void TransformPortable(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count);

#if MIRAVUE_SHA1_X86
// Only call when ShaInstructionsAvailable() is true.
void TransformShaInstructions(std::uint32_t state[5], const std::uint8_t* blocks,
                              std::size_t count);
bool ShaInstructionsAvailable();
#endif

}  // namespace miravue::sha1_detail
