// The table handlers on captured broadcasts (tests/data/realdata, decoded dumps in its
// reference/ folder).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/event_entry.h"
#include "store/programme_store.h"
#include "support/japan_time.h"
#include "support/packetizer.h"
#include "support/parser_probe.h"
#include "broadcast/broadcast_time.h"
#include "ts/diagnostics.h"
#include "ts/stream_parser.h"

namespace {

Bytes ReadRealData(const std::string& name)
{
    Bytes bytes;
    const std::string path = std::string(LUMARA_REALDATA_DIR) + "/" + name;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return bytes;
}

// Sections stored back to back, each as long as its section_length says.
std::vector<Bytes> SplitSections(const Bytes& raw)
{
    std::vector<Bytes> sections;
    for (size_t at = 0; at + 3 <= raw.size();) {
        const size_t total = ((raw[at + 1] & 0x0F) << 8 | raw[at + 2]) + 3u;
        if (at + total > raw.size()) break;
        sections.emplace_back(raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + total));
        at += total;
    }
    return sections;
}

uint16_t PidOfTable(uint8_t tableId)
{
    switch (tableId) {
    case 0x40: return kPidNit;
    case 0x42: return kPidSdt;
    case 0x4E: return kPidEit;
    case 0x02: return 0x01F0;  // a PMT PID of the capture
    default: return tableId;   // PAT on 0x0000, CAT on 0x0001
    }
}

const ServiceEntry* Find(const StreamParser& parser, uint16_t id)
{
    for (const ServiceEntry* s : parser.store.services)
        if (s && s->serviceId == id) return s;
    return nullptr;
}

Bytes Held(const SectionSlot& slot) { return slot.data ? Bytes(slot.data, slot.data + slot.length) : Bytes(); }

int HeldCount(const SectionSlot* slots, int count)
{
    int held = 0;
    for (int i = 0; i < count; ++i) held += slots[i].data != nullptr;
    return held;
}

std::vector<std::string>* g_lines = nullptr;
void CaptureLine(const char* text) { g_lines->push_back(text); }

class RealDataTablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinJapanTime();
        g_lines = &lines;
        SetDebugSink(CaptureLine);
        parser = std::make_unique<StreamParser>();
    }
    void TearDown() override
    {
        SetDebugSink(nullptr);
        g_lines = nullptr;
    }
    // The capture's sections in their order, each on its table's PID.
    void FeedSections(const std::vector<Bytes>& sections)
    {
        for (const Bytes& s : sections) {
            const uint16_t pid = PidOfTable(s[0]);
            auto at = packetizers.try_emplace(pid, pid).first;
            Feed(*parser, at->second.Packetize(s));
        }
    }

    std::vector<std::string> lines;
    std::unique_ptr<StreamParser> parser;
    std::map<uint16_t, Packetizer> packetizers;
};

// ISDB-T, 2020-04-05: NIT with a TS information descriptor, SDT with two television
// services and a data service, present/following of both television services.
TEST_F(RealDataTablesTest, TerrestrialTablesFillTheStore)
{
    const std::vector<Bytes> sections = SplitSections(ReadRealData("test-062.tstables.bin"));
    ASSERT_EQ(12u, sections.size());
    Feed(*parser, MakeTotPacket({2020, 4, 5, 19, 10, 0}));
    FeedSections(sections);

    // 0x4980 is a data service and 0xFFF0 an engineering one: the NIT lists both, the
    // SDT names 0x4980 as data; neither enters the store.
    ASSERT_EQ(2, parser->store.serviceCount);
    const ServiceEntry* first = parser->store.services[0];
    const ServiceEntry* second = parser->store.services[1];
    EXPECT_EQ(0x4800, first->serviceId);
    EXPECT_EQ(0x4801, second->serviceId);

    // "NHK総合1・秋田" / "NHK総合2・秋田", no provider name.
    const Bytes name1{0x0E, 0x4E, 0x48, 0x4B, 0x0F, 0x41, 0x6D, 0x39, 0x67, 0x0E, 0x31, 0xFE, 0x0F, 0x3D, 0x29, 0x45, 0x44};
    Bytes name2 = name1;
    name2[10] = 0x32;
    EXPECT_EQ(0, first->providerNameLength);
    EXPECT_EQ(name1, Bytes(first->serviceName, first->serviceName + first->serviceNameLength));
    EXPECT_EQ(0, second->providerNameLength);
    EXPECT_EQ(name2, Bytes(second->serviceName, second->serviceName + second->serviceNameLength));

    // The NIT came after 0x4800's present/following sections but before 0x4801's: only
    // 0x4800 was stored then. TS name "ＮＨＫ総合・秋田", remote key 1.
    const Bytes tsName{0x23, 0x4E, 0x23, 0x48, 0x23, 0x4B, 0x41, 0x6D, 0x39, 0x67, 0x21, 0x26, 0x3D, 0x29, 0x45, 0x44};
    EXPECT_EQ(1, first->remoteKeyId);
    EXPECT_EQ(tsName, Bytes(first->tsName, first->tsName + first->tsNameLength));
    EXPECT_EQ(0, second->remoteKeyId);
    EXPECT_EQ(0, second->tsNameLength);

    // Present/following: version 4 (333 and 723 bytes) and version 19 (242 and 312 bytes).
    EXPECT_EQ(sections[4], Held(first->presentFollowing[0]));
    EXPECT_EQ(sections[5], Held(first->presentFollowing[1]));
    EXPECT_EQ(sections[7], Held(second->presentFollowing[0]));
    EXPECT_EQ(312, second->presentFollowing[1].length);
    EXPECT_EQ(1, first->presentFollowing[0].versionChanges);
    EXPECT_EQ(1, second->presentFollowing[1].versionChanges);
    EXPECT_EQ(0, HeldCount(first->schedule, kScheduleSlots) + HeldCount(first->scheduleOriginal, kScheduleSlots));
    EXPECT_EQ(1, parser->store.dirty);

    // Present: event 0x0EDD, 19:00 for 30 minutes.
    EventCursor cursor(first->presentFollowing[0]);
    EventEntry event;
    ASSERT_TRUE(cursor.Next(event));
    EXPECT_EQ(0x0EDD, event.eventId);
    EXPECT_EQ(LocalTimeStamp(2020, 4, 5, 19, 0, 0), EventTimes(event.times).start);
    EXPECT_EQ(LocalTimeStamp(2020, 4, 5, 19, 30, 0), EventTimes(event.times).end);

    // The next NIT names the second service too.
    FeedSections({sections[6]});
    EXPECT_EQ(1, second->remoteKeyId);
    EXPECT_EQ(tsName, Bytes(second->tsName, second->tsName + second->tsNameLength));
    EXPECT_TRUE(lines.empty());
}

