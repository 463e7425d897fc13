#include "ts/stream_parser.h"

#include <cstring>
#include <new>

#include "store/event_cache.h"
#include "store/programme_store.h"
#include "broadcast/broadcast_time.h"
#include "ts/crc32.h"
#include "ts/table_handlers.h"

namespace {

constexpr int kHeaderBytes = 4;
constexpr int kPayloadBytes = kPacketSize - kHeaderBytes;  // 184
constexpr int kMaxPointerField = kPayloadBytes - 1;        // 183
constexpr int kBufferSlack = 200;
constexpr uint8_t kStuffing = 0xFF;

using TableHandler = void (*)(StreamParser&, const uint8_t*, int);

TableHandler HandlerOf(int pid)
{
    switch (pid) {
    case kPidNit: return HandleNitSection;
    case kPidSdt: return HandleSdtSection;
    case kPidEit: return HandleEitSection;
    default: return nullptr;
    }
}

bool Append(PidBuffer& buffer, const uint8_t* bytes, int n)
{
    if (n <= 0) return true;
    if (!buffer.data || buffer.capacity < buffer.fill + n) {
        int capacity = buffer.fill + n + kBufferSlack;
        uint8_t* storage = new (std::nothrow) uint8_t[capacity];
        if (!storage) return false;
        if (buffer.data) std::memcpy(storage, buffer.data, buffer.fill);
        delete[] buffer.data;
        buffer.data = storage;
        buffer.capacity = capacity;
    }
    std::memcpy(buffer.data + buffer.fill, bytes, n);
    buffer.fill += n;
    return true;
}

void Empty(PidBuffer& buffer)
{
    buffer.fill = 0;
    buffer.reserved = 0;
}

// ARIB STD-B10 TOT: JST_time (MJD and BCD time) at bytes 8 to 12 of the packet. Read in
// place whatever the pointer_field or CRC, as the broadcast clock only needs the time.
void TakeTot(StreamParser& parser, const uint8_t* packet)
{
    if (packet[5] != kTableIdTot) return;
    CalendarDate date = MjdToDate(static_cast<uint16_t>(packet[8] << 8 | packet[9]));
    parser.totYear = date.year;
    parser.totMonth = date.month;
    parser.totDay = date.day;
    parser.totHour = Bcd(packet[10]);
    parser.totMinute = Bcd(packet[11]);
    parser.totSecond = Bcd(packet[12]);
    parser.totTime = LocalTimeStamp(date.year, date.month, date.day, parser.totHour, parser.totMinute,
                                    parser.totSecond);
}

void BuildSection(StreamParser& parser, int pid, const uint8_t* packet)
{
    PidBuffer*& slot = parser.pidBuffers[pid];
    if (!slot) {
        slot = new (std::nothrow) PidBuffer();
        if (!slot) return;
    }
    PidBuffer& buffer = *slot;
    const bool unitStart = packet[1] & 0x40;
    const int cc = packet[3] & 0x0F;
    const int pointer = packet[4];
    // A pointer_field beyond the payload cannot be: the packet is corrupt, so the section
    // in progress is dropped and nothing of this packet is taken.
    const bool badPointer = unitStart && pointer > kMaxPointerField;

    if (buffer.fill != 0 && cc == buffer.nextCC) {
        if (badPointer) {
            Empty(buffer);
        } else if (!unitStart) {
            if (Append(buffer, packet + kHeaderBytes, kPayloadBytes)) ProcessSections(parser, pid);
        } else if (Append(buffer, packet + kHeaderBytes + 1, pointer)) {
            ProcessSections(parser, pid);
        }
    }
    buffer.nextCC = (cc + 1) & 0x0F;
    if (unitStart) {
        Empty(buffer);
        if (badPointer) return;
        if (Append(buffer, packet + kHeaderBytes + 1 + pointer, kMaxPointerField - pointer))
            ProcessSections(parser, pid);
    }
}

}  // namespace

