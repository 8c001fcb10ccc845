// The SHA-1 block transform on the x86 SHA instructions (SHA-NI), and the run-time check
// for them. Only the functions below carry the "sha" target, so the rest of the program
// still runs on CPUs without it.

#include "torrent/sha1_transform.h"

#if MIRAVUE_SHA1_X86

#include <cpuid.h>
#include <immintrin.h>

#include <utility>

#define MIRAVUE_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

namespace miravue::sha1_detail {

namespace {

struct Lanes {
    __m128i abcd;
    __m128i e0;
    __m128i e1;
    __m128i msg[4];
};

// Four rounds, G = 0..19 (rounds 4G..4G+3). Message words for the group are in
// msg[G % 4]; the schedule for later groups is advanced alongside: sha1msg1 prepares the
// words three groups ahead, the xor two ahead, sha1msg2 finishes those of the next group.
template <int G>
MIRAVUE_SHA_TARGET inline void FourRounds(Lanes& s) {
    __m128i& cur = s.msg[G % 4];
    // E for this group alternates between the two registers.
    __m128i& e_use = (G % 2 == 0) ? s.e0 : s.e1;
    __m128i& e_next = (G % 2 == 0) ? s.e1 : s.e0;
    if constexpr (G == 0) {
        e_use = _mm_add_epi32(e_use, cur);
    } else {
        e_use = _mm_sha1nexte_epu32(e_use, cur);
    }
    e_next = s.abcd;
    if constexpr (G >= 3 && G <= 18) {
        s.msg[(G + 1) % 4] = _mm_sha1msg2_epu32(s.msg[(G + 1) % 4], cur);
    }
    s.abcd = _mm_sha1rnds4_epu32(s.abcd, e_use, G / 5);
    if constexpr (G >= 1 && G <= 16) {
        s.msg[(G + 3) % 4] = _mm_sha1msg1_epu32(s.msg[(G + 3) % 4], cur);
    }
    if constexpr (G >= 2 && G <= 17) {
        s.msg[(G + 2) % 4] = _mm_xor_si128(s.msg[(G + 2) % 4], cur);
    }
}

template <int... G>
MIRAVUE_SHA_TARGET inline void EightyRounds(Lanes& s, std::integer_sequence<int, G...>) {
    (FourRounds<G>(s), ...);
}

}  // namespace

MIRAVUE_SHA_TARGET void TransformShaInstructions(std::uint32_t state[5], const std::uint8_t* blocks,
                                                 std::size_t count) {
    // Big-endian words: reverse the bytes of the whole 16-byte lane.
    const __m128i kByteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    Lanes s;
    s.abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1b);
    s.e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    s.e1 = _mm_setzero_si128();
    for (; count > 0; --count, blocks += 64) {
        const __m128i abcd_saved = s.abcd;
        const __m128i e_saved = s.e0;
        for (int i = 0; i < 4; ++i) {
            s.msg[i] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)), kByteSwap);
        }
        EightyRounds(s, std::make_integer_sequence<int, 20>{});
        // After group 19 the next E sits in e0: rotate it in and add the saved state.
        s.e0 = _mm_sha1nexte_epu32(s.e0, e_saved);
        s.abcd = _mm_add_epi32(s.abcd, abcd_saved);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(s.abcd, 0x1b));
    state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(s.e0, 3));
}

bool ShaInstructionsAvailable() {
    static const bool available = [] {
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) {
            return false;
        }
        const bool ssse3 = (ecx & (1u << 9)) != 0;
        const bool sse41 = (ecx & (1u << 19)) != 0;
        if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0) {
            return false;
        }
        const bool sha = (ebx & (1u << 29)) != 0;
        return ssse3 && sse41 && sha;
    }();
    return available;
}

}  // namespace miravue::sha1_detail

#endif  // MIRAVUE_SHA1_X86
