// Constant tables of the ARIB STD-B24 8-unit code as this decoder uses them: the graphic
// sets with their final bytes and widths, the one-byte character tables and the texts of
// the additional symbols.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Graphic sets of ARIB STD-B24 Part 2, in the order this decoder numbers them.
enum class GraphicSet : uint8_t {
    Kanji,
    Alphanumeric,
    Hiragana,
    Katakana,
    MosaicA,
    MosaicB,
    MosaicC,
    MosaicD,
    ProportionalAlphanumeric,
    ProportionalHiragana,
    ProportionalKatakana,
    JisX0201Katakana,
    JisCompatibleKanji1,
    JisCompatibleKanji2,
    AdditionalSymbols,
};

constexpr size_t kGraphicSetCount = 15;

// Marks a final byte that designates nothing.
constexpr uint8_t kNoGraphicSet = 0xFF;

// Final byte F -> GraphicSet value, or kNoGraphicSet.
extern const std::array<uint8_t, 256> kGraphicSetByFinal;

// Bytes one character of each set occupies in the input.
extern const std::array<uint8_t, kGraphicSetCount> kGraphicSetWidth;

// Shift-JIS codes, high byte first, indexed by the 7-bit character code.
extern const std::array<uint16_t, 128> kHiraganaTable;
extern const std::array<uint16_t, 128> kKatakanaTable;
extern const std::array<uint16_t, 128> kFullWidthAlphanumericTable;
// One byte per code; 0 means the code yields nothing.
extern const std::array<uint8_t, 128> kHalfWidthAlphanumericTable;

struct AdditionalSymbolRange {
    uint16_t first;
    uint16_t last;
    const char* const* texts;  // last - first + 1 entries, Shift-JIS, NUL-terminated
};

constexpr size_t kAdditionalSymbolRangeCount = 3;
extern const std::array<AdditionalSymbolRange, kAdditionalSymbolRangeCount> kAdditionalSymbolRanges;

// Text of an additional symbol by its 16-bit code (both bytes AND 0x7F), or null.
const char* AdditionalSymbolText(uint16_t code);
