#include "settings/win32/private_profile.h"

#include <windows.h>

// Null section or key would enumerate or delete; this interface only reads and sets values.

int CPrivateProfile::ReadInt(const char* section, const char* key, int defaultValue)
{
    if (!section || !key) return defaultValue;
    return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, m_path.c_str()));
}

int CPrivateProfile::ReadString(const char* section, const char* key, const char* defaultValue,
                                char* out, int capacity)
{
    if (!out || capacity <= 0) return 0;
    if (!section || !key) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<int>(GetPrivateProfileStringA(section, key, defaultValue ? defaultValue : "",
                                                     out, static_cast<DWORD>(capacity), m_path.c_str()));
}

bool CPrivateProfile::WriteString(const char* section, const char* key, const char* value)
{
    if (!section || !key || !value) return false;
    return WritePrivateProfileStringA(section, key, value, m_path.c_str()) != FALSE;
}
