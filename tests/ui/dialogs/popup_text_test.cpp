#include "ui/dialogs/popup_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "store/programme_store.h"
#include "support/arib_encoder.h"
#include "support/japan_time.h"
#include "support/section_builder.h"
#include "support/sjis_text.h"
#include "broadcast/broadcast_time.h"
#include "ts/stream_parser.h"
#include "ui/dialogs/extended_event.h"
#include "ui/list/list_items.h"

namespace {

constexpr uint16_t kService = 1024;

std::string Sjis(std::u8string_view utf8) { return Utf8ToShiftJis(Utf8(utf8)); }
int64_t Stamp(int hour, int minute) { return LocalTimeStamp(2026, 12, 7, hour, minute, 0); }

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

EitEvent Event(uint16_t id, int hour, int minutes, Bytes descriptors)
{
    return {id, {2026, 12, 7, hour, 0, 0}, minutes * 60, 0, std::move(descriptors)};
}

Bytes Extended(std::u8string_view heading, std::u8string_view text)
{
    return ExtendedEventDescriptor(0, 0, {{EncodeArib(heading), EncodeArib(text)}});
}

class PopupTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinJapanTime();
        service = parser.store.services[FindOrAddService(parser.store, kService)];
        row.serviceId = kService;
        row.present = Slot(20, 21, u8"ニュース", 0xB3);
        row.following = Slot(21, 22, u8"ドラマ", 0x00);
    }
    static ProgrammeSlot Slot(int hour, int endHour, std::u8string_view title, uint8_t video)
    {
        ProgrammeSlot slot;
        slot.start = Stamp(hour, 0);
        slot.end = Stamp(endHour, 0);
        slot.videoComponentType = video;
        std::strcpy(slot.title, Sjis(title).c_str());
        return slot;
    }
    void Put(SectionSlot& slot, uint8_t tableId, std::vector<EitEvent> events)
    {
        EitSection eit{.tableId = tableId, .serviceId = kService};
        eit.events = std::move(events);
        const Bytes section = MakeEit(eit);
        ASSERT_TRUE(StoreSection(slot, section.data(), section.size()));
    }
    uint16_t FoundId(int hour, int minute)
    {
        const auto found = FindExtendedEvent(*service, Stamp(hour, minute));
        return found ? found->eventId : 0;
    }

    StreamParser parser;
    ServiceEntry* service = nullptr;
    ListRow row;
};

TEST(PopupTextFormats, VideoFormatAndAspectFromTheComponentType)
{
    EXPECT_STREQ("480p", VideoFormatText(0xA4));
    EXPECT_STREQ("(4:3pan)", AspectText(0xA4));
    EXPECT_STREQ("1080i", VideoFormatText(0xB3));
    EXPECT_STREQ("(16:9)", AspectText(0xB3));
    EXPECT_STREQ("--", VideoFormatText(0xC1));
    EXPECT_STREQ("(4:3)", AspectText(0xC1));
}

TEST(PopupTextFormats, LineRuleDropsTheFinalBreakAndEndsEveryOtherLine)
{
    std::string out;
    AppendLines(out, "one\rtwo\r");
    EXPECT_EQ("one\r\ntwo", out) << "no empty last line";
    out.clear();
    AppendLines(out, "a\r\rb");
    EXPECT_EQ("a\r\n\r\nb", out);
    out.clear();
    AppendLines(out, "\r");
    AppendLines(out, "");
    EXPECT_EQ("", out);
}

