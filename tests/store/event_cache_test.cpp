#include "store/event_cache.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "store/data_file.h"
#include "store/event_entry.h"
#include "store/programme_store.h"
#include "support/japan_time.h"
#include "support/section_builder.h"
#include "support/test_files.h"
#include "broadcast/broadcast_time.h"
#include "ts/stream_parser.h"
#ifdef _WIN32
#include "store/win32/file_replace_win32.h"
#endif

namespace {

constexpr size_t kEmptyRecordBytes = 4265;

bool FileExists(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

Bytes Schedule(uint16_t serviceId, uint8_t tableId, int sectionNumber, BroadcastTime start, const std::string& name,
               uint8_t version = 0)
{
    EitSection eit;
    eit.tableId = tableId;
    eit.serviceId = serviceId;
    eit.version = version;
    eit.sectionNumber = static_cast<uint8_t>(sectionNumber);
    Bytes descriptors = ShortEventDescriptor(Raw(name), Raw("text of " + name));
    Bytes genre = ContentDescriptor(0x7);
    descriptors.insert(descriptors.end(), genre.begin(), genre.end());
    eit.events.push_back({1, start, 3600, 4, descriptors});
    start.hour += 1;
    eit.events.push_back({2, start, 1800, 1, ShortEventDescriptor(Raw(name + " 2"), {})});
    return MakeEit(eit);
}

void SetName(uint8_t* field, uint16_t& length, const std::string& text)
{
    std::memcpy(field, text.data(), text.size());
    length = static_cast<uint16_t>(text.size());
}

ServiceEntry& AddService(StreamParser& parser, uint16_t id, const std::string& name)
{
    ServiceEntry& e = *parser.store.services[FindOrAddService(parser.store, id)];
    e.channel = static_cast<uint16_t>(id % 50 + 13);
    SetName(e.providerName, e.providerNameLength, "Provider");
    SetName(e.serviceName, e.serviceNameLength, name);
    e.remoteKeyId = static_cast<uint8_t>(id % 12 + 1);
    SetName(e.tsName, e.tsNameLength, "TS " + name);
    return e;
}

void Put(SectionSlot& slot, const Bytes& section, uint16_t versionChanges = 1)
{
    ASSERT_TRUE(StoreSection(slot, section.data(), section.size()));
    slot.versionChanges = versionChanges;
}

// Two services with sections in every kind of slot, names, keys and channels.
void FillSample(StreamParser& parser)
{
    BroadcastTime day{2026, 12, 7, 18, 0, 0};
    ServiceEntry& a = AddService(parser, 0x0400, "Alpha");
    Put(a.schedule[0], Schedule(0x0400, 0x50, 0, day, "Evening news"), 3);
    Put(a.schedule[300], Schedule(0x0400, 0x51, 44, {2026, 12, 11, 9, 0, 0}, "Drama"));
    Put(a.scheduleExtended[0], Schedule(0x0400, 0x58, 0, day, "Evening news"));
    Put(a.presentFollowing[0], Schedule(0x0400, 0x4E, 0, day, "Now"));
    Put(a.presentFollowing[1], Schedule(0x0400, 0x4E, 1, {2026, 12, 7, 20, 0, 0}, "Next"));
    StoreSection(a.scheduleOriginal[0], a.schedule[0].data, a.schedule[0].length);
    ServiceEntry& b = AddService(parser, 0x0408, "Beta");
    Put(b.schedule[511], Schedule(0x0408, 0x51, 255, {2026, 12, 14, 21, 0, 0}, "Late film"));
}

void ExpectSameSection(const SectionSlot& expected, const SectionSlot& actual, const char* what, int index)
{
    SCOPED_TRACE(std::string(what) + " " + std::to_string(index));
    ASSERT_EQ(expected.data ? expected.length : 0, actual.data ? actual.length : 0);
    if (!expected.data) return;
    EXPECT_EQ(0, std::memcmp(expected.data, actual.data, expected.length));
    EXPECT_EQ(actual.length, actual.capacity);
}

void ExpectSameService(const ServiceEntry& expected, const ServiceEntry& actual)
{
    EXPECT_EQ(expected.serviceId, actual.serviceId);
    EXPECT_EQ(expected.channel, actual.channel);
    EXPECT_EQ(0, std::memcmp(expected.providerName, actual.providerName, kNameBytes));
    EXPECT_EQ(expected.providerNameLength, actual.providerNameLength);
    EXPECT_EQ(0, std::memcmp(expected.serviceName, actual.serviceName, kNameBytes));
    EXPECT_EQ(expected.serviceNameLength, actual.serviceNameLength);
    EXPECT_EQ(expected.remoteKeyId, actual.remoteKeyId);
    EXPECT_EQ(0, std::memcmp(expected.tsName, actual.tsName, kNameBytes));
    EXPECT_EQ(expected.tsNameLength, actual.tsNameLength);
    for (int s = 0; s < kScheduleSlots; ++s) {
        ExpectSameSection(expected.schedule[s], actual.schedule[s], "schedule", s);
        ExpectSameSection(expected.scheduleExtended[s], actual.scheduleExtended[s], "extended", s);
        ExpectSameSection(expected.schedule[s], actual.scheduleOriginal[s], "original", s);
        EXPECT_EQ(0, actual.schedule[s].versionChanges);
        EXPECT_EQ(0, actual.scheduleExtended[s].versionChanges);
    }
    for (int i = 0; i < 2; ++i) {
        ExpectSameSection(expected.presentFollowing[i], actual.presentFollowing[i], "present/following", i);
        EXPECT_EQ(0, actual.presentFollowing[i].versionChanges);
    }
}

// Fails every write once a byte budget is spent, writing what fits first.
size_t g_writeBudget = 0;
size_t WriteWithinBudget(const void* data, size_t size, std::FILE* file)
{
    size_t take = size < g_writeBudget ? size : g_writeBudget;
    g_writeBudget -= take;
    return std::fwrite(data, 1, take, file);
}

bool RefuseReplace(const char*, const char*) { return false; }

class EventCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinJapanTime();
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::string("lumara_cache_") + info->name() + ".dat";
        RemoveFiles();
    }
    void TearDown() override
    {
        SetDataFileWriteForTesting(nullptr);
        SetFileReplacer(nullptr);
        RemoveFiles();
    }
    void RemoveFiles()
    {
        std::remove(m_path.c_str());
        std::remove((m_path + ".tmp").c_str());
    }

