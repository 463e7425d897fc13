#include "ui/list/programme_menu.h"

#include <gtest/gtest.h>

#include "list_fixture.h"

namespace {

using ProgrammeMenus = ListFixture;

const int64_t kNow = Stamp(20, 10);

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::optional<ProgrammeMenu> MenuFor(const StreamParser& parser, uint16_t serviceId, bool tuning = false,
                                     bool recording = false)
{
    return BuildProgrammeMenu(parser.store, 3, serviceId, Sjis(u8"ＮＨＫ総合").c_str(), tuning, recording, kNow);
}

TEST_F(ProgrammeMenus, EndTimeIsAddedOnTheClockFaceAcrossMidnight)
{
    const struct {
        BroadcastTime start;
        int seconds;
        int endHour;
        int endMinute;
    } cases[] = {
        {At(23, 30), 105 * 60, 1, 15},
        {At(10, 59, 30), 45, 11, 0},              // seconds carry into the minute
        {At(10, 59, 30), 29, 10, 59},             // 59 of them do not
        {At(20, 0), 30 * 3600, 2, 0},             // a day or more still wraps: not 26:00
        {At(20, 45), 29 * 3600 + 20 * 60, 2, 5},  // and the minutes carry into the hour
    };
    for (const auto& c : cases) {
        const Bytes times = Concat({EncodeStartTime(c.start), EncodeDuration(c.seconds)});
        const ProgrammeClock clock = ProgrammeClockOf(times.data());
        EXPECT_EQ(clock.startHour, c.start.hour);
        EXPECT_EQ(clock.startMinute, c.start.minute);
        EXPECT_EQ(clock.endHour, c.endHour) << c.seconds;
        EXPECT_EQ(clock.endMinute, c.endMinute) << c.seconds;
    }

    AddService(0x0400);
    PutSchedule(0x0400, 0, {Programme(1, At(23, 30), 105, u8"深夜映画")});
    const std::optional<ProgrammeMenu> menu = MenuFor(*parser, 0x0400);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->entries.size(), 1u);
    EXPECT_EQ(menu->entries[0].text, Sjis(u8"23:30～01:15：深夜映画"));
}

TEST_F(ProgrammeMenus, UndefinedTimesShowNoMadeUpEnd)
{
    AddService(0x0400);
    PutSchedule(0x0400, 0,
                {Programme(1, At(20, 0), 30, u8"ニュース"), Programme(2, At(20, 30), kUndefinedDuration, u8"野球中継"),
                 Programme(3, kUndefinedStart, 60, u8"未定")});
    const std::optional<ProgrammeMenu> menu = MenuFor(*parser, 0x0400);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->entries.size(), 3u);
    EXPECT_EQ(menu->entries[1].text, Sjis(u8"20:30～：野球中継")) << "not 20:30～20:16";
    EXPECT_EQ(menu->entries[2].text, Sjis(u8"未定"));
}

TEST_F(ProgrammeMenus, AtMostTenComingProgrammesFromTheOneOnAir)
{
    AddService(0x0400);
    std::vector<EitEvent> day;
    for (int hour = 12; hour < 24; ++hour)
        day.push_back(Programme(static_cast<uint16_t>(hour), At(hour, 0), 60, u8"番組"));
    PutSchedule(0x0400, 0, std::vector<EitEvent>(day.begin(), day.begin() + 6));
    PutSchedule(0x0400, 1, std::vector<EitEvent>(day.begin() + 6, day.end()));
    const std::optional<ProgrammeMenu> menu = MenuFor(*parser, 0x0400);
    ASSERT_TRUE(menu);
    // 20:00 is on air; four are left after the tenth.
    ASSERT_EQ(menu->entries.size(), 4u);
    EXPECT_EQ(menu->entries[0].text.substr(0, 5), "20:00");

    std::vector<EitEvent> night;
    for (int hour = 0; hour < 8; ++hour)
        night.push_back(Programme(static_cast<uint16_t>(30 + hour), {2026, 12, 8, hour, 0, 0}, 60, u8"番組"));
    PutSchedule(0x0400, 2, night);
    PutSchedule(0x0400, 3, {Programme(40, {2026, 12, 8, 8, 0, 0}, 60, u8"番組")});  // past the tenth too
    const std::optional<ProgrammeMenu> full = MenuFor(*parser, 0x0400);
    ASSERT_TRUE(full);
    ASSERT_EQ(full->entries.size(), 10u);
    EXPECT_EQ(full->entries[9].text.substr(0, 5), "05:00");
}

