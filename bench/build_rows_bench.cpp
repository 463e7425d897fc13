// Rebuilding the main list's rows (BuildRows and the list-item decisions) over a full store:
// 50 services, eight days of basic schedule in 3-hour segments of realistic sections, the
// present/following section, and a change log naming a few services. Once with the settings
// read through the INI file on every rebuild, once from memory.
#include "ui/list/build_rows.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "changelog/change_log.h"
#include "settings/ini_profile.h"
#include "store/programme_store.h"
#include "support/arib_encoder.h"
#include "support/japan_time.h"
#include "support/section_builder.h"
#include "broadcast/broadcast_time.h"
#include "ts/stream_parser.h"
#include "ui/list/list_items.h"
#include "ui/list/service_settings.h"

namespace {

constexpr int kServices = 50;
constexpr int kDays = 8;
constexpr int kSegmentsPerDay = 8;
constexpr int kSegmentHours = 3;
constexpr BroadcastTime kFirstDay{2026, 12, 7, 0, 0, 0};

const char8_t* const kTitles[] = {
    u8"ニュース７", u8"大河ドラマ「光の君へ」（１２）「思いの果て」", u8"きょうの料理　旬の野菜でつくる簡単おかず",
    u8"プロ野球　巨人×阪神　～東京ドームから中継～", u8"世界の車窓から　スイス鉄道の旅",
    u8"連続テレビ小説　第１１週「春の訪れ」",
};
const char8_t* kText =
    u8"全国各地の天気と週間予報をお伝えします。台風第５号の最新情報、大雨・洪水警報についても詳しく解説。";

Bytes EventDescriptors(int index)
{
    Bytes d = ShortEventDescriptor(EncodeArib(kTitles[index % 6]), EncodeArib(kText));
    for (const Bytes& more : {ComponentDescriptor(0xB3), AudioComponentDescriptor(0x03), ContentDescriptor(0x0)})
        d.insert(d.end(), more.begin(), more.end());
    return d;
}

// One section per 3-hour segment (the first of its eight), holding programmes of 30 to 90
// minutes, as a broadcaster's basic schedule does.
Bytes SegmentSection(uint16_t serviceId, int day, int segment)
{
    const int slot = day * kSlotsPerDay + segment * 8;
    EitSection eit{.tableId = static_cast<uint8_t>(slot < 256 ? 0x50 : 0x51), .serviceId = serviceId,
                   .sectionNumber = static_cast<uint8_t>(slot % 256), .lastSectionNumber = 0xF8,
                   .segmentLastSectionNumber = static_cast<uint8_t>(slot % 256)};
    int minute = 0;
    for (int i = 0; minute < kSegmentHours * 60; ++i) {
        const int length = 30 + 30 * ((serviceId + day + segment + i) % 3);
        const int start = segment * kSegmentHours * 60 + minute;
        BroadcastTime at{2026, 12, 7 + day, start / 60, start % 60, 0};
        eit.events.push_back({static_cast<uint16_t>(day * 100 + segment * 10 + i), at, length * 60, 0, EventDescriptors(i)});
        minute += length;
    }
    return MakeEit(eit);
}

struct FullStore {
    FullStore()
    {
        PinJapanTime();
        for (int s = 0; s < kServices; ++s) {
            const uint16_t serviceId = static_cast<uint16_t>(0x0400 + (s / 3) * 8 + s % 3);
            ServiceEntry& service = *parser->store.services[FindOrAddService(parser->store, serviceId)];
            service.channel = static_cast<uint16_t>(13 + s / 3);
            const Bytes name = EncodeArib(u8"ＮＨＫ総合・東京");
            service.serviceNameLength = static_cast<uint16_t>(name.size());
            std::memcpy(service.serviceName, name.data(), name.size());
            for (int day = 0; day < kDays; ++day)
                for (int segment = 0; segment < kSegmentsPerDay; ++segment) {
                    const Bytes section = SegmentSection(serviceId, day, segment);
                    StoreSection(service.schedule[day * kSlotsPerDay + segment * 8], section.data(), section.size());
                }
        }
        for (uint16_t id : {0x0400, 0x0409, 0x0412}) {
            ChangeRecord record;
            record.serviceId = id;
            changeLog.Append(record);
        }
        now = LocalTimeStamp(2026, 12, 7, 20, 10, 0);
    }