    std::string m_path;
};

TEST_F(EventCacheTest, EmptyStoreIsTheHeaderAlone)
{
    StreamParser parser;
    ASSERT_TRUE(SaveEventCache(parser.store, m_path.c_str()));
    EXPECT_EQ(Raw("Epg01"), ReadFileBytes(m_path));
}

TEST_F(EventCacheTest, ServiceWithEmptySlotsIsWrittenFieldByField)
{
    StreamParser parser;
    ServiceEntry& e = AddService(parser, 0x1234, "Svc");
    e.channel = 0x0A0B;
    e.remoteKeyId = 0x77;
    ASSERT_TRUE(SaveEventCache(parser.store, m_path.c_str()));
    Bytes file = ReadFileBytes(m_path);
    ASSERT_EQ(5 + kEmptyRecordBytes, file.size());

    Bytes expected = Raw("Epg01");
    auto u16 = [&](unsigned v) { expected.push_back(uint8_t(v)); expected.push_back(uint8_t(v >> 8)); };
    auto name = [&](const std::string& text) {
        Bytes field(kNameBytes, 0);
        std::memcpy(field.data(), text.data(), text.size());
        expected.insert(expected.end(), field.begin(), field.end());
        u16(static_cast<unsigned>(text.size()));
    };
    u16(0x1234);               // serviceId
    u16(0x0A0B);               // channel
    name("Provider");          // providerName, providerNameLength
    name("Svc");               // serviceName, serviceNameLength
    expected.push_back(0x77);  // remoteKeyId
    name("TS Svc");            // tsName, tsNameLength
    expected.resize(5 + kEmptyRecordBytes, 0);  // 1026 slot blocks: versionChanges 0, length 0
    EXPECT_EQ(expected, file);
}

