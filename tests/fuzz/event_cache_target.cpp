#include <cstdio>
#include <vector>

#include "changelog/change_detection.h"
#include "changelog/change_log.h"
#include "changelog/event_summary.h"
#include "fuzz_readers.h"
#include "fuzz_targets.h"
#include "store/data_file.h"
#include "store/event_cache.h"
#include "store/event_entry.h"
#include "store/programme_store.h"
#include "ts/stream_parser.h"

namespace {

// Whatever the loader accepted is what its own save writes: loading that image again and
// saving it gives the same bytes.
void CheckRoundTrip(const ProgrammeStore& loaded, ProgrammeStore& again, const std::string& path)
{
    static std::vector<uint8_t> image;
    static std::vector<uint8_t> second;
    if (!BuildEventCacheImage(loaded, image)) return;
    if (!WriteDataFile(path.c_str(), image.data(), image.size())) return;
    FuzzCheck(LoadEventCache(again, path.c_str()), "saved cache does not load");
    FuzzCheck(again.serviceCount == loaded.serviceCount, "saved cache loads another service count");
    if (BuildEventCacheImage(again, second)) FuzzCheck(second == image, "saved cache loads other content");
}

// Two parsers kept from input to input, emptied after each: the loader sets the schedule's
// base and the version, and nothing here sets the clock. A new parser per input was 66 KB of
// PID-buffer pointers allocated and zeroed each time. The stores are freed before the input
// ends, or libFuzzer takes the unmatched allocations for a leak and runs the input again.
StreamParser& ReusedParser(int which)
{
    static StreamParser* const parsers[2] = {new StreamParser(), new StreamParser()};
    return *parsers[which];
}

void EmptyParsers()
{
    for (int which = 0; which < 2; ++which) {
        StreamParser& parser = ReusedParser(which);
        ClearProgrammeData(parser);
        parser.store.dirty = 0;  // the change detection's mark
    }
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
    static const std::string path = FuzzTempPath(".dat");
    if (!WriteFuzzFile(path, data, size)) return;
    StreamParser& parser = ReusedParser(0);
    if (LoadEventCache(parser.store, path.c_str())) {
        CheckRoundTrip(parser.store, ReusedParser(1).store, path);
        ReadStore(parser);
        ChangeLog log;
        CompareLoadedSections(parser.store, log);
        RunWindowTick(parser, log);
    }
    EmptyParsers();
    std::remove(path.c_str());
}
