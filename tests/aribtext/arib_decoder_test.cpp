// The decoder on hand-written ARIB STD-B24 byte strings: sets, tables, controls and the
// output rule. Each byte string is commented where its meaning is not plain.
#include "aribtext/decode_helpers.h"

namespace {

using B = std::vector<uint8_t>;

constexpr uint8_t ESC = 0x1B, LS0 = 0x0F, LS1 = 0x0E, SS2 = 0x19, SS3 = 0x1D, APR = 0x0D,
                  MSZ = 0x89, NSZ = 0x8A;

TEST(AribDecoder, EmptyInputAndNulEndDecoding)
{
    EXPECT_EQ(Decode({}), "");
    EXPECT_EQ(Decode({0x00, 0x30, 0x21}), "");
    EXPECT_EQ(Decode({0x30, 0x21, 0x00, 0x30, 0x21}), "\x88\x9F");
    char out[4] = "xyz";
    DecodeAribText(nullptr, 0, out, sizeof out);
    EXPECT_STREQ(out, "");
}

TEST(AribDecoder, DefaultStateKanjiInGlAndHiraganaInGr)
{
    EXPECT_EQ(Decode({0x30, 0x21}), "\x88\x9F");  // 亜
    EXPECT_EQ(Decode({0x21, 0x21}), "\x81\x40");  // full-width space
    EXPECT_EQ(Decode({0xA2}), "\x82\xA0");        // GR hiragana 0x22: あ
    // Row 90 of the Kanji set is plain Shift-JIS, not an additional symbol.
    EXPECT_EQ(Decode({0x7A, 0x50}), "\xED\xCE");
    // Rows 85-94 convert by the same rule.
    EXPECT_EQ(Decode({0x75, 0x21, 0x7E, 0x7E}), "\xEB\x40\xEF\xFC");
    EXPECT_EQ(DecodeToUtf8({0x46, 0x7C, 0x4B, 0x5C, 0x38, 0x6C}), Utf8(u8"日本語"));
}

TEST(AribDecoder, AlphanumericSizes)
{
    EXPECT_EQ(Decode({LS1, 0x41}), "\x82\x60");                        // Ａ
    EXPECT_EQ(Decode({LS1, MSZ, 0x41}), "A");
    EXPECT_EQ(Decode({LS1, MSZ, 0x41, NSZ, 0x41}), "A\x82\x60");
    EXPECT_EQ(Decode({LS1, MSZ, 0x60, 0x7E, 0x5C}), " ~\\");           // ` is a space
    EXPECT_EQ(Decode({0x88, LS1, MSZ, 0x8B, 0x8C, 0x41}), "A");        // other size controls
}

TEST(AribDecoder, FullWidthTableIsTheFullWidthFormExceptFiveCodes)
{
    for (uint8_t c = 0x21; c <= 0x7E; ++c) {
        std::string expected;
        switch (c) {
        case 0x22: expected = Utf8(u8"”"); break;
        case 0x27: expected = Utf8(u8"’"); break;
        case 0x5C: expected = Utf8(u8"￥"); break;
        case 0x60: expected = Utf8(u8"　"); break;
        case 0x7E: expected = Utf8(u8"￣"); break;
        default: AppendUtf8(expected, 0xFF00 + (c - 0x20)); break;
        }
        EXPECT_EQ(DecodeToUtf8({LS1, c}), expected) << "code " << int(c);
    }
    // Codes outside 0x21-0x7E (here 0xFF through GR, taken as 0x7F) are a full-width space.
    EXPECT_EQ(Decode({ESC, 0x7E, 0xFF, 0xC1}), "\x81\x40\x82\x60");
}

TEST(AribDecoder, KanaTables)
{
    EXPECT_EQ(DecodeToUtf8({0xA1, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8}), Utf8(u8"ぁん　　　ゝゞ"));
    EXPECT_EQ(DecodeToUtf8({0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE}), Utf8(u8"ー。「」、・"));
    // ESC 0x7C: LS3R, katakana into GR.
    EXPECT_EQ(DecodeToUtf8({ESC, 0x7C, 0xA1, 0xDF, 0xE0, 0xF6, 0xF7, 0xF8}), Utf8(u8"ァミムヶヽヾ"));
    EXPECT_EQ(Decode({ESC, 0x7C, 0xDF, 0xE0}), "\x83\x7E\x83\x80");  // 0x837F skipped
    EXPECT_EQ(DecodeToUtf8({ESC, 0x7C, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE}), Utf8(u8"ー。「」、・"));
    EXPECT_EQ(Decode({0xFF}), "\x81\x40");  // GR 0xFF is code 0x7F
}

TEST(AribDecoder, ControlsThatYieldNothing)
{
    EXPECT_EQ(Decode({0x20, 0x7F, 0x30, 0x21}), "\x88\x9F");
    EXPECT_EQ(Decode({0x30, 0x21, APR, 0x0A, 0x30, 0x21}), "\x88\x9F\x0D\x88\x9F");
    EXPECT_EQ(Decode({0x0A, APR, APR, 0x0A}), "\x0D\x0D");
    // COL (0x90) keeps its parameter 0x48, which is read as a GL character afterwards.
    EXPECT_EQ(Decode({LS1, 0x90, 0x48}), "\x82\x67");  // Ｈ
    EXPECT_EQ(Decode({0x01, 0x8C, 0x9B, 0xA0, 0x80, 0x1C, 0x30, 0x21}), "\x88\x9F");
}

TEST(AribDecoder, SingleShifts)
{
    EXPECT_EQ(Decode({SS2, 0x22, 0x30, 0x21}), "\x82\xA0\x88\x9F");  // あ, GL still Kanji
    EXPECT_EQ(Decode({SS3, 0x22}), "\x83\x41");                      // ア
    // Bytes outside 0x21-0x7E are taken AND 0x7F.
    EXPECT_EQ(Decode({SS2, 0xA2}), "\x82\xA0");
    EXPECT_EQ(Decode({SS2, 0x05}), "\x81\x40");
    // ESC 0x2A 0x4A: G2 <- alphanumeric; SS2 with middle size then uses the half-width table,
    // whose DEL yields nothing rather than a NUL.
    EXPECT_EQ(Decode({ESC, 0x2A, 0x4A, MSZ, SS2, 0x41, SS2, 0xFF, SS2, 0x42}), "AB");
    // ESC 0x24 0x2B 0x3B: G3 <- additional symbols; SS3 takes two bytes.
    EXPECT_EQ(Decode({ESC, 0x24, 0x2B, 0x3B, SS3, 0x7A, 0x56, 0xA2}), "[字]\x82\xA0");
}

TEST(AribDecoder, SingleByteDesignations)
{
    EXPECT_EQ(Decode({ESC, 0x28, 0x4A, 0x31}), "\x82\x50");               // G0 <- alnum: １
    EXPECT_EQ(Decode({ESC, 0x28, 0x20, 0x4A, 0x31}), "\x82\x50");         // DRCS form
    EXPECT_EQ(Decode({ESC, 0x28, 0x20, 0x41, 0x30, 0x21}), "\x88\x9F");   // DRCS final: unchanged
    EXPECT_EQ(Decode({ESC, 0x28, 0x7A, 0x30, 0x21}), "\x88\x9F");         // unknown final
    EXPECT_EQ(Decode({ESC, 0x29, 0x7A, LS1, 0x41}), "\x82\x60");          // G1 too
    EXPECT_EQ(Decode({ESC, 0x29, 0x30, LS1, 0x22}), "\x82\xA0");          // G1 <- hiragana
    EXPECT_EQ(Decode({ESC, 0x29, 0x20, 0x42, LS1, 0x30, 0x21}), "\x88\x9F");
    EXPECT_EQ(Decode({ESC, 0x2A, 0x31, 0xA2}), "\x83\x41");               // G2 <- katakana
    EXPECT_EQ(Decode({ESC, 0x2A, 0x20, 0x4A, 0xC1}), "\x82\x60");
    EXPECT_EQ(Decode({ESC, 0x2B, 0x30, SS3, 0x22}), "\x82\xA0");          // G3 <- hiragana
    EXPECT_EQ(Decode({ESC, 0x2B, 0x20, 0x4A, SS3, 0x41}), "\x82\x60");
}

TEST(AribDecoder, MultiByteDesignations)
{
    EXPECT_EQ(Decode({ESC, 0x24, 0x3B, 0x7A, 0x50, 0x7A, 0x75, 0x7A, 0x56}), "[HV][字]");
    EXPECT_EQ(Decode({ESC, 0x24, 0x28, 0x20, 0x4A, 0x41}), "\x82\x60");  // G0 <- alnum
    // ESC 0x24 0x28 X without the DRCS byte consumes two bytes; 0x28 0x41 is then a Kanji.
    EXPECT_EQ(Decode({ESC, 0x24, 0x28, 0x41}), "\x84\xBF");
    EXPECT_EQ(Decode({ESC, 0x24, 0x29, 0x42, LS1, 0x30, 0x21}), "\x88\x9F");
    EXPECT_EQ(Decode({ESC, 0x24, 0x29, 0x20, 0x42, LS1, 0x30, 0x21}), "\x88\x9F");
    EXPECT_EQ(Decode({ESC, 0x24, 0x2A, 0x3B, 0xFA, 0xD6}), "[字]");         // symbols in GR
    EXPECT_EQ(Decode({ESC, 0x24, 0x2A, 0x20, 0x42, 0xB0, 0xA1}), "\x88\x9F");
    EXPECT_EQ(Decode({ESC, 0x24, 0x2B, 0x42, SS3, 0x30, 0x21}), "\x88\x9F");
    EXPECT_EQ(Decode({ESC, 0x24, 0x2B, 0x20, 0x3B, SS3, 0x7A, 0x56}), "[字]");
    EXPECT_EQ(Decode({ESC, 0x24, 0x39, 0x30, 0x21, ESC, 0x24, 0x3A, 0x30, 0x21}), "\x88\x9F\x88\x9F");
}

TEST(AribDecoder, SetsThatYieldNothingKeepTheirWidth)
{
    // Mosaic A, proportional katakana and JIS X 0201 katakana: one byte a character.
    for (uint8_t f : {0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x49}) {
        EXPECT_EQ(Decode({ESC, 0x28, f, 0x41, 0x42, 0x43, 0xA2}), "\x82\xA0") << int(f);
    }
}

TEST(AribDecoder, LockingShiftsAndTheirReferences)
{
    EXPECT_EQ(Decode({ESC, 0x6E, 0x22}), "\x82\xA0");                  // LS2
    EXPECT_EQ(Decode({ESC, 0x6F, 0x22}), "\x83\x41");                  // LS3
    EXPECT_EQ(Decode({ESC, 0x7E, 0xC1}), "\x82\x60");                  // LS1R
    EXPECT_EQ(Decode({ESC, 0x7C, 0xA2, ESC, 0x7D, 0xA2}), "\x83\x41\x82\xA0");
    EXPECT_EQ(Decode({LS1, 0x41, LS0, 0x30, 0x21}), "\x82\x60\x88\x9F");
    // GL refers to G1, so designating into G1 changes what GL yields.
    EXPECT_EQ(Decode({LS1, ESC, 0x29, 0x30, 0x22}), "\x82\xA0");
    EXPECT_EQ(Decode({ESC, 0x41, 0x30, 0x21}), "\x88\x9F");           // unknown escape: 2 bytes
}

TEST(AribDecoder, EveryCallStartsFromTheInitialState)
{
    EXPECT_EQ(Decode({ESC, 0x28, 0x4A, LS1, MSZ, ESC, 0x7C, 0x41}), "A");
    EXPECT_EQ(Decode({0x30, 0x21, 0xA2}), "\x88\x9F\x82\xA0");
}

TEST(AribDecoder, AdditionalSymbolsRangeByRange)
{
    const B g0Symbols = {ESC, 0x24, 0x3B};
    const auto symbol = [&](uint16_t code) {
        B in = g0Symbols;
        in.push_back(static_cast<uint8_t>(code >> 8));
        in.push_back(static_cast<uint8_t>(code & 0xFF));
        return DecodeToUtf8(in);
    };
    const char8_t* row90[] = {
        u8"[HV]", u8"[SD]", u8"[Ｐ]", u8"[Ｗ]", u8"[MV]", u8"[手]", u8"[字]", u8"[双]", u8"[デ]", u8"[Ｓ]",
        u8"[二]", u8"[多]", u8"[解]", u8"[SS]", u8"[Ｂ]", u8"[Ｎ]", u8"■", u8"●", u8"[天]", u8"[交]",
        u8"[映]", u8"[無]", u8"[料]", u8"_", u8"[前]", u8"[後]", u8"[再]", u8"[新]", u8"[初]", u8"[終]",
        u8"[生]", u8"[販]", u8"[声]", u8"[吹]", u8"[PPV]", u8"(秘)", u8"<ほか>"};
    for (uint16_t i = 0; i < 37; ++i) EXPECT_EQ(symbol(0x7A50 + i), Utf8(row90[i])) << i;
    const std::pair<uint16_t, const char8_t*> others[] = {
        {0x7A4F, u8""}, {0x7A75, u8""}, {0x7D6D, u8""}, {0x7D6E, u8"!!"}, {0x7D6F, u8"!?"},
        {0x7D70, u8""}, {0x7E20, u8""}, {0x7E21, u8"Ⅰ"}, {0x7E2A, u8"Ⅹ"}, {0x7E2B, u8"ⅩⅠ"},
        {0x7E2C, u8"ⅩⅡ"}, {0x7E2D, u8"(17)"}, {0x7E30, u8"(20)"}, {0x7E31, u8"(1)"},
        {0x7E3C, u8"(12)"}, {0x7E3D, u8"(21)"}, {0x7E40, u8"(24)"}, {0x7E41, u8"(A)"},
        {0x7E5A, u8"(Z)"}, {0x7E5B, u8"(25)"}, {0x7E60, u8"(30)"}, {0x7E61, u8"①"},
        {0x7E70, u8"⑯"}, {0x7E71, u8"<1>"}, {0x7E7C, u8"<12>"}, {0x7E7D, u8"(31)"}, {0x7E7E, u8""},
    };
    for (const auto& [code, text] : others) EXPECT_EQ(symbol(code), Utf8(text)) << std::hex << code;
    // The code is taken from both bytes AND 0x7F: G2 <- symbols, SS2 with GR bytes.
    EXPECT_EQ(Decode({ESC, 0x24, 0x2A, 0x3B, 0x19, 0xFA, 0xD0}), "[HV]");
}

TEST(AribDecoder, OutputRuleDropsWholeCharactersOnly)
{
    EXPECT_EQ(Decode({0x30, 0x21, 0x30, 0x21, APR}, 5), "\x88\x9F\x0D");
    EXPECT_EQ(Decode({0x30, 0x21, 0x30, 0x21, APR}, 1), "");
    EXPECT_EQ(Decode({0x30, 0x21}, 2), "");
    EXPECT_EQ(Decode({0x30, 0x21}, 3), "");
    EXPECT_EQ(Decode({0x30, 0x21}, 4), "\x88\x9F");
    // A symbol text goes whole or not at all; a shorter character after it may still fit.
    const B symbolThenLetter = {0x30, 0x21, ESC, 0x24, 0x3B, 0x7A, 0x74, LS1, MSZ, 0x41};
    EXPECT_EQ(Decode(symbolThenLetter, 8), "\x88\x9F" "A");
    EXPECT_EQ(Decode(symbolThenLetter, 9), "\x88\x9F" "A");
    EXPECT_EQ(Decode(symbolThenLetter, 10), "\x88\x9F<\x82\xD9\x82\xA9>");
    EXPECT_EQ(Decode(symbolThenLetter, 11), "\x88\x9F<\x82\xD9\x82\xA9>A");
}

TEST(AribDecoder, EveryCapacityKeepsWholeKanjiAndTheGuard)
{
    const B fiveKanji = {0x30, 0x21, 0x30, 0x22, 0x30, 0x23, 0x30, 0x24, 0x30, 0x25};
    const std::string all = Decode(fiveKanji);
    for (size_t capacity = 1; capacity <= 14; ++capacity) {
        const size_t kept = capacity >= 2 ? std::min<size_t>(5, (capacity - 2) / 2) : 0;
        EXPECT_EQ(Decode(fiveKanji, capacity), all.substr(0, kept * 2)) << capacity;
    }
}

TEST(AribDecoder, NullOutputOrZeroCapacityWritesNothing)
{
    const B in = {0x30, 0x21};
    DecodeAribText(in.data(), in.size(), nullptr, 16);
    char untouched[2] = {'x', 'y'};
    DecodeAribText(in.data(), in.size(), untouched, 0);
    EXPECT_EQ(untouched[0], 'x');
}

}  // namespace
