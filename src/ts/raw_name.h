// Raw ARIB text of the service tables kept in the store's fixed 50-byte name fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "store/service_entry.h"

// Copies a name into its field and returns the length kept. The broadcast allows up to
// 255 bytes (63 for ts_name); a longer name is cut to the field, never written past it.
inline uint16_t CopyRawName(uint8_t (&field)[kNameBytes], const uint8_t* bytes, size_t length)
{
    if (!bytes) return 0;
    const size_t kept = length < sizeof field ? length : sizeof field;
    if (kept) std::memcpy(field, bytes, kept);
    return static_cast<uint16_t>(kept);
}
