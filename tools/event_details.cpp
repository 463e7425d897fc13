#include "event_details.h"

#include "aribtext/arib_decoder.h"

namespace {

constexpr uint8_t kShortEventTag = 0x4D;
constexpr uint8_t kExtendedEventTag = 0x4E;
constexpr uint8_t kComponentTag = 0x50;
constexpr uint8_t kContentTag = 0x54;
constexpr unsigned kGenreExtension = 0xE;
constexpr unsigned kMpeg2Video = 0x01;
constexpr unsigned kH264Video = 0x05;
// Room for additional symbols, which grow to a few Shift-JIS characters each.
constexpr size_t kDecodeSlack = 16;

struct RawItem {
    std::vector<uint8_t> name;
    std::vector<uint8_t> text;
};

void ReadShortEvent(ByteReader body, EventDetails& out)
{
    body.Skip(3);  // ISO_639_language_code
    const uint8_t nameLength = body.U8();
    if (const uint8_t* name = body.Bytes(nameLength)) out.title = DecodeToShiftJis(name, nameLength);
    const uint8_t textLength = body.U8();
    if (const uint8_t* text = body.Bytes(textLength)) out.text = DecodeToShiftJis(text, textLength);
}

// An item whose description is empty goes on with the text of the item before it, split
// there because a descriptor was full.
void ReadExtendedEvent(ByteReader body, std::vector<RawItem>& items)
{
    body.Skip(4);  // descriptor_number, last_descriptor_number, ISO_639_language_code
    ByteReader loop = body.Sub(body.U8());
    while (loop.Remaining() >= 2) {
        const uint8_t nameLength = loop.U8();
        const uint8_t* name = loop.Bytes(nameLength);
        const uint8_t textLength = loop.U8();
        const uint8_t* text = loop.Bytes(textLength);
        if (!loop.Ok()) return;
        if (nameLength > 0 || items.empty()) items.push_back({std::vector<uint8_t>(name, name + nameLength), {}});
        items.back().text.insert(items.back().text.end(), text, text + textLength);
    }
}

void ReadContent(ByteReader body, EventDetails& out)
{
    while (out.genre < 0 && body.Remaining() >= 2) {
        const unsigned level1 = body.U8() >> 4;
        body.Skip(1);  // user_nibble
        if (level1 != kGenreExtension) out.genre = static_cast<int>(level1);
    }
}

void ReadComponent(ByteReader body, EventDetails& out)
{
    const unsigned streamContent = body.U8() & 0x0F;
    const uint8_t componentType = body.U8();
    if (body.Ok() && out.videoComponent < 0 && (streamContent == kMpeg2Video || streamContent == kH264Video))
        out.videoComponent = componentType;
}

void DecodeItems(const std::vector<RawItem>& raw, std::vector<EventItem>& out)
{
    for (const RawItem& item : raw)
        out.push_back({DecodeToShiftJis(item.name.data(), item.name.size()),
                       DecodeToShiftJis(item.text.data(), item.text.size())});
}

}  // namespace

std::string DecodeToShiftJis(const uint8_t* raw, size_t length)
{
    if (!raw || length == 0) return {};
    std::string out(length * 3 + kDecodeSlack, '\0');
    DecodeAribText(raw, length, out.data(), out.size());
    out.resize(out.find('\0') == std::string::npos ? out.size() : out.find('\0'));
    return out;
}

void ReadExtendedItems(ByteReader descriptors, std::vector<EventItem>& out)
{
    std::vector<RawItem> raw;
    Descriptor d;
    while (NextDescriptor(descriptors, d))
        if (d.tag == kExtendedEventTag) ReadExtendedEvent(ByteReader(d.body, d.length), raw);
    DecodeItems(raw, out);
}

void ReadEventDetails(ByteReader descriptors, EventDetails& out)
{
    std::vector<RawItem> raw;
    Descriptor d;
    while (NextDescriptor(descriptors, d)) {
        const ByteReader body(d.body, d.length);
        if (d.tag == kShortEventTag && out.title.empty()) ReadShortEvent(body, out);
        else if (d.tag == kExtendedEventTag) ReadExtendedEvent(body, raw);
        else if (d.tag == kContentTag) ReadContent(body, out);
        else if (d.tag == kComponentTag) ReadComponent(body, out);
    }
    DecodeItems(raw, out.items);
}
