#include "broadcast/event_text.h"

#include <cstring>

#include "aribtext/arib_decoder.h"

namespace {

constexpr size_t kMaxScratch = 2 * 255 + 80;  // the largest scratch: a 255-byte event text

bool IsShiftJisLead(uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace

void CutShiftJis(char* text, size_t maxBytes)
{
    size_t at = 0;
    while (text[at] != '\0') {
        const size_t step = IsShiftJisLead(static_cast<uint8_t>(text[at])) && text[at + 1] != '\0' ? 2 : 1;
        if (at + step > maxBytes) break;
        at += step;
    }
    text[at] = '\0';
}

void DecodeCut(const uint8_t* raw, size_t rawLength, size_t scratch, size_t maxBytes, char* out, size_t outSize)
{
    out[0] = '\0';
    if (!raw || rawLength == 0 || outSize == 0) return;
    char buffer[kMaxScratch + 1];
    const size_t capacity = scratch < sizeof buffer ? scratch : sizeof buffer;
    buffer[0] = '\0';
    DecodeAribText(raw, rawLength, buffer, capacity);
    CutShiftJis(buffer, maxBytes < outSize - 1 ? maxBytes : outSize - 1);
    std::memcpy(out, buffer, std::strlen(buffer) + 1);
}

ShortEventStrings ReadShortEvent(const Descriptor& descriptor)
{
    ShortEventStrings strings;
    ByteReader body(descriptor.body, descriptor.length);
    body.Skip(3);  // ISO_639_language_code
    strings.nameLength = body.U8();
    strings.name = body.Bytes(strings.nameLength);
    if (!strings.name) {
        strings.nameLength = 0;
        return strings;
    }
    strings.textLength = body.U8();
    strings.text = body.Bytes(strings.textLength);
    if (!strings.text) strings.textLength = 0;
    return strings;
}

uint8_t ComponentType(const Descriptor& descriptor)
{
    return descriptor.length >= 2 ? descriptor.body[1] : 0;
}
