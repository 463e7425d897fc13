// Conversions between UTF-8, Unicode code points, JIS X 0208 and Shift-JIS (code page 932)
// for tests, so that expectations can be written as readable UTF-8 on every target. No iconv:
// the JIS X 0208 table is embedded (tools/gen_jis0208_table.py).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Plain literals are Shift-JIS here (-fexec-charset=CP932); u8 literals keep UTF-8 bytes.
std::string Utf8(std::u8string_view text);

// Code points of UTF-8 text; throws std::invalid_argument on malformed UTF-8.
std::u32string DecodeUtf8(std::string_view utf8);
void AppendUtf8(std::string& out, char32_t cp);

// JIS X 0208 code ((0x20 + row) << 8 | (0x20 + cell)) of a code point as code page 932 reads
// it, the lowest row first; 0 when it has none. A few common look-alikes are accepted too
// (WAVE DASH for the tilde, MINUS SIGN, DOUBLE VERTICAL LINE, EM DASH).
uint16_t JisFromCodePoint(char32_t cp);
// Code point of a JIS X 0208 code, or 0.
char32_t CodePointFromJis(uint16_t jis);

// Code point of a two-byte Shift-JIS code as code page 932 reads it (JIS X 0208 with the NEC
// and IBM extensions), or 0: a user-defined code (lead 0xF0-0xF9) or one with no character.
char32_t CodePointFromShiftJis(uint8_t lead, uint8_t trail);

// Shift-JIS bytes to UTF-8; bytes without a code point become U+FFFD.
std::string ShiftJisToUtf8(std::string_view sjis);
// UTF-8 to Shift-JIS (ASCII and JIS X 0208 only); throws std::invalid_argument otherwise.
std::string Utf8ToShiftJis(std::string_view utf8);
