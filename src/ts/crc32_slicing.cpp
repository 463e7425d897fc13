// The portable CRC-32, and the fallback of the carry-less one (crc32_clmul.cpp).
#include "ts/crc32.h"

#include <array>

namespace {

// Slicing-by-16: table k holds the CRC of a byte followed by k zero bytes, so sixteen
// input bytes cost sixteen independent lookups instead of a sixteen-step chain.
using CrcTables = std::array<std::array<uint32_t, 256>, 16>;

constexpr CrcTables MakeTables()
{
    CrcTables t{};
    for (uint32_t b = 0; b < 256; ++b) {
        uint32_t c = b << 24;
        for (int i = 0; i < 8; ++i) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
        t[0][b] = c;
    }
    for (int k = 1; k < 16; ++k)
        for (uint32_t b = 0; b < 256; ++b) t[k][b] = (t[k - 1][b] << 8) ^ t[0][t[k - 1][b] >> 24];
    return t;
}

constexpr CrcTables kTables = MakeTables();

inline uint32_t LoadBe32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

inline uint32_t Fold(uint32_t x, int k)
{
    return kTables[k + 3][x >> 24] ^ kTables[k + 2][(x >> 16) & 0xFF] ^ kTables[k + 1][(x >> 8) & 0xFF] ^
           kTables[k][x & 0xFF];
}

}  // namespace

uint32_t Crc32Slicing(const uint8_t* data, size_t size, uint32_t crc)
{
    while (size >= 16) {
        uint32_t a = crc ^ LoadBe32(data);
        crc = Fold(a, 12) ^ Fold(LoadBe32(data + 4), 8) ^ Fold(LoadBe32(data + 8), 4) ^ Fold(LoadBe32(data + 12), 0);
        data += 16;
        size -= 16;
    }
    while (size--) crc = (crc << 8) ^ kTables[0][(crc >> 24) ^ *data++];
    return crc;
}
