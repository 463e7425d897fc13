#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/programme_store.h"
#include "support/japan_time.h"
#include "support/packetizer.h"
#include "support/parser_probe.h"
#include "support/section_builder.h"
#include "broadcast/broadcast_time.h"
#include "ts/crc32.h"
#include "ts/diagnostics.h"
#include "ts/stream_parser.h"

namespace {

const BroadcastTime kDayD{2026, 12, 7, 0, 0, 0};

BroadcastTime At(int dayOffset, int hour, int minute, int second = 0)
{
    // December 2026 has room for every offset the tests use.
    return {2026, 12, 7 + dayOffset, hour, minute, second};
}

// A schedule section whose events start at `first` and follow each other hourly.
Bytes Eit(uint8_t tableId, uint16_t serviceId, int sectionNumber, int version, BroadcastTime first, int events = 1)
{
    EitSection eit;
    eit.tableId = tableId;
    eit.serviceId = serviceId;
    eit.version = static_cast<uint8_t>(version);
    eit.sectionNumber = static_cast<uint8_t>(sectionNumber);
    for (int i = 0; i < events; ++i) {
        EitEvent e;
        e.eventId = static_cast<uint16_t>(0x100 + sectionNumber * 8 + i);
        e.start = first;
        e.start.hour += i;
        e.durationSeconds = 3600;
        e.descriptors = ShortEventDescriptor(Raw("NEWS " + std::to_string(i)), Raw("TODAY"));
        eit.events.push_back(e);
    }
    return MakeEit(eit);
}

// The events of a section replaced by raw bytes before the CRC: partial event headers.
Bytes WithEventBytes(Bytes eventless, const Bytes& bytes)
{
    eventless.resize(eventless.size() - 4);
    AppendBytes(eventless, bytes);
    const size_t sectionLength = eventless.size() + 4 - 3;
    eventless[1] = static_cast<uint8_t>((eventless[1] & 0xF0) | sectionLength >> 8);
    eventless[2] = static_cast<uint8_t>(sectionLength);
    const uint32_t crc = Crc32(eventless.data(), eventless.size());
    for (int shift = 24; shift >= 0; shift -= 8) eventless.push_back(static_cast<uint8_t>(crc >> shift));
    return eventless;
}

Bytes Held(const SectionSlot& slot) { return slot.data ? Bytes(slot.data, slot.data + slot.length) : Bytes(); }

std::vector<std::string>* g_lines = nullptr;
void CaptureLine(const char* text) { g_lines->push_back(text); }

// The debugger lines in Shift-JIS, byte for byte.
const std::string kDayChangeWord = "EIT \x93\xfa\x95\x74\x95\xcf\x8d\x58 ";
const std::string kDiscarded = "(\x82\xb1\x82\xcc\x83\x66\x81\x5b\x83\x5e\x82\xcd\x94\x6a\x8a\xfc\x82\xb5\x82\xdc\x82\xb7\x81\x42)\r\n";
const std::string kPastLine = "\x89\xdf\x8b\x8e\x82\xcc\x83\x66\x81\x5b\x83\x5e\x82\xf0\x8e\xf3\x90\x4d" + kDiscarded;
const std::string kAbnormalLine = "\x88\xd9\x8f\xed\x82\xc8\x83\x66\x81\x5b\x83\x5e\x82\xf0\x8e\xf3\x90\x4d" + kDiscarded;

class EitHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinJapanTime();
        g_lines = &lines;
        SetDebugSink(CaptureLine);
        parser = std::make_unique<StreamParser>();
        SetClock(At(0, 10, 0));
    }
    void TearDown() override
    {
        SetDebugSink(nullptr);
        g_lines = nullptr;
    }
    void SetClock(const BroadcastTime& t) { Feed(*parser, MakeTotPacket(t)); }
    void FeedEit(const Bytes& section) { Feed(*parser, eit.Packetize(section)); }
    void FeedEit(const std::vector<Bytes>& sections) { Feed(*parser, eit.Packetize(sections)); }
    ServiceEntry* Service(uint16_t id)
    {
        for (ServiceEntry* s : parser->store.services)
            if (s && s->serviceId == id) return s;
        return nullptr;
    }

    std::vector<std::string> lines;
    std::unique_ptr<StreamParser> parser;
    Packetizer eit{kPidEit};
};

