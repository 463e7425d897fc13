// Writes the seed corpora of the fuzz targets: OUTDIR/<target>/..., made by the sample
// generator and from the real captures.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "changelog/change_detection.h"
#include "changelog/change_log.h"
#include "changelog/change_log_file.h"
#include "changelog/event_summary.h"
#include "store/event_cache.h"
#include "store/event_entry.h"
#include "support/arib_encoder.h"
#include "support/packetizer.h"
#include "support/sample_stream.h"
#include "support/ts_section_extractor.h"
#include "ts/crc32.h"
#include "ts/stream_parser.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRealData = fs::path(LUMARA_SOURCE_DIR) / "tests/data/realdata";

void Write(const fs::path& path, const Bytes& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

Bytes Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Only service-information packets of a stream, so that every seed is dense in what the
// intake reads.
std::vector<Bytes> ServiceInformationPackets(const Bytes& stream)
{
    std::vector<Bytes> si;
    for (size_t p = 0; p + 188 <= stream.size(); p += 188) {
        const unsigned pid = (stream[p + 1] & 0x1F) << 8 | stream[p + 2];
        if (pid >= 0x10 && pid <= 0x14) si.emplace_back(stream.begin() + static_cast<long>(p), stream.begin() + static_cast<long>(p + 188));
    }
    return si;
}

// The section as a new version whose first event starts half an hour later (CRC redone).
Bytes NextVersion(Bytes section)
{
    section[5] = static_cast<uint8_t>((section[5] & 0xC1) | (((section[5] >> 1) + 1) & 0x1F) << 1);
    if (section.size() > 26) section[19] = 0x30;  // start_time minutes (BCD)
    const uint32_t crc = Crc32(section.data(), section.size() - 4);
    for (int i = 0; i < 4; ++i) section[section.size() - 4 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return section;
}

// The real terrestrial sections packetised on the PIDs of their tables.
Bytes PacketizedRealSections()
{
    const Bytes all = Read(kRealData / "test-062.tstables.bin");
    Packetizer nit(kPidNit), sdt(kPidSdt), eit(kPidEit);
    Bytes stream = MakeTotPacket({2020, 4, 5, 12, 0, 0});
    for (size_t p = 0; p + 3 <= all.size();) {
        const size_t length = 3 + ((all[p + 1] & 0x0F) << 8 | all[p + 2]);
        if (p + length > all.size()) break;
        const Bytes section(all.begin() + static_cast<long>(p), all.begin() + static_cast<long>(p + length));
        const uint8_t table = section[0];
        if (table == 0x40) AppendBytes(stream, nit.Packetize(section));
        if (table == 0x42) AppendBytes(stream, sdt.Packetize(section));
        if (table >= 0x4E && table <= 0x6F) AppendBytes(stream, eit.Packetize(section));
        p += length;
    }
    return stream;
}

void IntakeSeeds(const fs::path& out)
{
    const std::vector<Bytes> si = ServiceInformationPackets(MakeSampleStream());
    int n = 0;
    for (size_t i = 0; i < si.size(); i += 24) {
        Bytes seed{26};  // blocks of 183 bytes: packets cut across blocks
        for (size_t k = i; k < si.size() && k < i + 24; ++k) AppendBytes(seed, si[k]);
        Write(out / "intake" / ("sample" + std::to_string(n++)), seed);
    }
    // Every schedule section of the first day, then each in a new version: the change
    // detection compares them.
    Packetizer eit(kPidEit);
    std::vector<Bytes> sections = MakeSampleEitSections();
    sections.resize(std::min<size_t>(sections.size(), 12));
    Bytes versions{255};
    AppendBytes(versions, eit.Packetize(sections));
    for (const Bytes& section : sections) AppendBytes(versions, eit.Packetize(NextVersion(section)));
    Write(out / "intake" / "new-versions", versions);

    Bytes real{255};
    AppendBytes(real, PacketizedRealSections());
    Write(out / "intake" / "test-062", real);
    for (const char* name : {"test-101.ts", "test-181.ts", "test-186.1.ts"}) {
        const Bytes capture = Read(kRealData / name);
        for (size_t i = 0; i < capture.size(); i += 64 * 188) {
            Bytes seed{255};
            seed.insert(seed.end(), capture.begin() + static_cast<long>(i),
                        capture.begin() + static_cast<long>(std::min(capture.size(), i + 64 * 188)));
            Write(out / "intake" / (std::string(name) + "." + std::to_string(i / (64 * 188))), seed);
        }
    }
}

// A store filled by the intake from a stream (TOT first).
std::unique_ptr<StreamParser> StoreOf(const Bytes& stream)
{
    auto parser = std::make_unique<StreamParser>();
    const Bytes tot = MakeTotPacket({2026, 12, 7, 21, 0, 0});
    TakePackets(*parser, tot.data(), tot.size());
    TakePackets(*parser, stream.data(), stream.size());
    return parser;
}

// Text seeds: two capacity bytes, then the raw text.
void WriteText(const fs::path& out, const std::string& name, const Bytes& raw, int capacity)
{
    Bytes seed{static_cast<uint8_t>(capacity >> 8), static_cast<uint8_t>(capacity)};
    AppendBytes(seed, raw);
    Write(out / "aribtext" / name, seed);
}

void AribTextSeeds(const fs::path& out)
{
    const int capacities[] = {0, 1, 2, 3, 7, 32, 100, 256, 1023};
    int n = 0;
    for (const char* name : {"test-186.1.ts", "test-186.2.ts"}) {
        for (const Bytes& section : ExtractSections(Read(kRealData / name), 0x1F)) {
            for (const Bytes& descriptor : SitDescriptors(section, 0x4D)) {
                const ShortEventText text = ReadShortEvent(descriptor);
                WriteText(out, "short" + std::to_string(n), text.name, capacities[n % 9]);
                WriteText(out, "text" + std::to_string(n), text.text, capacities[(n + 4) % 9]);
                ++n;
            }
            for (const Bytes& descriptor : SitDescriptors(section, 0x4E))
                for (const ExtendedEventItem& item : ReadExtendedEventItems(descriptor)) {
                    WriteText(out, "extended" + std::to_string(n), item.text, capacities[n % 9]);
                    ++n;
                }
            if (n > 120) break;
        }
    }
    WriteText(out, "kana-kanji", EncodeArib(u8"ニュース７ 天気予報【字】ＡＢＣ"), 40);
    WriteText(out, "mixed", EncodeArib(u8"ひらがな abc 123"), 9);
}

void EventCacheSeeds(const fs::path& out)
{
    Write(out / "event_cache" / "empty", Bytes{'E', 'p', 'g', '0', '1'});
    SampleStreamOptions small;
    small.seconds = 30;
    small.scheduleDays = 1;
    small.nullPacketsPerPsi = 0;
    for (const auto& [name, stream] : {std::pair<std::string, Bytes>{"sample", MakeSampleStream(small)},
                                       {"test-062", PacketizedRealSections()},
                                       {"test-101", Read(kRealData / "test-101.ts")}}) {
        Bytes image;
        if (BuildEventCacheImage(StoreOf(stream)->store, image)) Write(out / "event_cache" / name, image);
    }
}

// Real records: the first day's sections of the sample and then their next versions.
void ChangeLogSeeds(const fs::path& out)
{
    Packetizer eit(kPidEit);
    std::vector<Bytes> sections = MakeSampleEitSections();
    sections.resize(std::min<size_t>(sections.size(), 12));
    Bytes stream = eit.Packetize(sections);
    std::unique_ptr<StreamParser> parser = StoreOf(stream);
    ChangeLog log;
    DetectScheduleChanges(parser->store, log, nullptr);
    for (const Bytes& section : sections) {
        const Bytes packets = eit.Packetize(NextVersion(section));
        TakePackets(*parser, packets.data(), packets.size());
    }
    DetectScheduleChanges(parser->store, log, nullptr);
    const fs::path path = out / "change_log" / "sample";
    fs::create_directories(path.parent_path());
    SaveChangeLog(log, path.string().c_str());
    Write(out / "change_log" / "empty", Bytes{'U', 'p', 'd', '0', '0'});
}

void Ini(const fs::path& out, const std::string& name, const std::string& text, const std::string& section,
         const std::string& key, const std::string& value)
{
    std::string all = text + '\0' + section + '\0' + key + '\0' + value;
    Write(out / "ini" / name, Bytes(all.begin(), all.end()));
}

void IniSeeds(const fs::path& out)
{
    const std::string settings =
        "[MainWindow]\r\nWindowX=120\r\nWindowY=80\r\nNOWW=210\r\n\r\n[SetupDialog]\r\nCheck1024=1\r\n"
        "Sort1024=3\r\nCheck1025=0\r\n[PopDialog]\r\nFixed=0\r\n";
    Ini(out, "settings", settings, "SetupDialog", "Sort1024", "7");
    Ini(out, "new-key", settings, "MainWindow", "NEXTW", "  0x1F ");
    Ini(out, "new-section", settings, "UpdDialog", "Fixed", "\"1\"");
    Ini(out, "comments", "; comment\n[a]\nk = 'v' \n[A]\nk=2\nno value\n", "a", "K", "-12");
    Ini(out, "empty", "", "s", "k", "v");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumara-fuzz-seeds OUTDIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    IntakeSeeds(out);
    AribTextSeeds(out);
    EventCacheSeeds(out);
    ChangeLogSeeds(out);
    IniSeeds(out);
    return 0;
}
