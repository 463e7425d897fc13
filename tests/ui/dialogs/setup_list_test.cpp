#include "ui/dialogs/setup_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "settings/ini_profile.h"
#include "store/programme_store.h"
#include "support/arib_encoder.h"
#include "support/section_builder.h"
#include "support/sjis_text.h"
#include "ts/stream_parser.h"
#include "ui/list/service_settings.h"

namespace {

class SetupListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path = std::string("lumara_setup_") + info->name() + ".ini";
        std::remove(path.c_str());
    }
    void TearDown() override { std::remove(path.c_str()); }

    void AddService(uint16_t id, std::string_view utf8Name)
    {
        ServiceEntry& s = *parser.store.services[FindOrAddService(parser.store, id)];
        const Bytes raw = EncodeArib(utf8Name);
        s.serviceNameLength = static_cast<uint16_t>(raw.size());
        if (!raw.empty()) std::memcpy(s.serviceName, raw.data(), raw.size());
    }
    // Five services: a broadcaster with ids 1024-1026, then 1032 and 1040.
    void AddBroadcasters()
    {
        for (uint16_t id : {1040, 1024, 1032, 1026, 1025})
            AddService(id, Utf8(u8"局") + std::to_string(id));
    }
    void Set(const char* format, int id, int value)
    {
        char key[24];
        std::snprintf(key, sizeof key, format, id);
        WriteProfileInt(profile, kSectionSetupDialog, key, value);
    }
    int Read(const char* format, int id)
    {
        char key[24];
        std::snprintf(key, sizeof key, format, id);
        return profile.ReadInt(kSectionSetupDialog, key, -1);
    }
    static std::vector<int> Ids(const std::vector<SetupItem>& items)
    {
        std::vector<int> ids;
        for (const SetupItem& item : items) ids.push_back(item.serviceId);
        return ids;
    }
    // Presses a move button as the dialog does: plan, then the list-view steps, re-selecting
    // the selected item when a step re-inserts it.
    int Press(std::vector<SetupItem>& items, int selected, SetupMoveDirection direction)
    {
        const SetupBlockMove move = PlanSetupMove(items, selected, direction);
        const bool listed = selected >= 0 && selected < static_cast<int>(items.size());
        const uint16_t id = listed ? items[static_cast<size_t>(selected)].serviceId : 0;
        SetupBlockMove step = move;
        step.count = 1;
        int reselected = 0;
        for (int k = 0; k < move.count; ++k) {
            ApplySetupMove(items, step);
            if (!SetupStepSelects(move, k)) continue;
            EXPECT_EQ(id, items[static_cast<size_t>(move.to)].serviceId) << "re-selected another item";
            ++reselected;
        }
        EXPECT_EQ(direction == SetupMoveDirection::Up && move.count ? 1 : 0, reselected) << "re-inserted only going up";
        return move.selectedAfter;
    }

    StreamParser parser;
    std::string path;
    CIniProfile profile{""};
};

TEST_F(SetupListTest, FreshSettingsListEveryServiceTickedInServiceIdOrder)
{
    AddBroadcasters();
    AddService(1041, "");
    profile = CIniProfile(path.c_str());
    const auto items = FillSetupList(parser.store, ReadServiceSettings(profile, parser.store));
    EXPECT_EQ((std::vector<int>{1024, 1025, 1026, 1032, 1040, 1041}), Ids(items));
    for (const SetupItem& item : items) {
        EXPECT_TRUE(item.checked);
        EXPECT_EQ(50, item.sortValue);
    }
    EXPECT_EQ(Utf8ToShiftJis(Utf8(u8"局1024")), items[0].name);
    EXPECT_EQ("1041", items[5].name) << "a service without a name is listed by its id";
}

TEST_F(SetupListTest, SortValuesOrderTheListAndEqualValuesKeepStoreOrder)
{
    AddBroadcasters();
    profile = CIniProfile(path.c_str());
    Set("Sort%d", 1040, 0);
    Set("Sort%d", 1032, 7);
    Set("Sort%d", 1025, 7);
    Set("Check%d", 1026, 0);
    const auto items = FillSetupList(parser.store, ReadServiceSettings(profile, parser.store));
    EXPECT_EQ((std::vector<int>{1040, 1025, 1032, 1024, 1026}), Ids(items));
    EXPECT_FALSE(items[4].checked);
    EXPECT_EQ(kSetupUnchecked, SetupStateImage(items[4].checked));
}

