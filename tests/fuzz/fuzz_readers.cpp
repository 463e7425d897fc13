#include "fuzz_readers.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>

#include "aribtext/arib_decoder.h"
#include "changelog/change_detection.h"
#include "changelog/change_log.h"
#include "settings/profile.h"
#include "store/event_entry.h"
#include "broadcast/broadcast_time.h"
#include "ts/stream_parser.h"
#include "ui/dialogs/popup_text.h"
#include "ui/list/build_rows.h"
#include "ui/list/list_items.h"
#include "ui/list/programme_menu.h"
#include "ui/list/service_settings.h"
#include "support/default_profile.h"

namespace {

constexpr const char* kMemoryFolder = "/dev/shm";

std::string Named(const std::filesystem::path& dir, unsigned tag, const char* extension)
{
    return (dir / ("lumara_fuzz_" + std::to_string(tag) + extension)).string();
}

void ReadSlot(const SectionSlot& slot)
{
    char text[256];
    EventCursor cursor(slot);
    EventEntry e;
    while (cursor.Next(e)) {
        EventTimes(e.times);
        ByteReader loop = e.Descriptors();
        Descriptor d;
        while (NextDescriptor(loop, d)) DecodeAribText(d.body, d.length, text, sizeof text);
    }
}

}  // namespace

void ReadStore(const StreamParser& parser)
{
    char text[256];
    for (const ServiceEntry* s : parser.store.services) {
        if (!s) break;
        DecodeAribText(s->serviceName, s->serviceNameLength < kNameBytes ? s->serviceNameLength : kNameBytes, text,
                       sizeof text);
        DecodeAribText(s->providerName, s->providerNameLength < kNameBytes ? s->providerNameLength : kNameBytes,
                       text, sizeof text);
        DecodeAribText(s->tsName, s->tsNameLength < kNameBytes ? s->tsNameLength : kNameBytes, text, sizeof text);
        for (const SectionSlot& slot : s->presentFollowing) ReadSlot(slot);
        for (const SectionSlot& slot : s->schedule) ReadSlot(slot);
        for (const SectionSlot& slot : s->scheduleExtended) ReadSlot(slot);
        for (const SectionSlot& slot : s->scheduleOriginal) ReadSlot(slot);
    }
}

void RunWindowTick(StreamParser& parser, ChangeLog& log)
{
    DefaultProfile settings;
    // The broadcast clock when there is one, else a fixed day, so runs repeat.
    const int64_t now = parser.totTime ? parser.totTime : LocalTimeStamp(2026, 12, 7, 21, 0, 0);
    RowTable rows = {};
    const int count = BuildRows(rows, parser.store, ReadServiceSettings(settings, parser.store), log, now);
    FuzzCheck(count == RowCount(rows) && count <= parser.store.serviceCount, "row count");
    const ListUpdate update = DecideListItems(rows, 3);  // as if three items were shown
    FuzzCheck(update.items.size() <= static_cast<size_t>(count), "list items");
    for (int r = 0; r < count; ++r) {
        const ListRow* row = RowAt(rows, r);
        FuzzCheck(row != nullptr, "row table gap");
        BuildProgrammeMenu(parser.store, r, row->serviceId, row->serviceName, false, false, now);
    }
    // The details popup of both programme cells of every listed row.
    for (const ListItemTexts& item : update.items) {
        const ListRow* row = RowAt(rows, item.rowIndex);
        FuzzCheck(row != nullptr, "list item without its row");
        PopupTexts texts;
        for (int column = 1; column <= 2; ++column)
            DescribeProgramme(*row, column, item.column[column].c_str(), item.column[0].c_str(), parser.store, texts);
    }
    ClearRows(rows);
    DetectScheduleChanges(parser.store, log, nullptr);
}

std::string FuzzTempPath(const char* extension)
{
    static const unsigned tag = std::random_device{}();
    std::error_code error;
    // Memory-backed where there is one: replacing a file by renaming flushes it on a disk's
    // file system, which made the file targets wait on the disk rather than run.
    std::filesystem::path dir = kMemoryFolder;
    if (!std::getenv("TMPDIR") && std::filesystem::is_directory(dir, error)) return Named(dir, tag, extension);
    dir = std::filesystem::temp_directory_path(error);
    if (error) dir = ".";
    return Named(dir, tag, extension);
}

bool WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = (size == 0 || std::fwrite(data, 1, size, file) == size);
    return std::fclose(file) == 0 && ok;
}

void FuzzCheck(bool condition, const char* what)
{
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
