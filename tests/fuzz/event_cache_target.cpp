#include <cstdio>
#include <memory>
#include <vector>

#include "changelog/change_detection.h"
#include "changelog/change_log.h"
#include "changelog/event_summary.h"
#include "fuzz_readers.h"
#include "fuzz_targets.h"
#include "store/data_file.h"
#include "store/event_cache.h"
#include "store/event_entry.h"
#include "ts/stream_parser.h"

namespace {

// Whatever the loader accepted is what its own save writes: loading that image again and
// saving it gives the same bytes.
void CheckRoundTrip(const ProgrammeStore& loaded, const std::string& path)
{
    std::vector<uint8_t> image;
    if (!BuildEventCacheImage(loaded, image)) return;
    if (!WriteDataFile(path.c_str(), image.data(), image.size())) return;
    auto again = std::make_unique<ProgrammeStore>();
    FuzzCheck(LoadEventCache(*again, path.c_str()), "saved cache does not load");
    FuzzCheck(again->serviceCount == loaded.serviceCount, "saved cache loads another service count");
    std::vector<uint8_t> second;
    if (BuildEventCacheImage(*again, second)) FuzzCheck(second == image, "saved cache loads other content");
}

// The change detection's comparison over pairs of loaded sections: each basic schedule
// section against the extended one of its slot and against the next stored one.
void CompareLoadedSections(const ProgrammeStore& store, ChangeLog& log)
{
    for (const ServiceEntry* s : store.services) {
        if (!s) break;
        const SectionSlot* previous = nullptr;
        for (int i = 0; i < kScheduleSlots; ++i) {
            const SectionSlot& slot = s->schedule[i];
            if (!slot.data) continue;
            CompareSectionVersions(s->serviceId, s->scheduleExtended[i], slot, log);
            if (previous) CompareSectionVersions(s->serviceId, *previous, slot, log);
            previous = &slot;
        }
        for (const SectionSlot& slot : s->presentFollowing) {
            EventCursor cursor(slot);
            EventEntry event;
            while (cursor.Next(event)) SnapshotOf(event);
        }
    }
}

}  // namespace

void FuzzEventCache(const uint8_t* data, size_t size)
{
    const std::string path = FuzzTempPath(".dat");
    if (!WriteFuzzFile(path, data, size)) return;
    auto parser = std::make_unique<StreamParser>();
    if (LoadEventCache(parser->store, path.c_str())) {
        CheckRoundTrip(parser->store, path);
        ReadStore(*parser);
        ChangeLog log;
        CompareLoadedSections(parser->store, log);
        RunWindowTick(*parser, log);
    }
    std::remove(path.c_str());
}
