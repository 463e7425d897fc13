#include "broadcast/event_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Lead bytes are 0x81-0x9F and 0xE0-0xFC: a cut never leaves one alone; the bytes just
// outside those ranges are characters of one byte.
TEST(CutShiftJis, KeepsWholeCharactersAtTheEdgesOfTheLeadRanges)
{
    for (const char lead : {'\x81', '\x9F', '\xE0', '\xFC'}) {
        std::string text = {lead, '\x40', lead, '\x40'};
        CutShiftJis(text.data(), 3);
        EXPECT_EQ(text.c_str(), std::string({lead, '\x40'})) << int(static_cast<uint8_t>(lead));
    }
    for (const char single : {'\x80', '\xA0', '\xDF', '\xFD'}) {
        std::string text = {single, 'A', 'B'};
        CutShiftJis(text.data(), 1);
        EXPECT_EQ(text.c_str(), std::string(1, single)) << int(static_cast<uint8_t>(single));
    }
    // A second byte inside the lead range (亜 is 88 9F) still ends its character.
    std::string text = "\x88\x9F\x82\xA2";
    CutShiftJis(text.data(), 3);
    EXPECT_EQ(text.c_str(), std::string("\x88\x9F"));
}

// The component type is the body's second byte; a body too short for it has none.
TEST(ComponentType, SecondByteOfTheBodyOrNone)
{
    const uint8_t body[] = {0x01, 0xB3};
    EXPECT_EQ(0xB3, ComponentType({0x50, body, 2}));
    EXPECT_EQ(0, ComponentType({0x50, body, 1}));
}

}  // namespace
