// lumara-inspect: what a capture holds, read exactly as the plug-in reads it.
//   lumara-inspect stream FILE.ts [--json]
// prints the broadcast clock, every service of the store with its names and the events of
// its stored present/following and schedule sections.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "inspect_report.h"
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

// 188-byte packets, or 192-byte packets with a 4-byte time-code prefix: whichever keeps
// the sync byte in place over the first packets.
size_t PacketStride(const std::vector<uint8_t>& data)
{
    for (size_t stride : {size_t{188}, size_t{192}}) {
        const size_t offset = stride - 188;
        size_t checked = 0, synced = 0;
        for (size_t pos = offset; pos < data.size() && checked < 16; pos += stride, ++checked)
            synced += data[pos] == 0x47;
        if (checked > 0 && synced == checked) return stride;
    }
    return 188;
}

void Feed(StreamParser& parser, const std::vector<uint8_t>& data, size_t stride)
{
    if (stride == 188) {
        TakePackets(parser, data.data(), data.size());
        return;
    }
    for (size_t pos = 0; pos + stride <= data.size(); pos += stride) TakePacket(parser, data.data() + pos + 4);
}

struct Options {
    const char* command = "stream";
    const char* path = nullptr;
    bool json = false;
};

int Usage()
{
    std::fprintf(stderr, "usage: lumara-inspect stream FILE.ts [--json]\n");
    return 2;
}

int Stream(const Options& options)
{
    const char* path = options.path ? options.path : LUMARA_DEFAULT_STREAM;
    std::vector<uint8_t> data;
    if (!ReadFile(path, data)) {
        std::fprintf(stderr, "lumara-inspect: cannot read %s\n", path);
        return 1;
    }
    auto parser = std::make_unique<StreamParser>();
    const size_t stride = PacketStride(data);
    Feed(*parser, data, stride);
    InspectReport report = BuildInspectReport(*parser);
    if (options.json) {
        PrintReportJson(report);
    } else {
        std::printf("file: %s (%zu packets of %zu bytes)\n", path, data.size() / stride, stride);
        PrintReportText(report);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) options.json = true;
        else if (argv[i][0] == '-') return Usage();
        else if (positional++ == 0) options.command = argv[i];
        else if (!options.path) options.path = argv[i];
        else return Usage();
    }
    if (std::strcmp(options.command, "stream") == 0) return Stream(options);
    return Usage();
}