TEST_F(PopupTextTest, ContinuationMarkShowsThePresentProgramme)
{
    EXPECT_EQ(0, PopupSlotIndex(2, kContinuationMark));
    EXPECT_EQ(1, PopupSlotIndex(2, "21:00 x"));
    EXPECT_EQ(0, PopupSlotIndex(1, kContinuationMark));
    PopupTexts texts;
    ASSERT_TRUE(DescribeProgramme(row, 2, kContinuationMark, "NHK", parser.store, texts));
    EXPECT_EQ(Sjis(u8"【ニュース】\r\n\r\n"), texts.body);
    EXPECT_EQ(Sjis(u8"[NHK] - 2026/12/07(月)"), texts.nameLine);
    EXPECT_EQ(Sjis(u8" 20:00～21:00 1080i(16:9)"), texts.timesLine);
    EXPECT_FALSE(DescribeProgramme(row, 1, "", "NHK", parser.store, texts)) << "an empty cell shows nothing new";
}

TEST_F(PopupTextTest, ComponentTypeZeroShows480iWithUnknownAspect)
{
    PopupTexts texts;
    ASSERT_TRUE(DescribeProgramme(row, 2, "21:00 x", "NHK", parser.store, texts));
    EXPECT_EQ(Sjis(u8" 21:00～22:00 480i(--)"), texts.timesLine);
}

TEST_F(PopupTextTest, UndefinedTimesShowNoMadeUpTimes)
{
    const auto broadcast = [](ProgrammeSlot& slot, const BroadcastTime& start, int seconds) {
        const EventTimeRange times = EventTimes(EncodeEventTimes(start, seconds).data());
        slot.start = times.start;
        slot.end = times.end;
    };
    broadcast(row.present, {2026, 12, 7, 20, 0, 0}, kUndefinedDuration);
    broadcast(row.following, kUndefinedStart, 3600);
    PopupTexts texts;
    ASSERT_TRUE(DescribeProgramme(row, 1, "20:00 x", "NHK", parser.store, texts));
    EXPECT_EQ(Sjis(u8"[NHK] - 2026/12/07(月)"), texts.nameLine);
    EXPECT_EQ(Sjis(u8" 20:00～ 1080i(16:9)"), texts.timesLine) << "not 20:00～19:47";
    ASSERT_TRUE(DescribeProgramme(row, 2, "x", "NHK", parser.store, texts));
    EXPECT_EQ("[NHK]", texts.nameLine);
    EXPECT_EQ(" 480i(--)", texts.timesLine);
}

TEST_F(PopupTextTest, ShortTextEndingWithALineBreakShowsNoEmptyLastLine)
{
    std::strcpy(row.present.text, "first\rsecond\r");
    PopupTexts texts;
    ASSERT_TRUE(DescribeProgramme(row, 1, "20:00 x", "NHK", parser.store, texts));
    EXPECT_EQ(Sjis(u8"【ニュース】\r\n\r\nfirst\r\nsecond"), texts.body);
}

TEST_F(PopupTextTest, ExtendedDescriptionSplitOverDescriptorsIsOneItem)
{
    // The cast list continues in a second descriptor whose heading is empty. The second half
    // relies on the code state set up in the first, so only the joined bytes decode right.
    const Bytes cast = EncodeArib(u8"山田太郎\n佐藤花子\n");
    const size_t cut = cast.size() / 2 + 1;
    const Bytes first = ExtendedEventDescriptor(0, 2, {{EncodeArib(u8"出演者"), Bytes(cast.begin(), cast.begin() + cut)}});
    const Bytes second = ExtendedEventDescriptor(1, 2, {{{}, Bytes(cast.begin() + cut, cast.end())}});
    const Bytes third = Extended(u8"番組内容", u8"旅の記録");
    Bytes broken = Extended(u8"壊", u8"x");
    broken[7] = 0xFF;  // a heading that runs past its descriptor ends it, adding nothing
    Put(service->scheduleExtended[0], 0x58, {Event(7, 20, 60, Join({first, second, third, broken}))});
    PopupTexts texts;
    ASSERT_TRUE(DescribeProgramme(row, 1, "20:00 x", "NHK", parser.store, texts));
    EXPECT_EQ(Sjis(u8"【ニュース】\r\n\r\n\r\n\r\n出演者\r\n山田太郎\r\n佐藤花子\r\n\r\n番組内容\r\n旅の記録"), texts.body);
}

