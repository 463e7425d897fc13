#include <cstdio>
#include <cstring>

#include "aribtext/arib_decoder.h"
#include "changelog/change_log.h"
#include "changelog/change_log_file.h"
#include "fuzz_readers.h"
#include "fuzz_targets.h"

namespace {

bool SameSnapshot(const EventSnapshot& a, const EventSnapshot& b)
{
    return a.start == b.start && a.end == b.end && a.videoType == b.videoType && a.audioType == b.audioType &&
           a.genre == b.genre && a.nameLength == b.nameLength && std::memcmp(a.name, b.name, a.nameLength) == 0;
}

}  // namespace

// LoadChangeLog on the input, the names decoded as the update dialog shows them, then a save
// and a second load: the newest 100 records come back unchanged.
void FuzzChangeLog(const uint8_t* data, size_t size)
{
    static const std::string path = FuzzTempPath(".upd");
    if (!WriteFuzzFile(path, data, size)) return;
    ChangeLog log;
    if (LoadChangeLog(log, path.c_str())) {
        char text[kEventNameBytes * 2 + 8];
        for (const ChangeRecord& record : log) {
            FuzzCheck(record.before.nameLength <= kEventNameBytes && record.after.nameLength <= kEventNameBytes,
                      "loaded name longer than its buffer");
            DecodeAribText(record.before.name, record.before.nameLength, text, sizeof text);
            DecodeAribText(record.after.name, record.after.nameLength, text, sizeof text);
        }
        if (SaveChangeLog(log, path.c_str())) {
            ChangeLog again;
            FuzzCheck(LoadChangeLog(again, path.c_str()), "saved log does not load");
            const size_t kept = log.Count() < kChangeLogFileRecords ? log.Count() : kChangeLogFileRecords;
            FuzzCheck(again.Count() == kept, "saved log loads another record count");
            for (size_t i = 0; i < kept; ++i) {
                const ChangeRecord& a = log[log.Count() - kept + i];
                const ChangeRecord& b = again[i];
                FuzzCheck(a.serviceId == b.serviceId && SameSnapshot(a.before, b.before) &&
                              SameSnapshot(a.after, b.after),
                          "saved log loads other records");
            }
        }
    }
    std::remove(path.c_str());
    std::remove((path + ".tmp").c_str());
}