TEST_F(EitHandlerTest, FirstBasicSectionThenRepeatsAndNewVersions)
{
    const Bytes v1 = Eit(0x50, 0x0400, 0, 1, At(0, 0, 0), 3);
    FeedEit(v1);
    ServiceEntry* s = Service(0x0400);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(1, parser->store.serviceCount);
    EXPECT_EQ(v1, Held(s->schedule[0]));
    EXPECT_EQ(1, s->schedule[0].versionChanges);
    EXPECT_EQ(v1, Held(s->scheduleOriginal[0]));
    EXPECT_EQ(1, parser->store.dirty);

    // Same version again, with other bytes: stored, but nothing counted or flagged.
    parser->store.dirty = 0;
    const Bytes v1Again = Eit(0x50, 0x0400, 0, 1, At(0, 0, 0), 2);
    FeedEit(v1Again);
    EXPECT_EQ(v1Again, Held(s->schedule[0]));
    EXPECT_EQ(1, s->schedule[0].versionChanges);
    EXPECT_EQ(0, parser->store.dirty);

    // A new version before the change detection ran: counted, the reference keeps the first.
    const Bytes v2 = Eit(0x50, 0x0400, 0, 2, At(0, 0, 30));
    FeedEit(v2);
    EXPECT_EQ(v2, Held(s->schedule[0]));
    EXPECT_EQ(2, s->schedule[0].versionChanges);
    EXPECT_EQ(1, parser->store.dirty);
    EXPECT_EQ(v1, Held(s->scheduleOriginal[0]));
    EXPECT_TRUE(lines.empty());
}

TEST_F(EitHandlerTest, EveryAcceptedTableHasItsSlot)
{
    struct Case {
        uint8_t tableId;
        int sectionNumber;
        SectionSlot* (*slot)(ServiceEntry&);
        bool reference;
    };
    const Case cases[] = {
        {0x4E, 0, [](ServiceEntry& s) { return &s.presentFollowing[0]; }, false},
        {0x4E, 1, [](ServiceEntry& s) { return &s.presentFollowing[1]; }, false},
        {0x50, 9, [](ServiceEntry& s) { return &s.schedule[9]; }, true},
        {0x51, 9, [](ServiceEntry& s) { return &s.schedule[256 + 9]; }, true},
        {0x60, 255, [](ServiceEntry& s) { return &s.schedule[255]; }, true},
        {0x61, 255, [](ServiceEntry& s) { return &s.schedule[511]; }, true},
        {0x58, 17, [](ServiceEntry& s) { return &s.scheduleExtended[17]; }, false},
        {0x59, 17, [](ServiceEntry& s) { return &s.scheduleExtended[256 + 17]; }, false},
        {0x68, 0, [](ServiceEntry& s) { return &s.scheduleExtended[0]; }, false},
        {0x69, 0, [](ServiceEntry& s) { return &s.scheduleExtended[256]; }, false},
    };
    uint16_t serviceId = 0x0500;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "table_id 0x" << std::hex << int(c.tableId));
        const Bytes section = Eit(c.tableId, serviceId, c.sectionNumber, 3, At(0, 12, 0));
        FeedEit(section);
        ServiceEntry* s = Service(serviceId++);
        ASSERT_NE(nullptr, s);
        EXPECT_EQ(section, Held(*c.slot(*s)));
        EXPECT_EQ(1, c.slot(*s)->versionChanges);
        int held = 0;
        for (const SectionSlot& slot : s->schedule) held += slot.data != nullptr;
        for (const SectionSlot& slot : s->scheduleExtended) held += slot.data != nullptr;
        for (const SectionSlot& slot : s->presentFollowing) held += slot.data != nullptr;
        EXPECT_EQ(1, held);
        int references = 0;
        for (const SectionSlot& slot : s->scheduleOriginal) references += slot.data != nullptr;
        EXPECT_EQ(c.reference ? 1 : 0, references);
    }
    EXPECT_EQ(10, parser->store.serviceCount);
}

