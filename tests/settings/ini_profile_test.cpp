#include "settings/ini_profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "settings/data_file_path.h"
#include "settings_test_files.h"

namespace {

using IniProfileFiles = SettingsFiles;

TEST_F(IniProfileFiles, MissingFileGivesEveryDefault)
{
    CIniProfile profile(PathOf("none.ini").c_str());
    int32_t geometry[kMainGeometryChainLength] = {};
    ASSERT_TRUE(ReadSettingChain(profile, kSectionLumaraList, kMainGeometryChain, kMainGeometryChainLength, geometry));
    EXPECT_EQ(geometry[0], 0);
    EXPECT_EQ(geometry[2] - geometry[0], 930);
    EXPECT_EQ(geometry[3] - geometry[1], 212);
    EXPECT_EQ(geometry[4], 0);
    EXPECT_EQ(ReadSetting(profile, kSectionLumaraList, kMainNowW).value, 400);
    int32_t pop[kDialogGeometryChainLength] = {};
    ASSERT_TRUE(ReadSettingChain(profile, kSectionPopDialog, kPopGeometryChain, kDialogGeometryChainLength, pop));
    EXPECT_EQ(pop[0] + pop[1] + pop[2] + pop[3], 10 + 10 + 320 + 200);
    EXPECT_EQ(ReadSetting(profile, kSectionPopDialog, kPopPinned), 0);
    // The update dialog keeps its template position until "WindowX" has been written once.
    int32_t update[kDialogGeometryChainLength] = {};
    EXPECT_FALSE(ReadSettingChain(profile, kSectionUpdateDialog, kUpdateGeometryChain, kDialogGeometryChainLength, update));
    EXPECT_EQ(ReadSetting(profile, kSectionUpdateDialog, kUpdateNewW).value, 320);
    EXPECT_EQ(profile.ReadInt(kSectionSetupDialog, SetupCheckKey(1024).text, kSetupCheckDefault), 1);
    EXPECT_EQ(profile.ReadInt(kSectionSetupDialog, SetupSortKey(1024).text, kSetupSortDefault), 50);
    EXPECT_FALSE(Exists(profile.Path()));
}

TEST_F(IniProfileFiles, EmptyValueStopsTheChain)
{
    Put(PathOf("s.ini"), "[LumaraList]\r\nWindowX=100\r\nWindowCY=\r\nNOWW=\r\n");
    CIniProfile profile(PathOf("s.ini").c_str());
    int32_t geometry[kMainGeometryChainLength] = {};
    EXPECT_FALSE(ReadSettingChain(profile, kSectionLumaraList, kMainGeometryChain, kMainGeometryChainLength, geometry));
    EXPECT_EQ(geometry[0], 100);
    EXPECT_EQ(geometry[4], 0);  // never reached
    // An empty width is a column of width 0, not its default.
    const TextSettingValue width = ReadSetting(profile, kSectionLumaraList, kMainNowW);
    EXPECT_FALSE(width.hasText);
    EXPECT_EQ(width.value, 0);
}

TEST_F(IniProfileFiles, FirstWriteCreatesTheFileAndReadsSeeEveryChange)
{
    CIniProfile profile(PathOf("s.ini").c_str());
    ASSERT_TRUE(WriteProfileInt(profile, kSectionLumaraList, kMainChw.key, 150));
    ASSERT_TRUE(WriteProfileInt(profile, kSectionLumaraList, kMainWindowX.key, -1200));
    ASSERT_TRUE(WriteProfileInt(profile, kSectionSetupDialog, SetupCheckKey(1056).text, 0));
    EXPECT_EQ(Get(profile.Path()), "[LumaraList]\r\nCHW=150\r\nWindowX=-1200\r\n[SetupDialog]\r\nCheck1056=0\r\n");
    EXPECT_FALSE(Exists(profile.Path() + ".tmp"));

    // Nothing is cached: a change made by someone else is read at once.
    Put(profile.Path(), "[lumaralist]\nchw = \"88\" \n");
    char text[kSettingTextSize];
    EXPECT_EQ(profile.ReadString(kSectionLumaraList, kMainChw.key, kMainChw.defaultText, text, sizeof text), 2);
    EXPECT_STREQ(text, "88");
    EXPECT_EQ(profile.ReadInt(kSectionLumaraList, "CHW", 7), 88);
    EXPECT_EQ(profile.ReadInt(kSectionSetupDialog, SetupCheckKey(1056).text, kSetupCheckDefault), 1);
}

TEST_F(IniProfileFiles, ReadStringCopiesWhatFitsAndTrimsDefault)
{
    Put(PathOf("s.ini"), "[A]\nlong=123456789\nempty=\nword=abc\n");
    CIniProfile profile(PathOf("s.ini").c_str());
    char text[5] = "zzzz";
    EXPECT_EQ(profile.ReadString("A", "long", "", text, 5), 4);
    EXPECT_STREQ(text, "1234");
    EXPECT_EQ(profile.ReadString("A", "word", "", text, 3), 2);  // a value as long as the buffer
    EXPECT_STREQ(text, "ab");
    EXPECT_EQ(profile.ReadString("A", "long", "", text, 1), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(profile.ReadString("A", "long", "", nullptr, 5), 0);  // nowhere to write: nothing written
    EXPECT_EQ(profile.ReadString("A", "missing", "12  ", text, 5), 2);
    EXPECT_STREQ(text, "12");
    EXPECT_EQ(profile.ReadString("A", nullptr, "7", text, 5), 1) << "no key: the default";
    EXPECT_EQ(profile.ReadString("A", "empty", "99", text, 5), 0);  // present but empty
    EXPECT_EQ(profile.ReadInt("A", "empty", 99), 99);
    EXPECT_EQ(profile.ReadInt("A", "word", 99), 0);
    // A file longer than a read chunk is read to its end.
    Put(PathOf("big.ini"), "; " + std::string(2 * 4096, '-') + "\n[A]\nk=5\n");
    EXPECT_EQ(CIniProfile(PathOf("big.ini").c_str()).ReadInt("A", "k", 0), 5);
}

TEST_F(IniProfileFiles, FailedWriteKeepsThePreviousFile)
{
    const std::string original = "[LumaraList]\r\nCHW=1\r\n";
    Put(PathOf("s.ini"), original);
    // A path whose folder does not exist cannot take the temporary file.
    CIniProfile missingFolder(PathOf("no/such/s.ini").c_str());
    EXPECT_FALSE(WriteProfileInt(missingFolder, "A", "k", 1));
    // A key that cannot be written as one line is refused without touching the file.
    CIniProfile profile(PathOf("s.ini").c_str());
    EXPECT_FALSE(profile.WriteString("LumaraList", "CHW", "1\r\n[X]"));
    // Without a section, key or value nothing is written and the default is read.
    EXPECT_FALSE(profile.WriteString(nullptr, "CHW", "1"));
    EXPECT_FALSE(profile.WriteString("LumaraList", "CHW", nullptr));
    EXPECT_EQ(profile.ReadInt("LumaraList", nullptr, 7), 7);
    EXPECT_EQ(Get(profile.Path()), original);
    EXPECT_TRUE(profile.WriteString("LumaraList", "CHW", "1")) << "the value it holds already";
}

TEST_F(IniProfileFiles, ReadOnlyFileKeepsItsValues)
{
    const std::string original = "[LumaraList]\r\nCHW=1\r\n";
    Put(PathOf("s.ini"), original);
    CIniProfile profile(PathOf("s.ini").c_str());
    std::filesystem::permissions(profile.Path(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read);
    bool writable = static_cast<bool>(std::ofstream(profile.Path(), std::ios::app));
    if (!writable) {
        EXPECT_FALSE(WriteProfileInt(profile, "LumaraList", "CHW", 2));
        EXPECT_EQ(Get(profile.Path()), original);
    }
    std::filesystem::permissions(profile.Path(), std::filesystem::perms::owner_all);
    if (writable) GTEST_SKIP() << "running with rights that ignore a read-only file";
}

TEST_F(IniProfileFiles, FullDiskFailsTheWriteAndKeepsTheFile)
{
    std::error_code noDevice;
    std::filesystem::create_symlink("/dev/full", PathOf("s.ini.tmp"), noDevice);  // where the new text goes
    if (noDevice) GTEST_SKIP() << "no full device to write to";
    // Larger than stdio's buffer, so fwrite itself fails while the final flush finds nothing left.
    const std::string original = "[A]\r\nbig=" + std::string(100000, 'x') + "\r\n";
    Put(PathOf("s.ini"), original);
    CIniProfile profile(PathOf("s.ini").c_str());
    EXPECT_FALSE(profile.WriteString("A", "k", "1"));
    ASSERT_FALSE(std::filesystem::is_symlink(profile.Path())) << "the full device took the file's place";
    EXPECT_EQ(Get(profile.Path()), original);
    // Nor does a stale temporary name that cannot be opened at all.
    std::filesystem::create_symlink(PathOf("no/such/s.ini"), PathOf("s.ini.tmp"));
    EXPECT_FALSE(profile.WriteString("A", "k", "1"));
    EXPECT_EQ(Get(profile.Path()), original);
}

TEST(SettingText, ConvertsLikeAtoi)
{
    EXPECT_EQ(SettingTextToInt("  -12abc"), -12);
    EXPECT_EQ(SettingTextToInt("+5"), 5);
    EXPECT_EQ(SettingTextToInt(nullptr), 0);
    EXPECT_EQ(SettingTextToInt("x1"), 0);
    EXPECT_EQ(SettingTextToInt(""), 0);
    EXPECT_EQ(SettingTextToInt("99999999999"), 2147483647);
    EXPECT_EQ(SettingTextToInt("-99999999999"), -2147483647 - 1);
}

TEST(DataFilePath, BesideTheHostExecutable)
{
    char path[kDataFilePathSize];
    ASSERT_TRUE(BuildDataFilePath("C:\\TV\\host.exe", kSettingsFileExtension, path, sizeof path));
    EXPECT_STREQ(path, "C:\\TV\\Moxel_LumaraList.ini");
    ASSERT_TRUE(BuildDataFilePath("D:host.exe", kEventCacheFileExtension, path, sizeof path));
    EXPECT_STREQ(path, "D:Moxel_LumaraList.dat");
    ASSERT_TRUE(BuildDataFilePath("host.exe", kEventCacheFileExtension, path, sizeof path));
    EXPECT_STREQ(path, "Moxel_LumaraList.dat");
    // "表" is 0x95 0x5C in Shift-JIS: its trail byte is not a folder separator.
    ASSERT_TRUE(BuildDataFilePath("C:\\\x95\x5C\\x\x95\x5Chost.exe", kChangeLogFileExtension, path, sizeof path));
    EXPECT_STREQ(path, "C:\\\x95\x5C\\Moxel_LumaraList.upd");
    // A path that does not fit, by a single byte, is refused rather than cut.
    const auto deep = [](size_t n) { return "C:\\" + std::string(n, 'd') + "\\host.exe"; };
    ASSERT_TRUE(BuildDataFilePath(deep(231).c_str(), kSettingsFileExtension, path, sizeof path));
    EXPECT_EQ(sizeof path - 1, std::strlen(path));
    EXPECT_FALSE(BuildDataFilePath(deep(232).c_str(), kSettingsFileExtension, path, sizeof path));
    EXPECT_STREQ(path, "");
    EXPECT_FALSE(BuildDataFilePath("C:\\TV\\host.exe", kSettingsFileExtension, nullptr, sizeof path));
    EXPECT_FALSE(BuildDataFilePath("C:\\TV\\host.exe", kSettingsFileExtension, path, 0));
    EXPECT_FALSE(BuildDataFilePath(nullptr, kSettingsFileExtension, path, sizeof path));
}

}  // namespace
