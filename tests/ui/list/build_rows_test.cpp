#include "ui/list/build_rows.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "list_fixture.h"
#include "settings/ini_profile.h"
#include "ui/list/list_items.h"
#include "ui/list/programme_menu.h"

namespace {

using Rows = ListFixture;

const int64_t kNow = Stamp(20, 10);

TEST_F(Rows, ServicesWithoutEventDataHaveRowsButNoItems)
{
    AddService(0x0400, u8"ＮＨＫ総合");
    AddService(0x0408, u8"", 0);
    ASSERT_EQ(Build(kNow), 2);
    EXPECT_EQ(Row(0).present.start, 0);
    EXPECT_EQ(Row(1).following.start, 0);
    const ListUpdate update = DecideListItems(rows, 3);
    EXPECT_TRUE(update.items.empty());
    EXPECT_TRUE(update.refreshPopup);
    EXPECT_EQ(update.surplusItems, 3);
}

TEST_F(Rows, FullStoreGivesEveryServiceARow)
{
    for (uint16_t id = 1; id <= kMaxServices; ++id) AddService(id);
    EXPECT_EQ(kMaxServices, Build(kNow));
}

TEST_F(Rows, NamesAreDecodedCutOrMadeFromChannelAndServiceId)
{
    ServiceEntry& named = AddService(0x0400, u8"ＮＨＫ総合", 27);
    const Bytes ts = EncodeArib(u8"ＮＨＫ総合・東京");
    named.tsNameLength = static_cast<uint16_t>(ts.size());
    std::memcpy(named.tsName, ts.data(), ts.size());
    AddService(0x0401, u8"", 22);
    AddService(0x0402, u8"", 0);
    // 40 hiragana: one raw byte each, two Shift-JIS bytes each.
    AddService(0x0403, u8"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらり");
    AddService(0x0404, u8"あ", 23);  // one raw byte, 0xA2
    AddService(0x0405, u8"aあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむ");  // odd: a cut one byte shorter shows
    ASSERT_EQ(Build(kNow), 6);
    EXPECT_EQ(RowOf(0x0404)->serviceName, Sjis(u8"あ"));
    EXPECT_EQ(RowOf(0x0400)->serviceName, Sjis(u8"ＮＨＫ総合"));
    EXPECT_EQ(RowOf(0x0400)->tsName, Sjis(u8"ＮＨＫ総合・東京"));
    EXPECT_EQ(RowOf(0x0400)->channel, 27);
    EXPECT_STREQ(RowOf(0x0401)->serviceName, "22ch");
    EXPECT_STREQ(RowOf(0x0401)->tsName, "");
    EXPECT_STREQ(RowOf(0x0402)->serviceName, "1026");
    EXPECT_EQ(FindRowIndex(rows, 0x0402), 2);
    EXPECT_EQ(FindRowIndex(rows, 0x0406), -1);
    const RowTable one = {rows[0]};
    EXPECT_EQ(RowAt(one, -1), nullptr);  // before the table (the sanitizer build sees the read)
    // Cut to 49 bytes without leaving half a character.
    EXPECT_EQ(RowOf(0x0403)->serviceName, Sjis(u8"あいうえおかきくけこさしすせそたちつてとなにぬね"));
    EXPECT_EQ(RowOf(0x0405)->serviceName, Sjis(u8"aあいうえおかきくけこさしすせそたちつてとなにぬね"));
    // A length beyond the name's storage (as a damaged cache file may hold) is not followed.
    Service(0x0402).serviceNameLength = 60000;
    Build(kNow);
    EXPECT_LE(std::strlen(RowOf(0x0402)->serviceName), 49u);
}

TEST_F(Rows, ProgrammeOnAirAndTheNextComeFromTheSchedule)
{
    AddService(0x0400, u8"ＮＨＫ総合");
    PutSchedule(0x0400, 1, {Programme(1, At(19, 0), 60, u8"夕方のニュース")});
    EitEvent onAir = Programme(2, At(20, 0), 60, u8"クローズアップ", 0xB3, u8"今夜の特集");
    const Bytes audio = AudioComponentDescriptor(0x03);
    onAir.descriptors.insert(onAir.descriptors.end(), audio.begin(), audio.end());
    PutSchedule(0x0400, 2, {onAir});
    // A one-byte text (0xA2) is kept.
    PutSchedule(0x0400, 3, {Programme(3, At(21, 0), 60, u8"ドラマ", 0x01, u8"あ"), Programme(4, At(22, 0), 60, u8"夜の番組")});
    Build(kNow);
    const ListRow& row = Row(0);
    EXPECT_EQ(row.present.start, Stamp(20, 0));
    EXPECT_EQ(row.present.end, Stamp(21, 0));
    EXPECT_EQ(row.present.title, Sjis(u8"クローズアップ"));
    EXPECT_EQ(row.present.text, Sjis(u8"今夜の特集"));
    EXPECT_EQ(row.present.videoComponentType, 0xB3);
    EXPECT_EQ(row.present.audioComponentType, 0x03);
    EXPECT_EQ(row.following.start, Stamp(21, 0));
    EXPECT_EQ(row.following.title, Sjis(u8"ドラマ"));
    EXPECT_EQ(row.following.videoComponentType, 0x01);
    EXPECT_EQ(row.following.text, Sjis(u8"あ"));

    const ListUpdate update = DecideListItems(rows, 0);
    ASSERT_EQ(update.items.size(), 1u);
    EXPECT_EQ(update.items[0].column[1], "20:00 " + Sjis(u8"クローズアップ"));
    EXPECT_EQ(update.items[0].column[2], "21:00 " + Sjis(u8"ドラマ"));
}

TEST_F(Rows, TitleAndTextAreCutToTheirFieldsOnWholeCharacters)
{
    std::u8string kana = u8"a";  // one byte, then double-byte characters
    for (int i = 0; i < 110; ++i) kana += u8"あ";
    const std::u8string even = kana.substr(1);  // double-byte characters alone: a cut one byte longer shows
    AddService(0x0400);
    PutSchedule(0x0400, 0, {Programme(1, At(20, 0), 60, kana, 0xB3, kana), Programme(2, At(21, 0), 60, even, 0xB3, even)});
    Build(kNow);
    EXPECT_EQ(Row(0).present.title, Sjis(kana).substr(0, 99));
    EXPECT_EQ(Row(0).present.text, Sjis(kana).substr(0, 199));
    EXPECT_EQ(Row(0).following.title, Sjis(even).substr(0, 98));
    EXPECT_EQ(Row(0).following.text, Sjis(even).substr(0, 198));
}

TEST_F(Rows, BroadcastClockIsTheReferenceOnceReceived)
{
    AddService(0x0400, u8"ＮＨＫ総合");
    PutSchedule(0x0400, 0, {Programme(1, At(20, 0), 60, u8"ニュース"), Programme(2, At(21, 0), 60, u8"ドラマ"),
                            Programme(3, At(22, 0), 60, u8"映画")});
    parser->totYear = 2026;
    parser->totTime = Stamp(21, 30);
    Build(kNow);
    EXPECT_EQ(Row(0).present.title, Sjis(u8"ドラマ"));
    EXPECT_EQ(Row(0).following.title, Sjis(u8"映画"));
}

TEST_F(Rows, FutureFirstEventTakesTheProgrammeOnAirFromThePresentSection)
{
    AddService(0x0400, u8"ＮＨＫ総合");
    PutSchedule(0x0400, 0, {Programme(1, At(18, 0), 60, u8"夕方"), Programme(3, At(21, 0), 60, u8"夜")});
    PutPresent(0x0400, {Programme(2, At(19, 0), 120, u8"特別番組")});
    Build(kNow);
    EXPECT_EQ(Row(0).present.title, Sjis(u8"特別番組"));
    EXPECT_EQ(Row(0).present.start, Stamp(19, 0));
    // The schedule section is walked again from its first event, which is then taken.
    EXPECT_EQ(Row(0).following.title, Sjis(u8"夕方"));
    EXPECT_EQ(Row(0).following.start, Stamp(18, 0));
}

TEST_F(Rows, WithoutPresentSectionTheUpcomingProgrammeIsTheFollowingOne)
{
    AddService(0x0400, u8"ＮＨＫ総合");
    PutSchedule(0x0400, 0, {Programme(1, At(21, 0), 60, u8"夜", 0xB3, u8"説明")});
    Build(kNow);
    EXPECT_EQ(Row(0).present.start, 0);
    EXPECT_EQ(Row(0).following.start, Stamp(21, 0));
    EXPECT_EQ(Row(0).following.title, Sjis(u8"夜"));
    EXPECT_EQ(Row(0).following.text, Sjis(u8"説明"));
    EXPECT_EQ(Row(0).following.videoComponentType, 0xB3);

    const ListUpdate update = DecideListItems(rows, 0);
    ASSERT_EQ(update.items.size(), 1u);
    EXPECT_EQ(update.items[0].column[1], "");
    EXPECT_EQ(update.items[0].column[2], "21:00 " + Sjis(u8"夜"));
}

// Once the programme on air is found, the scan looks only 63 slots further, empty ones
// counted: a programme a day ahead past them is neither the row's next one nor in the menu.
// The second schedule table (slots from 256) is searched like the first.
TEST_F(Rows, ScanAfterTheProgrammeOnAirStopsWithinItsBudget)
{
    const struct {
        int onAirSlot;
        int nextSlot;
        bool nextFound;
    } cases[] = {{0, 63, true}, {0, 64, false}, {0, 70, false}, {256, 319, true}, {256, 320, false}};
    for (const auto& c : cases) {
        parser = std::make_unique<StreamParser>();
        AddService(0x0400, u8"ＮＨＫ総合");
        PutSchedule(0x0400, c.onAirSlot, {Programme(1, At(20, 0), 60, u8"ニュース")});
        PutSchedule(0x0400, c.nextSlot, {Programme(2, {2026, 12, 8, 6, 0, 0}, 60, u8"翌朝の番組")});
        Build(kNow);
        EXPECT_EQ(Row(0).present.title, Sjis(u8"ニュース")) << c.onAirSlot;
        EXPECT_EQ(Row(0).following.start != 0, c.nextFound) << c.nextSlot;
        const std::optional<ProgrammeMenu> menu =
            BuildProgrammeMenu(parser->store, 0, 0x0400, Row(0).serviceName, false, false, kNow);
        ASSERT_TRUE(menu);
        EXPECT_EQ(menu->entries.size(), c.nextFound ? 2u : 1u) << c.nextSlot;
    }
    // The search for the programme on air reaches the last slot.
    parser = std::make_unique<StreamParser>();
    AddService(0x0400, u8"ＮＨＫ総合");
    PutSchedule(0x0400, 511, {Programme(1, At(20, 0), 60, u8"ニュース")});
    Build(kNow);
    EXPECT_EQ(Row(0).present.title, Sjis(u8"ニュース"));
}

// A programme ending this very second is over, one starting this very second is on air: in
// the rows, in the fall back to the present section and in the programme menu.
TEST_F(Rows, ExactSecondsDecideWhatIsOnAir)
{
    AddService(0x0400);
    PutSchedule(0x0400, 0, {Programme(1, At(19, 0), 60, u8"夕方"), Programme(2, At(20, 0), 60, u8"夜"),
                            Programme(3, At(21, 0), 60, u8"深夜")});
    // The present section tells of an overrun the schedule does not know.
    AddService(0x0410);
    PutSchedule(0x0410, 0, {Programme(2, At(20, 0), 60, u8"夜")});
    PutPresent(0x0410, {Programme(1, At(19, 30), 60, u8"特番")});
    const struct {
        int64_t now;
        const char8_t* present;
        const char8_t* following;
        const char8_t* presentOfOverrun;
        const char8_t* firstMenuEntry;
    } cases[] = {{Stamp(20, 0), u8"夜", u8"深夜", u8"夜", u8"20:00～21:00：夜"},
                 {Stamp(19, 59, 59), u8"夕方", u8"夜", u8"特番", u8"19:00～20:00：夕方"}};
    for (const auto& c : cases) {
        Build(c.now);
        EXPECT_EQ(RowOf(0x0400)->present.title, Sjis(c.present));
        EXPECT_EQ(RowOf(0x0400)->following.title, Sjis(c.following));
        EXPECT_EQ(RowOf(0x0410)->present.title, Sjis(c.presentOfOverrun));
        const std::optional<ProgrammeMenu> menu = BuildProgrammeMenu(parser->store, 0, 0x0400, "", false, false, c.now);
        ASSERT_TRUE(menu);
        EXPECT_EQ(menu->entries[0].text, Sjis(c.firstMenuEntry));
    }
}

TEST_F(Rows, DamagedSectionsAreReadOnlyWithinTheirBounds)
{
    AddService(0x0400, u8"ＮＨＫ総合");
    // Slot 0: the first event's descriptors_loop_length claims far more than the section holds.
    Bytes overlong = MakeEit({.serviceId = 0x0400, .events = {Programme(1, At(20, 0), 60, u8"壊れた")}});
    overlong[14 + 10] = 0x0F;
    overlong[14 + 11] = 0xFF;
    Put(Service(0x0400).schedule[0], overlong);
    // Slot 1: a short event descriptor whose name length runs past its body, then a
    // truncated section, then slot 3 with a good programme.
    EitEvent badName{2, At(20, 0), 60 * 60};
    badName.descriptors = {0x4D, 5, 'j', 'p', 'n', 200, 'x'};
    PutSchedule(0x0400, 1, {badName});
    const Bytes good = MakeEit({.serviceId = 0x0400, .sectionNumber = 2, .events = {Programme(3, At(20, 0), 60, u8"正常")}});
    Put(Service(0x0400).schedule[2], Bytes(good.begin(), good.begin() + 20));
    PutSchedule(0x0400, 3, {Programme(4, At(21, 0), 60, u8"次の番組")});
    Build(kNow);
    EXPECT_EQ(Row(0).present.start, 0);  // the nameless event was on air
    EXPECT_EQ(Row(0).following.title, Sjis(u8"次の番組"));
}

TEST_F(Rows, ChangeLogMarksItsServices)
{
    AddService(0x0400);
    AddService(0x0401);
    ChangeRecord record;
    record.serviceId = 0x0401;
    ASSERT_TRUE(changeLog.Append(record));
    Build(kNow);
    EXPECT_EQ(RowOf(0x0400)->changed, 0);
    EXPECT_EQ(RowOf(0x0401)->changed, 1);

    // Changes found after the build mark their rows at once; a service without a row is skipped.
    MarkChangedRows(rows, {0x0402, 0x0400});
    EXPECT_EQ(RowOf(0x0400)->changed, 1);
}

class RowSettings : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        const char8_t* titles[] = {u8"ニュース", u8"ドラマ", u8"映画", u8"天気"};
        for (uint16_t i = 0; i < 4; ++i) {
            AddService(static_cast<uint16_t>(0x0400 + i));
            PutSchedule(static_cast<uint16_t>(0x0400 + i), 0, {Programme(1, At(20, 0), 60, titles[i])});
        }
    }
    std::vector<uint16_t> Order() const
    {
        std::vector<uint16_t> ids;
        for (int i = 0; i < kMaxServices && rows[i]; ++i) ids.push_back(rows[i]->serviceId);
        return ids;
    }
    std::vector<int> ListedRows() const
    {
        std::vector<int> listed;
        for (const ListItemTexts& item : DecideListItems(rows, 0).items) listed.push_back(item.rowIndex);
        return listed;
    }
};

