// Writes the deterministic sample stream to the file named on the command line and, when a
// second name is given, a small change log of its first service (for comparing what the
// inspection tool reads from one on every target).
#include <cstdio>
#include <cstring>

#include "changelog/change_log.h"
#include "changelog/change_log_file.h"
#include "support/arib_encoder.h"
#include "support/sample_stream.h"

namespace {

constexpr uint16_t kSampleService = 0x0400;
constexpr int64_t kHour = 3600;
constexpr int64_t kFirstStart = 1796734800;  // 2026-12-08 22:00 in Japan

EventSnapshot Snapshot(int64_t start, int minutes, const char8_t* name)
{
    EventSnapshot s;
    s.start = start;
    s.end = start + minutes * 60;
    s.videoType = 0xB3;
    s.audioType = 0x03;
    s.genre = 0x0;
    const std::vector<uint8_t> bytes = EncodeArib(std::u8string_view(name));
    s.nameLength = static_cast<uint16_t>(bytes.size() < sizeof s.name ? bytes.size() : sizeof s.name);
    std::memcpy(s.name, bytes.data(), s.nameLength);
    return s;
}

// Added, changed and removed, with the characters that converters read differently.
bool WriteSampleChangeLog(const char* path)
{
    ChangeLog log;
    log.Append({kSampleService, {}, Snapshot(kFirstStart, 60, u8"ニュース～天気＼特集")});
    log.Append({kSampleService, Snapshot(kFirstStart + kHour, 30, u8"映画－前編∥￠￡￢"),
                Snapshot(kFirstStart + kHour, 45, u8"映画－前編（拡大）")});
    log.Append({kSampleService, Snapshot(kFirstStart + 2 * kHour, 30, u8"天気①Ⅱ"), {}});
    return SaveChangeLog(log, path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: lumara-make-sample OUTPUT.ts [CHANGES.upd]\n");
        return 2;
    }
    Bytes stream = MakeSampleStream();
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(stream.data(), 1, stream.size(), f) != stream.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "lumara-make-sample: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %zu packets to %s\n", stream.size() / 188, argv[1]);
    if (argc == 3 && !WriteSampleChangeLog(argv[2])) {
        std::fprintf(stderr, "lumara-make-sample: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
