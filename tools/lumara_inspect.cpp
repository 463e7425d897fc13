// Reads a transport-stream file through the intake exactly as the plug-in does and
// prints what ended up in the parser: the broadcast clock and every stored service with
// its section counts.
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "store/service_entry.h"
#include "ts/stream_parser.h"

namespace {

bool ReadFile(const char* path, std::vector<uint8_t>& out)
{
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// 188-byte packets, or 192-byte packets with a 4-byte time-code prefix.
size_t PacketStride(const std::vector<uint8_t>& data)
{
    for (size_t stride : {188u, 192u}) {
        size_t offset = stride - 188;
        int synced = 0;
        for (size_t i = 0; i < 8 && offset + (i + 1) * stride <= data.size() + stride - 188; ++i)
            synced += data[offset + i * stride] == 0x47;
        if (synced >= 4 || (data.size() < 8 * stride && synced > 0)) return stride;
    }
    return 188;
}

int CountFilled(const SectionSlot* slots, int count)
{
    int n = 0;
    for (int i = 0; i < count; ++i) n += slots[i].data != nullptr;
    return n;
}

// Sections the intake completed with a valid CRC, per service id and kind of table.
struct SectionCounts {
    int nit = 0;
    int sdt = 0;
    struct PerService {
        int presentFollowing = 0;
        int scheduleBasic = 0;
        int scheduleExtended = 0;
        int other = 0;
    };
    std::map<unsigned, PerService> eit;

    static void Tap(void* context, int pid, const uint8_t* section, int length)
    {
        auto& counts = *static_cast<SectionCounts*>(context);
        if (pid == kPidNit) ++counts.nit;
        if (pid == kPidSdt) ++counts.sdt;
        if (pid != kPidEit || length < 5) return;
        PerService& s = counts.eit[unsigned(section[3]) << 8 | section[4]];
        const uint8_t table = section[0];
        if (table == 0x4E) ++s.presentFollowing;
        else if (table >= 0x50 && table <= 0x6F && (table & 0x08) == 0) ++s.scheduleBasic;
        else if (table >= 0x50 && table <= 0x6F) ++s.scheduleExtended;
        else ++s.other;
    }
};

void Feed(StreamParser& parser, const std::vector<uint8_t>& data, size_t stride)
{
    if (stride == 188) {
        TakePackets(parser, data.data(), data.size());
        return;
    }
    for (size_t pos = 0; pos + stride <= data.size(); pos += stride) TakePacket(parser, data.data() + pos + 4);
}

int Stream(const char* path)
{
    std::vector<uint8_t> data;
    if (!ReadFile(path, data)) {
        std::fprintf(stderr, "lumara-inspect: cannot read %s\n", path);
        return 1;
    }
    auto parser = std::make_unique<StreamParser>();
    size_t stride = PacketStride(data);
    SectionCounts counts;
    parser->sectionTap = &SectionCounts::Tap;
    parser->sectionTapContext = &counts;
    Feed(*parser, data, stride);
    std::printf("file: %s (%zu packets of %zu bytes)\n", path, data.size() / stride, stride);
    if (parser->totYear)
        std::printf("TOT: %04d-%02d-%02d %02d:%02d:%02d\n", parser->totYear, parser->totMonth, parser->totDay,
                    parser->totHour, parser->totMinute, parser->totSecond);
    else
        std::printf("TOT: none\n");
    std::printf("sections received: NIT %d, SDT %d, EIT %zu services\n", counts.nit, counts.sdt, counts.eit.size());
    for (const auto& [id, c] : counts.eit)
        std::printf("  EIT service 0x%04X (%u): present/following %d, schedule basic %d, extended %d, other %d\n", id, id,
                    c.presentFollowing, c.scheduleBasic, c.scheduleExtended, c.other);
    std::printf("services stored: %d\n", parser->serviceCount);
    for (int i = 0; i < parser->serviceCount; ++i) {
        const ServiceEntry& s = *parser->services[i];
        std::printf("  service 0x%04X (%u): present/following %d, schedule basic %d, extended %d\n", s.serviceId,
                    s.serviceId, CountFilled(s.presentFollowing, 2), CountFilled(s.schedule, kScheduleSlots),
                    CountFilled(s.scheduleExtended, kScheduleSlots));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* path = LUMARA_DEFAULT_STREAM;
    if (argc >= 2 && std::strcmp(argv[1], "stream") == 0) {
        if (argc >= 3) path = argv[2];
    } else if (argc >= 2) {
        std::fprintf(stderr, "usage: lumara-inspect [stream FILE.ts]\n");
        return 2;
    }
    return Stream(path);
}
