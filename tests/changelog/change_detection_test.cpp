#include "changelog/change_detection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "changelog/change_log_file.h"
#include "changelog/change_test_support.h"
#include "changelog/event_summary.h"
#include "store/event_entry.h"
#include "support/japan_time.h"

namespace {

constexpr uint16_t kService = 0x0400;

class ChangeDetectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinJapanTime();
        m_path = TestFileName(".upd");
        std::remove(m_path.c_str());
        m_entry = m_parser.store.services[FindOrAddService(m_parser.store, kService)];
    }
    void TearDown() override { std::remove(m_path.c_str()); }

    // The first version, then the second, each followed by a pass as the window's timer runs it.
    bool Compare(const std::vector<Programme>& before, const std::vector<Programme>& after, int slot = 0)
    {
        Receive(*m_entry, slot, Version(kService, slot, 1, before));
        EXPECT_FALSE(DetectScheduleChanges(m_parser.store, m_log, m_path.c_str())) << "first version";
        Receive(*m_entry, slot, Version(kService, slot, 2, after));
        return DetectScheduleChanges(m_parser.store, m_log, m_path.c_str(), &m_changed);
    }

    StreamParser m_parser;
    ServiceEntry* m_entry = nullptr;
    ChangeLog m_log;
    std::vector<uint16_t> m_changed;
    std::string m_path;
};

const Programme kNews{"News", 18, 0, 60};
const Programme kQuiz{"Quiz", 19, 0, 60};
const Programme kFilm{"Film", 20, 0, 120};

TEST_F(ChangeDetectionTest, UnchangedEventsGiveNoRecordAndTheCopyFollows)
{
    EXPECT_FALSE(Compare({kNews, kQuiz}, {kNews, kQuiz}));
    EXPECT_EQ(0u, m_log.Count());
    EXPECT_TRUE(m_changed.empty());
    EXPECT_EQ(0, m_entry->schedule[0].versionChanges);
    const SectionSlot& copy = m_entry->scheduleOriginal[0];
    ASSERT_EQ(m_entry->schedule[0].length, copy.length);
    EXPECT_EQ(copy.length, copy.capacity);
    EXPECT_EQ(0, std::memcmp(m_entry->schedule[0].data, copy.data, copy.length));
    EXPECT_EQ(nullptr, std::fopen(m_path.c_str(), "rb")) << "nothing appended, nothing saved";
    // Other contents under the same version number are not compared.
    Receive(*m_entry, 0, Version(kService, 0, 2, {kNews, kFilm}));
    EXPECT_FALSE(DetectScheduleChanges(m_parser.store, m_log, m_path.c_str()));
    // Nor do they become the copy: the next version is compared with the last compared one.
    Receive(*m_entry, 0, Version(kService, 0, 3, {kNews, kFilm}));
    EXPECT_TRUE(DetectScheduleChanges(m_parser.store, m_log, m_path.c_str()));
}

TEST_F(ChangeDetectionTest, TitleChangeKeepsBothTimes)
{
    EXPECT_TRUE(Compare({kNews, kQuiz}, {kNews, {"Quiz special", 19, 0, 60}}));
    ASSERT_EQ(1u, m_log.Count());
    const ChangeRecord& r = m_log[0];
    EXPECT_EQ(kService, r.serviceId);
    EXPECT_EQ("Quiz", NameOf(r.before));
    EXPECT_EQ("Quiz special", NameOf(r.after));
    EXPECT_EQ(At(19, 0), r.before.start);
    EXPECT_EQ(At(20, 0), r.before.end);
    EXPECT_EQ(r.before.start, r.after.start);
    EXPECT_EQ(r.before.end, r.after.end);
    EXPECT_EQ(0xB3, r.after.videoType);
    EXPECT_EQ(0x03, r.after.audioType);
    EXPECT_EQ(std::vector<uint16_t>{kService}, m_changed);
}

TEST_F(ChangeDetectionTest, NameOfOneByteIsAName)
{
    EXPECT_TRUE(Compare({{"A", 19, 0, 60}}, {{"B", 19, 0, 60}}));
    EXPECT_EQ(1u, m_log.Count());
}

