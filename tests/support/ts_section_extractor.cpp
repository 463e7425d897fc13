#include "support/ts_section_extractor.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace {

constexpr size_t kPacketSize = 188;

void TakeWholeSections(std::vector<uint8_t>& pending, std::vector<std::vector<uint8_t>>& out)
{
    while (pending.size() >= 3 && pending[0] != 0xFF) {
        const size_t length = 3 + ((pending[1] & 0x0F) << 8 | pending[2]);
        if (pending.size() < length) return;
        out.emplace_back(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(length));
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(length));
    }
    if (!pending.empty() && pending[0] == 0xFF) pending.clear();  // stuffing
}

// Bytes [at, at + n) of `data`, clamped to its end; `at` moves past them.
std::vector<uint8_t> Take(const std::vector<uint8_t>& data, size_t& at, size_t n)
{
    const size_t begin = std::min(at, data.size());
    const size_t end = std::min(begin + n, data.size());
    at = end;
    return std::vector<uint8_t>(data.begin() + static_cast<std::ptrdiff_t>(begin),
                                data.begin() + static_cast<std::ptrdiff_t>(end));
}

uint8_t ByteAt(const std::vector<uint8_t>& data, size_t at)
{
    return at < data.size() ? data[at] : 0;
}

void CollectDescriptors(const std::vector<uint8_t>& s, size_t begin, size_t end, uint8_t tag,
                        std::vector<std::vector<uint8_t>>& out)
{
    while (begin + 2 <= end) {
        const size_t length = s[begin + 1];
        if (begin + 2 + length > end) return;
        if (s[begin] == tag) out.emplace_back(s.begin() + static_cast<std::ptrdiff_t>(begin),
                                              s.begin() + static_cast<std::ptrdiff_t>(begin + 2 + length));
        begin += 2 + length;
    }
}

}  // namespace

std::vector<std::vector<uint8_t>> ExtractSections(const std::vector<uint8_t>& ts, uint16_t pid)
{
    std::vector<std::vector<uint8_t>> sections;
    std::vector<uint8_t> pending;
    bool started = false;
    for (size_t at = 0; at + kPacketSize <= ts.size(); at += kPacketSize) {
        const uint8_t* packet = &ts[at];
        if (packet[0] != 0x47 || ((packet[1] & 0x1F) << 8 | packet[2]) != pid) continue;
        const bool unitStart = (packet[1] & 0x40) != 0;
        const unsigned adaptation = packet[3] >> 4 & 3;
        if (!(adaptation & 1)) continue;
        size_t pos = 4 + ((adaptation & 2) ? 1 + packet[4] : 0);
        if (pos >= kPacketSize) continue;
        if (unitStart) {
            const size_t pointer = packet[pos++];
            if (pos + pointer > kPacketSize) continue;
            if (started) pending.insert(pending.end(), packet + pos, packet + pos + pointer);
            TakeWholeSections(pending, sections);
            pending.clear();
            pos += pointer;
            started = true;
        }
        if (!started) continue;
        pending.insert(pending.end(), packet + pos, packet + kPacketSize);
        TakeWholeSections(pending, sections);
    }
    return sections;
}

std::vector<std::vector<uint8_t>> SitDescriptors(const std::vector<uint8_t>& s, uint8_t tag)
{
    std::vector<std::vector<uint8_t>> out;
    if (s.size() < 14 || s[0] != 0x7F) return out;
    const size_t end = s.size() - 4;  // CRC_32
    const size_t infoLength = (s[8] & 0x0F) << 8 | s[9];
    size_t at = std::min(end, 10 + infoLength);
    CollectDescriptors(s, 10, at, tag, out);
    while (at + 4 <= end) {  // service_id, running_status and service_loop_length
        const size_t loopLength = (s[at + 2] & 0x0F) << 8 | s[at + 3];
        const size_t loopEnd = std::min(end, at + 4 + loopLength);
        CollectDescriptors(s, at + 4, loopEnd, tag, out);
        at = loopEnd;
    }
    return out;
}

ShortEventText ReadShortEvent(const std::vector<uint8_t>& d)
{
    ShortEventText event;
    size_t at = 5;  // tag, length, ISO 639 language code
    const size_t nameLength = ByteAt(d, at++);
    event.name = Take(d, at, nameLength);
    const size_t textLength = ByteAt(d, at++);
    event.text = Take(d, at, textLength);
    return event;
}

std::vector<ExtendedEventItem> ReadExtendedEventItems(const std::vector<uint8_t>& d)
{
    std::vector<ExtendedEventItem> items;
    size_t at = 6;  // tag, length, numbers, ISO 639 language code
    const size_t itemsEnd = std::min(d.size(), at + 1 + ByteAt(d, at));
    ++at;
    while (at + 2 <= itemsEnd) {
        ExtendedEventItem item;
        const size_t descriptionLength = ByteAt(d, at++);
        item.description = Take(d, at, std::min(descriptionLength, itemsEnd - std::min(at, itemsEnd)));
        const size_t textLength = ByteAt(d, at++);
        item.text = Take(d, at, std::min(textLength, itemsEnd - std::min(at, itemsEnd)));
        items.push_back(std::move(item));
    }
    return items;
}