    std::unique_ptr<StreamParser> parser = std::make_unique<StreamParser>();
    ChangeLog changeLog;
    int64_t now = 0;
};

// The settings file as the settings dialog leaves it: every service checked or not, ordered.
std::string SettingsText()
{
    std::string text = "[LumaraList]\r\nCHW=120\r\nNOWW=400\r\nNEXTW=400\r\nWindowX=10\r\nWindowY=20\r\n"
                       "WindowCX=940\r\nWindowCY=232\r\nWindowMin=0\r\n[PopDialog]\r\nFixed=0\r\nWindowX=10\r\n"
                       "WindowY=10\r\nWindowCX=320\r\nWindowCY=200\r\n[UpdateDialog]\r\nFixed=0\r\nCHW=120\r\n"
                       "DATEW=100\r\nOLDW=320\r\nNEWW=320\r\n[SetupDialog]\r\n";
    for (int s = 0; s < kServices; ++s) {
        const int serviceId = 0x0400 + (s / 3) * 8 + s % 3;
        text += "Check" + std::to_string(serviceId) + "=" + (s % 7 == 6 ? "0" : "1") + "\r\n";
        text += "Sort" + std::to_string(serviceId) + "=" + std::to_string(kServices - 1 - s) + "\r\n";
    }
    return text;
}

// The same settings held in memory, read without touching a file.
class MemoryProfile : public IProfile {
public:
    MemoryProfile()
    {
        for (int s = 0; s < kServices; ++s) {
            const int serviceId = 0x0400 + (s / 3) * 8 + s % 3;
            m_values["Check" + std::to_string(serviceId)] = s % 7 == 6 ? 0 : 1;
            m_values["Sort" + std::to_string(serviceId)] = kServices - 1 - s;
        }
    }
    int ReadInt(const char*, const char* key, int defaultValue) override
    {
        auto it = m_values.find(key);
        return it == m_values.end() ? defaultValue : it->second;
    }
    int ReadString(const char*, const char*, const char* defaultValue, char* out, int capacity) override
    {
        return std::snprintf(out, capacity, "%s", defaultValue);
    }
    bool WriteString(const char*, const char*, const char*) override { return false; }

private:
    std::map<std::string, int> m_values;
};

void RebuildLoop(benchmark::State& state, IProfile& settings)
{
    static FullStore store;
    RowTable rows = {};
    size_t listed = 0;
    for (auto _ : state) {
        BuildRows(rows, store.parser->store, ReadServiceSettings(settings, store.parser->store), store.changeLog,
                  RowReferenceTime(*store.parser, store.now));
        const ListUpdate update = DecideListItems(rows, static_cast<int>(listed));
        listed = update.items.size();
        benchmark::DoNotOptimize(update.items.data());
    }
    state.counters["listed"] = static_cast<double>(listed);
    ClearRows(rows);
}

void BM_BuildRowsSettingsInMemory(benchmark::State& state)
{
    MemoryProfile settings;
    RebuildLoop(state, settings);
}
BENCHMARK(BM_BuildRowsSettingsInMemory)->Unit(benchmark::kMicrosecond);

void BM_BuildRowsSettingsFile(benchmark::State& state)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "lumara_build_rows_bench.ini";
    std::ofstream(path, std::ios::binary) << SettingsText();
    CIniProfile settings(path.string().c_str());
    RebuildLoop(state, settings);
    std::filesystem::remove(path);
}
BENCHMARK(BM_BuildRowsSettingsFile)->Unit(benchmark::kMicrosecond);

}  // namespace
