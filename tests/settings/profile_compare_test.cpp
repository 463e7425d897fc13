// Windows only: the same operations through our INI code and through the system's
// private-profile API, on copies of the same starting file, must give the same answers and
// the same file.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/ini_profile.h"
#include "settings/ini_text.h"
#include "settings/win32/private_profile.h"
#include "settings_test_files.h"

namespace {

struct StartingFile {
    const char* name;
    const char* bytes;  // null: no file
};

const StartingFile kStartingFiles[] = {
    {"missing", nullptr},
    {"empty", ""},
    {"written_before",
     "[LumaraList]\r\nCHW=150\r\nNOWW=380\r\nNEXTW=410\r\nWindowX=-1200\r\nWindowY=40\r\n"
     "WindowCX=-200\r\nWindowCY=300\r\nWindowMin=1\r\n[PopDialog]\r\nFixed=1\r\nWindowX=10\r\n"
     "[SetupDialog]\r\nCheck1024=0\r\nSort1024=3\r\n"},
    {"comments_and_other_sections",
     ";\x90\xDD\x92\xE8 (Shift-JIS)\r\n[Other]\r\nkeep=me\r\n;CHW=1\r\n[LumaraList]\r\n; note\r\n"
     "CHW=130\r\n[Tail]\r\nx=y\r\n"},
    {"mixed_case_and_duplicates",
     "[lumaralist]\r\nchw=111\r\nCHW=222\r\nnoww\r\n[LUMARALIST]\r\nNEXTW=5\r\n[setupdialog]\r\n"
     "CHECK1024=0\r\n"},
    {"odd_values",
     "[LumaraList]\r\nCHW=\"77\"\r\nNOWW='12'\r\nNEXTW=0x20\r\nWindowX=\r\nWindowY=abc\r\n"
     "WindowCX=+15px\r\nWindowCY=4294967297\r\nWindowMin=-3\r\n[PopDialog]\r\nFixed=0b11\r\n"},
    {"blanks_and_bare_line_ends",
     "\r\n  [LumaraList]  \n\tCHW  =  120\t\n\nNOWW= 7\r[ PopDialog ]\nFixed = 1\n\n\n"
     "[UpdateDialog]junk\nFixed=1"},
    {"utf8_mark", "\xEF\xBB\xBF[LumaraList]\r\nCHW=99\r\n"},
    {"keys_before_any_section", "CHW=1\r\nFixed=1\r\n[PopDialog]\r\nWindowX=3\r\n"},
    {"no_line_end_at_the_end", "[PopDialog]\r\nWindowX=3\r\n[SetupDialog]\r\nSort1024=3"},
    {"broken_lines", "[\r\n[PopDialog\r\nFixed=1\r\n=5\r\n[]\r\nCHW=4\r\n[PopDialog]\r\n;Fixed=1\r\n"},
};

// Everything the plug-in reads, plus a few lookups in other spellings.
std::vector<std::string> ReadEverything(IProfile& profile)
{
    std::vector<std::string> log;
    const char* sections[] = {kSectionLumaraList, kSectionPopDialog, kSectionUpdateDialog, "lumaraLIST", " PopDialog "};
    const char* keys[] = {"CHW", "NOWW", "NEXTW", "WindowX", "WindowY", "WindowCX", "WindowCY",
                          "WindowMin", "Fixed", "DATEW", "noww", " chw "};
    for (const char* section : sections) {
        for (const char* key : keys) {
            char text[kSettingTextSize];
            int n = profile.ReadString(section, key, "d", text, sizeof text);
            // The system drops a real character when a quoted value fits the buffer exactly;
            // we do not copy that, so the small read stays clear of it.
            char small[2];
            int m = profile.ReadString(section, key, "default", small, sizeof small);
            log.push_back(std::string(section) + "/" + key + " = " + text + " (" + std::to_string(n) +
                          ") '" + small + "' (" + std::to_string(m) + ") int " +
                          std::to_string(profile.ReadInt(section, key, -9)));
        }
    }
    for (int serviceId : {1024, 1056}) {
        log.push_back("check " + std::to_string(profile.ReadInt(kSectionSetupDialog, SetupCheckKey(serviceId).text, 1)) +
                      " sort " + std::to_string(profile.ReadInt(kSectionSetupDialog, SetupSortKey(serviceId).text, 50)));
    }
    return log;
}

// What the plug-in writes at shutdown and on the settings dialog's OK, plus a rewrite of an
// unchanged value.
std::vector<std::string> WriteLikeThePlugIn(IProfile& profile)
{
    std::vector<std::string> log;
    auto write = [&](const char* section, const char* key, int value) {
        log.push_back(std::string(section) + "/" + key + " <- " + std::to_string(value) + ": " +
                      (WriteProfileInt(profile, section, key, value) ? "ok" : "failed"));
    };
    write(kSectionPopDialog, "Fixed", 0);
    write(kSectionPopDialog, "WindowCY", 200);
    write(kSectionUpdateDialog, "WindowX", -5);
    write(kSectionSetupDialog, SetupCheckKey(1056).text, 0);
    write(kSectionSetupDialog, SetupSortKey(1056).text, 0);
    write(kSectionSetupDialog, SetupCheckKey(1024).text, 1);
    write(kSectionLumaraList, "CHW", 150);
    write(kSectionLumaraList, "noww", 400);
    write(kSectionLumaraList, "WindowMin", 1);
    write(kSectionLumaraList, "CHW", 150);
    return log;
}

// The file as the system's writer lays it out: each line trimmed, blank lines dropped, blanks
// around '=' and inside "[ ]" dropped, text after a section's ']' dropped, CR LF line ends.
std::string AsTheSystemRewritesIt(const std::string& bytes)
{
    std::string_view text = bytes;
    std::string out;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        out = "\xEF\xBB\xBF";
        text.remove_prefix(3);
    }
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        std::string_view line = IniTrim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty()) continue;
        size_t close = line.rfind(']');
        size_t equals = line.find('=');
        if (line.front() == '[' && close != std::string_view::npos && close > 0) {
            std::string_view name = IniTrim(line.substr(1, close - 1));
            if (name.empty()) continue;  // it loses the header of a section without a name
            out.append("[").append(name).append("]");
        } else if (equals != std::string_view::npos) {
            out.append(IniTrim(line.substr(0, equals))).append("=").append(IniTrim(line.substr(equals + 1)));
        } else {
            out.append(line);
        }
        out.append("\r\n");
    }
    return out;
}

