// Writes an all-service-information capture of at least the size asked for: a TOT, then the
// NIT, SDT and every EIT section of a full store (50 services, eight days), the carousel
// repeated with continuity counters running on, as a broadcast sends it. For the
// whole-process comparison in bench/report. With --one-service the carousel is only the
// first service's schedule sections (basic and extended, eight days, about 64 KB): a small
// carousel repeated over and over, as a long recording of one channel's schedule is.
//   make_eit_capture OUT.ts MEGABYTES [--one-service]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/full_schedule.h"
#include "support/packetizer.h"

int main(int argc, char** argv)
{
    const bool oneService = argc == 4 && std::strcmp(argv[3], "--one-service") == 0;
    if ((argc != 3 && !oneService) || std::atol(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: make_eit_capture OUT.ts MEGABYTES [--one-service]\n");
        return 2;
    }
    const unsigned long long target = std::strtoull(argv[2], nullptr, 10) * 1000000ull;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    FullSchedule schedule = MakeFullSchedule();
    if (oneService) {
        std::vector<Bytes> first;
        for (const Bytes& section : schedule.eit)  // table_id, ..., service_id at bytes 3 and 4
            if (section[0] != 0x4E && section[3] == schedule.eit[0][3] && section[4] == schedule.eit[0][4])
                first.push_back(section);
        schedule.eit = first;
    }
    Packetizer nit(0x0010), sdt(0x0011), eit(0x0012);
    Bytes block = MakeTotPacket(kFullScheduleClock);
    unsigned long long written = 0;
    bool ok = true;
    while (ok && written < target) {
        AppendBytes(block, nit.Packetize(schedule.nit));
        AppendBytes(block, sdt.Packetize(schedule.sdt));
        AppendBytes(block, eit.Packetize(schedule.eit));
        ok = std::fwrite(block.data(), 1, block.size(), out) == block.size();
        written += block.size();
        block.clear();
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok) std::perror(argv[1]);
    return ok ? 0 : 1;
}
