#include "support/sjis_text.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

#include "support/jis0208_table.inc"

std::pair<int, int> RowCellFromShiftJis(uint8_t s1, uint8_t s2)
{
    const int lead = s1 <= 0x9F ? s1 - 0x81 : s1 - 0xC1;  // 0-based pair of rows
    if (s2 >= 0x9F) return {lead * 2 + 2, s2 - 0x9E};
    return {lead * 2 + 1, s2 - (s2 >= 0x80 ? 0x40 : 0x3F)};
}

void AppendShiftJis(std::string& out, uint16_t jis)
{
    const unsigned c1 = jis >> 8, c2 = jis & 0xFF;
    const unsigned s1 = ((c1 + 1) >> 1) + (c1 <= 0x5E ? 0x70 : 0xB0);
    unsigned s2 = c2 + ((c1 & 1) ? 0x1F : 0x7D);
    if (s2 > 0x7E) ++s2;
    out += static_cast<char>(s1);
    out += static_cast<char>(s2);
}

// Code point -> JIS code, sorted by code point; the first (lowest) row wins duplicates.
const std::vector<std::pair<char32_t, uint16_t>>& ReverseTable()
{
    static const std::vector<std::pair<char32_t, uint16_t>> table = [] {
        std::vector<std::pair<char32_t, uint16_t>> t;
        for (int r = 0; r < 94; ++r) {
            for (int c = 0; c < 94; ++c) {
                if (kJis0208Unicode[r][c] != 0) t.emplace_back(kJis0208Unicode[r][c], static_cast<uint16_t>((r + 0x21) << 8 | (c + 0x21)));
            }
        }
        std::stable_sort(t.begin(), t.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        t.erase(std::unique(t.begin(), t.end(), [](const auto& a, const auto& b) { return a.first == b.first; }), t.end());
        return t;
    }();
    return table;
}

}  // namespace

std::string Utf8(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

std::u32string DecodeUtf8(std::string_view utf8)
{
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t b = static_cast<uint8_t>(utf8[i]);
        const size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        if (n == 0 || i + n > utf8.size()) throw std::invalid_argument("malformed UTF-8");
        char32_t cp = n == 1 ? b : b & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            const uint8_t t = static_cast<uint8_t>(utf8[i + k]);
            if ((t & 0xC0) != 0x80) throw std::invalid_argument("malformed UTF-8");
            cp = cp << 6 | (t & 0x3F);
        }
        out += cp;
        i += n;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

uint16_t JisFromCodePoint(char32_t cp)
{
    switch (cp) {
    case U'\u301C': return 0x2141;  // WAVE DASH: ～
    case U'\u2016': return 0x2142;  // DOUBLE VERTICAL LINE: ∥
    case U'\u2014': return 0x213D;  // EM DASH: ―
    case U'\u2212': return 0x215D;  // MINUS SIGN: －
    default: break;
    }
    const auto& table = ReverseTable();
    const auto it = std::lower_bound(table.begin(), table.end(), cp,
                                     [](const auto& entry, char32_t value) { return entry.first < value; });
    return it != table.end() && it->first == cp ? it->second : 0;
}

char32_t CodePointFromJis(uint16_t jis)
{
    const int r = (jis >> 8) - 0x21, c = (jis & 0xFF) - 0x21;
    if (r < 0 || r >= 94 || c < 0 || c >= 94) return 0;
    return kJis0208Unicode[r][c];
}

char32_t CodePointFromShiftJis(uint8_t lead, uint8_t trail)
{
    const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (!isLead || trail < 0x40 || trail > 0xFC || trail == 0x7F) return 0;
    const auto [row, cell] = RowCellFromShiftJis(lead, trail);
    if (row <= 94) return kJis0208Unicode[row - 1][cell - 1];
    if (row >= 115) return kIbmExtensionUnicode[row - 115][cell - 1];
    return 0;
}

std::string ShiftJisToUtf8(std::string_view sjis)
{
    std::string out;
    for (size_t i = 0; i < sjis.size(); ++i) {
        const uint8_t s1 = static_cast<uint8_t>(sjis[i]);
        if (s1 < 0x80) {
            out += static_cast<char>(s1);
            continue;
        }
        if (s1 >= 0xA1 && s1 <= 0xDF) {
            AppendUtf8(out, 0xFF61 + (s1 - 0xA1));
            continue;
        }
        const bool lead = (s1 >= 0x81 && s1 <= 0x9F) || (s1 >= 0xE0 && s1 <= 0xFC);
        if (!lead || i + 1 >= sjis.size()) {
            AppendUtf8(out, 0xFFFD);
            continue;
        }
        const char32_t cp = CodePointFromShiftJis(s1, static_cast<uint8_t>(sjis[++i]));
        AppendUtf8(out, cp != 0 ? cp : 0xFFFD);
    }
    return out;
}

std::string Utf8ToShiftJis(std::string_view utf8)
{
    std::string out;
    for (const char32_t cp : DecodeUtf8(utf8)) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        const uint16_t jis = JisFromCodePoint(cp);
        if (jis == 0) throw std::invalid_argument("no Shift-JIS code for U+" + std::to_string(static_cast<uint32_t>(cp)));
        AppendShiftJis(out, jis);
    }
    return out;
}
