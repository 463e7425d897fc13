// The settings file as the three private-profile operations, over one file given at
// construction. Implementations keep nothing in memory: every read goes to the file and every
// write lands in it at once. Section and key names are compared without regard to ASCII case.
#pragma once

#include <cstdint>

#include "settings/settings_keys.h"

class IProfile {
public:
    virtual ~IProfile() = default;

    // Integer value of the key (leading blanks, optional sign, digits; a "0x", "0o" or "0b"
    // prefix selects base 16, 8 or 2; stops at the first other character; 0 when no digits).
    // defaultValue when the key is missing or its value is empty.
    virtual int ReadInt(const char* section, const char* key, int defaultValue) = 0;

    // Copies the key's value (or defaultValue, trailing blanks removed, when the key is
    // missing) into out: at most capacity - 1 characters, always NUL-terminated when capacity
    // is positive. Matching quotes around a value are dropped. Returns the characters copied.
    virtual int ReadString(const char* section, const char* key, const char* defaultValue,
                           char* out, int capacity) = 0;

    // Replaces the key's value in place, or appends the key at the end of its section, or the
    // section at the end of the file, creating the file if needed. False when nothing could be
    // written; the previous file is then left as it was.
    virtual bool WriteString(const char* section, const char* key, const char* value) = 0;
};

// Writes value as "%d".
bool WriteProfileInt(IProfile& profile, const char* section, const char* key, int value);

inline int ReadSetting(IProfile& profile, const char* section, const IntSetting& setting)
{
    return profile.ReadInt(section, setting.key, setting.defaultValue);
}

// A text setting read into a kSettingTextSize buffer and converted with SettingTextToInt.
// hasText is false when the read yielded no characters.
struct TextSettingValue {
    int value = 0;
    bool hasText = false;
};
TextSettingValue ReadSetting(IProfile& profile, const char* section, const TextSetting& setting);

// The C library's atoi on text: leading blanks, optional sign, decimal digits; 0 when there
// are none. Saturates at the int range instead of overflowing.
int SettingTextToInt(const char* text);

// Reads a geometry chain in order into values[0..count). Stops at the first read that yields
// no characters and returns false then (nothing should be applied); true when all yielded text.
bool ReadSettingChain(IProfile& profile, const char* section, const TextSetting* chain, int count,
                      int32_t* values);
