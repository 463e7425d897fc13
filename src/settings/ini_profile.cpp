#include "settings/ini_profile.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "settings/ini_text.h"

namespace {

constexpr size_t kReadChunk = 4096;

bool ReadAll(std::FILE* file, std::string& text)
{
    text.clear();
    for (;;) {
        size_t used = text.size();
        text.resize(used + kReadChunk);
        size_t got = std::fread(&text[used], 1, kReadChunk, file);
        text.resize(used + got);
        if (got < kReadChunk) return !std::ferror(file);
    }
}

bool WriteAll(const char* path, const std::string& text)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    return std::fclose(file) == 0 && ok;
}

// Trailing spaces of a default text are not part of it.
std::string_view TrimDefault(const char* defaultValue)
{
    std::string_view text = defaultValue ? defaultValue : "";
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

int CopyOut(std::string_view text, char* out, int capacity)
{
    if (!out || capacity <= 0) return 0;
    size_t n = text.size() < size_t(capacity - 1) ? text.size() : size_t(capacity - 1);
    if (n) std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<int>(n);
}

}  // namespace

CIniProfile::FileState CIniProfile::Load(std::string& text, bool forWriting) const
{
    text.clear();
    // Opening for update first tells a read-only file from a missing one.
    std::FILE* file = forWriting ? std::fopen(m_path.c_str(), "r+b") : nullptr;
    FileState state = FileState::Writable;
    if (!file) {
        file = std::fopen(m_path.c_str(), "rb");
        state = FileState::ReadOnly;
    }
    if (!file) return FileState::Missing;
    bool ok = false;
    try {
        ok = ReadAll(file, text);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    std::fclose(file);
    // A file we could not read whole must not be rewritten from a part of it.
    if (!ok) {
        text.clear();
        return FileState::ReadOnly;
    }
    return state;
}

bool CIniProfile::FindValue(const char* section, const char* key, std::string& text,
                            std::string_view& value) const
{
    if (!section || !key) return false;
    if (Load(text, false) == FileState::Missing) return false;
    return IniFindValue(text, section, key, value);
}

int CIniProfile::ReadInt(const char* section, const char* key, int defaultValue)
{
    std::string text;
    std::string_view value;
    if (!FindValue(section, key, text, value)) return defaultValue;
    value = IniUnquote(value);
    if (value.empty()) return defaultValue;
    return IniValueToInt(value);
}

int CIniProfile::ReadString(const char* section, const char* key, const char* defaultValue,
                            char* out, int capacity)
{
    std::string text;
    std::string_view value;
    if (!FindValue(section, key, text, value)) return CopyOut(TrimDefault(defaultValue), out, capacity);
    return CopyOut(IniUnquote(value), out, capacity);
}

bool CIniProfile::WriteString(const char* section, const char* key, const char* value)
{
    if (!section || !key || !value || m_path.empty()) return false;
    try {
        std::string text;
        if (Load(text, true) == FileState::ReadOnly) return false;
        std::string updated;
        switch (IniSetValue(text, section, key, value, updated)) {
        case IniEdit::Unchanged: return true;
        case IniEdit::Invalid: return false;
        case IniEdit::Changed: break;
        }
        return Replace(updated);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CIniProfile::Replace(const std::string& text) const
{
    std::string temporary = m_path + ".tmp";
    if (!WriteAll(temporary.c_str(), text)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), m_path.c_str()) == 0) return true;
#ifdef _WIN32
    std::remove(m_path.c_str());
    if (std::rename(temporary.c_str(), m_path.c_str()) == 0) return true;
#endif
    std::remove(temporary.c_str());
    return false;
}
