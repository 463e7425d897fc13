// Reading and writing the plug-in's binary data files (the event cache and the change log):
// little-endian fields, no padding, binary mode.
//
// A save never leaves a half-written file in place of the previous one: the bytes go to
// "<path>.tmp" beside the target, are flushed, and the temporary file then replaces the
// target in one step. Any failure removes the temporary file and leaves the target as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// Writes size bytes as the new content of path, replacing the previous file only once all
// of them are written and flushed. False when nothing was replaced.
bool WriteDataFile(const char* path, const uint8_t* data, size_t size);

// Replaces target by source in one step; true on success. The portable core cannot reach
// the Windows API (only win32/ folders include <windows.h>) and the Windows C runtime's
// rename refuses an existing target, so this step is a function the shell can replace:
// natively the default is rename, which replaces atomically; on Windows the shell installs
// InstallWin32FileReplacer() (store/win32/file_replace_win32.h) at start-up, and until it
// does the default removes the target before renaming, which is not atomic.
using FileReplacer = bool (*)(const char* source, const char* target);
// Null restores the default. Not synchronised: set it once, before any file is saved.
void SetFileReplacer(FileReplacer replacer);

// How a name reaches the file system: fopen and remove by default. A program that takes
// UTF-8 names from the wide command line on Windows installs wide-character forms (with a
// replacer to match). Null restores the defaults. Not synchronised: set once, at start-up.
using FileOpener = std::FILE* (*)(const char* path, const char* mode);
using FileRemover = int (*)(const char* path);
void SetFileOpener(FileOpener open, FileRemover remove);

// The write of the temporary file's bytes, fwrite by default. Lets tests fail a save part
// of the way through. Null restores the default.
using DataFileWrite = size_t (*)(const void* data, size_t size, std::FILE* file);
void SetDataFileWriteForTesting(DataFileWrite write);

// Little-endian appenders for building a file image in memory.
inline void PutU8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
inline void PutU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutI64(std::vector<uint8_t>& out, int64_t v)
{
    uint64_t u = static_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}
inline void PutBytes(std::vector<uint8_t>& out, const uint8_t* data, size_t n)
{
    if (n) out.insert(out.end(), data, data + n);
}

// Sequential reader of a data file. Every read either fills all it was asked for or fails;
// a failure is sticky, so a record is read field by field and checked once at its end.
class DataFileReader {
public:
    DataFileReader() = default;
    ~DataFileReader() { Close(); }
    DataFileReader(const DataFileReader&) = delete;
    DataFileReader& operator=(const DataFileReader&) = delete;

    bool Open(const char* path);
    void Close();
    bool Ok() const { return m_ok; }

    bool Read(void* out, size_t n);
    // Consumes n bytes without keeping them.
    bool Skip(size_t n);
    uint8_t U8();
    uint16_t U16();
    int64_t I64();

private:
    std::FILE* m_file = nullptr;
    bool m_ok = false;
};
