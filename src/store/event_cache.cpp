#include "store/event_cache.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "store/data_file.h"
#include "store/event_entry.h"
#include "store/programme_store.h"
#include "broadcast/broadcast_time.h"
#include "store/programme_store.h"

namespace {

constexpr int kFirstEventMjdOffset = 16;  // start_time of the first event (ARIB STD-B10 EIT)
constexpr int64_t kSecondsPerDay = 86400;

uint16_t StoredLength(const SectionSlot& slot) { return slot.data ? slot.length : 0; }

size_t RecordSize(const ServiceEntry& entry)
{
    size_t size = kCacheFixedFieldBytes + (2 * kScheduleSlots + 2) * kCacheSlotBlockHeader;
    for (int s = 0; s < kScheduleSlots; ++s)
        size += StoredLength(entry.schedule[s]) + StoredLength(entry.scheduleExtended[s]);
    return size + StoredLength(entry.presentFollowing[0]) + StoredLength(entry.presentFollowing[1]);
}

void PutSlot(std::vector<uint8_t>& out, const SectionSlot& slot)
{
    PutU16(out, slot.versionChanges);
    PutU16(out, StoredLength(slot));
    PutBytes(out, slot.data, StoredLength(slot));
}

void PutRecord(std::vector<uint8_t>& out, const ServiceEntry& entry)
{
    PutU16(out, entry.serviceId);
    PutU16(out, entry.channel);
    PutBytes(out, entry.providerName, kNameBytes);
    PutU16(out, entry.providerNameLength);
    PutBytes(out, entry.serviceName, kNameBytes);
    PutU16(out, entry.serviceNameLength);
    PutU8(out, entry.remoteKeyId);
    PutBytes(out, entry.tsName, kNameBytes);
    PutU16(out, entry.tsNameLength);
    for (int s = 0; s < kScheduleSlots; ++s) {
        PutSlot(out, entry.schedule[s]);
        PutSlot(out, entry.scheduleExtended[s]);
    }
    PutSlot(out, entry.presentFollowing[0]);
    PutSlot(out, entry.presentFollowing[1]);
}

// A stored section must hold the EIT header and CRC_32 and agree with its own
// section_length: every reader of the store relies on both.
bool PlausibleSection(const uint8_t* data, uint16_t length)
{
    if (length < kEitHeaderBytes + 4) return false;
    return ((data[1] & 0x0F) << 8 | data[2]) + 3 == length;
}

bool ReadSlot(DataFileReader& file, SectionSlot& slot)
{
    file.U16();  // versionChanges: not kept, a loaded section counts as compared
    uint16_t length = file.U16();
    if (!file.Ok()) return false;
    if (length == 0) return true;
    uint8_t* data = new (std::nothrow) uint8_t[length];
    if (!data) return false;
    slot.data = data;
    slot.capacity = length;
    slot.length = length;
    return file.Read(data, length) && PlausibleSection(data, length);
}

bool ReadName(DataFileReader& file, uint8_t* name, uint16_t& length)
{
    file.Read(name, kNameBytes);
    length = file.U16();
    return file.Ok() && length <= kNameBytes;
}

bool ReadRecord(DataFileReader& file, bool withNetworkFields, ServiceEntry& entry)
{
    entry.serviceId = file.U16();
    entry.channel = file.U16();
    if (!ReadName(file, entry.providerName, entry.providerNameLength)) return false;
    if (!ReadName(file, entry.serviceName, entry.serviceNameLength)) return false;
    if (withNetworkFields) {
        entry.remoteKeyId = file.U8();
        if (!ReadName(file, entry.tsName, entry.tsNameLength)) return false;
    }
    for (int s = 0; s < kScheduleSlots; ++s) {
        if (!ReadSlot(file, entry.schedule[s]) || !ReadSlot(file, entry.scheduleExtended[s])) return false;
        const SectionSlot& slot = entry.schedule[s];
        if (slot.data && !StoreSection(entry.scheduleOriginal[s], slot.data, slot.length)) return false;
    }
    return ReadSlot(file, entry.presentFollowing[0]) && ReadSlot(file, entry.presentFollowing[1]);
}

// Midnight of the stored schedule's first day: the first stored basic section of the
// first service that has one, its first event's date, less the days before its slot.
int64_t ScheduleBaseOf(const ProgrammeStore& store)
{
    for (const ServiceEntry* entry : store.services) {
        if (!entry) break;
        for (int s = 0; s < kScheduleSlots; ++s) {
            const SectionSlot& slot = entry->schedule[s];
            if (!slot.data || slot.length < kFirstEventMjdOffset + 2) continue;
            uint16_t mjd = static_cast<uint16_t>(slot.data[kFirstEventMjdOffset] << 8 |
                                                 slot.data[kFirstEventMjdOffset + 1]);
            return MjdMidnight(mjd) - static_cast<int64_t>(s / kSlotsPerDay) * kSecondsPerDay;
        }
    }
    return 0;
}

}  // namespace

bool BuildEventCacheImage(const ProgrammeStore& store, std::vector<uint8_t>& out)
{
    out.clear();
    try {
        size_t size = kEventCacheHeaderBytes;
        for (const ServiceEntry* entry : store.services)
            if (entry) size += RecordSize(*entry);
        out.reserve(size);
        char header[kEventCacheHeaderBytes + 1];
        std::snprintf(header, sizeof header, "Epg%02d", kEventCacheVersion);
        PutBytes(out, reinterpret_cast<const uint8_t*>(header), kEventCacheHeaderBytes);
        for (const ServiceEntry* entry : store.services)
            if (entry) PutRecord(out, *entry);
        return true;
    } catch (const std::bad_alloc&) {
        out = std::vector<uint8_t>();
        return false;
    }
}

bool SaveEventCache(const ProgrammeStore& store, const char* path)
{
    std::vector<uint8_t> image;
    return BuildEventCacheImage(store, image) && WriteDataFile(path, image.data(), image.size());
}

bool LoadEventCache(ProgrammeStore& store, const char* path)
{
    DataFileReader file;
    if (!file.Open(path)) return false;
    char header[kEventCacheHeaderBytes + 1] = {};
    if (!file.Read(header, kEventCacheHeaderBytes) || std::memcmp(header, "Epg", 3) != 0) return false;
    store.cacheVersion = std::atoi(header + 3);  // leading digits; a non-digit gives 0

    ClearStore(store);
    for (int i = 0; i < kMaxServices; ++i) {
        ServiceEntry* entry = new (std::nothrow) ServiceEntry();
        if (!entry) break;
        if (!ReadRecord(file, store.cacheVersion >= 1, *entry)) {
            ReleaseServiceEntry(entry);
            break;
        }
        store.services[i] = entry;
        ++store.serviceCount;
    }
    file.Close();
    store.scheduleBase = ScheduleBaseOf(store);
    return true;
}

void MoveLoadedStore(ProgrammeStore& loaded, ProgrammeStore& target)
{
    ClearStore(target);
    for (int i = 0; i < kMaxServices; ++i) {
        target.services[i] = loaded.services[i];
        loaded.services[i] = nullptr;
    }
    target.serviceCount = loaded.serviceCount;
    loaded.serviceCount = 0;
    target.cacheVersion = loaded.cacheVersion;
    target.scheduleBase = loaded.scheduleBase;
}
