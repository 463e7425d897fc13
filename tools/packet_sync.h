// Where the packets of a capture are: the packet size (188; 192 with a 4-byte time-code
// prefix, as in BDAV/M2TS files; 204 with 16 bytes of Reed-Solomon parity) and the position
// of a sync byte, found from the data alone. A place counts as in sync when several packets
// in a row keep the sync byte at the stride, so that a stray 0x47 in damaged data is not
// taken for a packet.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint8_t kSyncByte = 0x47;
constexpr size_t kTsPacketSize = 188;
constexpr size_t kTimeCodedPacketSize = 192;
constexpr size_t kParityPacketSize = 204;
constexpr size_t kSyncConfirmPackets = 5;
// Bytes a search needs past a candidate to confirm it at the widest stride.
constexpr size_t kSyncLookahead = (kSyncConfirmPackets - 1) * kParityPacketSize + 1;

// Bytes before the sync byte that belong to a packet unit of this stride.
inline size_t LeadBytes(size_t stride) { return stride == kTimeCodedPacketSize ? 4 : 0; }

struct SyncSearch {
    enum Outcome { kFound, kNeedMore, kNone } outcome = kNone;
    size_t position = 0;  // kFound: the sync byte; kNeedMore: the first undecided place
    size_t stride = 0;
};

// Searches data[0, size) for the first sync byte confirmed at some stride, trying
// `preferredStride` first (0 for none). Without `atEnd`, a candidate too near the end to
// confirm stops the search with kNeedMore; at the end of the input the packets that fit
// are enough, if there is at least one.
SyncSearch FindSync(const uint8_t* data, size_t size, bool atEnd, size_t preferredStride = 0);
