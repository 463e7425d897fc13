// DecodeAribText against libaribb24 on random strings of what both decoders support. Our
// Shift-JIS goes through iconv (CP932) to UTF-8, libaribb24 writes UTF-8 itself.
//
// Differences by design, kept out of the comparison or normalised below:
// - alphanumeric codes 0x22 0x27 0x5C 0x60 0x7E: ours give ” ’ ￥ (space) ￣ as broadcast
//   receivers show them, libaribb24 other forms; not generated;
// - Kanji rows 1-3 and 6-15: code page 932 and libaribb24 map some symbols to different code
//   points (～ and 〜, ∥ and ‖ ...); only the kana rows 4-5 and the Kanji rows are generated;
// - libaribb24 writes alphanumerics full-width even after MSZ: both sides are compared with
//   ASCII folded to full-width;
// - SP (0x20) and DEL (0x7F) give U+3000 there and nothing here; APR (0x0D) gives nothing
//   there and CR here: U+3000, SP and CR are dropped on both sides;
// - additional symbols are Unicode symbols there and bracketed texts here: theirs are mapped
//   to ours;
// - libaribb24 reads one byte after SS2 or SS3 even when G2 or G3 holds a two-byte set:
//   single shifts are generated for one-byte sets only;
// - libaribb24 stops at bytes it does not support (0x01, 0x8C, COL and others) and keeps a
//   pending first byte of a two-byte character across a control code: neither is generated.
#include "aribtext/arib_decoder.h"
#include "support/sjis_text.h"

// libaribb24's headers declare no C linkage of their own.
extern "C" {
#include <aribb24/aribb24.h>
#include <aribb24/decoder.h>
}
#include <iconv.h>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using B = std::vector<uint8_t>;

enum Set { kKanji, kAlnum, kHira, kKata };

std::string OursUtf8(const B& in)
{
    char sjis[4096];
    DecodeAribText(in.data(), in.size(), sjis, sizeof sjis);
    iconv_t cd = iconv_open("UTF-8", "CP932");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    char utf8[8192];
    char* src = sjis;
    char* dst = utf8;
    size_t srcLeft = std::char_traits<char>::length(sjis), dstLeft = sizeof utf8;
    EXPECT_NE(iconv(cd, &src, &srcLeft, &dst, &dstLeft), static_cast<size_t>(-1)) << "not CP932";
    iconv_close(cd);
    return std::string(utf8, dst);
}

class Aribb24 {
public:
    Aribb24() : m_instance(arib_instance_new(nullptr)), m_decoder(arib_get_decoder(m_instance)) {}
    ~Aribb24() { arib_instance_destroy(m_instance); }
    std::string Decode(const B& in)
    {
        arib_initialize_decoder(m_decoder);
        char out[8192] = {};
        const size_t n = arib_decode_buffer(m_decoder, in.data(), in.size(), out, sizeof out);
        arib_finalize_decoder(m_decoder);
        return std::string(out, n);
    }

private:
    arib_instance_t* m_instance;
    arib_decoder_t* m_decoder;
};

// Random ARIB strings that track the code state they set up, so every character they hold
// is valid in the set it is read from.
class RandomAribText {
public:
    explicit RandomAribText(uint32_t seed) : m_rng(seed) {}

