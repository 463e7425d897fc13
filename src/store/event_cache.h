// The event cache file: the whole programme store kept from one run to the next, so the
// list can be filled before fresh tables arrive.
//
// Layout (little-endian, unpadded): "Epg01", then one record per service in store order
// and nothing after the last one. A record: serviceId 2, channel 2, providerName 50,
// providerNameLength 2, serviceName 50, serviceNameLength 2, remoteKeyId 1, tsName 50,
// tsNameLength 2 (the last three absent in version 00 files), then the slot blocks of
// schedule s and scheduleExtended s for s = 0..511, then presentFollowing 0 and 1. A slot
// block is versionChanges 2, length 2 and length section bytes. scheduleOriginal is not
// kept: loading rebuilds it from schedule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ProgrammeStore;

constexpr int kEventCacheVersion = 1;
constexpr size_t kEventCacheHeaderBytes = 5;
constexpr size_t kCacheFixedFieldBytes = 161;  // fields up to tsNameLength, version 01
constexpr size_t kCacheSlotBlockHeader = 4;

// The file's bytes for the current store. False (out emptied) when memory runs out.
// Lets the caller copy the store while holding the plug-in's lock and write it after.
bool BuildEventCacheImage(const ProgrammeStore& store, std::vector<uint8_t>& out);

// Writes the whole store to path, replacing the previous file in one step. On any failure
// the previous file and the store stay as they were; false is returned, nothing is shown.
bool SaveEventCache(const ProgrammeStore& store, const char* path);

// Replaces the store's contents with the file's and sets cacheVersion and scheduleBase;
// dirty, the clock and the TOT fields are not touched. A missing file or a wrong header
// leaves the store unchanged and gives false. Records are read until one cannot be read
// whole or is damaged: that one and everything after it are dropped, the complete records
// before it stay (true is still returned). Damaged means a name length over 50 bytes, or
// a stored section that cannot be an EIT section: shorter than its header and CRC, or with
// a section_length that disagrees with its stored length. Every loaded slot starts with
// versionChanges 0, and scheduleOriginal is a copy of schedule.
bool LoadEventCache(ProgrammeStore& store, const char* path);

// Moves a store that LoadEventCache read on its own into target, leaving target as a load
// into it would have: cleared and replaced, cacheVersion and scheduleBase taken, dirty kept.
// loaded is left empty. The file is read without the plug-in lock, and only this move is
// made under it.
void MoveLoadedStore(ProgrammeStore& loaded, ProgrammeStore& target);
