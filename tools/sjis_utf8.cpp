#include "sjis_utf8.h"

#include <cstdint>

#include "support/sjis_text.h"

namespace {

constexpr char32_t kHalfWidthKatakanaBase = 0xFF61;  // 0xA1 reads as U+FF61

// Appends the code point of the character at sjis[i] and returns the bytes it used. A pair
// of lead and trail byte that names no character (unassigned, or user-defined) is dropped
// whole; a byte that starts no pair is dropped alone, and the byte after it read on its own.
size_t AppendCharacter(std::string& out, const std::string& sjis, size_t i)
{
    const uint8_t b = static_cast<uint8_t>(sjis[i]);
    if (b < 0x80) {
        out += static_cast<char>(b);
        return 1;
    }
    if (b >= 0xA1 && b <= 0xDF) {
        AppendUtf8(out, kHalfWidthKatakanaBase + (b - 0xA1));
        return 1;
    }
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    const uint8_t trail = i + 1 < sjis.size() ? static_cast<uint8_t>(sjis[i + 1]) : 0;
    if (!lead || trail < 0x40 || trail > 0xFC || trail == 0x7F) return 1;
    if (const char32_t cp = CodePointFromShiftJis(b, trail)) AppendUtf8(out, cp);
    return 2;
}

// Keeps tab and line feed, turns CR and CR LF into a line feed, drops the other C0 controls
// (the table gives no C1 control, which XML readers reject or flag).
void AppendControl(std::string& out, const std::string& sjis, size_t& i)
{
    if (sjis[i] == '\r') {
        out += '\n';
        if (i + 1 < sjis.size() && sjis[i + 1] == '\n') ++i;
    } else if (sjis[i] == '\t' || sjis[i] == '\n') {
        out += sjis[i];
    }
    ++i;
}

}  // namespace

std::string ShiftJisToXmlUtf8(const std::string& sjis)
{
    std::string out;
    out.reserve(sjis.size() + sjis.size() / 2);
    for (size_t i = 0; i < sjis.size();) {
        if (static_cast<uint8_t>(sjis[i]) < 0x20) AppendControl(out, sjis, i);
        else i += AppendCharacter(out, sjis, i);
    }
    return out;
}
