// CRC-32 by carry-less multiplication: four 128-bit accumulators fold 64 bytes a step,
// then one accumulator is reduced to the 32-bit register by a Barrett reduction. Bytes are
// reversed on load, so bit i of a register is the coefficient of x^i and the message's
// first bit the highest. Only these functions are compiled for PCLMULQDQ and SSE4.1; the
// rest of the build stays for any x86, and crc32.cpp calls here only after the CPUID check.
#include "ts/crc32.h"

#if defined(__x86_64__) || defined(__i386__)

#include <cpuid.h>
#include <immintrin.h>

namespace {

constexpr uint64_t kPolynomial = 0x104C11DB7u;

// x^n mod P, degree below 32.
constexpr uint64_t XPowMod(int n)
{
    uint64_t r = 1;
    for (int i = 0; i < n; ++i) r = (r << 1) ^ ((r & 0x80000000u) ? kPolynomial : 0);
    return r;
}

// floor(x^64 / P), the Barrett constant (33 bits).
constexpr uint64_t BarrettMu()
{
    uint64_t q = 0;
    uint64_t r = 0;
    for (int i = 64; i >= 0; --i) {
        r = r << 1 | (i == 64 ? 1 : 0);
        q <<= 1;
        if (r & 0x100000000u) {
            r ^= kPolynomial;
            q |= 1;
        }
    }
    return q;
}
constexpr uint64_t kMu = BarrettMu();
static_assert(kMu == 0x104D101DFu, "Barrett constant of CRC-32/MPEG-2");
constexpr uint64_t kX64 = XPowMod(64);
constexpr uint64_t kX96 = XPowMod(96);
constexpr uint64_t kX128 = XPowMod(128);
constexpr uint64_t kX192 = XPowMod(192);
constexpr uint64_t kX512 = XPowMod(512);
constexpr uint64_t kX576 = XPowMod(576);

#define LUMARA_CLMUL __attribute__((target("pclmul,sse4.1")))

// Moving a 128-bit accumulator n bits further multiplies its high half by x^(n+64) and its
// low half by x^n: the pair of constants, high in the upper lane.
LUMARA_CLMUL inline __m128i Pair(uint64_t high, uint64_t low)
{
    return _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
}

LUMARA_CLMUL inline __m128i Load(const uint8_t* p)
{
    const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), reverse);
}

LUMARA_CLMUL inline __m128i Fold(__m128i acc, __m128i next, __m128i k)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(acc, k, 0x11), _mm_clmulepi64_si128(acc, k, 0x00)), next);
}

// acc * x^32 mod P: the CRC register after the folded bytes.
LUMARA_CLMUL inline uint32_t Reduce(__m128i acc)
{
    const __m128i k = Pair(kX64, kX96);
    const __m128i barrett = Pair(kPolynomial, kMu);
    // High 64 bits times x^96, low 64 bits times x^32: below 96 bits.
    __m128i t = _mm_xor_si128(_mm_clmulepi64_si128(acc, k, 0x01), _mm_slli_si128(_mm_move_epi64(acc), 4));
    // Bits 64 to 95 times x^64: below 64 bits.
    t = _mm_xor_si128(_mm_clmulepi64_si128(_mm_srli_si128(t, 8), k, 0x10), _mm_move_epi64(t));
    // Barrett: q = floor(floor(t / x^32) * mu / x^32); the remainder is t - q * P.
    const __m128i q = _mm_srli_epi64(_mm_clmulepi64_si128(_mm_srli_epi64(t, 32), barrett, 0x00), 32);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_xor_si128(t, _mm_clmulepi64_si128(q, barrett, 0x10))));
}

}  // namespace

bool Crc32ClmulSupported()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    return (c & bit_PCLMUL) && (c & bit_SSE4_1) && (c & bit_SSSE3);
}

// The i686 Windows ABI keeps the stack 4-byte aligned; SSE spills need 16.
__attribute__((force_align_arg_pointer)) LUMARA_CLMUL uint32_t Crc32Clmul(const uint8_t* data, size_t size,
                                                                           uint32_t crc)
{
    if (size < 64) return Crc32Slicing(data, size, crc);
    __m128i a0 = _mm_xor_si128(Load(data), _mm_set_epi32(static_cast<int>(crc), 0, 0, 0));
    __m128i a1 = Load(data + 16);
    __m128i a2 = Load(data + 32);
    __m128i a3 = Load(data + 48);
    data += 64;
    size -= 64;
    const __m128i by512 = Pair(kX576, kX512);
    for (; size >= 64; data += 64, size -= 64) {
        a0 = Fold(a0, Load(data), by512);
        a1 = Fold(a1, Load(data + 16), by512);
        a2 = Fold(a2, Load(data + 32), by512);
        a3 = Fold(a3, Load(data + 48), by512);
    }
    const __m128i by128 = Pair(kX192, kX128);
    __m128i acc = Fold(Fold(Fold(a0, a1, by128), a2, by128), a3, by128);
    for (; size >= 16; data += 16, size -= 16) acc = Fold(acc, Load(data), by128);
    return Crc32Slicing(data, size, Reduce(acc));
}

#else

bool Crc32ClmulSupported() { return false; }

uint32_t Crc32Clmul(const uint8_t* data, size_t size, uint32_t crc) { return Crc32Slicing(data, size, crc); }

#endif