using ProfileComparison = SettingsFiles;

TEST_F(ProfileComparison, OurIniCodeAnswersAndWritesLikeTheSystem)
{
    for (const StartingFile& start : kStartingFiles) {
        SCOPED_TRACE(start.name);
        std::string oursPath = PathOf(std::string(start.name) + "_ours.ini");
        std::string systemPath = PathOf(std::string(start.name) + "_system.ini");
        if (start.bytes) {
            Put(oursPath, start.bytes);
            Put(systemPath, start.bytes);
        }
        CIniProfile ours(oursPath.c_str());
        CPrivateProfile system(systemPath.c_str());

        EXPECT_EQ(ReadEverything(ours), ReadEverything(system));
        EXPECT_EQ(WriteLikeThePlugIn(ours), WriteLikeThePlugIn(system));
        EXPECT_EQ(ReadEverything(ours), ReadEverything(system));

        // We keep untouched lines as they were; the system lays out the whole file anew. The
        // same file, once laid out its way, must be what it wrote.
        std::string oursBytes = Get(oursPath);
        std::string systemBytes = Get(systemPath);
        if (AsTheSystemRewritesIt(start.bytes ? start.bytes : "") == (start.bytes ? start.bytes : "")) {
            EXPECT_EQ(oursBytes, systemBytes);
        } else {
            EXPECT_EQ(AsTheSystemRewritesIt(oursBytes), systemBytes);
        }
    }
}

}  // namespace

#endif  // _WIN32