TEST_F(SetupListTest, ServiceWithADuplicateNameGetsNoItemAndKeepsItsKeys)
{
    AddService(1024, Utf8(u8"総合"));
    AddService(1025, Utf8(u8"総合"));
    AddService(1032, Utf8(u8"教育"));
    profile = CIniProfile(path.c_str());
    Set("Sort%d", 1025, 9);
    auto items = FillSetupList(parser.store, ReadServiceSettings(profile, parser.store));
    EXPECT_EQ((std::vector<int>{1024, 1032}), Ids(items));
    WriteSetupChoices(profile, items);
    EXPECT_EQ(9, Read("Sort%d", 1025));
    EXPECT_EQ(-1, Read("Check%d", 1025));
}

TEST_F(SetupListTest, BlocksAreRunsOfConsecutiveServiceIds)
{
    AddBroadcasters();
    profile = CIniProfile(path.c_str());
    const auto items = FillSetupList(parser.store, ReadServiceSettings(profile, parser.store));
    const SetupBlock broadcaster = FindSetupBlock(items, 1);
    EXPECT_EQ(0, broadcaster.top);
    EXPECT_EQ(2, broadcaster.bottom) << "1024-1026 together";
    EXPECT_EQ(3, FindSetupBlock(items, 3).top) << "1032 alone";
    EXPECT_EQ(3, FindSetupBlock(items, 3).bottom);
    EXPECT_EQ(-1, FindSetupBlock(items, -1).bottom) << "nothing selected";
}

TEST_F(SetupListTest, MovesTakeWholeBlocksAndKeepTheSelection)
{
    AddBroadcasters();
    profile = CIniProfile(path.c_str());
    auto items = FillSetupList(parser.store, ReadServiceSettings(profile, parser.store));
    EXPECT_EQ(0, PlanSetupMove(items, 1, SetupMoveDirection::Up).count) << "top block up";
    EXPECT_EQ(0, PlanSetupMove(items, 4, SetupMoveDirection::Down).count) << "bottom block down";
    EXPECT_EQ(0, PlanSetupMove(items, -1, SetupMoveDirection::Down).count) << "no selection";

    EXPECT_EQ(4, Press(items, 3, SetupMoveDirection::Down)) << "1032 passes 1040";
    EXPECT_EQ((std::vector<int>{1024, 1025, 1026, 1040, 1032}), Ids(items));
    EXPECT_EQ(0, Press(items, 3, SetupMoveDirection::Up)) << "1040 passes the block of three";
    EXPECT_EQ((std::vector<int>{1040, 1024, 1025, 1026, 1032}), Ids(items));

    // 1040 down past the block of three: they move above it in their order.
    EXPECT_EQ(3, Press(items, 0, SetupMoveDirection::Down));
    EXPECT_EQ((std::vector<int>{1024, 1025, 1026, 1040, 1032}), Ids(items));

    // The middle of a block moves the whole block, and the selection stays on it.
    EXPECT_EQ(2, Press(items, 1, SetupMoveDirection::Down));
    EXPECT_EQ((std::vector<int>{1040, 1024, 1025, 1026, 1032}), Ids(items));
    EXPECT_EQ(1025, items[2].serviceId);
    EXPECT_EQ(2, Press(items, 3, SetupMoveDirection::Up));
    EXPECT_EQ((std::vector<int>{1024, 1025, 1026, 1040, 1032}), Ids(items));
}

TEST_F(SetupListTest, OkWritesTicksAndConsecutivePositionsAndReopensTheSameOrder)
{
    AddBroadcasters();
    profile = CIniProfile(path.c_str());
    auto items = FillSetupList(parser.store, ReadServiceSettings(profile, parser.store));
    Press(items, 3, SetupMoveDirection::Up);  // 1032 above the 1024 block
    items[4].checked = SetupCheckedFromStateImage(kSetupUnchecked);
    WriteSetupChoices(profile, items);
    EXPECT_EQ(0, Read("Sort%d", 1032));
    EXPECT_EQ(1, Read("Sort%d", 1024));
    EXPECT_EQ(3, Read("Sort%d", 1026));
    EXPECT_EQ(4, Read("Sort%d", 1040));
    EXPECT_EQ(0, Read("Check%d", 1040));
    EXPECT_EQ(1, Read("Check%d", 1024));

    const auto reopened = FillSetupList(parser.store, ReadServiceSettings(profile, parser.store));
    EXPECT_EQ(Ids(items), Ids(reopened));
    for (size_t i = 0; i < reopened.size(); ++i) EXPECT_EQ(static_cast<int>(i), reopened[i].sortValue);
    EXPECT_FALSE(reopened[4].checked);
}

}  // namespace
