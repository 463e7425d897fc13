// CRC-32 of ISO/IEC 13818-1 Annex A: polynomial 0x04C11DB7, initial value 0xFFFFFFFF,
// most significant bit first, no final inversion. Over a whole section including its
// CRC_32 field the result is 0.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu);