TEST_F(EitHandlerTest, SkippedTablesAndEventlessSections)
{
    // Other table_ids do not even add their service.
    for (uint8_t tableId : {0x4F, 0x52, 0x57, 0x5A, 0x5F, 0x62, 0x67, 0x6A, 0x6F, 0x4D, 0x70})
        FeedEit(Eit(tableId, 0x0700, 0, 1, At(0, 12, 0)));
    EXPECT_EQ(0, parser->store.serviceCount);
    EXPECT_EQ(0, parser->store.dirty);

    // A present/following section numbered 2 has no slot; its service is known though.
    FeedEit(Eit(0x4E, 0x0701, 2, 1, At(0, 12, 0)));
    ASSERT_NE(nullptr, Service(0x0701));
    EXPECT_EQ(nullptr, Service(0x0701)->presentFollowing[0].data);
    EXPECT_EQ(nullptr, Service(0x0701)->presentFollowing[1].data);

    // section_length 15: header and CRC only. The service is added, nothing is stored.
    const Bytes eventless = Eit(0x50, 0x0702, 0, 1, At(0, 12, 0), 0);
    ASSERT_EQ(18u, eventless.size());
    FeedEit(eventless);
    ServiceEntry* s = Service(0x0702);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(nullptr, s->schedule[0].data);
    EXPECT_EQ(0, s->schedule[0].versionChanges);
    EXPECT_EQ(0, parser->store.dirty);
    FeedEit(Eit(0x4F, 0x0703, 0, 1, At(0, 12, 0), 0));
    EXPECT_EQ(nullptr, Service(0x0703));
    EXPECT_EQ(2, parser->store.serviceCount);
}

TEST_F(EitHandlerTest, FullStoreSkipsNewServicesSilently)
{
    for (uint16_t id = 1; id <= kMaxServices; ++id) ASSERT_NE(kNoService, FindOrAddService(parser->store, id));
    FeedEit(Eit(0x50, 0x0999, 0, 1, At(0, 12, 0)));
    EXPECT_EQ(nullptr, Service(0x0999));
    EXPECT_EQ(0, parser->store.dirty);
    FeedEit(Eit(0x50, 7, 0, 1, At(0, 12, 0)));
    EXPECT_NE(nullptr, Service(7)->schedule[0].data);
}

std::string DayChangeLine(const std::string& detail) { return kDayChangeWord + detail + "\r\n"; }

int HeldCount(const SectionSlot* slots, int count)
{
    int held = 0;
    for (int i = 0; i < count; ++i) held += slots[i].data != nullptr;
    return held;
}

// The day change, on a store whose first day is day D (scheduleBase at its midnight):
// service 0x0400 with basic sections over several days and two extended ones, and
// service 0x0410 with one basic section.
class DayChangeTest : public EitHandlerTest {
protected:
    void SetUp() override
    {
        EitHandlerTest::SetUp();
        parser->store.scheduleBase = LocalTimeStamp(kDayD.year, kDayD.month, kDayD.day, 0, 0, 0);
        for (int slot : {0, 8, 40, 64, 100, 511}) basic[slot] = Fill(0x0400, 0x50, slot);
        for (int slot : {5, 70}) extended[slot] = Fill(0x0400, 0x58, slot);
        otherBasic = Fill(0x0410, 0x50, 3);
        FeedEit(Eit(0x4E, 0x0400, 0, 1, At(0, 9, 0)));
        parser->store.dirty = 0;
    }
    // A section on the day and three-hour segment its slot covers.
    Bytes Fill(uint16_t serviceId, uint8_t tableId, int slot)
    {
        const uint8_t table = static_cast<uint8_t>(slot >= 256 ? tableId + 1 : tableId);
        Bytes section = Eit(table, serviceId, slot % 256, 1, At(slot / kSlotsPerDay, slot % kSlotsPerDay / 8 * 3, 0));
        FeedEit(section);
        return section;
    }
    ServiceEntry& A() { return *Service(0x0400); }
    ServiceEntry& B() { return *Service(0x0410); }
    int64_t Midnight(int dayOffset) { return LocalTimeStamp(2026, 12, 7 + dayOffset, 0, 0, 0); }

    std::map<int, Bytes> basic, extended;
    Bytes otherBasic;
};

TEST_F(DayChangeTest, NewDateBeforeTwentyThreeFiftyIsAbnormalAndDiscarded)
{
    const int64_t base = parser->store.scheduleBase;
    // One event without descriptors: the shortest section that has a first event, 30 bytes.
    const Bytes bare = MakeEit({.serviceId = 0x0400, .version = 2, .events = {{0x100, At(1, 0, 0), 3600}}});
    ASSERT_EQ(30u, bare.size());
    FeedEit(bare);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(DayChangeLine("12/07 -> 12/08[0x50][0](10:00:00)"), lines[0]);
    EXPECT_EQ(kAbnormalLine, lines[1]);
    EXPECT_EQ(basic[0], Held(A().schedule[0]));
    EXPECT_EQ(basic[64], Held(A().schedule[64]));
    EXPECT_EQ(1, A().schedule[0].versionChanges);
    EXPECT_EQ(base, parser->store.scheduleBase);
    EXPECT_EQ(0, parser->store.dirty);

    // Present/following sections never take part in the day change.
    const Bytes present = Eit(0x4E, 0x0400, 0, 2, At(1, 0, 0));
    FeedEit(present);
    EXPECT_EQ(present, Held(A().presentFollowing[0]));
    EXPECT_EQ(2u, lines.size());
}