TEST_F(EventCacheTest, SlotBlocksCarryCounterLengthAndSectionInSlotOrder)
{
    StreamParser parser;
    ServiceEntry& e = AddService(parser, 1, "S");
    Bytes basic = Schedule(1, 0x50, 1, {2026, 12, 7, 6, 0, 0}, "Basic");
    Bytes extended = Schedule(1, 0x58, 1, {2026, 12, 7, 6, 0, 0}, "Extended");
    Put(e.schedule[1], basic, 0x0102);
    Put(e.scheduleExtended[1], extended, 5);
    ASSERT_TRUE(SaveEventCache(parser.store, m_path.c_str()));
    Bytes file = ReadFileBytes(m_path);
    ASSERT_EQ(5 + kEmptyRecordBytes + basic.size() + extended.size(), file.size());

    size_t at = 5 + kCacheFixedFieldBytes + 2 * kCacheSlotBlockHeader;  // after both blocks of s = 0
    EXPECT_EQ((Bytes{0x02, 0x01, uint8_t(basic.size()), uint8_t(basic.size() >> 8)}), Bytes(&file[at], &file[at + 4]));
    EXPECT_EQ(basic, Bytes(&file[at + 4], &file[at + 4 + basic.size()]));
    at += 4 + basic.size();
    EXPECT_EQ((Bytes{5, 0, uint8_t(extended.size()), uint8_t(extended.size() >> 8)}), Bytes(&file[at], &file[at + 4]));
    EXPECT_EQ(extended, Bytes(&file[at + 4], &file[at + 4 + extended.size()]));
}

TEST_F(EventCacheTest, LoadRestoresEveryFieldAndRebuildsTheReferenceCopies)
{
    StreamParser saved;
    FillSample(saved);
    ASSERT_TRUE(SaveEventCache(saved.store, m_path.c_str()));

    StreamParser loaded;
    AddService(loaded, 7, "Replaced");  // the file replaces what the store held
    loaded.store.dirty = 1;
    loaded.totTime = 42;
    ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
    EXPECT_EQ(1, loaded.store.cacheVersion);
    ASSERT_EQ(2, loaded.store.serviceCount);
    EXPECT_EQ(nullptr, loaded.store.services[2]);
    EXPECT_EQ(1, loaded.store.dirty);
    EXPECT_EQ(42, loaded.totTime);
    ExpectSameService(*saved.store.services[0], *loaded.store.services[0]);
    ExpectSameService(*saved.store.services[1], *loaded.store.services[1]);
    EXPECT_EQ(LocalTimeStamp(2026, 12, 7, 0, 0, 0), loaded.store.scheduleBase);

    // Saving what was loaded gives the same file, counters apart.
    std::string again = m_path + ".again";
    ASSERT_TRUE(SaveEventCache(loaded.store, again.c_str()));
    Bytes first = ReadFileBytes(m_path);
    Bytes second = ReadFileBytes(again);
    std::remove(again.c_str());
    ASSERT_EQ(first.size(), second.size());
    size_t counter = 5 + kCacheFixedFieldBytes;  // versionChanges of schedule slot 0: 3 saved, 0 now
    EXPECT_EQ(3, first[counter]);
    first[counter] = 0;
    size_t differing = 0;
    for (size_t i = 0; i < first.size(); ++i) differing += first[i] != second[i];
    EXPECT_EQ(5u, differing) << "the five other non-zero counters";

    // At start-up the file is read into a store of its own and moved into the parser
    // the intake feeds, section buffers cleared: it ends as a load into it would leave it.
    StreamParser target;
    AddService(target, 7, "Replaced");
    target.pidBuffers[kPidEit] = new PidBuffer();
    MoveLoadedCache(loaded.store, target);
    EXPECT_EQ(nullptr, loaded.store.services[0]);
    EXPECT_EQ(1, target.store.cacheVersion);
    ASSERT_EQ(2, target.store.serviceCount);
    ExpectSameService(*saved.store.services[1], *target.store.services[1]);
    EXPECT_EQ(nullptr, target.pidBuffers[kPidEit]);
    EXPECT_EQ(LocalTimeStamp(2026, 12, 7, 0, 0, 0), target.store.scheduleBase);
}