TEST_F(PopupTextTest, HeadingIsCutOnWholeCharacters)
{
    std::u8string heading;
    for (int i = 0; i < 60; ++i) heading += u8"番";
    Put(service->scheduleExtended[0], 0x58, {Event(7, 20, 60, Extended(heading, u8"内容"))});
    PopupTexts texts;
    ASSERT_TRUE(DescribeProgramme(row, 1, "20:00 x", "NHK", parser.store, texts));
    EXPECT_EQ(Sjis(u8"【ニュース】\r\n\r\n\r\n\r\n") + Sjis(heading).substr(0, 98) + Sjis(u8"\r\n内容"), texts.body);
}

TEST_F(PopupTextTest, FindExtendedEventSearchesTheScheduleByTime)
{
    Put(service->scheduleExtended[0], 0x58, {Event(1, 18, 60, {}), Event(2, 19, 60, {})});
    Put(service->scheduleExtended[1], 0x58, {Event(3, 21, 60, {})});
    EXPECT_EQ(1, FoundId(18, 0));
    EXPECT_EQ(2, FoundId(19, 59));
    EXPECT_EQ(0, FoundId(20, 0)) << "ended this very second";
    EXPECT_EQ(3, FoundId(21, 0)) << "in the next slot";
    EXPECT_EQ(0, FoundId(20, 30)) << "a gap in the schedule";
    EXPECT_EQ(0, FoundId(23, 0));
}

TEST_F(PopupTextTest, ProgrammeBeforeTheScheduleComesFromThePresentOrFollowingSection)
{
    Put(service->scheduleExtended[0], 0x58, {Event(3, 21, 60, {})});
    Put(service->presentFollowing[0], 0x4E, {Event(1, 20, 60, Extended(u8"内容", u8"あ"))});
    EXPECT_EQ(1, FoundId(20, 10));
    EXPECT_EQ(1, FoundId(20, 0)) << "starts exactly now";
    EXPECT_EQ(0, FoundId(19, 10)) << "the present programme starts later";
    Put(service->scheduleExtended[0], 0x58, {Event(2, 18, 60, {}), Event(3, 21, 60, {})});
    EXPECT_EQ(0, FoundId(20, 10)) << "a gap after the schedule's first programme";
    Put(service->scheduleExtended[0], 0x58, {Event(3, 21, 60, {})});

    Put(service->presentFollowing[0], 0x4E, {Event(1, 20, 60, {})});
    Put(service->presentFollowing[1], 0x4E, {Event(4, 20, 60, Extended(u8"内容", u8"い"))});
    EXPECT_EQ(4, FoundId(20, 10)) << "the present event has no extended description";
    Put(service->presentFollowing[0], 0x4E, {Event(5, 19, 60, Extended(u8"内容", u8"う"))});
    EXPECT_EQ(0, FoundId(20, 10)) << "the present section's programme has ended";
    EXPECT_EQ(0, FoundId(20, 0)) << "this very second";

    EmptySlot(service->scheduleExtended[0]);
    EXPECT_EQ(0, FoundId(20, 10)) << "no extended schedule section at all";
}

TEST_F(PopupTextTest, RowWhoseStoreIndexMovedFindsItsOwnService)
{
    Put(service->scheduleExtended[0], 0x58, {Event(7, 20, 60, Extended(u8"内容", u8"本物"))});
    FindOrAddService(parser.store, 1000);  // shifts 1024 to index 1
    row.storeIndex = 0;
    PopupTexts texts;
    ASSERT_TRUE(DescribeProgramme(row, 1, "20:00 x", "NHK", parser.store, texts));
    EXPECT_NE(std::string::npos, texts.body.find(Sjis(u8"本物")));
    EXPECT_EQ(nullptr, StoreEntryOfRow(parser.store, 7, 999));
}

}  // namespace
