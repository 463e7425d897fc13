// The CRC path of this processor, chosen once: CPUID on the first call.
#include "ts/crc32.h"

namespace {

using CrcFunction = uint32_t (*)(const uint8_t*, size_t, uint32_t);

CrcFunction Choose() { return Crc32ClmulSupported() ? Crc32Clmul : Crc32Slicing; }

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    static const CrcFunction chosen = Choose();
    return chosen(data, size, crc);
}