TEST_F(EventCacheTest, VersionZeroFileHasNoNetworkFields)
{
    StreamParser saved;
    FillSample(saved);
    Bytes v1;
    ASSERT_TRUE(BuildEventCacheImage(saved.store, v1));
    // Rewrite as version 00: drop remoteKeyId, tsName and tsNameLength of each record.
    Bytes v0 = Raw("Epg00");
    size_t at = 5;
    for (int r = 0; r < 2; ++r) {
        const ServiceEntry& e = *saved.store.services[r];
        size_t recordEnd = at + kCacheFixedFieldBytes;
        for (int s = 0; s < kScheduleSlots; ++s)
            recordEnd += 8 + (e.schedule[s].data ? e.schedule[s].length : 0) +
                         (e.scheduleExtended[s].data ? e.scheduleExtended[s].length : 0);
        for (const SectionSlot& pf : e.presentFollowing) recordEnd += 4 + (pf.data ? pf.length : 0);
        v0.insert(v0.end(), v1.begin() + long(at), v1.begin() + long(at + 108));
        v0.insert(v0.end(), v1.begin() + long(at + kCacheFixedFieldBytes), v1.begin() + long(recordEnd));
        at = recordEnd;
    }
    ASSERT_EQ(v1.size(), at);
    ASSERT_TRUE(WriteFileBytes(m_path, v0));

    StreamParser loaded;
    loaded.store.cacheVersion = 1;
    ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
    EXPECT_EQ(0, loaded.store.cacheVersion);
    ASSERT_EQ(2, loaded.store.serviceCount);
    for (int r = 0; r < 2; ++r) {
        ServiceEntry& expected = *saved.store.services[r];
        expected.remoteKeyId = 0;
        std::memset(expected.tsName, 0, kNameBytes);
        expected.tsNameLength = 0;
        ExpectSameService(expected, *loaded.store.services[r]);
    }
}

TEST_F(EventCacheTest, ScheduleBaseComesFromTheFirstStoredScheduleSection)
{
    StreamParser saved;
    // Service 10 (first in store order) holds only slot 70 (day 2), its first event on D.
    ServiceEntry& first = AddService(saved, 10, "First");
    Put(first.schedule[70], Schedule(10, 0x50, 70, {2026, 12, 9, 3, 0, 0}, "Day two"));
    Put(first.scheduleExtended[0], Schedule(10, 0x58, 0, {2026, 12, 1, 3, 0, 0}, "Ignored"));
    Put(first.presentFollowing[0], Schedule(10, 0x4E, 0, {2026, 12, 1, 3, 0, 0}, "Ignored"));
    ServiceEntry& second = AddService(saved, 20, "Second");
    Put(second.schedule[0], Schedule(20, 0x50, 0, {2026, 12, 3, 3, 0, 0}, "Ignored"));
    ASSERT_TRUE(SaveEventCache(saved.store, m_path.c_str()));

    StreamParser loaded;
    ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
    EXPECT_EQ(LocalTimeStamp(2026, 12, 8, 0, 0, 0), loaded.store.scheduleBase);

    // Without any basic schedule section the base is 0, whatever it was before.
    EmptySlot(saved.store.services[0]->schedule[70]);
    EmptySlot(saved.store.services[1]->schedule[0]);
    ASSERT_TRUE(SaveEventCache(saved.store, m_path.c_str()));
    ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
    EXPECT_EQ(0, loaded.store.scheduleBase);
}

TEST_F(EventCacheTest, CompleteRecordsStayWhenTheFileEndsEarlyOrHasStrayBytes)
{
    StreamParser saved;
    FillSample(saved);
    AddService(saved, 0x0500, "Gamma");
    Bytes image;
    ASSERT_TRUE(BuildEventCacheImage(saved.store, image));

    Bytes stray = image;
    stray.insert(stray.end(), 10, 0xEE);
    ASSERT_TRUE(WriteFileBytes(m_path, stray));
    StreamParser loaded;
    ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
    EXPECT_EQ(3, loaded.store.serviceCount);

    Bytes cut(image.begin(), image.end() - 1);  // the third record lacks its last byte
    ASSERT_TRUE(WriteFileBytes(m_path, cut));
    ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
    EXPECT_EQ(2, loaded.store.serviceCount);
    EXPECT_EQ(nullptr, loaded.store.services[2]);
    ExpectSameService(*saved.store.services[1], *loaded.store.services[1]);
}

