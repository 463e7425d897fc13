#include "geometry/window_geometry.h"

#include <gtest/gtest.h>

#include <array>

#include "../settings/settings_test_files.h"
#include "geometry/dialog_layout.h"
#include "settings/ini_profile.h"

namespace {

using Four = std::array<int, 4>;
Four EdgesOf(const ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }
Four Numbers(const WindowBox& b) { return {b.x, b.y, b.width, b.height}; }

using WindowGeometryFile = SettingsFiles;

TEST_F(WindowGeometryFile, ListWindowKeepsEdgesTheDialogsWidthAndHeight)
{
    CIniProfile profile(PathOf("g.ini").c_str());
    WriteWindowGeometry(profile, kListWindowGeometry, {{100, 50, 800, 350}, 1});
    WriteWindowGeometry(profile, kPopupGeometry, {{100, 50, 420, 250}, 1});
    WriteWindowGeometry(profile, kUpdateDialogGeometry, {{-20, 17, 890, 307}, 0});
    EXPECT_EQ(Get(profile.Path()),
              "[LumaraList]\r\nWindowX=100\r\nWindowY=50\r\nWindowCX=800\r\nWindowCY=350\r\nWindowMin=1\r\n"
              "[PopDialog]\r\nWindowX=100\r\nWindowY=50\r\nWindowCX=320\r\nWindowCY=200\r\n"
              "[UpdateDialog]\r\nWindowX=-20\r\nWindowY=17\r\nWindowCX=910\r\nWindowCY=290\r\n");

    SavedGeometry list, popup, update;
    ASSERT_TRUE(ReadWindowGeometry(profile, kListWindowGeometry, list));
    EXPECT_EQ(EdgesOf(list.rect), (Four{100, 50, 800, 350}));
    EXPECT_EQ(list.minimized, 1);
    ASSERT_TRUE(ReadWindowGeometry(profile, kPopupGeometry, popup));
    EXPECT_EQ(EdgesOf(popup.rect), (Four{100, 50, 420, 250}));
    ASSERT_TRUE(ReadWindowGeometry(profile, kUpdateDialogGeometry, update));
    EXPECT_EQ(Numbers(BoxOf(update.rect)), (Four{-20, 17, 910, 290}));

    // Whatever numbers the file holds come back as they were written.
    profile.WriteString("PopDialog", "WindowX", "2147483000");
    ASSERT_TRUE(ReadWindowGeometry(profile, kPopupGeometry, popup));
    EXPECT_EQ(BoxOf(popup.rect).width, 320);
    WriteWindowGeometry(profile, kPopupGeometry, popup);
    EXPECT_EQ(profile.ReadInt("PopDialog", "WindowCX", 0), 320);
}

TEST_F(WindowGeometryFile, DefaultsAndAnEmptyKeyStopTheChain)
{
    CIniProfile profile(PathOf("none.ini").c_str());
    SavedGeometry saved;
    ASSERT_TRUE(ReadWindowGeometry(profile, kListWindowGeometry, saved));
    EXPECT_EQ(EdgesOf(saved.rect), (Four{0, 0, 930, 212}));
    EXPECT_EQ(saved.minimized, 0);
    ASSERT_TRUE(ReadWindowGeometry(profile, kPopupGeometry, saved));
    EXPECT_EQ(EdgesOf(saved.rect), (Four{10, 10, 330, 210}));
    EXPECT_FALSE(ReadWindowGeometry(profile, kUpdateDialogGeometry, saved)) << "the template's place until saved";
    profile.WriteString("LumaraList", "WindowCY", "");
    EXPECT_FALSE(ReadWindowGeometry(profile, kListWindowGeometry, saved));
    WindowGeometryKeys tooLong = kListWindowGeometry;
    tooLong.chainLength = kMainGeometryChainLength + 1;
    EXPECT_FALSE(ReadWindowGeometry(profile, tooLong, saved)) << "more keys than values";
}

TEST(WindowGeometry, MinimisedListWindowKeepsTheRectangleFromBefore)
{
    const SavedGeometry minimised = SampleListGeometry({{100, 50, 800, 350}, 0}, true, {0, 990, 160, 1014});
    EXPECT_EQ(EdgesOf(minimised.rect), (Four{100, 50, 800, 350}));
    EXPECT_EQ(minimised.minimized, 1);
    const SavedGeometry restored = SampleListGeometry(minimised, false, {10, 20, 30, 40});
    EXPECT_EQ(EdgesOf(restored.rect), (Four{10, 20, 30, 40}));
    EXPECT_EQ(restored.minimized, 0);
}

TEST(DialogLayout, PopupButtonsTopRightLinesBesideThemTextBelow)
{
    const PopupLayout layout = LayOutPopup(400, 200, {20, 18}, {40, 18});
    EXPECT_EQ(Numbers(layout.close), (Four{376, 4, 20, 18}));
    EXPECT_EQ(Numbers(layout.tune), (Four{332, 4, 40, 18}));
    EXPECT_EQ(Numbers(layout.name), (Four{4, 0, 328, 13})) << "up to the tune button's margin";
    EXPECT_EQ(Numbers(layout.times), (Four{4, 13, 328, 13}));
    EXPECT_EQ(Numbers(layout.text), (Four{0, 26, 400, 174}));
}

// Resizing keeps the list over the whole width and the buttons in the bottom corners.
TEST(DialogLayout, UpdateDialogListAboveButtonsInTheBottomCorners)
{
    const UpdateDialogLayout layout = LayOutUpdateDialog(700, 300, {75, 23});
    EXPECT_EQ(Numbers(layout.list), (Four{0, 0, 700, 269}));
    EXPECT_EQ(Numbers(layout.clear), (Four{8, 273, 75, 23}));
    EXPECT_EQ(Numbers(layout.close), (Four{617, 273, 75, 23}));
}

}  // namespace