    B Next(bool withControls)
    {
        m_g[0] = kKanji, m_g[1] = kAlnum, m_g[2] = kHira, m_g[3] = kKata;
        m_gl = 0, m_gr = 2;
        B out;
        const int steps = Pick(1, 40);
        for (int i = 0; i < steps; ++i) Step(out, withControls);
        return out;
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

    void Character(B& out, Set set, uint8_t high)
    {
        if (set == kKanji) {
            int row = Pick(0, 9) == 0 ? Pick(4, 5) : Pick(16, 83);
            if (row == 47) row = 46;  // row 47 is half empty
            const int cells = row == 4 ? 83 : row == 5 ? 86 : 94;
            out.push_back(static_cast<uint8_t>((0x20 + row) | high));
            out.push_back(static_cast<uint8_t>((0x20 + Pick(1, cells)) | high));
        } else if (set == kAlnum) {
            uint8_t c;
            do c = static_cast<uint8_t>(Pick(0x21, 0x7E));
            while (c == 0x22 || c == 0x27 || c == 0x5C || c == 0x60 || c == 0x7E);
            out.push_back(c | high);
        } else {
            out.push_back(static_cast<uint8_t>(Pick(0x21, 0x7E) | high));
        }
    }

    void Designate(B& out)
    {
        const int element = Pick(0, 3);
        const Set set = static_cast<Set>(Pick(0, 3));
        static constexpr uint8_t finals[] = {0x42, 0x4A, 0x30, 0x31};
        if (set == kKanji) {
            out.insert(out.end(), {0x1B, 0x24});
            if (element != 0) out.push_back(static_cast<uint8_t>(0x28 + element));
        } else {
            out.insert(out.end(), {0x1B, static_cast<uint8_t>(0x28 + element)});
        }
        out.push_back(finals[set]);
        m_g[element] = set;
    }

    void Control(B& out)
    {
        static const uint8_t symbols[][2] = {{0x7A, 0x50}, {0x7A, 0x56}, {0x7A, 0x6A}, {0x7A, 0x73},
                                             {0x7A, 0x74}, {0x7A, 0x60}, {0x7D, 0x6E}, {0x7E, 0x21},
                                             {0x7E, 0x31}, {0x7E, 0x41}, {0x7E, 0x61}, {0x7A, 0x67}};
        switch (Pick(0, 5)) {
        case 0: out.push_back(Pick(0, 1) ? 0x20 : 0x7F); break;
        case 1: out.push_back(0x0D); if (Pick(0, 1)) out.push_back(0x0A); break;
        case 2: out.push_back(Pick(0, 1) ? 0x89 : 0x8A); break;
        default: {
            // ESC 0x24 0x3B: G0 <- additional symbols; LS0; one symbol; ESC 0x24 0x42: Kanji.
            const auto& s = symbols[Pick(0, static_cast<int>(std::size(symbols)) - 1)];
            out.insert(out.end(), {0x1B, 0x24, 0x3B, 0x0F, s[0], s[1], 0x1B, 0x24, 0x42});
            m_g[0] = kKanji;
            m_gl = 0;
        }
        }
    }

    void Step(B& out, bool withControls)
    {
        const int r = Pick(0, 99);
        if (r < 45) return Character(out, m_g[m_gl], 0x00);
        if (r < 65) return Character(out, m_g[m_gr], 0x80);
        if (r < 68) { out.push_back(0x0F); m_gl = 0; return; }       // LS0
        if (r < 71) { out.push_back(0x0E); m_gl = 1; return; }       // LS1
        if (r < 74) { out.insert(out.end(), {0x1B, 0x7D}); m_gr = 2; return; }  // LS2R
        if (r < 77) { out.insert(out.end(), {0x1B, 0x7C}); m_gr = 3; return; }  // LS3R
        if (r < 83) {
            const int element = r < 80 ? 2 : 3;
            if (m_g[element] == kKanji) return;
            out.push_back(element == 2 ? 0x19 : 0x1D);  // SS2 / SS3
            return Character(out, m_g[element], 0x00);
        }
        if (r < 90 || !withControls) return Designate(out);
        Control(out);
    }

    std::mt19937 m_rng;
    Set m_g[4] = {kKanji, kAlnum, kHira, kKata};
    int m_gl = 0, m_gr = 2;
};

// libaribb24's code points for the symbols generated, and our texts for them.
const std::map<char32_t, std::u8string> kTheirSymbols = {
    {U'\U0001F14A', u8"[HV]"}, {U'\U0001F211', u8"[字]"}, {U'\U0001F21E', u8"[再]"},
    {U'㊙', u8"(秘)"}, {U'\U0001F200', u8"<ほか>"}, {U'⬛', u8"■"}, {U'‼', u8"!!"},
    {U'Ⅰ', u8"Ⅰ"}, {U'⑴', u8"(1)"}, {U'\U0001F110', u8"(A)"}, {U'①', u8"①"}, {U'⚿', u8"_"},
};

// Both sides alike: U+3000, SP and CR dropped, ASCII folded to full-width.
std::string Canonical(const std::string& utf8, bool theirs)
{
    std::u32string in;
    for (char32_t cp : DecodeUtf8(utf8)) {
        const auto symbol = theirs ? kTheirSymbols.find(cp) : kTheirSymbols.end();
        if (symbol == kTheirSymbols.end()) {
            in += cp;
            continue;
        }
        for (char32_t s : DecodeUtf8(std::string(symbol->second.begin(), symbol->second.end()))) in += s;
    }
    std::string out;
    for (char32_t cp : in) {
        if (cp == U'\u3000' || cp == U' ' || cp == U'\r') continue;
        AppendUtf8(out, cp > 0x20 && cp < 0x7F ? cp + 0xFEE0 : cp);
    }
    return out;
}

std::string Hex(const B& in)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (uint8_t b : in) s += {digits[b >> 4], digits[b & 15], ' '};
    return s;
}

TEST(Aribb24Oracle, RandomCharactersShiftsAndDesignations)
{
    RandomAribText random(20240917);
    Aribb24 oracle;
    int failures = 0;
    for (int i = 0; i < 12000 && failures < 10; ++i) {
        const B in = random.Next(false);
        const std::string ours = OursUtf8(in);
        const std::string theirs = oracle.Decode(in);
        if (ours != theirs) ++failures;
        EXPECT_EQ(ours, theirs) << "input " << Hex(in);
    }
}

TEST(Aribb24Oracle, ControlsAndSymbolsAfterNormalisation)
{
    RandomAribText random(77);
    Aribb24 oracle;
    int failures = 0;
    for (int i = 0; i < 3000 && failures < 10; ++i) {
        const B in = random.Next(true);
        const std::string ours = Canonical(OursUtf8(in), false);
        const std::string theirs = Canonical(oracle.Decode(in), true);
        if (ours != theirs) ++failures;
        EXPECT_EQ(ours, theirs) << "input " << Hex(in);
    }
}

}  // namespace
