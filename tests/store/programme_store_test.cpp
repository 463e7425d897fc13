#include "store/programme_store.h"

#include <gtest/gtest.h>

#include "store/event_entry.h"
#include "support/section_builder.h"
#include "ts/stream_parser.h"

namespace {

std::vector<uint16_t> Ids(const StreamParser& parser)
{
    std::vector<uint16_t> ids;
    for (ServiceEntry* e : parser.store.services) {
        if (!e) break;
        ids.push_back(e->serviceId);
    }
    return ids;
}

TEST(ProgrammeStoreTest, ServicesStayInIdOrderWithoutGaps)
{
    StreamParser parser;
    EXPECT_EQ(0, FindOrAddService(parser.store, 300));
    EXPECT_EQ(0, FindOrAddService(parser.store, 100));
    EXPECT_EQ(1, FindOrAddService(parser.store, 200));
    EXPECT_EQ((std::vector<uint16_t>{100, 200, 300}), Ids(parser));
    EXPECT_EQ(3, parser.store.serviceCount);
    EXPECT_EQ(2, FindOrAddService(parser.store, 300));
    EXPECT_EQ(3, FindOrAddService(parser.store, 0xFFFF));
    EXPECT_EQ(0, FindOrAddService(parser.store, 0));
    EXPECT_EQ((std::vector<uint16_t>{0, 100, 200, 300, 0xFFFF}), Ids(parser));
}

TEST(ProgrammeStoreTest, FullStoreRefusesNewIdsButFindsStoredOnes)
{
    StreamParser parser;
    for (int i = 0; i < kMaxServices; ++i) FindOrAddService(parser.store, static_cast<uint16_t>(1000 + 2 * i));
    ASSERT_EQ(kMaxServices, parser.store.serviceCount);
    EXPECT_EQ(kNoService, FindOrAddService(parser.store, 1));      // before all
    EXPECT_EQ(kNoService, FindOrAddService(parser.store, 1001));   // in between
    EXPECT_EQ(kNoService, FindOrAddService(parser.store, 60000));  // after all
    EXPECT_EQ(49, FindOrAddService(parser.store, 1098));
    EXPECT_EQ(0, FindOrAddService(parser.store, 1000));
    EXPECT_EQ(kMaxServices, parser.store.serviceCount);
    EXPECT_EQ(1000, parser.store.services[0]->serviceId);
    EXPECT_EQ(1098, parser.store.services[49]->serviceId);
}

TEST(ProgrammeStoreTest, ClearingEmptiesServicesAndBuffersButKeepsTheClock)
{
    StreamParser parser;
    FindOrAddService(parser.store, 5);
    FindOrAddService(parser.store, 6);
    uint8_t bytes[10] = {1, 2, 3};
    StoreSection(parser.store.services[0]->schedule[3], bytes, sizeof bytes);
    parser.pidBuffers[kPidEit] = new PidBuffer();
    parser.pidBuffers[kPidEit]->data = new uint8_t[16];
    parser.totYear = 2026;
    parser.totTime = 12345;
    parser.store.scheduleBase = 777;
    parser.store.dirty = 1;
    parser.store.cacheVersion = 1;
    ClearProgrammeData(parser);
    EXPECT_EQ(0, parser.store.serviceCount);
    for (ServiceEntry* e : parser.store.services) EXPECT_EQ(nullptr, e);
    EXPECT_EQ(nullptr, parser.pidBuffers[kPidEit]);
    EXPECT_EQ(2026, parser.totYear);
    EXPECT_EQ(12345, parser.totTime);
    EXPECT_EQ(777, parser.store.scheduleBase);
    EXPECT_EQ(1, parser.store.dirty);
    EXPECT_EQ(1, parser.store.cacheVersion);
    EXPECT_EQ(0, FindOrAddService(parser.store, 42));
    EXPECT_EQ(1, parser.store.serviceCount);
}

TEST(ProgrammeStoreTest, SlotsReuseStorageCopyAndMove)
{
    SectionSlot slot;
    const uint8_t big[100] = {9};
    const uint8_t small[40] = {7};
    ASSERT_TRUE(StoreSection(slot, big, sizeof big));
    uint8_t* storage = slot.data;
    EXPECT_EQ(100, slot.capacity);
    ASSERT_TRUE(StoreSection(slot, small, sizeof small));
    EXPECT_EQ(storage, slot.data);  // reused
    EXPECT_EQ(100, slot.capacity);
    EXPECT_EQ(40, slot.length);
    EXPECT_EQ(7, slot.data[0]);
    // A length its 16-bit fields cannot hold is refused, the slot untouched.
    const std::vector<uint8_t> huge(0x10000, 1);
    EXPECT_FALSE(StoreSection(slot, huge.data(), huge.size()));
    EXPECT_EQ(40, slot.length);
    SectionSlot largest;
    EXPECT_TRUE(StoreSection(largest, huge.data(), 0xFFFF));
    EmptySlot(largest);

    slot.versionChanges = 3;
    SectionSlot copy;
    StoreSection(copy, big, sizeof big);
    CopySlot(copy, slot);
    EXPECT_EQ(3, copy.versionChanges);
    EXPECT_EQ(40, copy.length);
    EXPECT_EQ(40, copy.capacity);  // emptied first, then exactly the source's length
    EXPECT_NE(slot.data, copy.data);

    SectionSlot empty;
    empty.versionChanges = 5;
    CopySlot(copy, empty);
    EXPECT_EQ(nullptr, copy.data);
    EXPECT_EQ(0, copy.length);
    EXPECT_EQ(5, copy.versionChanges);

    SectionSlot moved;
    MoveSlot(moved, slot);
    EXPECT_EQ(storage, moved.data);
    EXPECT_EQ(3, moved.versionChanges);
    EXPECT_EQ(nullptr, slot.data);
    EXPECT_EQ(0, slot.versionChanges);
    EmptySlot(moved);
    EXPECT_EQ(3, moved.versionChanges);
    EXPECT_EQ(nullptr, moved.data);
}

TEST(EventCursorTest, WalksEventsAndStopsAtLoopsRunningPastTheCrc)
{
    EitSection eit;
    eit.serviceId = 0x0400;
    for (int i = 0; i < 3; ++i) {
        EitEvent e;
        e.eventId = static_cast<uint16_t>(0x100 + i);
        e.start = {2026, 12, 7, 20 + i, 0, 0};
        e.durationSeconds = 3600;
        e.descriptors = ShortEventDescriptor(Raw("name"), Raw("text"));
        eit.events.push_back(e);
    }
    Bytes s = MakeEit(eit);
    EventCursor cursor(s.data(), s.size());
    EventEntry e;
    std::vector<uint16_t> ids;
    while (cursor.Next(e)) ids.push_back(e.eventId);
    EXPECT_EQ((std::vector<uint16_t>{0x100, 0x101, 0x102}), ids);

    // The second event's descriptor loop claims more than the section holds.
    const size_t secondLoop = 14 + (12 + eit.events[0].descriptors.size()) + 10;
    s[secondLoop] = 0x0F;
    s[secondLoop + 1] = 0xFF;
    EventCursor broken(s.data(), s.size());
    ids.clear();
    while (broken.Next(e)) ids.push_back(e.eventId);
    EXPECT_EQ((std::vector<uint16_t>{0x100}), ids);

    EventCursor tooShort(s.data(), 17);
    EXPECT_FALSE(tooShort.Next(e));
    SectionSlot empty;
    EXPECT_FALSE(EventCursor(empty).Next(e));
}

}  // namespace
