#include "aribtext/arib_decoder.h"

#include "aribtext/arib_tables.h"

namespace {

// Control codes of ARIB STD-B24 Part 2 that change what the decoder produces.
constexpr uint8_t kNul = 0x00;
constexpr uint8_t kApr = 0x0D;
constexpr uint8_t kLs1 = 0x0E;
constexpr uint8_t kLs0 = 0x0F;
constexpr uint8_t kSs2 = 0x19;
constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kSs3 = 0x1D;
constexpr uint8_t kMsz = 0x89;
constexpr uint8_t kNsz = 0x8A;
constexpr uint8_t kLineFeed = 0x0A;
constexpr uint8_t kDrcsIntermediate = 0x20;

enum ByteClass : uint8_t { kIgnore, kEnd, kGl, kGr, kShiftLs0, kShiftLs1, kSingleShift2,
                           kSingleShift3, kEscape, kLineBreak, kMiddleSize, kNormalSize };

constexpr std::array<uint8_t, 256> MakeByteClass()
{
    std::array<uint8_t, 256> t{};
    for (int b = 0x21; b <= 0x7E; ++b) t[b] = kGl;
    for (int b = 0xA1; b <= 0xFF; ++b) t[b] = kGr;
    t[kNul] = kEnd;
    t[kLs0] = kShiftLs0;
    t[kLs1] = kShiftLs1;
    t[kSs2] = kSingleShift2;
    t[kSs3] = kSingleShift3;
    t[kEsc] = kEscape;
    t[kApr] = kLineBreak;
    t[kMsz] = kMiddleSize;
    t[kNsz] = kNormalSize;
    return t;
}

constexpr std::array<uint8_t, 256> kByteClass = MakeByteClass();

// Appends whole characters while they leave room for the terminating NUL.
class TextSink {
public:
    TextSink(char* out, size_t capacity) : m_out(out), m_capacity(capacity) {}

    void Put1(uint8_t b)
    {
        if (m_pos + 2 < m_capacity) m_out[m_pos++] = static_cast<char>(b);
    }
    void Put2(uint16_t code)
    {
        if (m_pos + 3 < m_capacity) {
            m_out[m_pos] = static_cast<char>(code >> 8);
            m_out[m_pos + 1] = static_cast<char>(code & 0xFF);
            m_pos += 2;
        }
    }
    void PutText(const char* text)
    {
        size_t n = 0;
        while (text[n] != '\0') ++n;
        if (m_pos + n + 1 >= m_capacity) return;
        for (size_t i = 0; i < n; ++i) m_out[m_pos + i] = text[i];
        m_pos += n;
    }
    void Terminate() { m_out[m_pos + 1 < m_capacity ? m_pos : m_capacity - 1] = '\0'; }

private:
    char* m_out;
    size_t m_capacity;
    size_t m_pos = 0;
};

struct CodeState {
    // G0-G3 as GraphicSet values; GL and GR as indexes into them.
    uint8_t g[4] = {static_cast<uint8_t>(GraphicSet::Kanji), static_cast<uint8_t>(GraphicSet::Alphanumeric),
                    static_cast<uint8_t>(GraphicSet::Hiragana), static_cast<uint8_t>(GraphicSet::Katakana)};
    uint8_t gl = 0;
    uint8_t gr = 2;
    bool middleSize = false;

