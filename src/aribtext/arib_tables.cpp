#include "aribtext/arib_tables.h"

#include <iterator>

namespace {

constexpr uint16_t kFullWidthSpace = 0x8140;

constexpr std::array<uint8_t, 256> MakeGraphicSetByFinal()
{
    std::array<uint8_t, 256> t{};
    for (auto& v : t) v = kNoGraphicSet;
    const uint8_t finals[kGraphicSetCount] = {0x42, 0x4A, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35,
                                              0x36, 0x37, 0x38, 0x49, 0x39, 0x3A, 0x3B};
    for (size_t i = 0; i < kGraphicSetCount; ++i) t[finals[i]] = static_cast<uint8_t>(i);
    return t;
}

// ー 。 「 」 、 ・ close both kana sets at codes 0x79-0x7E.
constexpr uint16_t kKanaPunctuation[6] = {0x815B, 0x8142, 0x8175, 0x8176, 0x8141, 0x8145};

constexpr std::array<uint16_t, 128> MakeHiragana()
{
    std::array<uint16_t, 128> t{};
    for (auto& v : t) v = kFullWidthSpace;
    for (int c = 0x21; c <= 0x73; ++c) t[c] = static_cast<uint16_t>(0x829F + (c - 0x21));
    t[0x77] = 0x8154;  // ゝ
    t[0x78] = 0x8155;  // ゞ
    for (int i = 0; i < 6; ++i) t[0x79 + i] = kKanaPunctuation[i];
    return t;
}

constexpr std::array<uint16_t, 128> MakeKatakana()
{
    std::array<uint16_t, 128> t{};
    for (auto& v : t) v = kFullWidthSpace;
    for (int c = 0x21; c <= 0x5F; ++c) t[c] = static_cast<uint16_t>(0x8340 + (c - 0x21));
    // Shift-JIS skips 0x837F: ム starts again at 0x8380.
    for (int c = 0x60; c <= 0x76; ++c) t[c] = static_cast<uint16_t>(0x8380 + (c - 0x60));
    t[0x77] = 0x8152;  // ヽ
    t[0x78] = 0x8153;  // ヾ
    for (int i = 0; i < 6; ++i) t[0x79 + i] = kKanaPunctuation[i];
    return t;
}

// Code page 932 full-width forms of ASCII 0x21-0x7E, with the broadcast's own choices for
// " ' \ ` and ~.
constexpr uint16_t kFullWidthAscii[94] = {
    0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169,  // ! " # $ % & ' (
    0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,          // ) * + , - . /
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // 0-7
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // 8 9 : ; < = > ?
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,  // @ A-G
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,  // H-O
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,  // P-W
    0x8277, 0x8278, 0x8279, 0x816D, 0x818F, 0x816E, 0x814F, 0x8151,  // X Y Z [ ￥ ] ^ _
    0x8140, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // ` a-g
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // h-o
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // p-w
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,          // x y z { | } ￣
};

constexpr std::array<uint16_t, 128> MakeFullWidthAlphanumeric()
{
    std::array<uint16_t, 128> t{};
    for (auto& v : t) v = kFullWidthSpace;
    for (int c = 0x21; c <= 0x7E; ++c) t[c] = kFullWidthAscii[c - 0x21];
    return t;
}

// DEL yields nothing rather than a NUL that would cut the rest of the text off.
constexpr std::array<uint8_t, 128> MakeHalfWidthAlphanumeric()
{
    std::array<uint8_t, 128> t{};
    for (int c = 0x00; c <= 0x20; ++c) t[c] = 0x20;
    for (int c = 0x21; c <= 0x7E; ++c) t[c] = static_cast<uint8_t>(c);
    t[0x60] = 0x20;
    t[0x7F] = 0x00;
    return t;
}

// Additional symbols of ARIB STD-B24 Part 2, codes 0x7A50-0x7A74.
constexpr const char* kSymbolsRow90[] = {
    "[HV]", "[SD]", "[Ｐ]", "[Ｗ]", "[MV]", "[手]", "[字]", "[双]", "[デ]", "[Ｓ]",
    "[二]", "[多]", "[解]", "[SS]", "[Ｂ]", "[Ｎ]", "■",    "●",    "[天]", "[交]",
    "[映]", "[無]", "[料]", "_",    "[前]", "[後]", "[再]", "[新]", "[初]", "[終]",
    "[生]", "[販]", "[声]", "[吹]", "[PPV]", "(秘)", "<ほか>",
};

constexpr const char* kSymbolsRow93[] = {"!!", "!?"};

// Codes 0x7E21-0x7E7D. Roman numerals and circled digits by their code page 932 codes.
constexpr const char* kSymbolsRow94[] = {
    "\x87\x54", "\x87\x55", "\x87\x56", "\x87\x57", "\x87\x58",  // Ⅰ-Ⅴ
    "\x87\x59", "\x87\x5A", "\x87\x5B", "\x87\x5C", "\x87\x5D",  // Ⅵ-Ⅹ
    "\x87\x5D\x87\x54", "\x87\x5D\x87\x55",                      // ⅩⅠ ⅩⅡ
    "(17)", "(18)", "(19)", "(20)",
    "(1)", "(2)", "(3)", "(4)", "(5)", "(6)", "(7)", "(8)", "(9)", "(10)", "(11)", "(12)",
    "(21)", "(22)", "(23)", "(24)",
    "(A)", "(B)", "(C)", "(D)", "(E)", "(F)", "(G)", "(H)", "(I)", "(J)", "(K)", "(L)", "(M)",
    "(N)", "(O)", "(P)", "(Q)", "(R)", "(S)", "(T)", "(U)", "(V)", "(W)", "(X)", "(Y)", "(Z)",
    "(25)", "(26)", "(27)", "(28)", "(29)", "(30)",
    "\x87\x40", "\x87\x41", "\x87\x42", "\x87\x43", "\x87\x44", "\x87\x45", "\x87\x46",
    "\x87\x47", "\x87\x48", "\x87\x49", "\x87\x4A", "\x87\x4B", "\x87\x4C", "\x87\x4D",
    "\x87\x4E", "\x87\x4F",  // ①-⑯
    "<1>", "<2>", "<3>", "<4>", "<5>", "<6>", "<7>", "<8>", "<9>", "<10>", "<11>", "<12>",
    "(31)",
};

static_assert(std::size(kSymbolsRow90) == 0x7A74 - 0x7A50 + 1);
static_assert(std::size(kSymbolsRow93) == 0x7D6F - 0x7D6E + 1);
static_assert(std::size(kSymbolsRow94) == 0x7E7D - 0x7E21 + 1);

}  // namespace

const std::array<uint8_t, 256> kGraphicSetByFinal = MakeGraphicSetByFinal();

const std::array<uint8_t, kGraphicSetCount> kGraphicSetWidth = {
    2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2,
};

const std::array<uint16_t, 128> kHiraganaTable = MakeHiragana();
const std::array<uint16_t, 128> kKatakanaTable = MakeKatakana();
const std::array<uint16_t, 128> kFullWidthAlphanumericTable = MakeFullWidthAlphanumeric();
const std::array<uint8_t, 128> kHalfWidthAlphanumericTable = MakeHalfWidthAlphanumeric();

const std::array<AdditionalSymbolRange, kAdditionalSymbolRangeCount> kAdditionalSymbolRanges = {{
    {0x7A50, 0x7A74, kSymbolsRow90},
    {0x7D6E, 0x7D6F, kSymbolsRow93},
    {0x7E21, 0x7E7D, kSymbolsRow94},
}};

const char* AdditionalSymbolText(uint16_t code)
{
    for (const AdditionalSymbolRange& range : kAdditionalSymbolRanges) {
        if (code >= range.first && code <= range.last) return range.texts[code - range.first];
    }
    return nullptr;
}