TEST_F(DayChangeTest, AcceptedDayChangeMovesEveryServiceByOneDay)
{
    SetClock(At(1, 0, 5));
    const Bytes trigger = Eit(0x50, 0x0400, 0, 2, At(1, 0, 0));
    FeedEit(trigger);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(DayChangeLine("12/07 -> 12/08[0x50][0](00:05:00)"), lines[0]);
    EXPECT_EQ(Midnight(1), parser->store.scheduleBase);

    // The first day's last basic and extended sections stand in for present/following.
    EXPECT_EQ(basic[40], Held(A().presentFollowing[0]));
    EXPECT_EQ(1, A().presentFollowing[0].versionChanges);
    EXPECT_EQ(extended[5], Held(A().presentFollowing[1]));
    EXPECT_EQ(otherBasic, Held(B().presentFollowing[0]));
    EXPECT_EQ(nullptr, B().presentFollowing[1].data);

    // Every later day moved down by 64 slots; the eighth day is empty.
    EXPECT_EQ(basic[100], Held(A().schedule[36]));
    EXPECT_EQ(basic[511], Held(A().schedule[447]));
    EXPECT_EQ(basic[511], Held(A().scheduleOriginal[447]));
    EXPECT_EQ(extended[70], Held(A().scheduleExtended[6]));
    EXPECT_EQ(3, HeldCount(A().schedule, kScheduleSlots));
    EXPECT_EQ(1, HeldCount(A().scheduleExtended, kScheduleSlots));
    EXPECT_EQ(3, HeldCount(A().scheduleOriginal, kScheduleSlots));
    EXPECT_EQ(0, HeldCount(B().schedule, kScheduleSlots));
    EXPECT_EQ(0, HeldCount(B().scheduleOriginal, kScheduleSlots));

    // The section itself then replaced what was day two's slot 64, as a new version.
    EXPECT_EQ(trigger, Held(A().schedule[0]));
    EXPECT_EQ(2, A().schedule[0].versionChanges);
    EXPECT_EQ(basic[64], Held(A().scheduleOriginal[0]));
    EXPECT_EQ(1, parser->store.dirty);
}

TEST_F(DayChangeTest, GuardOpensAtTwentyThreeFiftyExactly)
{
    SetClock(At(0, 23, 49, 59));
    FeedEit(Eit(0x50, 0x0400, 0, 2, At(1, 0, 0)));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(kAbnormalLine, lines[1]);
    EXPECT_EQ(basic[64], Held(A().schedule[64]));

    SetClock(At(0, 23, 50, 0));
    FeedEit(Eit(0x50, 0x0400, 0, 3, At(1, 0, 0)));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(DayChangeLine("12/07 -> 12/08[0x50][0](23:50:00)"), lines[2]);
    EXPECT_EQ(basic[100], Held(A().schedule[36]));
}

// The first day's last slot is the one searched first.
TEST_F(DayChangeTest, LastSlotOfTheFirstDayStandsInForPresentFollowing)
{
    basic[56] = Fill(0x0400, 0x50, 56);
    basic[63] = Fill(0x0400, 0x50, 63);
    SetClock(At(1, 0, 5));
    FeedEit(Eit(0x50, 0x0400, 0, 2, At(1, 0, 0)));
    EXPECT_EQ(basic[63], Held(A().presentFollowing[0]));
}

TEST_F(DayChangeTest, AtTwentyThreeFiftyNineTheNewBaseIsTomorrow)
{
    SetClock(At(0, 23, 59, 30));
    FeedEit(Eit(0x50, 0x0400, 0, 2, At(1, 0, 0)));
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(DayChangeLine("12/07 -> 12/08[0x50][0](23:59:30)"), lines[0]);
    EXPECT_EQ(Midnight(1), parser->store.scheduleBase);
}

TEST_F(DayChangeTest, JustBeforeTwentyThreeFiftyNineTheNewBaseIsToday)
{
    SetClock(At(0, 23, 58, 59));
    FeedEit(Eit(0x50, 0x0400, 0, 2, At(1, 0, 0)));
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(Midnight(0), parser->store.scheduleBase);
    EXPECT_EQ(basic[100], Held(A().schedule[36]));
}

