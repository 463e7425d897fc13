// Real broadcast text: the event descriptors of two terrestrial captures (selection
// information sections, table_id 0x7F on PID 0x1F) decoded and compared with the reference
// dump written by another tool. That tool writes alphanumerics as ASCII and additional
// symbols as Unicode symbols, where ours are full-width and bracketed texts; both sides are
// folded to ours before comparing (ASCII to full-width, the symbols seen to their texts).
#include "aribtext/decode_helpers.h"
#include "support/test_files.h"
#include "support/ts_section_extractor.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

constexpr uint16_t kSitPid = 0x1F;
constexpr uint8_t kShortEventTag = 0x4D;
constexpr uint8_t kExtendedEventTag = 0x4E;

// Symbols as the reference writes them, and our texts for them.
const std::map<char32_t, std::u8string> kReferenceSymbols = {
    {U'\U0001F211', u8"[字]"}, {U'\U0001F214', u8"[二]"}, {U'\U0001F215', u8"[多]"},
};

std::string Canonical(const std::string& utf8)
{
    std::string out;
    for (const char32_t cp : DecodeUtf8(utf8)) {
        std::u32string pieces(1, cp);
        if (const auto it = kReferenceSymbols.find(cp); it != kReferenceSymbols.end()) {
            pieces = DecodeUtf8(std::string(it->second.begin(), it->second.end()));
        }
        for (const char32_t p : pieces) AppendUtf8(out, p > 0x20 && p < 0x7F ? p + 0xFEE0 : p);
    }
    return out;
}

// The quoted values of event names, descriptions and extended items in the dump.
std::set<std::string> ReferenceTexts(const std::string& path)
{
    std::ifstream in(path);
    std::set<std::string> texts;
    std::string line;
    const auto quoted = [](const std::string& s, size_t from) {
        const size_t open = s.find('"', from), close = s.rfind('"');
        return open != std::string::npos && close > open ? s.substr(open + 1, close - open - 1) : std::string();
    };
    while (std::getline(in, line)) {
        if (const size_t at = line.find("Event name: \""); at != std::string::npos) {
            texts.insert(Canonical(quoted(line, at)));
        } else if (const size_t d = line.find("Description: \""); d != std::string::npos) {
            texts.insert(Canonical(quoted(line, d)));
        } else if (const size_t sep = line.find("\" : \""); sep != std::string::npos) {
            texts.insert(Canonical(quoted(line.substr(0, sep + 1), 0)));
            texts.insert(Canonical(quoted(line, sep + 3)));
        }
    }
    return texts;
}

struct Tally {
    int compared = 0;
    int withSymbols = 0;
};

void ExpectInReference(const std::vector<uint8_t>& raw, const std::set<std::string>& reference, Tally& tally)
{
    const std::string sjis = Decode(raw, 2048);
    if (sjis.empty() || sjis.find('\r') != std::string::npos) return;  // the dump breaks lines
    const std::string ours = Canonical(ShiftJisToUtf8(sjis));
    ++tally.compared;
    if (sjis.find('[') != std::string::npos) ++tally.withSymbols;
    EXPECT_TRUE(reference.count(ours)) << "not in the reference dump: " << ours;
}

void CheckCapture(const std::string& name, int minCompared, int minWithSymbols)
{
    const std::string dir = LUMARA_REALDATA_DIR;
    const auto ts = ReadFileBytes(dir + "/" + name + ".ts");
    ASSERT_FALSE(ts.empty()) << name;
    const auto reference = ReferenceTexts(dir + "/reference/" + name + ".txt");
    ASSERT_FALSE(reference.empty());
    Tally tally;
    for (const auto& section : ExtractSections(ts, kSitPid)) {
        for (const auto& d : SitDescriptors(section, kShortEventTag)) {
            const ShortEventText event = ReadShortEvent(d);
            ExpectInReference(event.name, reference, tally);
            ExpectInReference(event.text, reference, tally);
        }
        for (const auto& d : SitDescriptors(section, kExtendedEventTag)) {
            for (const ExtendedEventItem& item : ReadExtendedEventItems(d)) {
                ExpectInReference(item.description, reference, tally);
                ExpectInReference(item.text, reference, tally);
            }
        }
    }
    EXPECT_GE(tally.compared, minCompared) << name;
    EXPECT_GE(tally.withSymbols, minWithSymbols) << name;
}

TEST(RealBroadcastText, FirstCaptureMatchesTheReferenceDump)
{
    CheckCapture("test-186.1", 100, 20);
}

TEST(RealBroadcastText, SecondCaptureMatchesTheReferenceDump)
{
    CheckCapture("test-186.2", 280, 250);
}

}  // namespace
