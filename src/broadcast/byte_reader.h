// Bounded big-endian reader over a byte span. Every length field opens a sub-reader
// clamped to what its parent has left, so no length inside the data can move a read
// outside the span. A failed read is sticky: it consumes nothing and yields zeros.
#pragma once

#include <cstddef>
#include <cstdint>

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

    size_t Remaining() const { return m_size - m_pos; }
    size_t Position() const { return m_pos; }
    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_pos >= m_size; }
    const uint8_t* Current() const { return m_data + m_pos; }

    bool Has(size_t n) const { return m_ok && n <= Remaining(); }

    uint8_t U8()
    {
        if (!Has(1)) return Fail(), 0;
        return m_data[m_pos++];
    }
    uint16_t U16()
    {
        if (!Has(2)) return Fail(), 0;
        uint16_t v = static_cast<uint16_t>(m_data[m_pos] << 8 | m_data[m_pos + 1]);
        m_pos += 2;
        return v;
    }
    uint32_t U24()
    {
        if (!Has(3)) return Fail(), 0;
        uint32_t v = uint32_t(m_data[m_pos]) << 16 | uint32_t(m_data[m_pos + 1]) << 8 | m_data[m_pos + 2];
        m_pos += 3;
        return v;
    }
    // Low 12 bits of the next two bytes: every loop length of ISO/IEC 13818-1 and ARIB STD-B10.
    uint16_t Length12() { return U16() & 0x0FFF; }

    bool Skip(size_t n)
    {
        if (!Has(n)) return Fail(), false;
        m_pos += n;
        return true;
    }
    // Pointer to n bytes and advance; null (and failure) when fewer remain.
    const uint8_t* Bytes(size_t n)
    {
        if (!Has(n)) return Fail(), nullptr;
        const uint8_t* p = m_data + m_pos;
        m_pos += n;
        return p;
    }
    // Sub-reader over the next n bytes, clamped to what is left; the parent skips them all.
    ByteReader Sub(size_t n)
    {
        if (!m_ok) return ByteReader();
        size_t take = n < Remaining() ? n : Remaining();
        ByteReader sub(m_data + m_pos, take);
        m_pos += take;
        return sub;
    }

private:
    void Fail() { m_ok = false; }

    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    bool m_ok = true;
};

// One descriptor (tag, length, body) of a descriptor loop.
struct Descriptor {
    uint8_t tag = 0;
    const uint8_t* body = nullptr;
    uint8_t length = 0;
};

// Walks a descriptor loop; stops at the first descriptor whose body runs past the loop.
inline bool NextDescriptor(ByteReader& loop, Descriptor& out)
{
    if (loop.Remaining() < 2) return false;
    uint8_t tag = loop.U8();
    uint8_t length = loop.U8();
    const uint8_t* body = loop.Bytes(length);
    if (!body) return false;
    out.tag = tag;
    out.body = body;
    out.length = length;
    return true;
}