TEST_F(DayChangeTest, PastDataIsDiscarded)
{
    SetClock(At(1, 0, 5));
    FeedEit(Eit(0x50, 0x0400, 64, 2, At(0, 23, 0)));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(DayChangeLine("12/08 -> 12/07[0x50][64](00:05:00)"), lines[0]);
    EXPECT_EQ(kPastLine, lines[1]);
    EXPECT_EQ(basic[64], Held(A().schedule[64]));
    EXPECT_EQ(basic[0], Held(A().schedule[0]));
    EXPECT_EQ(Midnight(0), parser->store.scheduleBase);
    EXPECT_EQ(0, parser->store.dirty);
}

TEST_F(DayChangeTest, SecondDayChangeOfTheSameSectionIsStoppedByTheGuard)
{
    SetClock(At(1, 0, 5));
    FeedEit(Eit(0x50, 0x0400, 0, 2, At(2, 0, 0)));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(DayChangeLine("12/07 -> 12/09[0x50][0](00:05:00)"), lines[0]);
    EXPECT_EQ(DayChangeLine("12/08 -> 12/09[0x50][0](00:05:00)"), lines[1]);
    EXPECT_EQ(kAbnormalLine, lines[2]);
    // Moved once; the section itself was not stored.
    EXPECT_EQ(basic[64], Held(A().schedule[0]));
    EXPECT_EQ(basic[100], Held(A().schedule[36]));
    EXPECT_EQ(Midnight(1), parser->store.scheduleBase);
}

TEST_F(EitHandlerTest, RepeatedDayChangesEndOnceTheScheduleIsEmpty)
{
    // One section per stored day in slot 0 + 64 k, each a day later than the one before,
    // and a clock after 23:50 of the new base's day: every re-run passes both guards.
    std::vector<Bytes> days;
    for (int k = 0; k < 8; ++k) days.push_back(Eit(k < 4 ? 0x50 : 0x51, 0x0600, 64 * k % 256, 1, At(k, 6, 0)));
    FeedEit(days);
    SetClock(At(8, 23, 55));
    parser->store.scheduleBase = 0;
    const Bytes fresh = Eit(0x50, 0x0600, 0, 1, At(9, 0, 0));
    FeedEit(fresh);
    ASSERT_EQ(8u, lines.size());
    EXPECT_EQ(DayChangeLine("12/07 -> 12/16[0x50][0](23:55:00)"), lines[0]);
    EXPECT_EQ(DayChangeLine("12/14 -> 12/16[0x50][0](23:55:00)"), lines[7]);
    ServiceEntry* s = Service(0x0600);
    EXPECT_EQ(fresh, Held(s->schedule[0]));
    EXPECT_EQ(1, s->schedule[0].versionChanges);
    EXPECT_EQ(fresh, Held(s->scheduleOriginal[0]));
    EXPECT_EQ(1, HeldCount(s->schedule, kScheduleSlots));
    EXPECT_EQ(days[7], Held(s->presentFollowing[0]));
    EXPECT_EQ(LocalTimeStamp(2026, 12, 15, 0, 0, 0), parser->store.scheduleBase);
}

TEST_F(EitHandlerTest, SectionsWithoutAFirstEventNeverTriggerTheDayChange)
{
    // Five bytes of an event header: not enough to hold its start_time and duration.
    const Bytes partial = WithEventBytes(Eit(0x50, 0x0800, 0, 1, At(0, 0, 0), 0), {0x01, 0x02, 0xE9, 0x0C, 0x00});
    ASSERT_EQ(23u, partial.size());
    FeedEit(partial);
    ServiceEntry* s = Service(0x0800);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(partial, Held(s->schedule[0]));

    const Bytes tomorrow = Eit(0x50, 0x0800, 0, 2, At(1, 0, 0));
    FeedEit(tomorrow);
    EXPECT_EQ(tomorrow, Held(s->schedule[0]));
    const Bytes partialAgain = WithEventBytes(Eit(0x50, 0x0800, 0, 3, At(0, 0, 0), 0), Bytes(11, 0x00));
    FeedEit(partialAgain);
    EXPECT_EQ(partialAgain, Held(s->schedule[0]));
    EXPECT_EQ(3, s->schedule[0].versionChanges);

    // A stored section whose service_id field is 0 is not compared either.
    FeedEit(Eit(0x50, 0x0000, 0, 1, At(0, 0, 0)));
    const Bytes zeroTomorrow = Eit(0x50, 0x0000, 0, 2, At(1, 0, 0));
    FeedEit(zeroTomorrow);
    EXPECT_EQ(zeroTomorrow, Held(Service(0)->schedule[0]));
    EXPECT_TRUE(lines.empty());
}

}  // namespace