TEST_F(EventCacheTest, EveryCutOfTheFileLoadsOnlyWholeRecords)
{
    StreamParser saved;
    FillSample(saved);
    Bytes image;
    ASSERT_TRUE(BuildEventCacheImage(saved.store, image));
    const size_t firstRecordEnd = image.size() - kEmptyRecordBytes - saved.store.services[1]->schedule[511].length;
    std::vector<size_t> cuts = {0, 4, 5, 6, firstRecordEnd - 1, firstRecordEnd, image.size() - 1};
    for (size_t cut = 7; cut < image.size(); cut += 211) cuts.push_back(cut);
    for (size_t cut : cuts) {
        SCOPED_TRACE(cut);
        ASSERT_TRUE(WriteFileBytes(m_path, Bytes(image.begin(), image.begin() + long(cut))));
        StreamParser loaded;
        AddService(loaded, 99, "Kept");
        bool accepted = LoadEventCache(loaded.store, m_path.c_str());
        EXPECT_EQ(cut >= 5, accepted);
        int expected = cut < 5 ? 1 : cut < firstRecordEnd ? 0 : 1;
        ASSERT_EQ(expected, loaded.store.serviceCount);
    }
}

TEST_F(EventCacheTest, MissingFileOrWrongHeaderLeavesTheStoreAlone)
{
    StreamParser parser;
    AddService(parser, 5, "Kept");
    parser.store.scheduleBase = 1234;
    EXPECT_FALSE(LoadEventCache(parser.store, m_path.c_str()));
    for (const char* header : {"EPG01", "epg01", "Epx01", "Epg0", ""}) {
        Bytes file = Raw(header);
        file.resize(file.size() + (file.size() == 5 ? kEmptyRecordBytes : 0), 0);
        ASSERT_TRUE(WriteFileBytes(m_path, file));
        EXPECT_FALSE(LoadEventCache(parser.store, m_path.c_str())) << header;
        EXPECT_EQ(1, parser.store.serviceCount) << header;
        EXPECT_EQ(1234, parser.store.scheduleBase) << header;
    }
}

// A record whose contents cannot come from the store ends the load like a truncated one.
TEST_F(EventCacheTest, DamagedRecordIsDroppedWithEverythingAfterIt)
{
    StreamParser saved;
    ServiceEntry& a = AddService(saved, 1, "A");
    Put(a.schedule[0], Schedule(1, 0x50, 0, {2026, 12, 7, 6, 0, 0}, "Kept"));
    ServiceEntry& b = AddService(saved, 2, "B");
    Put(b.schedule[0], Schedule(2, 0x50, 0, {2026, 12, 7, 6, 0, 0}, "Damaged"));
    AddService(saved, 3, "C");
    Bytes image;
    ASSERT_TRUE(BuildEventCacheImage(saved.store, image));
    const size_t second = 5 + kEmptyRecordBytes + a.schedule[0].length;
    const size_t block = second + kCacheFixedFieldBytes;  // schedule slot 0 of the second record

    auto expectOneService = [&](const Bytes& file, const char* what) {
        ASSERT_TRUE(WriteFileBytes(m_path, file));
        StreamParser loaded;
        ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
        EXPECT_EQ(1, loaded.store.serviceCount) << what;
        EXPECT_EQ(1, loaded.store.services[0]->serviceId) << what;
    };
    // A length of 51 in each of the provider, service and TS names.
    for (size_t at : {second + 4 + kNameBytes, second + 6 + 2 * kNameBytes, block - 2}) {
        Bytes longName = image;
        longName[at] = kNameBytes + 1;
        expectOneService(longName, "name length over 50");
    }

    Bytes lengthMismatch = image;
    lengthMismatch[block + 4 + 2] += 1;  // section_length one more than stored
    expectOneService(lengthMismatch, "section_length disagrees");

    // "Sections" of 6 and 17 bytes that agree with their section_length: the block stays in
    // frame but cannot hold an EIT header and its CRC_32.
    // An 18-byte one, the size of a section without events, is whole.
    for (uint8_t size : {6, 17, 18}) {
        Bytes tiny(image.begin(), image.begin() + long(block));
        Bytes shortBlock = {0, 0, size, 0, 0x50, 0xF0, static_cast<uint8_t>(size - 3)};
        shortBlock.resize(4u + size, 1);
        tiny.insert(tiny.end(), shortBlock.begin(), shortBlock.end());
        tiny.insert(tiny.end(), image.begin() + long(block + 4 + b.schedule[0].length), image.end());
        if (size < 18) {
            expectOneService(tiny, "section shorter than its header");
            continue;
        }
        ASSERT_TRUE(WriteFileBytes(m_path, tiny));
        StreamParser loaded;
        ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
        EXPECT_EQ(3, loaded.store.serviceCount);
    }
}