TEST_F(ChangeDetectionTest, MoveInTimeIsAChangeEvenWithTheSameName)
{
    EXPECT_TRUE(Compare({kNews, kQuiz}, {kNews, {"Quiz", 19, 5, 60}}));
    ASSERT_EQ(1u, m_log.Count());
    EXPECT_EQ("Quiz", NameOf(m_log[0].before));
    EXPECT_EQ("Quiz", NameOf(m_log[0].after));
    EXPECT_EQ(At(19, 0), m_log[0].before.start);
    EXPECT_EQ(At(19, 5), m_log[0].after.start);
    EXPECT_EQ(At(20, 5), m_log[0].after.end);
}

TEST_F(ChangeDetectionTest, DroppedAndAddedProgrammesHaveOneEmptySide)
{
    EXPECT_TRUE(Compare({kNews, kQuiz, kFilm}, {kNews, kQuiz}));
    ASSERT_EQ(1u, m_log.Count());
    EXPECT_EQ("Film", NameOf(m_log[0].before));
    EXPECT_EQ(At(22, 0), m_log[0].before.end);
    EXPECT_TRUE(m_log[0].after.Empty());
    EXPECT_EQ(0, m_log[0].after.nameLength);

    // Film starting as Quiz ends is no change of Quiz: one removed, one added.
    Receive(*m_entry, 0, Version(kService, 0, 3, {kNews, kFilm}));
    m_log.Clear();
    ASSERT_TRUE(DetectScheduleChanges(m_parser.store, m_log, m_path.c_str()));
    EXPECT_EQ(2u, m_log.Count());
    // A programme in the gap between two others.
    Receive(*m_entry, 0, Version(kService, 0, 4, {kNews, kQuiz, kFilm}));
    m_log.Clear();
    ASSERT_TRUE(DetectScheduleChanges(m_parser.store, m_log, m_path.c_str()));
    ASSERT_EQ(1u, m_log.Count());
    EXPECT_TRUE(m_log[0].before.Empty());
    EXPECT_EQ("Quiz", NameOf(m_log[0].after));
    EXPECT_EQ(At(19, 0), m_log[0].after.start);
}

TEST_F(ChangeDetectionTest, GenreAudioOrVideoAloneIsNoChange)
{
    Programme other = kQuiz;
    other.genre = 0x5;
    other.audio = 0x09;
    other.video = 0x01;
    EXPECT_FALSE(Compare({kNews, kQuiz}, {kNews, other}));
    EXPECT_EQ(0u, m_log.Count());
}

TEST_F(ChangeDetectionTest, NamelessEventsAreSkippedWithoutDisturbingThePairing)
{
    // The nameless event moves and a nameless one is added: neither is recorded, and the
    // programmes after them still pair with their own versions.
    Programme nameless{"", 18, 0, 60};
    Programme namelessShorter{"", 18, 0, 30};
    Programme namelessNew{"", 18, 30, 30};
    EXPECT_TRUE(Compare({nameless, kQuiz, kFilm}, {namelessShorter, namelessNew, {"Quiz!", 19, 0, 60}, kFilm}));
    ASSERT_EQ(1u, m_log.Count());
    EXPECT_EQ("Quiz", NameOf(m_log[0].before));
    EXPECT_EQ("Quiz!", NameOf(m_log[0].after));
}

TEST_F(ChangeDetectionTest, NamesAreCutAtOneHundredBytes)
{
    std::string longName(120, 'a');
    std::string sameStart = longName;
    sameStart[110] = 'b';  // differs only beyond what is kept
    std::string renamed = longName;
    renamed[50] = 'c';
    EXPECT_FALSE(Compare({{longName, 18, 0, 60}}, {{sameStart, 18, 0, 60}}));
    Receive(*m_entry, 0, Version(kService, 0, 3, {{renamed, 18, 0, 60}}));
    ASSERT_TRUE(DetectScheduleChanges(m_parser.store, m_log, m_path.c_str()));
    ASSERT_EQ(1u, m_log.Count());
    EXPECT_EQ(sameStart.substr(0, 100), NameOf(m_log[0].before));
    EXPECT_EQ(renamed.substr(0, 100), NameOf(m_log[0].after));

    Bytes file = ReadFileBytes(m_path);
    ASSERT_EQ(kChangeLogHeaderBytes + kChangeRecordFixedBytes + 200, file.size());
    EXPECT_EQ(100, file[5 + 2 + 19] | file[5 + 2 + 20] << 8);  // before name length
}

