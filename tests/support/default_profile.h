// Settings as on a first start: every read gives its default, writes are accepted and
// forgotten. For tests, fuzzers and benchmarks that need no settings file.
#pragma once

#include "settings/profile.h"

class DefaultProfile : public IProfile {
public:
    int ReadInt(const char*, const char*, int defaultValue) override { return defaultValue; }
    int ReadString(const char*, const char*, const char* defaultValue, char* out, int capacity) override
    {
        if (capacity <= 0) return 0;
        int n = 0;
        while (defaultValue && defaultValue[n] && n < capacity - 1) {
            out[n] = defaultValue[n];
            ++n;
        }
        out[n] = '\0';
        return n;
    }
    bool WriteString(const char*, const char*, const char*) override { return true; }
};
