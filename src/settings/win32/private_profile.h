// Windows only: the settings file through the system's private-profile functions, which do
// their own reading and writing of the file.
#pragma once

#include <string>

#include "settings/profile.h"

class CPrivateProfile : public IProfile {
public:
    explicit CPrivateProfile(const char* path) : m_path(path ? path : "") {}

    int ReadInt(const char* section, const char* key, int defaultValue) override;
    int ReadString(const char* section, const char* key, const char* defaultValue, char* out,
                   int capacity) override;
    bool WriteString(const char* section, const char* key, const char* value) override;

private:
    std::string m_path;
};
