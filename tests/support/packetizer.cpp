#include "support/packetizer.h"

#include <algorithm>

namespace {
constexpr size_t kPacket = 188;
constexpr size_t kPayload = 184;
}

Bytes MakePacket(uint16_t pid, bool unitStart, int cc, const Bytes& payload)
{
    Bytes p(kPacket, 0xFF);
    p[0] = 0x47;
    p[1] = static_cast<uint8_t>((unitStart ? 0x40 : 0x00) | (pid >> 8 & 0x1F));
    p[2] = static_cast<uint8_t>(pid);
    p[3] = static_cast<uint8_t>(0x10 | (cc & 0x0F));  // payload only
    std::copy_n(payload.begin(), std::min(payload.size(), kPayload), p.begin() + 4);
    return p;
}

Bytes Packetizer::Packetize(const std::vector<Bytes>& sections)
{
    Bytes all;
    std::vector<size_t> starts;
    for (const Bytes& s : sections) {
        starts.push_back(all.size());
        AppendBytes(all, s);
    }
    Bytes out;
    size_t pos = 0;
    size_t nextStart = 0;  // index into starts
    while (pos < all.size()) {
        // A packet gets PUSI when a section starts inside its payload.
        size_t room = kPayload;
        bool unitStart = nextStart < starts.size() && starts[nextStart] < pos + room;
        if (unitStart && starts[nextStart] - pos == kPayload - 1) {
            // A pointer_field of 183 would point past the payload: end this packet with one
            // stuffing byte and start the section in the next one.
            unitStart = false;
            room = kPayload - 1;
        }
        Bytes payload;
        if (unitStart) {
            payload.push_back(static_cast<uint8_t>(starts[nextStart] - pos));  // pointer_field
            room -= 1;
        }
        size_t take = std::min(room, all.size() - pos);
        payload.insert(payload.end(), all.begin() + static_cast<long>(pos), all.begin() + static_cast<long>(pos + take));
        pos += take;
        while (nextStart < starts.size() && starts[nextStart] < pos) ++nextStart;
        AppendBytes(out, MakePacket(m_pid, unitStart, m_cc, payload));
        m_cc = (m_cc + 1) & 0x0F;
    }
    return out;
}

Bytes MakeTotPacket(const BroadcastTime& jst, int cc)
{
    Bytes payload{0};  // pointer_field
    AppendBytes(payload, MakeTot(jst));
    return MakePacket(0x0014, true, cc, payload);
}

Bytes MakeNullPacket()
{
    Bytes p = MakePacket(0x1FFF, false, 0, {});
    return p;
}

std::vector<Bytes> CutBlocks(const Bytes& stream, const std::vector<size_t>& sizes)
{
    std::vector<Bytes> blocks;
    size_t pos = 0;
    for (size_t i = 0; pos < stream.size(); ++i) {
        size_t n = std::min(sizes.empty() ? stream.size() : sizes[i % sizes.size()], stream.size() - pos);
        if (n == 0) n = 1;
        blocks.emplace_back(stream.begin() + static_cast<long>(pos), stream.begin() + static_cast<long>(pos + n));
        pos += n;
    }
    return blocks;
}

void AppendBytes(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }
