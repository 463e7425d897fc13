#include "changelog/change_log_file.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "store/data_file.h"

namespace {

constexpr int kChangeLogVersion = 0;

void PutSnapshot(std::vector<uint8_t>& out, const EventSnapshot& s)
{
    uint16_t nameLength = s.nameLength <= kEventNameBytes ? s.nameLength : kEventNameBytes;
    PutI64(out, s.start);
    PutI64(out, s.end);
    PutU8(out, s.videoType);
    PutU8(out, s.audioType);
    PutU8(out, s.genre);
    PutU16(out, nameLength);
    PutBytes(out, s.name, nameLength);
}

bool ReadSnapshot(DataFileReader& file, EventSnapshot& s)
{
    s.start = file.I64();
    s.end = file.I64();
    s.videoType = file.U8();
    s.audioType = file.U8();
    s.genre = file.U8();
    uint16_t stored = file.U16();
    s.nameLength = stored <= kEventNameBytes ? stored : kEventNameBytes;
    file.Read(s.name, s.nameLength);
    file.Skip(stored - s.nameLength);
    return file.Ok();
}

}  // namespace

bool SaveChangeLog(const ChangeLog& log, const char* path)
{
    try {
        std::vector<uint8_t> image;
        image.reserve(kChangeLogHeaderBytes + kChangeLogFileRecords * (kChangeRecordFixedBytes + 2 * kEventNameBytes));
        char header[kChangeLogHeaderBytes + 1];
        std::snprintf(header, sizeof header, "Upd%02d", kChangeLogVersion);
        PutBytes(image, reinterpret_cast<const uint8_t*>(header), kChangeLogHeaderBytes);
        size_t first = log.Count() > kChangeLogFileRecords ? log.Count() - kChangeLogFileRecords : 0;
        for (size_t i = first; i < log.Count(); ++i) {
            PutU16(image, log[i].serviceId);
            PutSnapshot(image, log[i].before);
            PutSnapshot(image, log[i].after);
        }
        return WriteDataFile(path, image.data(), image.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool LoadChangeLog(ChangeLog& log, const char* path)
{
    DataFileReader file;
    if (!file.Open(path)) return false;
    char header[kChangeLogHeaderBytes] = {};
    if (!file.Read(header, kChangeLogHeaderBytes) || std::memcmp(header, "Upd", 3) != 0) return false;
    log.Clear();
    for (;;) {
        ChangeRecord record;
        record.serviceId = file.U16();
        if (!ReadSnapshot(file, record.before) || !ReadSnapshot(file, record.after)) break;
        if (!log.Append(record)) break;
    }
    return true;
}
