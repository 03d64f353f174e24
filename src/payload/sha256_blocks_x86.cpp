// SHA-256 rounds on the x86 SHA extensions (SHA-NI), four rounds per
// instruction pair; chosen at run time because older CPUs lack them.
#include "payload/sha256_blocks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace koravale {

#if defined(__x86_64__) || defined(__i386__)
namespace {

bool cpu_has_sha_extensions() {
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    const bool sha = b & (1u << 29);
    return ssse3 && sse41 && sha;
}

__attribute__((target("sha,sse4.1,ssse3"))) void sha256_blocks_sha_extensions(std::uint32_t state[8],
                                                                               const std::uint8_t* blocks,
                                                                               std::size_t count) {
    const __m128i byte_swap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    // The instructions want the state as ABEF and CDGH.
    __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abef_before = abef, cdgh_before = cdgh;
        __m128i words[4];
        // Sixteen groups of four rounds; the message schedule runs three groups ahead.
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group) {
            __m128i& current = words[group & 3];
            __m128i& previous = words[(group + 3) & 3];
            __m128i& next = words[(group + 1) & 3];
            if (group < 4) {
                current = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * group)), byte_swap);
            }
            __m128i message = _mm_add_epi32(
                current, _mm_load_si128(reinterpret_cast<const __m128i*>(SHA256_ROUND_CONSTANTS + 4 * group)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
            if (group >= 3 && group <= 14) {
                next = _mm_add_epi32(next, _mm_alignr_epi8(current, previous, 4));
                next = _mm_sha256msg2_epu32(next, current);
            }
            message = _mm_shuffle_epi32(message, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
            if (group >= 1 && group <= 12) previous = _mm_sha256msg1_epu32(previous, current);
        }
        abef = _mm_add_epi32(abef, abef_before);
        cdgh = _mm_add_epi32(cdgh, cdgh_before);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

}  // namespace

Sha256BlockFunction sha256_blocks_accelerated() {
    return cpu_has_sha_extensions() ? sha256_blocks_sha_extensions : nullptr;
}
#else
Sha256BlockFunction sha256_blocks_accelerated() { return nullptr; }
#endif

// Asked again for every hash rather than kept in a local static: a CPUID
// per image costs nothing, and a static's thread-safe start-up would bring
// the pthreads library into the setup program.
Sha256BlockFunction sha256_blocks_best() {
    const Sha256BlockFunction accelerated = sha256_blocks_accelerated();
    return accelerated ? accelerated : sha256_blocks_portable;
}

}  // namespace koravale
