// Detection of schedule changes: each basic schedule section that arrived in a new version
// is compared, event by event, with the version compared last (its scheduleOriginal copy).
#pragma once

#include <cstdint>
#include <vector>

#include "changelog/change_log.h"

struct SectionSlot;
struct ProgrammeStore;

// Compares two versions of one section and appends a record for each programme added,
// removed, moved in time or retitled (events paired by time overlap; events without a name
// are never recorded). Returns the number of records appended.
int CompareSectionVersions(uint16_t serviceId, const SectionSlot& previous, const SectionSlot& current,
                           ChangeLog& log);

// For every service (store order) and basic schedule slot (0..511) whose versionChanges is
// not 0: resets it, compares the section with its scheduleOriginal copy when both exist, and
// makes the copy equal to the section. Records come in service, slot and event order.
// Returns true when anything was appended; the log has then been saved to updPath (null:
// the caller saves, e.g. after releasing the plug-in's lock) and changedServices, when
// given, holds the ids of the services that got records, each once, in store order.
// Runs under the same lock as the EIT handler, which writes the same slots.
bool DetectScheduleChanges(ProgrammeStore& store, ChangeLog& log, const char* updPath,
                           std::vector<uint16_t>* changedServices = nullptr);

// The two halves of DetectScheduleChanges. Find reads the store and appends the records (and
// the changed services) for every slot with new versions; Accept then resets those counters
// and makes the reference copies equal to the sections, the one write of the detection.
bool FindScheduleChanges(const ProgrammeStore& store, ChangeLog& log, std::vector<uint16_t>* changedServices);
void AcceptScheduleVersions(ProgrammeStore& store);
