#include "settings/profile.h"

#include <climits>
#include <cstdio>

bool WriteProfileInt(IProfile& profile, const char* section, const char* key, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return profile.WriteString(section, key, text);
}

TextSettingValue ReadSetting(IProfile& profile, const char* section, const TextSetting& setting)
{
    char text[kSettingTextSize];
    TextSettingValue result;
    result.hasText = profile.ReadString(section, setting.key, setting.defaultText, text, kSettingTextSize) > 0;
    result.value = result.hasText ? SettingTextToInt(text) : 0;
    return result;
}

int SettingTextToInt(const char* text)
{
    if (!text) return 0;
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long total = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; *p >= '0' && *p <= '9'; ++p) {
        total = total * 10 + (*p - '0');
        if (total > limit) total = limit;
    }
    return static_cast<int>(negative ? -total : total);
}

bool ReadSettingChain(IProfile& profile, const char* section, const TextSetting* chain, int count,
                      int32_t* values)
{
    for (int i = 0; i < count; ++i) {
        TextSettingValue read = ReadSetting(profile, section, chain[i]);
        if (!read.hasText) return false;
        values[i] = read.value;
    }
    return true;
}