TEST_F(RowSettings, SortZeroComesFirstAndEqualKeysKeepServiceIdOrder)
{
    settings.Set("Sort1026", 0);
    settings.Set("Sort1027", 7);
    settings.Set("Sort1025", 7);
    Build(kNow);
    EXPECT_EQ(Order(), (std::vector<uint16_t>{0x0402, 0x0401, 0x0403, 0x0400}));
    EXPECT_EQ(RowOf(0x0400)->sortKey, 50);
    EXPECT_EQ(RowOf(0x0402)->storeIndex, 2);
    // Every service's two keys are read on every rebuild.
    EXPECT_EQ(settings.reads, 8);
    // A new row's full value is compared with the stored byte of those before it.
    settings.Set("Sort1024", 10);
    settings.Set("Sort1025", 256);
    Build(kNow);
    EXPECT_EQ(Order(), (std::vector<uint16_t>{0x0402, 0x0403, 0x0400, 0x0401}));
}

TEST_F(RowSettings, CheckZeroHidesTheRowButKeepsIt)
{
    settings.Set("Check1025", 0);
    ASSERT_EQ(Build(kNow), 4);
    ASSERT_NE(RowOf(0x0401), nullptr);
    EXPECT_EQ(RowOf(0x0401)->visible, 0);
    EXPECT_EQ(RowOf(0x0401)->present.start, Stamp(20, 0));
    EXPECT_EQ(ListedRows(), (std::vector<int>{0, 2, 3}));
}

TEST_F(RowSettings, ReadFromTheSettingsFile)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("lumara_rows_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".ini");
    std::ofstream(path, std::ios::binary) << "[LumaraList]\r\nCHW=120\r\n[SetupDialog]\r\nCheck1024=0\r\nSort1024=1\r\n"
                                             "Check1027=1\r\nSort1027=0\r\n";
    CIniProfile file(path.string().c_str());
    BuildRows(rows, parser->store, ReadServiceSettings(file, parser->store), changeLog, kNow);
    std::filesystem::remove(path);
    EXPECT_EQ(Order(), (std::vector<uint16_t>{0x0403, 0x0400, 0x0401, 0x0402}));
    EXPECT_EQ(ListedRows(), (std::vector<int>{0, 2, 3}));
}

}  // namespace
