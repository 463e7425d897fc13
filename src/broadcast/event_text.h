// Broadcast text of the rows and menus: decoded from raw ARIB bytes into a scratch buffer of
// the size the list has always used, then cut to the field's length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "broadcast/byte_reader.h"

constexpr uint8_t kShortEventTag = 0x4D;      // ARIB STD-B10 short event descriptor
constexpr uint8_t kComponentTag = 0x50;       // ARIB STD-B10 component descriptor
constexpr uint8_t kAudioComponentTag = 0xC4;  // ARIB STD-B10 audio component descriptor

// Cuts a NUL-terminated Shift-JIS string to at most maxBytes bytes. A double-byte character
// that would be split is dropped whole: a lone lead byte before the NUL makes multibyte
// string functions step over the terminator.
void CutShiftJis(char* text, size_t maxBytes);

// Decodes raw text with a scratch capacity of `scratch` bytes, cut to maxBytes, into out
// (outSize > maxBytes). An empty input gives an empty string.
void DecodeCut(const uint8_t* raw, size_t rawLength, size_t scratch, size_t maxBytes, char* out, size_t outSize);

// Scratch capacity for an event name or text of a short event descriptor.
inline size_t EventTextScratch(size_t rawLength) { return 2 * rawLength + 80; }
// Scratch capacity for a service or network name.
inline size_t NameScratch(size_t rawLength) { return rawLength + 40; }

// The two strings of a short event descriptor body (after the 3-byte language code). A string
// the body cannot hold is empty.
struct ShortEventStrings {
    const uint8_t* name = nullptr;
    uint8_t nameLength = 0;
    const uint8_t* text = nullptr;
    uint8_t textLength = 0;
};
ShortEventStrings ReadShortEvent(const Descriptor& descriptor);

// component_type (byte 3 of a component or audio component descriptor); 0 when absent.
uint8_t ComponentType(const Descriptor& descriptor);