TEST_F(ChangeDetectionTest, RecordsComeInStoreSlotAndEventOrder)
{
    ServiceEntry* later = m_parser.store.services[FindOrAddService(m_parser.store, 0x0500)];
    ServiceEntry* earlier = m_parser.store.services[FindOrAddService(m_parser.store, 0x0100)];
    ServiceEntry* quiet = m_parser.store.services[FindOrAddService(m_parser.store, 0x0300)];
    Receive(*later, 0, Version(0x0500, 0, 1, {kNews}));
    Receive(*earlier, 300, Version(0x0100, 300, 1, {kNews, kQuiz}));
    Receive(*earlier, 8, Version(0x0100, 8, 1, {kFilm}));
    Receive(*quiet, 1, Version(0x0300, 1, 1, {kFilm}));
    ASSERT_FALSE(DetectScheduleChanges(m_parser.store, m_log, nullptr));

    Receive(*later, 0, Version(0x0500, 0, 2, {{"L", 18, 0, 60}}));
    Receive(*earlier, 300, Version(0x0100, 300, 2, {{"E1", 18, 0, 60}, {"E2", 19, 0, 60}}));
    Receive(*earlier, 8, Version(0x0100, 8, 2, {{"E0", 20, 0, 120}}));
    Receive(*quiet, 1, Version(0x0300, 1, 2, {kFilm}));
    std::vector<uint16_t> changed;
    ASSERT_TRUE(DetectScheduleChanges(m_parser.store, m_log, nullptr, &changed));
    std::vector<std::string> order;
    for (const ChangeRecord& r : m_log) order.push_back(std::to_string(r.serviceId) + ":" + NameOf(r.after));
    EXPECT_EQ((std::vector<std::string>{"256:E0", "256:E1", "256:E2", "1280:L"}), order);
    EXPECT_EQ((std::vector<uint16_t>{0x0100, 0x0500}), changed);
    EXPECT_TRUE(m_log.HasService(0x0100));
    EXPECT_FALSE(m_log.HasService(0x0300));
}

TEST_F(ChangeDetectionTest, OnlyBasicScheduleSlotsAreCompared)
{
    Bytes first = Version(kService, 0, 1, {kNews});
    Bytes second = Version(kService, 0, 2, {{"Other", 18, 0, 60}});
    StoreSection(m_entry->scheduleExtended[0], second.data(), second.size());
    m_entry->scheduleExtended[0].versionChanges = 2;
    StoreSection(m_entry->presentFollowing[0], second.data(), second.size());
    m_entry->presentFollowing[0].versionChanges = 2;
    EXPECT_FALSE(DetectScheduleChanges(m_parser.store, m_log, nullptr));
    EXPECT_EQ(2, m_entry->scheduleExtended[0].versionChanges);
    EXPECT_EQ(2, m_entry->presentFollowing[0].versionChanges);

    // A new version without a reference copy (e.g. dropped by a day change) is not compared
    // but becomes the copy the next version is compared with.
    StoreSection(m_entry->schedule[5], first.data(), first.size());
    m_entry->schedule[5].versionChanges = 1;
    EXPECT_FALSE(DetectScheduleChanges(m_parser.store, m_log, nullptr));
    Receive(*m_entry, 5, second);
    EXPECT_TRUE(DetectScheduleChanges(m_parser.store, m_log, nullptr));
    EXPECT_EQ(1u, m_log.Count());
}

TEST_F(ChangeDetectionTest, AppendingPassSavesTheLogEveryTime)
{
    EXPECT_TRUE(Compare({kNews}, {{"News", 18, 0, 30}}));
    ChangeLog reloaded;
    ASSERT_TRUE(LoadChangeLog(reloaded, m_path.c_str()));
    EXPECT_EQ(1u, reloaded.Count());

    // Going back to the earlier version records again: the log is never de-duplicated.
    Receive(*m_entry, 0, Version(kService, 0, 3, {kNews}));
    EXPECT_TRUE(DetectScheduleChanges(m_parser.store, m_log, m_path.c_str()));
    ASSERT_TRUE(LoadChangeLog(reloaded, m_path.c_str()));
    EXPECT_EQ(2u, reloaded.Count());
}

