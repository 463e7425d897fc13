// The libdvbpsi side of the whole-process comparison in bench/report: reads a capture of
// 188-byte packets in 1 MiB blocks, as lumara-inspect does, has libdvbpsi reassemble and
// decode the NIT, SDT, EIT and TOT sections, and prints what it delivered.
//   dvbpsi_sections FILE.ts
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "dvbpsi_peer.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: dvbpsi_sections FILE.ts\n");
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    if (!in) {
        std::perror(argv[1]);
        return 1;
    }
    std::setvbuf(in, nullptr, _IONBF, 0);
    constexpr size_t kBlock = 1u << 20;
    std::vector<uint8_t> block(kBlock / kPacketSize * kPacketSize);
    PeerCounts counts;
    {
        Peer peer(counts);
        size_t n;
        while ((n = std::fread(block.data(), 1, block.size(), in)) > 0) peer.Take(block.data(), n);
    }
    std::fclose(in);
    std::printf("tables %" PRId64 ", events %" PRId64 ", descriptors %" PRId64 "\n", counts.tables, counts.events,
                counts.descriptors);
    return counts.tables > 0 ? 0 : 1;
}
