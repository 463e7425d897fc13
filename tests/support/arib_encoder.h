// ARIB STD-B24 8-unit encoder for tests and the sample stream: readable Japanese in, the bytes
// a broadcaster sends out, so tests name programmes as people read them:
//     EncodeArib(u8"ニュース７")
// Kanji go to G0 through LS0, alphanumerics to G1 through LS1 (ASCII in middle size, full-width
// forms in normal size), hiragana and katakana to GR through LS2R and LS3R; additional symbols
// are designated into G0 for the one character and G0 goes back to Kanji.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class AribTextEncoder {
public:
    // Appends UTF-8 text; throws std::invalid_argument for a character the code cannot carry.
    // Plain literals are Shift-JIS in this project: pass u8 literals or UTF-8 strings.
    AribTextEncoder& Text(std::string_view utf8);
    AribTextEncoder& Text(std::u8string_view utf8);
    // Additional symbol by its 16-bit code, e.g. 0x7A56 for [字].
    AribTextEncoder& Symbol(uint16_t code);
    // APR: the line break.
    AribTextEncoder& LineBreak();
    // Bytes as they stand, e.g. controls; the encoder assumes they change no state.
    AribTextEncoder& Raw(std::initializer_list<uint8_t> bytes);

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    void Kanji(uint16_t jis);
    void Alphanumeric(uint8_t code, bool halfWidth);
    void Kana(uint8_t code, int element);
    void Character(char32_t cp);

    std::vector<uint8_t> m_bytes;
    int m_gl = 0;  // element GL refers to
    int m_gr = 2;  // element GR refers to
    bool m_middleSize = false;
};

std::vector<uint8_t> EncodeArib(std::u8string_view utf8);
std::vector<uint8_t> EncodeArib(std::string_view utf8);