    void Designate(size_t element, uint8_t finalByte)
    {
        const uint8_t set = kGraphicSetByFinal[finalByte];
        if (set != kNoGraphicSet) g[element] = set;
    }
};

// JIS X 0208 row/cell (7-bit codes) to Shift-JIS, alike for every row: the first byte by
// the row, the second by the cell and the row's parity.
constexpr std::array<uint8_t, 128> MakeShiftJisLead()
{
    std::array<uint8_t, 128> t{};
    for (unsigned c1 = 0; c1 < 128; ++c1) t[c1] = static_cast<uint8_t>(((c1 + 1) >> 1) + (c1 <= 0x5E ? 0x70 : 0xB0));
    return t;
}

constexpr std::array<uint8_t, 256> MakeShiftJisTrail()
{
    std::array<uint8_t, 256> t{};  // [odd row][cell]: index (c1 & 1) << 7 | c2
    for (unsigned c2 = 0; c2 < 128; ++c2) {
        for (unsigned odd = 0; odd < 2; ++odd) {
            unsigned s2 = c2 + (odd ? 0x1F : 0x7D);
            if (s2 > 0x7E) ++s2;
            t[odd << 7 | c2] = static_cast<uint8_t>(s2);
        }
    }
    return t;
}

constexpr std::array<uint8_t, 128> kShiftJisLead = MakeShiftJisLead();
constexpr std::array<uint8_t, 256> kShiftJisTrail = MakeShiftJisTrail();

inline uint16_t JisToShiftJis(uint8_t c1, uint8_t c2)
{
    return static_cast<uint16_t>(kShiftJisLead[c1] << 8 | kShiftJisTrail[(c1 & 1) << 7 | c2]);
}

// Produces one character of `set` from the bytes at s, which the caller has bounded to its
// width. Every code is taken AND 0x7F, so bytes after a single shift that lie outside
// 0x21-0x7E reach the tables' entries for 0x00-0x20 and 0x7F rather than past them.
inline void PutCharacter(uint8_t set, const uint8_t* s, bool middleSize, TextSink& sink)
{
    const uint8_t c1 = s[0] & 0x7F;
    switch (static_cast<GraphicSet>(set)) {
    case GraphicSet::Kanji:
    case GraphicSet::JisCompatibleKanji1:
    case GraphicSet::JisCompatibleKanji2:
        sink.Put2(JisToShiftJis(c1, s[1] & 0x7F));
        break;
    case GraphicSet::Hiragana:
        sink.Put2(kHiraganaTable[c1]);
        break;
    case GraphicSet::Katakana:
        sink.Put2(kKatakanaTable[c1]);
        break;
    case GraphicSet::Alphanumeric:
        if (!middleSize) {
            sink.Put2(kFullWidthAlphanumericTable[c1]);
        } else if (kHalfWidthAlphanumericTable[c1] != 0) {
            sink.Put1(kHalfWidthAlphanumericTable[c1]);
        }
        break;
    case GraphicSet::AdditionalSymbols:
        if (const char* text = AdditionalSymbolText(static_cast<uint16_t>(c1 << 8 | (s[1] & 0x7F)))) {
            sink.PutText(text);
        }
        break;
    default:  // mosaics, proportional sets and JIS X 0201 katakana produce nothing
        break;
    }
}

// Designation whose final byte stands at s[at], or at s[at + 1] after the DRCS intermediate
// byte. Returns the bytes consumed, or 0 when the sequence is cut short.
size_t DesignateAt(const uint8_t* s, size_t avail, size_t at, size_t element, CodeState& state)
{
    if (avail <= at) return 0;
    if (s[at] != kDrcsIntermediate) {
        state.Designate(element, s[at]);
        return at + 1;
    }
    if (avail <= at + 1) return 0;
    state.Designate(element, s[at + 1]);
    return at + 2;
}

// ESC 0x24 ...: designations of the two-byte sets.
size_t MultiByteDesignation(const uint8_t* s, size_t avail, CodeState& state)
{
    if (avail < 3) return 0;
    switch (s[2]) {
    case 0x28:
        if (avail < 4) return 0;
        if (s[3] != kDrcsIntermediate) return 2;  // not a designation: ESC and 0x24 only
        if (avail < 5) return 0;
        state.Designate(0, s[4]);
        return 5;
    case 0x29:
    case 0x2A:
    case 0x2B:
        return DesignateAt(s, avail, 3, s[2] - 0x28u, state);
    default:
        state.Designate(0, s[2]);
        return 3;
    }
}

// Escape sequence at s (s[0] is ESC). Returns the bytes consumed, or 0 when cut short.
size_t Escape(const uint8_t* s, size_t avail, CodeState& state)
{
    if (avail < 2) return 0;
    switch (s[1]) {
    case 0x24: return MultiByteDesignation(s, avail, state);
    case 0x28:
    case 0x29:
    case 0x2A:
    case 0x2B: return DesignateAt(s, avail, 2, s[1] - 0x28u, state);
    case 0x6E: state.gl = 2; return 2;  // LS2
    case 0x6F: state.gl = 3; return 2;  // LS3
    case 0x7E: state.gr = 1; return 2;  // LS1R
    case 0x7D: state.gr = 2; return 2;  // LS2R
    case 0x7C: state.gr = 3; return 2;  // LS3R
    default: return 2;
    }
}

// One step at input[p]: returns the bytes consumed, or 0 to end decoding (NUL, or a
// character, single shift or escape sequence cut short by the end of the input).
inline size_t Step(const uint8_t* s, size_t avail, CodeState& state, TextSink& sink)
{
    uint8_t set;
    switch (kByteClass[s[0]]) {
    case kGl: set = state.g[state.gl]; break;
    case kGr: set = state.g[state.gr]; break;
    case kEnd: return 0;
    case kShiftLs0: state.gl = 0; return 1;
    case kShiftLs1: state.gl = 1; return 1;
    case kSingleShift2:
    case kSingleShift3: {
        const uint8_t shifted = state.g[s[0] == kSs2 ? 2 : 3];
        const size_t width = kGraphicSetWidth[shifted];
        if (avail <= width) return 0;
        PutCharacter(shifted, s + 1, state.middleSize, sink);
        return 1 + width;
    }
    case kEscape: return Escape(s, avail, state);
    case kLineBreak:
        sink.Put1(kApr);
        return (avail > 1 && s[1] == kLineFeed) ? 2 : 1;
    case kMiddleSize: state.middleSize = true; return 1;
    case kNormalSize: state.middleSize = false; return 1;
    default: return 1;
    }
    const size_t width = kGraphicSetWidth[set];
    if (avail < width) return 0;
    PutCharacter(set, s, state.middleSize, sink);
    return width;
}

}  // namespace

void DecodeAribText(const uint8_t* input, size_t inputLength, char* output, size_t outputCapacity)
{
    if (output == nullptr || outputCapacity == 0) return;
    TextSink sink(output, outputCapacity);
    CodeState state;
    size_t p = 0;
    while (input != nullptr && p < inputLength) {
        // Programme text is mostly Kanji and kana through GL and GR: take them without a call.
        const uint8_t b = input[p];
        const uint8_t cls = kByteClass[b];
        if (cls == kGl || cls == kGr) {
            const auto set = static_cast<GraphicSet>(state.g[cls == kGl ? state.gl : state.gr]);
            if (set == GraphicSet::Kanji) {
                if (p + 1 >= inputLength) break;
                sink.Put2(JisToShiftJis(b & 0x7F, input[p + 1] & 0x7F));
                p += 2;
                continue;
            }
            if (set == GraphicSet::Hiragana || set == GraphicSet::Katakana) {
                sink.Put2((set == GraphicSet::Hiragana ? kHiraganaTable : kKatakanaTable)[b & 0x7F]);
                ++p;
                continue;
            }
        }
        const size_t used = Step(input + p, inputLength - p, state, sink);
        if (used == 0) break;
        p += used;
    }
    sink.Terminate();
}