// The loader does not look inside the event loop; every walk over it is bounded.
TEST_F(EventCacheTest, InconsistentEventLoopIsLoadedAndWalkedWithinTheSection)
{
    StreamParser saved;
    ServiceEntry& a = AddService(saved, 1, "A");
    Bytes section = Schedule(1, 0x50, 0, {2026, 12, 7, 6, 0, 0}, "Event");
    section[kEitHeaderBytes + 10] |= 0x0F;  // first event: descriptors_loop_length far past the CRC
    Put(a.schedule[0], section);
    ASSERT_TRUE(SaveEventCache(saved.store, m_path.c_str()));

    StreamParser loaded;
    ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
    ASSERT_EQ(1, loaded.store.serviceCount);
    EventCursor cursor(loaded.store.services[0]->schedule[0]);
    EventEntry event;
    EXPECT_FALSE(cursor.Next(event));
    EXPECT_EQ(LocalTimeStamp(2026, 12, 7, 0, 0, 0), loaded.store.scheduleBase);
}

TEST_F(EventCacheTest, FailedSaveLeavesThePreviousFile)
{
    StreamParser first;
    FillSample(first);
    ASSERT_TRUE(SaveEventCache(first.store, m_path.c_str()));
    const Bytes previous = ReadFileBytes(m_path);

    StreamParser second;
    AddService(second, 0x0999, "Other");
    Put(second.store.services[0]->schedule[0], Schedule(0x0999, 0x50, 0, {2026, 12, 7, 6, 0, 0}, "New"), 2);
    Bytes image;
    ASSERT_TRUE(BuildEventCacheImage(second.store, image));

    g_writeBudget = image.size() / 2;
    SetDataFileWriteForTesting(&WriteWithinBudget);
    EXPECT_FALSE(SaveEventCache(second.store, m_path.c_str()));
    SetDataFileWriteForTesting(nullptr);
    EXPECT_EQ(previous, ReadFileBytes(m_path));
    EXPECT_FALSE(FileExists(m_path + ".tmp"));
    EXPECT_EQ(2, second.store.services[0]->schedule[0].versionChanges);

    SetFileReplacer(&RefuseReplace);
    EXPECT_FALSE(SaveEventCache(second.store, m_path.c_str()));
    EXPECT_EQ(previous, ReadFileBytes(m_path));
    EXPECT_FALSE(FileExists(m_path + ".tmp"));

    StreamParser loaded;
    ASSERT_TRUE(LoadEventCache(loaded.store, m_path.c_str()));
    ASSERT_EQ(2, loaded.store.serviceCount);
    ExpectSameService(*first.store.services[0], *loaded.store.services[0]);

    // A save into a folder that does not exist fails quietly.
    EXPECT_FALSE(SaveEventCache(second.store, "no_such_folder/cache.dat"));
    EXPECT_FALSE(SaveEventCache(second.store, nullptr));
}

TEST_F(EventCacheTest, SaveReplacesAnExistingFile)
{
#ifdef _WIN32
    InstallWin32FileReplacer();
#endif
    StreamParser parser;
    FillSample(parser);
    ASSERT_TRUE(SaveEventCache(parser.store, m_path.c_str()));
    StreamParser smaller;
    AddService(smaller, 3, "Only");
    ASSERT_TRUE(SaveEventCache(smaller.store, m_path.c_str()));
    EXPECT_EQ(5 + kEmptyRecordBytes, ReadFileBytes(m_path).size());
    EXPECT_FALSE(FileExists(m_path + ".tmp"));
}

}  // namespace
