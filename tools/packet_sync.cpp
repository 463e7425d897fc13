#include "packet_sync.h"

#include <cstring>

namespace {

enum class Confirm { kYes, kNo, kUndecided };

Confirm ConfirmAt(const uint8_t* data, size_t size, size_t at, size_t stride, bool atEnd)
{
    // The packet unit itself must fit: its 188 bytes and, for 204, the parity.
    const size_t unitTail = stride == kParityPacketSize ? stride : kTsPacketSize;
    size_t confirmed = 0;
    for (size_t k = 0; k < kSyncConfirmPackets; ++k) {
        const size_t pos = at + k * stride;
        if (pos + unitTail > size) break;
        if (data[pos] != kSyncByte) return Confirm::kNo;
        ++confirmed;
    }
    if (confirmed == kSyncConfirmPackets) return Confirm::kYes;
    if (!atEnd) return Confirm::kUndecided;
    return confirmed > 0 ? Confirm::kYes : Confirm::kNo;
}

// A time code's bytes can hold 0x47 at the stride too (its top byte changes slowly): the
// sync byte is the last place of the unit's first five that confirms.
size_t SyncInTimeCodedUnit(const uint8_t* data, size_t size, size_t at, size_t stride, bool atEnd)
{
    if (stride != kTimeCodedPacketSize) return at;
    for (size_t k = LeadBytes(stride); k > 0; --k)
        if (data[at + k] == kSyncByte && ConfirmAt(data, size, at + k, stride, atEnd) == Confirm::kYes) return at + k;
    return at;
}

}  // namespace

SyncSearch FindSync(const uint8_t* data, size_t size, bool atEnd, size_t preferredStride)
{
    const size_t strides[] = {preferredStride, kTsPacketSize, kTimeCodedPacketSize, kParityPacketSize};
    SyncSearch result;
    size_t at = 0;
    while (at < size) {
        const void* hit = std::memchr(data + at, kSyncByte, size - at);
        if (!hit) break;
        at = static_cast<size_t>(static_cast<const uint8_t*>(hit) - data);
        bool undecided = false;
        for (size_t stride : strides) {
            if (stride == 0) continue;
            const Confirm c = ConfirmAt(data, size, at, stride, atEnd);
            if (c == Confirm::kYes) return {SyncSearch::kFound, SyncInTimeCodedUnit(data, size, at, stride, atEnd), stride};
            undecided |= c == Confirm::kUndecided;
        }
        // A wider stride might still confirm here once more data has come.
        if (undecided) return {SyncSearch::kNeedMore, at, 0};
        ++at;
    }
    result.position = size;
    result.outcome = atEnd ? SyncSearch::kNone : SyncSearch::kNeedMore;
    return result;
}
