#include "capture_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned kStuffingPid = 0x1FFF;

size_t UnitTail(size_t stride) { return stride == kParityPacketSize ? stride : kTsPacketSize; }

}  // namespace

size_t ReadCaptureStream(void* context, uint8_t* out, size_t size, bool* failed)
{
    auto* file = static_cast<std::FILE*>(context);
    const size_t n = std::fread(out, 1, size, file);
    if (n < size && std::ferror(file)) *failed = true;
    return n;
}

size_t ReadMemoryCapture(void* context, uint8_t* out, size_t size, bool*)
{
    auto& source = *static_cast<MemoryCapture*>(context);
    const size_t n = std::min(size, source.size - source.position);
    if (n) std::memcpy(out, source.data + source.position, n);
    source.position += n;
    return n;
}

CaptureReader::CaptureReader(CaptureReadFunction read, void* context)
    : m_read(read), m_context(context), m_buffer(kReadBlockBytes + kSyncLookahead + kParityPacketSize)
{
}

// Keeps the unread bytes and reads behind them; false when nothing more came.
bool CaptureReader::Refill()
{
    if (m_atEnd) return false;
    std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
    m_bufferOffset += m_pos;
    m_end -= m_pos;
    m_pos = 0;
    bool failed = false;
    size_t got = 0;
    while (m_end < m_buffer.size() && !m_atEnd) {
        const size_t n = m_read(m_context, m_buffer.data() + m_end, m_buffer.size() - m_end, &failed);
        m_end += n;
        got += n;
        m_stats.bytesRead += n;
        if (n == 0 || failed) m_atEnd = true;
        if (m_end - m_pos >= kReadBlockBytes) break;
    }
    m_stats.readError |= failed;
    return got > 0;
}

void CaptureReader::Skip(uint64_t offset, uint64_t bytes)
{
    if (bytes == 0) return;
    m_stats.skippedBytes += bytes;
    if (m_stats.skipCount++ < kMaxSkipsKept) m_stats.skips.push_back({offset, bytes});
}

// Finds sync from m_pos on; false at the end of the input without it.
bool CaptureReader::Lock()
{
    for (;;) {
        if (m_end - m_pos < kSyncLookahead && !m_atEnd) Refill();
        const SyncSearch found = FindSync(m_buffer.data() + m_pos, m_end - m_pos, m_atEnd, m_stats.stride);
        if (found.outcome == SyncSearch::kFound) {
            const uint64_t sync = m_bufferOffset + m_pos + found.position;
            const uint64_t unitStart = sync >= LeadBytes(found.stride) ? sync - LeadBytes(found.stride) : 0;
            if (unitStart > m_consumedEnd) Skip(m_consumedEnd, unitStart - m_consumedEnd);
            m_pos += found.position;
            m_stride = found.stride;
            m_stats.stride = found.stride;
            return true;
        }
        if (found.outcome == SyncSearch::kNone) {
            const uint64_t end = m_bufferOffset + m_end;
            if (end > m_consumedEnd) Skip(m_consumedEnd, end - m_consumedEnd);
            m_consumedEnd = end;
            m_pos = m_end;
            return false;
        }
        m_pos += found.position;  // decided up to here; the rest waits for more data
        Refill();
    }
}

bool CaptureReader::Next(PacketRun& run)
{
    for (;;) {
        if (m_stride == 0 && !Lock()) return false;
        const size_t tail = UnitTail(m_stride);
        // Before the end, a 192-byte unit is taken with the next one's prefix in hand.
        const size_t need = m_atEnd ? tail : std::max(tail, m_stride);
        if (m_end - m_pos < need) {
            if (Refill() || m_end - m_pos >= tail) continue;
            // The input ends inside a packet, or in bytes that start none.
            if (m_end > m_pos && m_buffer[m_pos] == kSyncByte) m_stats.truncatedTail = m_end - m_pos + LeadBytes(m_stride);
            else Skip(m_consumedEnd, m_bufferOffset + m_end - m_consumedEnd);
            m_consumedEnd = m_bufferOffset + m_end;
            m_pos = m_end;
            return false;
        }
        const uint8_t* data = m_buffer.data();
        size_t p = m_pos;
        size_t count = 0;
        while (p + need <= m_end && data[p] == kSyncByte) {
            ++count;
            p += m_stride;
        }
        if (count == 0) {
            m_stride = 0;  // lost sync: search again from this packet's place
            continue;
        }
        run = {data + m_pos, count, m_stride};
        for (size_t k = 0; k < count && m_stats.onlyStuffing; ++k) {
            const uint8_t* packet = run.first + k * m_stride;
            m_stats.onlyStuffing = ((packet[1] & 0x1Fu) << 8 | packet[2]) == kStuffingPid;
        }
        m_stats.packets += count;
        m_consumedEnd = m_bufferOffset + m_pos + (count - 1) * m_stride + tail;
        m_pos = std::min(p, m_end);
        return true;
    }
}
