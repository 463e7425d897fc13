#include "settings/data_file_path.h"

#include <cstring>

#include "settings/settings_keys.h"

namespace {

bool IsShiftJisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the drive and folder part, separator included.
size_t FolderLength(const char* path)
{
    size_t folder = 0;
    for (size_t i = 0; path[i] != '\0'; ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsShiftJisLead(c) && path[i + 1] != '\0') {
            ++i;
        } else if (c == '\\' || c == '/' || (c == ':' && i == 1)) {
            folder = i + 1;
        }
    }
    return folder;
}

}  // namespace

bool BuildDataFilePath(const char* hostExePath, const char* extension, char* out, size_t capacity)
{
    if (!out || capacity == 0) return false;
    out[0] = '\0';
    if (!hostExePath || !extension) return false;
    size_t folder = FolderLength(hostExePath);
    size_t base = std::strlen(kDataFileBaseName);
    size_t ext = std::strlen(extension);
    if (folder + base + ext >= capacity) return false;
    std::memcpy(out, hostExePath, folder);
    std::memcpy(out + folder, kDataFileBaseName, base);
    std::memcpy(out + folder + base, extension, ext + 1);
    return true;
}
