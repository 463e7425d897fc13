#include "soak_files.h"

#include <cstring>

namespace {

constexpr size_t kHeaderBytes = 5;
constexpr ClockSeconds kJapanOffset = 9 * 3600;
constexpr size_t kFixedServiceBytes = 161;
constexpr int kSlotBlocks = 1024 + 2;

class Reader {
public:
    explicit Reader(const Bytes& bytes, size_t at = 0) : m_bytes(bytes), m_at(at) {}
    bool Has(size_t n) const { return m_at + n <= m_bytes.size(); }
    uint64_t Le(int n)
    {
        uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | m_bytes[m_at + static_cast<size_t>(i)];
        m_at += static_cast<size_t>(n);
        return v;
    }
    size_t At() const { return m_at; }
    void Skip(size_t n) { m_at += n; }

private:
    const Bytes& m_bytes;
    size_t m_at;
};

bool ReadSide(Reader& in, const Bytes& file, ExpectedSide& side)
{
    if (!in.Has(21)) return false;
    const auto start = static_cast<int64_t>(in.Le(8));
    const auto end = static_cast<int64_t>(in.Le(8));
    side.video = static_cast<uint8_t>(in.Le(1));
    side.audio = static_cast<uint8_t>(in.Le(1));
    side.genre = static_cast<uint8_t>(in.Le(1));
    const size_t length = in.Le(2);
    if (!in.Has(length)) return false;
    side.name.assign(file.begin() + static_cast<long>(in.At()), file.begin() + static_cast<long>(in.At() + length));
    in.Skip(length);
    side.start = start ? start + kJapanOffset : 0;
    side.end = start ? end + kJapanOffset : 0;
    if (!start) side = {};
    return true;
}

}  // namespace

std::optional<std::vector<ExpectedRecord>> ReadChangeLogFile(const Bytes& file)
{
    if (file.size() < kHeaderBytes || std::memcmp(file.data(), "Upd", 3) != 0) return std::nullopt;
    std::vector<ExpectedRecord> records;
    Reader in(file, kHeaderBytes);
    while (in.Has(2)) {
        ExpectedRecord record;
        record.serviceId = static_cast<uint16_t>(in.Le(2));
        if (!ReadSide(in, file, record.before) || !ReadSide(in, file, record.after)) break;
        records.push_back(record);
    }
    return records;
}

std::string CompareEventCaches(const Bytes& a, const Bytes& b)
{
    if (a.size() != b.size()) return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    if (a.size() < kHeaderBytes || std::memcmp(a.data(), b.data(), kHeaderBytes) != 0) return "headers";
    Reader in(a, kHeaderBytes);
    int service = 0;
    while (in.Has(kFixedServiceBytes)) {
        const size_t fixed = in.At();
        in.Skip(kFixedServiceBytes);
        if (std::memcmp(a.data() + fixed, b.data() + fixed, kFixedServiceBytes) != 0)
            return "service " + std::to_string(service) + " fields";
        for (int s = 0; s < kSlotBlocks; ++s) {
            if (!in.Has(4)) return "service " + std::to_string(service) + " cut short";
            in.Skip(2);  // the version-change counter
            const size_t at = in.At();
            const size_t length = in.Le(2);
            if (!in.Has(length)) return "service " + std::to_string(service) + " cut short";
            if (std::memcmp(a.data() + at, b.data() + at, length + 2) != 0)
                return "service " + std::to_string(service) + " slot block " + std::to_string(s);
            in.Skip(length);
        }
        ++service;
    }
    return in.At() == a.size() ? "" : "trailing bytes";
}

std::string Describe(const ExpectedRecord& record)
{
    const auto side = [](const ExpectedSide& s) {
        if (!s.start) return std::string("-");
        const BroadcastTime t = FromClock(s.start);
        return std::to_string(t.month) + "/" + std::to_string(t.day) + " " + std::to_string(t.hour) + ":" +
               std::to_string(t.minute) + "+" + std::to_string((s.end - s.start) / 60) + "min name " +
               std::to_string(s.name.size()) + "B v" + std::to_string(s.video) + " g" + std::to_string(s.genre);
    };
    return "service " + std::to_string(record.serviceId) + ": " + side(record.before) + " -> " + side(record.after);
}
