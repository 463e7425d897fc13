// CRC-32 of ISO/IEC 13818-1 Annex A: polynomial 0x04C11DB7, initial value 0xFFFFFFFF,
// most significant bit first, no final inversion. Over a whole section including its
// CRC_32 field the result is 0. `crc` is the register after the bytes before `data`, so a
// CRC can be computed piece by piece.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t kCrc32Initial = 0xFFFFFFFFu;

// The fastest of the two below that this processor runs, chosen on the first call.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = kCrc32Initial);

// Slicing-by-16: portable, for every processor.
uint32_t Crc32Slicing(const uint8_t* data, size_t size, uint32_t crc = kCrc32Initial);

// Carry-less multiplication (x86 PCLMULQDQ with SSE4.1). Call only when
// Crc32ClmulSupported() says the processor has it.
bool Crc32ClmulSupported();
uint32_t Crc32Clmul(const uint8_t* data, size_t size, uint32_t crc = kCrc32Initial);
