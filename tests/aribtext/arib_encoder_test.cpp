// The test encoder against the decoder: readable text in, the same text out, and the bytes
// a broadcaster would send for a typical name.
#include "aribtext/decode_helpers.h"
#include "support/arib_encoder.h"

namespace {

TEST(AribEncoder, NameAsBroadcast)
{
    // ESC 0x7C: LS3R; ニ ュ ー ス in GR; LS1 and Ｆ-style full-width ７ in G1.
    const std::vector<uint8_t> expected = {0x1B, 0x7C, 0xCB, 0xE5, 0xF9, 0xB9, 0x0E, 0x37};
    EXPECT_EQ(EncodeArib(u8"ニュース７"), expected);
    EXPECT_EQ(DecodeToUtf8(EncodeArib(u8"ニュース７")), Utf8(u8"ニュース７"));
}

TEST(AribEncoder, MixedTextRoundTrips)
{
    const char8_t* texts[] = {
        u8"気象情報　茶柱てんき",
        u8"忙しい夕方、ほっと一息つきませんか？「茶柱てんき」は３年目に突入。",
        u8"NHKニュース7 第2部 ～全国の天気～",
        u8"ゝゞヽヾ・ーＡｂ＃（）",
        u8"ドラマ「名探偵」出演：山田太郎",
    };
    for (const char8_t* text : texts) {
        EXPECT_EQ(DecodeToUtf8(EncodeArib(text)), Utf8(text)) << reinterpret_cast<const char*>(text);
    }
}

TEST(AribEncoder, SymbolsAndRawControls)
{
    const auto bytes = AribTextEncoder().Text(u8"映画").Symbol(0x7A56).Symbol(0x7A6A).Text(u8"です").Bytes();
    EXPECT_EQ(DecodeToUtf8(bytes), Utf8(u8"映画[字][再]です"));
    // A line feed in the text becomes APR, which decodes to a single CR.
    EXPECT_EQ(DecodeToUtf8(EncodeArib(u8"一\n二")), Utf8(u8"一\r二"));
    const char8_t* noAribCode = u8"😀";
    EXPECT_THROW(EncodeArib(noAribCode), std::invalid_argument);
}

TEST(AribEncoder, ShiftJisConversionsAgree)
{
    EXPECT_EQ(Utf8ToShiftJis(Utf8(u8"亜あア")), "\x88\x9F\x82\xA0\x83\x41");
    EXPECT_EQ(ShiftJisToUtf8("\x88\x9F\x82\xA0\x83\x41 A"), Utf8(u8"亜あア A"));
    EXPECT_EQ(ShiftJisToUtf8("\x81"), Utf8(u8"\uFFFD"));
    // Plain literals are Shift-JIS on every target.
    EXPECT_EQ(Utf8ToShiftJis(Utf8(u8"番組表")), "番組表");
}

}  // namespace
