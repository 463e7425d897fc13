// A programme store and settings for the main list's tests: services with names, schedule
// and present/following sections built field by field, titles written as readable Japanese.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "changelog/change_log.h"
#include "settings/profile.h"
#include "store/programme_store.h"
#include "support/arib_encoder.h"
#include "support/japan_time.h"
#include "support/section_builder.h"
#include "support/sjis_text.h"
#include "broadcast/broadcast_time.h"
#include "ts/stream_parser.h"
#include "ui/list/build_rows.h"
#include "ui/list/list_row.h"
#include "ui/list/service_settings.h"

// Settings in memory, with the defaults and integer reading of the profile interface.
class MemoryProfile : public IProfile {
public:
    int ReadInt(const char* section, const char* key, int defaultValue) override
    {
        ++reads;
        auto it = values.find(Key(section, key));
        return it == values.end() || it->second.empty() ? defaultValue : SettingTextToInt(it->second.c_str());
    }
    int ReadString(const char* section, const char* key, const char* defaultValue, char* out, int capacity) override
    {
        ++reads;
        auto it = values.find(Key(section, key));
        const std::string value = it == values.end() ? defaultValue : it->second;
        const int n = std::min(static_cast<int>(value.size()), capacity - 1);
        std::memcpy(out, value.data(), n);
        out[n] = '\0';
        return n;
    }
    bool WriteString(const char* section, const char* key, const char* value) override
    {
        values[Key(section, key)] = value;
        return true;
    }
    void Set(const char* key, int value) { values[Key("SetupDialog", key)] = std::to_string(value); }

    std::map<std::string, std::string> values;
    int reads = 0;

private:
    static std::string Key(const char* section, const char* key) { return std::string(section) + "/" + key; }
};

// 2026-12-07 (the builders' default date) at a local time.
inline BroadcastTime At(int hour, int minute, int second = 0)
{
    return {2026, 12, 7, hour, minute, second};
}
// Pins the zone itself: a test file's constants are computed before any fixture runs.
inline int64_t Stamp(int hour, int minute, int second = 0)
{
    PinJapanTime();
    return LocalTimeStamp(2026, 12, 7, hour, minute, second);
}

// An event with a title (readable Japanese) and a video component type.
inline EitEvent Programme(uint16_t eventId, BroadcastTime start, int minutes, std::u8string_view title,
                          uint8_t videoType = 0xB3, std::u8string_view text = u8"")
{
    EitEvent event{eventId, start, minutes == kUndefinedDuration ? kUndefinedDuration : minutes * 60};
    event.descriptors = ShortEventDescriptor(EncodeArib(title), EncodeArib(text));
    if (videoType) {
        const Bytes component = ComponentDescriptor(videoType);
        event.descriptors.insert(event.descriptors.end(), component.begin(), component.end());
    }
    return event;
}

// Shift-JIS of UTF-8 text, for comparing the rows' texts.
inline std::string Sjis(std::u8string_view utf8)
{
    return Utf8ToShiftJis(Utf8(utf8));
}

class ListFixture : public ::testing::Test {
protected:
    void SetUp() override { PinJapanTime(); }
    void TearDown() override { ClearRows(rows); }

    ServiceEntry& AddService(uint16_t serviceId, std::u8string_view name = u8"", uint16_t channel = 27)
    {
        const int position = FindOrAddService(parser->store, serviceId);
        EXPECT_LT(position, kNoService);
        ServiceEntry& service = *parser->store.services[position];
        service.channel = channel;
        const Bytes raw = EncodeArib(name);
        service.serviceNameLength = static_cast<uint16_t>(std::min<size_t>(raw.size(), kNameBytes));
        if (!raw.empty()) std::memcpy(service.serviceName, raw.data(), service.serviceNameLength);
        return service;
    }
    ServiceEntry& Service(uint16_t serviceId)
    {
        return *parser->store.services[FindOrAddService(parser->store, serviceId)];
    }
    // A basic schedule section (table 0x50, or 0x51 from slot 256) in its slot.
    void PutSchedule(uint16_t serviceId, int slot, std::vector<EitEvent> events)
    {
        EitSection eit{.tableId = static_cast<uint8_t>(slot < 256 ? 0x50 : 0x51), .serviceId = serviceId,
                       .sectionNumber = static_cast<uint8_t>(slot % 256)};
        eit.events = std::move(events);
        Put(Service(serviceId).schedule[slot], MakeEit(eit));
    }
    // Section 0 of the present/following table: the programme on air.
    void PutPresent(uint16_t serviceId, std::vector<EitEvent> events)
    {
        EitSection eit{.tableId = 0x4E, .serviceId = serviceId, .lastSectionNumber = 1};
        eit.events = std::move(events);
        Put(Service(serviceId).presentFollowing[0], MakeEit(eit));
    }
    static void Put(SectionSlot& slot, const Bytes& section)
    {
        ASSERT_TRUE(StoreSection(slot, section.data(), section.size()));
    }

    int Build(int64_t now)
    {
        return BuildRows(rows, parser->store, ReadServiceSettings(settings, parser->store), changeLog,
                         RowReferenceTime(*parser, now));
    }
    const ListRow& Row(int index) const { return *rows[index]; }
    const ListRow* RowOf(uint16_t serviceId) const
    {
        for (int i = 0; i < kMaxServices && rows[i]; ++i)
            if (rows[i]->serviceId == serviceId) return rows[i];
        return nullptr;
    }

    std::unique_ptr<StreamParser> parser = std::make_unique<StreamParser>();
    MemoryProfile settings;
    ChangeLog changeLog;
    RowTable rows = {};
};