TEST_F(ProgrammeMenus, NamelessProgrammesMakeNoEntry)
{
    AddService(0x0400);
    PutSchedule(0x0400, 0, {Programme(1, At(20, 0), 60, u8""), Programme(2, At(21, 0), 60, u8"ドラマ"),
                            Programme(3, At(22, 0), 60, u8"1")});
    const std::optional<ProgrammeMenu> menu = MenuFor(*parser, 0x0400);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->entries.size(), 2u);
    EXPECT_EQ(menu->entries[0].text, Sjis(u8"21:00～22:00：ドラマ"));
    EXPECT_EQ(menu->entries[1].text, Sjis(u8"22:00～23:00：1")) << "a name of one byte";

    AddService(0x0401);
    PutSchedule(0x0401, 0, {Programme(1, At(20, 0), 60, u8""), Programme(2, At(21, 0), 60, u8"")});
    EXPECT_FALSE(MenuFor(*parser, 0x0401));
    EXPECT_FALSE(MenuFor(*parser, 0x0999));  // not in the store
    EXPECT_FALSE(BuildProgrammeMenu(parser->store, -1, 0x0400, "", false, false, kNow));
}

TEST_F(ProgrammeMenus, StandardDefinitionMark)
{
    EXPECT_TRUE(IsStandardDefinition(0x01));
    EXPECT_TRUE(IsStandardDefinition(0xA1));
    EXPECT_FALSE(IsStandardDefinition(0xB3));
    EXPECT_FALSE(IsStandardDefinition(0xC1));
    EXPECT_FALSE(IsStandardDefinition(0x00));

    AddService(0x0400);
    PutSchedule(0x0400, 0, {Programme(1, At(20, 0), 60, u8"ＳＤ", 0x01), Programme(2, At(21, 0), 60, u8"ＨＤ", 0xB3),
                            Programme(3, At(22, 0), 60, u8"不明", 0x00)});
    const std::optional<ProgrammeMenu> menu = MenuFor(*parser, 0x0400);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->entries.size(), 3u);
    EXPECT_TRUE(menu->entries[0].standardDefinition);
    EXPECT_FALSE(menu->entries[1].standardDefinition);
    EXPECT_FALSE(menu->entries[2].standardDefinition);
}

TEST_F(ProgrammeMenus, TitleOffersTuningUnlessTuningOrRecording)
{
    AddService(0x0400);
    PutSchedule(0x0400, 0, {Programme(1, At(20, 0), 60, u8"ニュース")});
    std::optional<ProgrammeMenu> menu = MenuFor(*parser, 0x0400);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title, Sjis(u8"［ＮＨＫ総合］- 選局"));
    EXPECT_EQ(menu->titleCommand, 2103);

    menu = MenuFor(*parser, 0x0400, true, false);
    EXPECT_EQ(menu->title, Sjis(u8"［ＮＨＫ総合］"));
    EXPECT_EQ(menu->titleCommand, 2103);  // the tune command itself ignores it while waiting

    menu = MenuFor(*parser, 0x0400, false, true);
    EXPECT_EQ(menu->title, Sjis(u8"［ＮＨＫ総合］"));
    EXPECT_EQ(menu->titleCommand, 0);

    // A long name: 79 bytes at most, whole characters.
    const std::string name = Sjis(u8"ああああああああああああああああああああああああああああああああああああ");
    menu = BuildProgrammeMenu(parser->store, 3, 0x0400, name.c_str(), false, false, kNow);
    EXPECT_EQ(menu->title, Sjis(u8"［") + name + Sjis(u8"］- "));
}

TEST(ProgrammeMenuBuffers, AtMostTwentyTextsEachCutToItsBufferAndTheMenuBesideTheCursor)
{
    const ProgrammeMenu menu{std::string(90, 'T'), 0, std::vector<ProgrammeMenuEntry>(25, {std::string(250, 'E')})};
    char title[kMenuTitleBytes], texts[kMenuTextCount][kMenuTextChars];
    EXPECT_EQ(WriteMenuTexts(menu, title, texts), kMenuTextCount);
    EXPECT_EQ(std::string(title) + texts[kMenuTextCount - 1], std::string(79, 'T') + std::string(199, 'E'));
    const MenuPosition at = ProgrammeMenuPosition(100, 200);
    EXPECT_EQ(std::make_pair(at.x, at.y), std::make_pair(105, 203));
}

}  // namespace
