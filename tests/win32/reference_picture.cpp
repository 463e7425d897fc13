#include "reference_picture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint32_t Big32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

std::string BesideTheProgram(const std::string& file)
{
    char exePath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    const std::string path(exePath);
    return path.substr(0, path.find_last_of("\\/") + 1) + file;
}

time_t g_heldNow = 0;
time_t __cdecl HeldTime(time_t* out)
{
    if (out) *out = g_heldNow;
    return g_heldNow;
}

}  // namespace

bool ReadStoredPng(const std::string& path, PngImage& image)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<uint8_t> zlib;
    for (size_t at = 8; at + 12 <= file.size(); at += 12 + Big32(&file[at])) {
        const uint32_t length = Big32(&file[at]);
        const uint8_t* data = &file[at + 8];
        const bool header = std::memcmp(data - 4, "IHDR", 4) == 0;
        if (length > file.size() - at - 12 || (header && (length < 13 || data[8] != 8 || data[9] != 2))) return false;
        if (header) image = {static_cast<int>(Big32(data)), static_cast<int>(Big32(data + 4))};
        if (std::memcmp(data - 4, "IDAT", 4) == 0) zlib.insert(zlib.end(), data, data + length);
    }
    // After the zlib header, stored blocks: a header byte, LEN and NLEN, LEN bytes.
    std::vector<uint8_t> raw;
    for (size_t at = 2, last = 0, length = 0; !last; at += 5 + length) {
        if (at + 5 > zlib.size() || (zlib[at] & 6) != 0) return false;
        last = zlib[at] & 1;
        length = zlib[at + 1] | zlib[at + 2] << 8;
        if (length > zlib.size() - at - 5) return false;
        raw.insert(raw.end(), zlib.begin() + static_cast<long>(at + 5), zlib.begin() + static_cast<long>(at + 5 + length));
    }
    const size_t stride = static_cast<size_t>(image.width) * 3 + 1;
    if (image.width <= 0 || raw.size() != stride * static_cast<size_t>(image.height)) return false;
    for (size_t row = 0; row < raw.size(); row += stride) {
        if (raw[row] != 0) return false;
        image.pixels.insert(image.pixels.end(), raw.begin() + static_cast<long>(row + 1),
                            raw.begin() + static_cast<long>(row + stride));
    }
    return true;
}

std::string DifferenceFromReference(const CapturedImage& capture, const std::string& name)
{
    const PngImage taken = capture.ToPng();
    const std::string referencePath = std::string(LUMARA_REFERENCE_DIR) + "/" + name + ".png";
    const char* update = std::getenv("LUMARA_UPDATE_REFERENCES");
    if (update && std::strcmp(update, "1") == 0) {
        CreateDirectoryA(LUMARA_REFERENCE_DIR, nullptr);
        return WritePng(referencePath, taken) ? "" : "cannot write " + referencePath;
    }
    PngImage reference;
    if (!ReadStoredPng(referencePath, reference))
        return "no reference picture " + referencePath + " (LUMARA_UPDATE_REFERENCES=1 captures it)";
    char report[160] = {};
    if (reference.width != taken.width || reference.height != taken.height) {
        std::snprintf(report, sizeof report, "size %dx%d, reference %dx%d", taken.width, taken.height, reference.width,
                      reference.height);
    } else {
        // The differing pixels in magenta over the faded reference.
        PngImage difference = reference;
        int count = 0, left = taken.width, right = -1, top = taken.height, bottom = -1;
        for (size_t i = 0; i < taken.pixels.size(); i += 3) {
            const bool same = std::memcmp(&taken.pixels[i], &reference.pixels[i], 3) == 0;
            for (size_t c = 0; c < 3; ++c)
                difference.pixels[i + c] = same ? static_cast<uint8_t>((reference.pixels[i + c] + 510) / 3) : c == 1 ? 0 : 255;
            if (same) continue;
            const int x = static_cast<int>(i / 3) % taken.width, y = static_cast<int>(i / 3) / taken.width;
            ++count, left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        }
        if (count == 0) return "";
        std::snprintf(report, sizeof report, "%d pixels differ within x %d..%d, y %d..%d", count, left, right, top, bottom);
        WritePng(BesideTheProgram(name + "-difference.png"), difference);
    }
    WritePng(BesideTheProgram(name + "-new.png"), taken);
    return std::string(report) + "; see " + BesideTheProgram(name + "-new.png") + " and -difference.png";
}

bool HoldPluginClock(HMODULE plugin, time_t now)
{
    g_heldNow = now;
    auto* base = reinterpret_cast<uint8_t*>(plugin);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name;
         ++module) {
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<const char*>(
                                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name),
                            sizeof(time_t) == 8 ? "_time64" : "time"))
                continue;
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            slots->u1.Function = reinterpret_cast<uintptr_t>(&HeldTime);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}
