#include "store/data_file.h"

#include <cstring>
#include <new>
#include <string>

namespace {

constexpr size_t kWriteChunk = 1 << 16;
constexpr size_t kReadBuffer = 1 << 16;

bool DefaultReplace(const char* source, const char* target)
{
    if (std::rename(source, target) == 0) return true;
#ifdef _WIN32
    // The C runtime refuses an existing target; without the shell's replacer the best left
    // is to make room first.
    std::remove(target);
    return std::rename(source, target) == 0;
#else
    return false;
#endif
}

size_t DefaultWrite(const void* data, size_t size, std::FILE* file) { return std::fwrite(data, 1, size, file); }

std::FILE* DefaultOpen(const char* path, const char* mode) { return std::fopen(path, mode); }
int DefaultRemove(const char* path) { return std::remove(path); }

FileReplacer g_replace = &DefaultReplace;
FileOpener g_open = &DefaultOpen;
FileRemover g_remove = &DefaultRemove;
DataFileWrite g_write = &DefaultWrite;

bool WriteTemporary(const char* temporary, const uint8_t* data, size_t size)
{
    std::FILE* file = g_open(temporary, "wb");
    if (!file) return false;
    bool ok = true;
    for (size_t done = 0; ok && done < size;) {
        size_t chunk = size - done < kWriteChunk ? size - done : kWriteChunk;
        ok = g_write(data + done, chunk, file) == chunk;
        done += chunk;
    }
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

}  // namespace

void SetFileReplacer(FileReplacer replacer) { g_replace = replacer ? replacer : &DefaultReplace; }

void SetFileOpener(FileOpener open, FileRemover remove)
{
    g_open = open ? open : &DefaultOpen;
    g_remove = remove ? remove : &DefaultRemove;
}

void SetDataFileWriteForTesting(DataFileWrite write) { g_write = write ? write : &DefaultWrite; }

bool WriteDataFile(const char* path, const uint8_t* data, size_t size)
{
    if (!path || !*path) return false;
    try {
        std::string temporary = std::string(path) + ".tmp";
        if (WriteTemporary(temporary.c_str(), data, size) && g_replace(temporary.c_str(), path)) return true;
        g_remove(temporary.c_str());
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool DataFileReader::Open(const char* path)
{
    Close();
    m_file = path ? g_open(path, "rb") : nullptr;
    if (!m_file) return false;
    std::setvbuf(m_file, nullptr, _IOFBF, kReadBuffer);
    m_ok = true;
    return true;
}

void DataFileReader::Close()
{
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
    m_ok = false;
}

bool DataFileReader::Read(void* out, size_t n)
{
    if (!m_ok) return false;
    if (n && std::fread(out, 1, n, m_file) != n) m_ok = false;
    return m_ok;
}

bool DataFileReader::Skip(size_t n)
{
    // Read rather than seek: a seek past the end succeeds, and the end is what we look for.
    uint8_t scratch[256];
    while (m_ok && n) {
        size_t take = n < sizeof scratch ? n : sizeof scratch;
        Read(scratch, take);
        n -= take;
    }
    return m_ok;
}

uint8_t DataFileReader::U8()
{
    uint8_t b = 0;
    return Read(&b, 1) ? b : 0;
}

uint16_t DataFileReader::U16()
{
    uint8_t b[2] = {};
    if (!Read(b, 2)) return 0;
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

int64_t DataFileReader::I64()
{
    uint8_t b[8] = {};
    if (!Read(b, 8)) return 0;
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | b[i];
    return static_cast<int64_t>(v);
}