// A stored section is not trusted: an event whose descriptor loop runs past the CRC ends
// that version's event list, which reads as the remaining programmes having been dropped.
TEST_F(ChangeDetectionTest, EventLoopRunningPastTheSectionEndsTheWalk)
{
    Receive(*m_entry, 0, Version(kService, 0, 1, {kNews, kQuiz}));
    DetectScheduleChanges(m_parser.store, m_log, nullptr);
    Bytes broken = Version(kService, 0, 2, {kNews, kQuiz});
    SectionSlot& slot = m_entry->schedule[0];
    Receive(*m_entry, 0, broken);
    slot.data[kEitHeaderBytes + 10] |= 0x0F;  // first event's descriptors_loop_length
    ASSERT_TRUE(DetectScheduleChanges(m_parser.store, m_log, nullptr));
    ASSERT_EQ(2u, m_log.Count());
    EXPECT_EQ("News", NameOf(m_log[0].before));
    EXPECT_TRUE(m_log[0].after.Empty());
    EXPECT_EQ("Quiz", NameOf(m_log[1].before));
}

TEST(EventSummaryTest, ReadsTheFourDescriptorsWithinTheirBounds)
{
    PinJapanTime();
    Bytes d = ShortEventDescriptor(Raw("First"), {});
    Bytes more[] = {ComponentDescriptor(0xB1), ContentDescriptor(0x3, 0x1), ShortEventDescriptor(Raw("Second"), Raw("text")),
                    ContentDescriptor(0xA, 0x0), AudioComponentDescriptor(0x02)};
    for (const Bytes& m : more) d.insert(d.end(), m.begin(), m.end());
    // A short event descriptor whose event_name_length (200) exceeds its own body.
    Bytes overlong = {0x4D, 7, 'j', 'p', 'n', 200, 'X', 'Y', 'Z'};
    EitSection eit;
    eit.events.push_back({1, {2026, 12, 7, 18, 0, 0}, 3600, 0, d});
    eit.events.push_back({2, {2026, 12, 7, 19, 0, 0}, 3600, 0, overlong});
    eit.events.push_back({3, {2026, 12, 7, 20, 0, 0}, 3600, 0, ComponentDescriptor(0xB3)});
    // Component descriptors cut to one byte: their component_type lies outside them.
    eit.events.push_back({4, {2026, 12, 7, 21, 0, 0}, 3600, 0, {0x50, 1, 0xF1, 0xC4, 1, 0xF2, 0x54, 2, 0x30, 0}});
    Bytes section = MakeEit(eit);
    EventCursor cursor(section.data(), section.size());
    EventEntry event;

    ASSERT_TRUE(cursor.Next(event));
    uint8_t name[100];
    uint8_t video = 0, audio = 0, genre = 0;
    ASSERT_EQ(6, ReadEventSummary(event, name, 100, video, audio, genre));
    EXPECT_EQ("Second", std::string(name, name + 6));
    EXPECT_EQ(0xB1, video);
    EXPECT_EQ(0x02, audio);
    EXPECT_EQ(0xA, genre);
    EXPECT_EQ(3, ReadEventSummary(event, name, 3, video, audio, genre));

    ASSERT_TRUE(cursor.Next(event));
    EXPECT_EQ(3, ReadEventSummary(event, name, 100, video, audio, genre));
    EXPECT_EQ("XYZ", std::string(name, name + 3));

    ASSERT_TRUE(cursor.Next(event));
    EventSnapshot s = SnapshotOf(event);
    EXPECT_EQ(0, s.nameLength);
    EXPECT_EQ(0xB3, s.videoType);
    EXPECT_EQ(0, s.audioType);
    EXPECT_EQ(At(20, 0), s.start);
    EXPECT_EQ(At(21, 0), s.end);

    ASSERT_TRUE(cursor.Next(event));
    video = audio = 0x77;
    ReadEventSummary(event, name, 100, video, audio, genre);
    EXPECT_EQ(0x77, video);
    EXPECT_EQ(0x77, audio);
    EXPECT_EQ(3, genre);
}

}  // namespace
