// Input cut short anywhere: the decoder reads nothing past the given length (the sanitizer
// build checks each prefix in a buffer of exactly its size) and a cut character, single
// shift or escape sequence yields nothing and ends the text.
#include "aribtext/decode_helpers.h"
#include "support/arib_encoder.h"

#include <memory>

namespace {

using B = std::vector<uint8_t>;

// Decodes the first n bytes of `input` from a heap block of exactly n bytes.
std::string DecodePrefix(const B& input, size_t n)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[n == 0 ? 1 : n]);
    std::copy(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(n), exact.get());
    char out[512];
    DecodeAribText(exact.get(), n, out, sizeof out);
    return out;
}

TEST(AribDecoderBounds, EveryPrefixYieldsAPrefixOfTheWholeText)
{
    // Every construct the decoder knows, each of them a candidate for a cut.
    const B input = AribTextEncoder()
                        .Text(u8"気象情報　ニュース７ Weather")
                        .Symbol(0x7A56)
                        .Raw({0x19, 0x22, 0x1D, 0x22, 0x0D, 0x0A, 0x90, 0x48})
                        .Raw({0x1B, 0x24, 0x2A, 0x20, 0x3B, 0x19, 0x7A, 0x50})  // G2 <- symbols, SS2
                        .Raw({0x1B, 0x24, 0x28, 0x20, 0x4A, 0x41})               // G0 <- alnum
                        .Raw({0x1B, 0x28, 0x20, 0x42, 0x30, 0x21, 0x1B, 0x6F, 0x22})
                        .Text(u8"です。")
                        .Bytes();
    const std::string whole = Decode(input);
    ASSERT_FALSE(whole.empty());
    for (size_t n = 0; n <= input.size(); ++n) {
        const std::string part = DecodePrefix(input, n);
        EXPECT_EQ(whole.compare(0, part.size(), part), 0) << "prefix of " << n << " bytes";
    }
}

TEST(AribDecoderBounds, CutConstructsYieldNothingAndEndTheText)
{
    const B cuts[] = {
        {0x0F, 0x30},                               // LS0 and half a Kanji
        {0x19},                                     // SS2 without its character
        {0x1B, 0x24, 0x2A, 0x3B, 0x19, 0x7A},       // SS2 with half an additional symbol
        {0x1B},                                     // ESC
        {0x1B, 0x24},                               // ESC $
        {0x1B, 0x24, 0x28},                         // ESC $ ( without X
        {0x1B, 0x24, 0x28, 0x20},                   // ... without F
        {0x1B, 0x24, 0x29},                         // ESC $ ) without F
        {0x1B, 0x24, 0x2B, 0x20},                   // ESC $ + SP without F
        {0x1B, 0x28},                               // ESC ( without F
        {0x1B, 0x2A, 0x20},                         // ESC * SP without F
    };
    // Behind a one-byte set in GL, a cut taken as consumed would show its last bytes as characters.
    for (const B& lead : {B{0xA2}, B{0x0E, 0x41}}) {  // あ through GR; Ａ through GL set to G1
        for (const B& cut : cuts) {
            B in = lead;
            in.insert(in.end(), cut.begin(), cut.end());
            EXPECT_EQ(DecodePrefix(in, in.size()), Decode(lead)) << "cut of " << cut.size() << " bytes";
        }
    }
    // APR as the last byte is whole.
    EXPECT_EQ(DecodePrefix({0xA2, 0x0D}, 2), "\x82\xA0\x0D");
}

TEST(AribDecoderBounds, LengthBoundsTheInputNotTheNul)
{
    const B in = {0x30, 0x21, 0x30, 0x22};
    char out[16];
    DecodeAribText(in.data(), 2, out, sizeof out);
    EXPECT_STREQ(out, "\x88\x9F");
}

}  // namespace