namespace {

void ReleaseSectionBuffers(StreamParser& parser)
{
    for (PidBuffer*& buffer : parser.pidBuffers) {
        if (!buffer) continue;
        delete[] buffer->data;
        delete buffer;
        buffer = nullptr;
    }
}

}  // namespace

StreamParser::~StreamParser() { ReleaseSectionBuffers(*this); }

void ClearProgrammeData(StreamParser& parser)
{
    ClearStore(parser.store);
    ReleaseSectionBuffers(parser);
}

void MoveLoadedCache(ProgrammeStore& loaded, StreamParser& target)
{
    MoveLoadedStore(loaded, target.store);
    ReleaseSectionBuffers(target);
}

void TakePacket(StreamParser& parser, const uint8_t* packet)
{
    if (parser.suspended) return;
    const int pid = (packet[1] & 0x1F) << 8 | packet[2];
    switch (pid) {
    case kPidTot: TakeTot(parser, packet); break;
    case kPidNit:
    case kPidSdt: BuildSection(parser, pid, packet); break;
    case kPidEit:
        if (parser.totYear != 0) BuildSection(parser, pid, packet);
        break;
    default: break;
    }
}

size_t TakePackets(StreamParser& parser, const uint8_t* data, size_t size)
{
    const size_t count = data ? size / kPacketSize : 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* packet = data + i * kPacketSize;
        // Most packets are audio and video: one look at the PID decides.
        const unsigned pidHigh = packet[1] & 0x1F;
        const unsigned pidLow = packet[2];
        if (pidHigh == 0 && pidLow - kPidNit <= kPidTot - kPidNit) TakePacket(parser, packet);
    }
    return count;
}

namespace {

enum class Intake { Dropped, Repeat, Handle };

// Broadcast repeats its carousels: most EIT sections arrive equal to the one already stored
// and are done with as soon as that is known. The CRC check is for the others.
Intake Classify(StreamParser& parser, int pid, const uint8_t* section, int total)
{
    const size_t size = static_cast<size_t>(total);
    if (parser.plainIntake) return Crc32Slicing(section, size) == 0 ? Intake::Handle : Intake::Dropped;
    if (pid == kPidEit && IsStoredEitSection(parser, section, total)) return Intake::Repeat;
    return Crc32(section, size) == 0 ? Intake::Handle : Intake::Dropped;
}

}  // namespace

void ProcessSections(StreamParser& parser, int pid)
{
    PidBuffer* buffer = parser.pidBuffers[pid];
    TableHandler handler = HandlerOf(pid);
    if (!buffer || !handler) return;
    // Sections are consumed from `offset`; the remainder moves to the start once, at the end.
    int offset = 0;
    for (;;) {
        const int available = buffer->fill - offset;
        if (available <= 3) break;
        const uint8_t* section = buffer->data + offset;
        const int sectionLength = (section[1] & 0x0F) << 8 | section[2];
        if (sectionLength > kMaxSectionLength) {
            // No section is this long: what is buffered is not a section start. Dropped
            // like a CRC failure, which also bounds the buffer's growth.
            Empty(*buffer);
            return;
        }
        const int total = sectionLength + 3;
        if (available < total) break;
        const Intake intake = Classify(parser, pid, section, total);
        if (intake == Intake::Dropped) {
            Empty(*buffer);
            return;
        }
        ++parser.sectionCount;
        if (parser.sectionTap) parser.sectionTap(parser.sectionTapContext, pid, section, total);
        if (intake == Intake::Handle)
            handler(parser, section, total);
        else
            ++parser.repeatCount;
        offset += total;
        if (available == total || buffer->data[offset] == kStuffing) {
            Empty(*buffer);
            return;
        }
    }
    if (offset > 0) {
        std::memmove(buffer->data, buffer->data + offset, buffer->fill - offset);
        buffer->fill -= offset;
    }
}

void ResetSectionBuffers(StreamParser& parser)
{
    for (PidBuffer* buffer : parser.pidBuffers)
        if (buffer) Empty(*buffer);
}