// ISDB-S, May 2020, no TOT of its own: NIT without TS information, EIT present/following
// of another stream (0x4F, skipped) and two basic schedule sections of other streams.
TEST_F(RealDataTablesTest, SatelliteScheduleOfOtherStreams)
{
    const Bytes stream = ReadRealData("test-101.ts");
    ASSERT_EQ(580u * 188, stream.size());
    Feed(*parser, MakeTotPacket({2020, 5, 9, 21, 0, 0}));
    Feed(*parser, stream);

    // Service 181 (0x00B5) and service 700, whose section holds no event; the 0x4F
    // section's service 234 is not added.
    ASSERT_EQ(2, parser->store.serviceCount);
    const ServiceEntry* bs = Find(*parser, 181);
    const ServiceEntry* empty = Find(*parser, 700);
    ASSERT_NE(nullptr, bs);
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(nullptr, Find(*parser, 234));

    // Table 0x60 section 120: the second day's 21:00 segment.
    EXPECT_EQ(1, HeldCount(bs->schedule, kScheduleSlots));
    ASSERT_EQ(781, bs->schedule[120].length);
    EXPECT_EQ(0x60, bs->schedule[120].data[0]);
    EXPECT_EQ(1, bs->schedule[120].versionChanges);
    EXPECT_EQ(Held(bs->schedule[120]), Held(bs->scheduleOriginal[120]));
    EventCursor cursor(bs->schedule[120]);
    EventEntry event;
    int events = 0;
    int64_t previousEnd = 0;
    while (cursor.Next(event)) {
        const EventTimeRange times = EventTimes(event.times);
        if (events == 0) EXPECT_EQ(LocalTimeStamp(2020, 5, 10, 21, 0, 0), times.start);
        else EXPECT_EQ(previousEnd, times.start);
        previousEnd = times.end;
        ++events;
    }
    EXPECT_EQ(4, events);

    EXPECT_EQ(0, HeldCount(empty->schedule, kScheduleSlots));
    EXPECT_EQ(0, HeldCount(empty->presentFollowing, 2));
    EXPECT_EQ(0, bs->remoteKeyId);
    EXPECT_EQ(1, parser->store.dirty);
    EXPECT_TRUE(lines.empty());
}

// A BIT and junk packets: nothing for the store, even when moved onto our PIDs.
TEST_F(RealDataTablesTest, BitAndJunkLeaveTheStoreEmpty)
{
    const Bytes stream = ReadRealData("test-181.ts");
    ASSERT_EQ(6u * 188, stream.size());
    Feed(*parser, MakeTotPacket({2020, 5, 9, 21, 0, 0}));
    Feed(*parser, stream);
    EXPECT_EQ(0, parser->store.serviceCount);

    for (uint16_t pid : {kPidNit, kPidSdt, kPidEit}) {
        Bytes moved = stream;
        for (size_t at = 0; at < moved.size(); at += 188) {
            moved[at + 1] = static_cast<uint8_t>((moved[at + 1] & 0xE0) | pid >> 8);
            moved[at + 2] = static_cast<uint8_t>(pid);
        }
        Feed(*parser, moved);
    }
    EXPECT_EQ(0, parser->store.serviceCount);
    EXPECT_EQ(0, parser->store.dirty);
    EXPECT_TRUE(lines.empty());
}

}  // namespace
