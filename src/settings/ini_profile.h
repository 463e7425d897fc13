// The settings file read and written by our own INI code, with the rules of the Windows
// private-profile API (see ini_text.h). Used off Windows and to prove those rules against the
// real API under Wine; the plug-in on Windows uses CPrivateProfile.
//
// A write builds the whole new file beside the target ("<path>.tmp") and renames it over the
// target, so a failed write leaves the previous file intact. On Windows the C library's
// rename does not replace an existing file, so there the target is removed first: that step
// is not atomic, which is acceptable for tests only.
#pragma once

#include <string>

#include "settings/profile.h"

class CIniProfile : public IProfile {
public:
    explicit CIniProfile(const char* path) : m_path(path ? path : "") {}

    int ReadInt(const char* section, const char* key, int defaultValue) override;
    int ReadString(const char* section, const char* key, const char* defaultValue, char* out,
                   int capacity) override;
    bool WriteString(const char* section, const char* key, const char* value) override;

    const std::string& Path() const { return m_path; }

private:
    enum class FileState { Missing, ReadOnly, Writable };
    FileState Load(std::string& text, bool forWriting) const;
    bool FindValue(const char* section, const char* key, std::string& text,
                   std::string_view& value) const;
    bool Replace(const std::string& text) const;

    std::string m_path;
};
