#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_readers.h"
#include "fuzz_targets.h"
#include "settings/ini_profile.h"
#include "settings/ini_text.h"

namespace {

// Input: the file's text, then NUL-separated section, key and value (missing parts are
// empty); the last byte also picks the read capacity.
struct IniInput {
    std::string_view text, section, key, value;
};

IniInput Split(const uint8_t* data, size_t size)
{
    std::string_view all(reinterpret_cast<const char*>(data), size);
    std::string_view parts[4];
    for (int i = 0; i < 3; ++i) {
        const size_t cut = all.find('\0');
        parts[i] = all.substr(0, cut);
        all = cut == std::string_view::npos ? std::string_view() : all.substr(cut + 1);
    }
    parts[3] = all;
    return {parts[0], parts[1], parts[2], parts[3]};
}

bool Within(std::string_view part, std::string_view whole)
{
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

// The pure text functions: what is found lies within the text, and a key that was set reads
// back as set.
void CheckText(const IniInput& in)
{
    std::string_view value;
    if (IniFindValue(in.text, in.section, in.key, value)) {
        FuzzCheck(Within(value, in.text), "found value outside the text");
        FuzzCheck(Within(IniUnquote(value), value), "unquoted value outside the value");
        IniValueToInt(value);
    }
    std::string edited;
    const IniEdit edit = IniSetValue(in.text, in.section, in.key, in.value, edited);
    if (edit != IniEdit::Changed) return;
    std::string_view readBack;
    FuzzCheck(IniFindValue(edited, in.section, in.key, readBack), "set key not found");
    FuzzCheck(readBack == IniTrim(in.value), "set key reads back another value");
    // Setting it again changes nothing (trailing blanks of the value may be written again).
    std::string again;
    if (IniSetValue(edited, in.section, in.key, in.value, again) == IniEdit::Changed)
        FuzzCheck(again == edited, "second set changes the text");
}

// The profile over a real file: reads with a small buffer stay within it, and a write that
// succeeds is what the next read sees.
void CheckProfile(const IniInput& in, size_t capacity)
{
    const std::string path = FuzzTempPath(".ini");
    if (!WriteFuzzFile(path, reinterpret_cast<const uint8_t*>(in.text.data()), in.text.size())) return;
    // The profile takes C strings: the value ends at its first NUL.
    const std::string section(in.section), key(in.key), value(in.value.substr(0, in.value.find('\0')));
    CIniProfile profile(path.c_str());
    profile.ReadInt(section.c_str(), key.c_str(), 7);
    std::string out(capacity + 1, '\xA5');
    const int n = profile.ReadString(section.c_str(), key.c_str(), "default", out.data(), static_cast<int>(capacity));
    FuzzCheck(out[capacity] == '\xA5', "read past the capacity");
    if (capacity > 0) FuzzCheck(n >= 0 && static_cast<size_t>(n) < capacity && out[n] == '\0', "read not terminated");
    if (profile.WriteString(section.c_str(), key.c_str(), value.c_str())) {
        char back[1024];
        profile.ReadString(section.c_str(), key.c_str(), "", back, sizeof back);
        if (value.size() < sizeof back - 1)
            FuzzCheck(std::string_view(back) == IniUnquote(IniTrim(value)), "written value reads back otherwise");
    }
    std::remove(path.c_str());
    std::remove((path + ".tmp").c_str());
}

}  // namespace

void FuzzIni(const uint8_t* data, size_t size)
{
    if (size == 0) return;
    const IniInput in = Split(data, size);
    CheckText(in);
    CheckProfile(in, data[size - 1] % 40);
}
