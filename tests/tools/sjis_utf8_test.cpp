#include <gtest/gtest.h>

#include <string>

#include "support/sjis_text.h"
#include "sjis_utf8.h"

namespace {

// The codes that converters read differently, each decided once (docs/design.md); the same
// table runs natively and under Wine, so both targets give these bytes.
TEST(ShiftJisToXmlUtf8, DecidedCodePoints)
{
    const struct {
        const char* sjis;
        const char8_t* utf8;
    } cases[] = {
        {"\x81\x5F", u8"\uFF3C"},  // FULLWIDTH REVERSE SOLIDUS, not U+005C
        {"\x81\x60", u8"\uFF5E"},  // FULLWIDTH TILDE, not WAVE DASH U+301C
        {"\x81\x61", u8"\u2225"},  // PARALLEL TO, not DOUBLE VERTICAL LINE U+2016
        {"\x81\x7C", u8"\uFF0D"},  // FULLWIDTH HYPHEN-MINUS, not MINUS SIGN U+2212
        {"\x81\x91", u8"\uFFE0"},  // FULLWIDTH CENT SIGN, not U+00A2
        {"\x81\x92", u8"\uFFE1"},  // FULLWIDTH POUND SIGN, not U+00A3
        {"\x81\xCA", u8"\uFFE2"},  // FULLWIDTH NOT SIGN, not U+00AC
        {"\x87\x40\x87\x54\x87\x5F\x87\x82", u8"\u2460\u2160\u3349\u2116"},  // NEC row 13
        {"\x87\x90\x87\x9B", u8"\u2252\u2229"},  // row 13's copies of row 2: row 2's code points
        {"\xED\x40\xEE\xEF\xEE\xFC", u8"\u7E8A\u2170\uFF02"},  // NEC-selected IBM extensions
        {"\xFA\x40\xFA\x54\xFA\x58\xFB\x40\xFC\x4B", u8"\u2170\uFFE2\u3231\u6D96\u9ED1"},  // IBM extensions
        {"a\xF0\x40" "b\xF9\xFC" "c", u8"abc"},  // user-defined area: no character, the pair dropped
        {"a\x87\x5E" "b\xEF\x40" "c\xFC\x4C" "d", u8"abcd"},  // unassigned pairs: dropped whole
        {"a\x81\x20" "b\x81", u8"a b"},  // a lead byte without its trail: dropped alone
        {"\x80\xA0\xFD\xFE\xFF" "\x5C\x7E\xB1", u8"\\~\uFF71"},  // single bytes
    };
    for (const auto& c : cases) EXPECT_EQ(ShiftJisToXmlUtf8(c.sjis), Utf8(c.utf8)) << c.sjis;
}

}  // namespace
