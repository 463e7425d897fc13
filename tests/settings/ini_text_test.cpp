#include "settings/ini_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// The value as a string, or "<missing>".
std::string Find(std::string_view text, const char* section, const char* key)
{
    std::string_view value;
    return IniFindValue(text, section, key, value) ? std::string(value) : "<missing>";
}

std::string Set(std::string_view text, const char* section, const char* key, const char* value)
{
    std::string out;
    IniEdit edit = IniSetValue(text, section, key, value, out);
    if (edit == IniEdit::Unchanged) return std::string(text);
    if (edit == IniEdit::Invalid) return "<invalid>";
    return out;
}

TEST(IniText, LookupRules)
{
    const std::string text =
        "global=1\r\n"
        "; comment=7\r\n"
        "  [ lumaraList ] ; text after the bracket\n"
        "\tchw  =  120 \t\r\n"
        "NOWW\r\n"               // no '=': no value
        "chw=999\r\n"            // a later duplicate key loses
        "EMPTY=\r\n"
        "Quoted=\"42\"\r"        // lone CR ends a line
        "[Other]\n"
        "CHW=5\n"
        "[LUMARALIST]\n"         // a later section of the same name is not read
        "NEXTW=400";             // no line end at the end of the text
    EXPECT_EQ(Find(text, "LumaraList", "CHW"), "120");
    EXPECT_EQ(Find(text, "  LumaraList ", " chw "), "120");
    EXPECT_EQ(Find(text, "LumaraList", "NOWW"), "<missing>");
    EXPECT_EQ(Find(text, "LumaraList", "EMPTY"), "");
    EXPECT_EQ(Find(text, "LumaraList", "Quoted"), "\"42\"");
    EXPECT_EQ(Find(text, "LumaraList", "NEXTW"), "<missing>");
    EXPECT_EQ(Find(text, "Other", "chw"), "5");
    EXPECT_EQ(Find(text, "LumaraList", "global"), "<missing>");
    EXPECT_EQ(Find(text, "LumaraList", "; comment"), "<missing>");
    EXPECT_EQ(Find(text, "LumaraList", "CHWX"), "<missing>") << "a key line naming a prefix";
    EXPECT_EQ(Find("[zone]\nsize=3\n", "ZONE", "SIZE"), "3");  // case folds from a to z
    EXPECT_EQ(Find("\xEF\xBB\xBF[A]\nk=v\n", "A", "k"), "v");
    EXPECT_EQ(Find("[A]\nk=5\x1A\r\n", "A", "k"), "5");  // Ctrl-Z is blank
    EXPECT_EQ(Find("[A]\nk=5\x1B\r\n", "A", "k"), "5\x1B");
}

TEST(IniText, ValueConversions)
{
    EXPECT_EQ(IniUnquote("\"42\""), "42");
    EXPECT_EQ(IniUnquote("'x'"), "x");
    EXPECT_EQ(IniUnquote("\"42'"), "\"42'");
    EXPECT_EQ(IniUnquote("\""), "\"");

    EXPECT_EQ(IniValueToInt("123"), 123);
    EXPECT_EQ(IniValueToInt("  -45xyz"), -45);
    EXPECT_EQ(IniValueToInt("+7"), 7);
    EXPECT_EQ(IniValueToInt("abc"), 0);
    EXPECT_EQ(IniValueToInt("0x1F"), 31);
    EXPECT_EQ(IniValueToInt("0x1f"), 31);
    EXPECT_EQ(IniValueToInt("0b101"), 5);
    EXPECT_EQ(IniValueToInt("0o17"), 15);
    EXPECT_EQ(IniValueToInt("0X1F"), 0);
    EXPECT_EQ(IniValueToInt("4294967295"), -1);  // modulo 2^32, as the API does
    // Only the first 29 characters take part.
    EXPECT_EQ(IniValueToInt(std::string(28, '0') + "1234"), 1);
}

TEST(IniText, SetReplacesInPlaceKeepingEveryOtherByte)
{
    const std::string text = "; top\n[A]\n  Key = 1  \n\n[B]\nx=2\r\n";
    EXPECT_EQ(Set(text, "a", "KEY", "15"), "; top\n[A]\nKey=15\n\n[B]\nx=2\r\n");
    EXPECT_EQ(Set(text, "A", "key", "1"), text);  // same value: nothing changes
    EXPECT_EQ(Set(text, "A", "new", "3"), "; top\n[A]\n  Key = 1  \nnew=3\r\n\n[B]\nx=2\r\n");
    EXPECT_EQ(Set(text, "C", "k", "-4"), text + "[C]\r\nk=-4\r\n");
    EXPECT_EQ(Set("[A]\nK\n", "A", "k", "1"), "[A]\nK=1\n");
}

TEST(IniText, SetCreatesAndCompletesLines)
{
    EXPECT_EQ(Set("", "S", "k", "1"), "[S]\r\nk=1\r\n");
    EXPECT_EQ(Set("", " S ", " k ", "  1"), "[S]\r\nk=1\r\n");
    EXPECT_EQ(Set("[S]", "S", "k", "1"), "[S]\r\nk=1\r\n");
    EXPECT_EQ(Set(std::string_view("[S]\r\n", 4), "S", "k", "1"), "[S]\rk=1\r\n");  // the LF lies past the text
    EXPECT_EQ(Set("[S]\r\na=1", "S", "k", "2"), "[S]\r\na=1\r\nk=2\r\n");
    EXPECT_EQ(Set("[S]\r\na=1\r\n; end\r\n\r\n[T]", "S", "k", "2"), "[S]\r\na=1\r\n; end\r\nk=2\r\n\r\n[T]");
    EXPECT_EQ(Set("x=1", "S", "k", "1"), "x=1\r\n[S]\r\nk=1\r\n");
    EXPECT_EQ(Set("[S]\n[S]\nk=1\n", "S", "k", "2"), "[S]\nk=2\r\n[S]\nk=1\n");
    // Names and values that would not read back as the same key are refused.
    EXPECT_EQ(Set("", "S", "a=b", "1"), "<invalid>");
    EXPECT_EQ(Set("", "S", "k", "1\r\n[T]"), "<invalid>");
    EXPECT_EQ(Set("", "S]", "k", "1"), "<invalid>");
    EXPECT_EQ(Set("", "", "k", "1"), "<invalid>");
    EXPECT_EQ(Set("", "S", ";k", "1"), "<invalid>");
}

// Whatever the bytes, lookups and edits stay inside the text, and an edited key reads back.
TEST(IniText, ArbitraryBytesAreSafe)
{
    std::mt19937 random(12345);
    const char alphabet[] = "[]=;\r\n \t\"'Ak\x1a\xEF\xBB\xBF\x81\x5C";
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 64, '\0');
        for (char& c : text) c = (random() % 8 == 0) ? '\0' : alphabet[random() % (sizeof alphabet - 1)];
        std::string_view value;
        IniFindValue(text, "A", "k", value);
        std::string out;
        if (IniSetValue(text, "A", "k", "77", out) == IniEdit::Changed) text = out;
        ASSERT_EQ(Find(text, "A", "k"), "77") << round;
    }
    std::string huge(1 << 22, 'x');
    huge += "=1\n[A]\nk=2";
    EXPECT_EQ(Find(huge, "A", "k"), "2");
}

}  // namespace
