// Decoding helpers shared by the text decoder's tests.
#pragma once

#include "aribtext/arib_decoder.h"
#include "support/sjis_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// Decodes into a buffer with guard bytes behind `capacity`, checks that nothing was written
// past it and that the text is terminated inside it, and returns the text.
inline std::string Decode(const std::vector<uint8_t>& input, size_t capacity = 512)
{
    constexpr size_t kGuard = 16;
    std::vector<char> buffer(capacity + kGuard, '\x5A');
    DecodeAribText(input.data(), input.size(), buffer.data(), capacity);
    for (size_t i = capacity; i < buffer.size(); ++i) {
        EXPECT_EQ(buffer[i], '\x5A') << "written past the capacity at " << i;
    }
    const void* nul = std::memchr(buffer.data(), '\0', capacity);
    EXPECT_NE(nul, nullptr) << "not terminated within the capacity";
    return nul ? std::string(buffer.data(), static_cast<size_t>(static_cast<const char*>(nul) - buffer.data())) : std::string();
}

// Decoded text as UTF-8, for comparison with u8 literals.
inline std::string DecodeToUtf8(const std::vector<uint8_t>& input, size_t capacity = 512)
{
    return ShiftJisToUtf8(Decode(input, capacity));
}
