#include "support/arib_encoder.h"

#include "support/sjis_text.h"

#include <stdexcept>
#include <string>

namespace {

constexpr uint8_t kEsc = 0x1B;

// ー 。 「 」 、 ・ stand at 0x79-0x7E of both kana sets.
int KanaPunctuation(char32_t cp)
{
    constexpr char32_t marks[6] = {U'ー', U'。', U'「', U'」', U'、', U'・'};
    for (int i = 0; i < 6; ++i) {
        if (marks[i] == cp) return 0x79 + i;
    }
    return 0;
}

// Full-width forms the alphanumeric set yields as such (not " ' \ ` ~, which it gives otherwise).
bool IsFullWidthAlphanumeric(char32_t cp)
{
    if (cp < 0xFF01 || cp > 0xFF5E) return false;
    const char32_t ascii = cp - 0xFF00 + 0x20;
    return ascii != '"' && ascii != '\'' && ascii != '\\' && ascii != '`' && ascii != '~';
}

}  // namespace

AribTextEncoder& AribTextEncoder::Text(std::u8string_view utf8)
{
    return Text(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

AribTextEncoder& AribTextEncoder::Text(std::string_view utf8)
{
    for (const char32_t cp : DecodeUtf8(utf8)) Character(cp);
    return *this;
}

void AribTextEncoder::Character(char32_t cp)
{
    if (cp == ' ') return Alphanumeric(0x60, true);  // half-width space: ` in middle size
    if (cp > 0x20 && cp < 0x7F && cp != '`') return Alphanumeric(static_cast<uint8_t>(cp), true);
    if (IsFullWidthAlphanumeric(cp)) return Alphanumeric(static_cast<uint8_t>(cp - 0xFF00 + 0x20), false);
    if (cp >= U'ぁ' && cp <= U'ん') return Kana(static_cast<uint8_t>(0x21 + (cp - U'ぁ')), 2);
    if (cp == U'ゝ' || cp == U'ゞ') return Kana(static_cast<uint8_t>(0x77 + (cp - U'ゝ')), 2);
    if (cp >= U'ァ' && cp <= U'ヶ') return Kana(static_cast<uint8_t>(0x21 + (cp - U'ァ')), 3);
    if (cp == U'ヽ' || cp == U'ヾ') return Kana(static_cast<uint8_t>(0x77 + (cp - U'ヽ')), 3);
    if (const int mark = KanaPunctuation(cp); mark != 0) {
        return Kana(static_cast<uint8_t>(mark), m_gr);  // whichever kana set GR holds has it
    }
    if (cp == '\n') {
        LineBreak();
        return;
    }
    const uint16_t jis = JisFromCodePoint(cp);
    if (jis == 0) throw std::invalid_argument("no ARIB code for U+" + std::to_string(static_cast<uint32_t>(cp)));
    Kanji(jis);
}

void AribTextEncoder::Kanji(uint16_t jis)
{
    if (m_gl != 0) m_bytes.push_back(0x0F);  // LS0
    m_gl = 0;
    m_bytes.push_back(static_cast<uint8_t>(jis >> 8));
    m_bytes.push_back(static_cast<uint8_t>(jis & 0xFF));
}

void AribTextEncoder::Alphanumeric(uint8_t code, bool halfWidth)
{
    if (m_gl != 1) m_bytes.push_back(0x0E);  // LS1
    m_gl = 1;
    if (halfWidth != m_middleSize) m_bytes.push_back(halfWidth ? 0x89 : 0x8A);  // MSZ / NSZ
    m_middleSize = halfWidth;
    m_bytes.push_back(code);
}

void AribTextEncoder::Kana(uint8_t code, int element)
{
    if (m_gr != element) {
        m_bytes.push_back(kEsc);
        m_bytes.push_back(element == 2 ? 0x7D : 0x7C);  // LS2R / LS3R
    }
    m_gr = element;
    m_bytes.push_back(static_cast<uint8_t>(code | 0x80));
}

AribTextEncoder& AribTextEncoder::Symbol(uint16_t code)
{
    if (m_gl != 0) m_bytes.push_back(0x0F);
    m_gl = 0;
    // ESC $ ; designates the additional symbols to G0, ESC $ B gives G0 back to Kanji.
    m_bytes.insert(m_bytes.end(), {kEsc, 0x24, 0x3B, static_cast<uint8_t>(code >> 8),
                                   static_cast<uint8_t>(code & 0xFF), kEsc, 0x24, 0x42});
    return *this;
}

AribTextEncoder& AribTextEncoder::LineBreak()
{
    m_bytes.push_back(0x0D);
    return *this;
}

AribTextEncoder& AribTextEncoder::Raw(std::initializer_list<uint8_t> bytes)
{
    m_bytes.insert(m_bytes.end(), bytes);
    return *this;
}

std::vector<uint8_t> EncodeArib(std::u8string_view utf8)
{
    return AribTextEncoder().Text(utf8).Bytes();
}

std::vector<uint8_t> EncodeArib(std::string_view utf8)
{
    return AribTextEncoder().Text(utf8).Bytes();
}
