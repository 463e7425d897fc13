// Programmes, section versions and files for the change-log suites.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "changelog/change_log.h"
#include "store/programme_store.h"
#include "support/section_builder.h"
#include "support/test_files.h"
#include "broadcast/broadcast_time.h"
#include "ts/stream_parser.h"

struct Programme {
    std::string name;  // empty: no short event descriptor
    int hour = 0;
    int minute = 0;
    int minutes = 60;
    uint8_t genre = 0x0;
    uint8_t audio = 0x03;
    uint8_t video = 0xB3;
};

inline Bytes ProgrammeDescriptors(const Programme& p)
{
    Bytes d;
    if (!p.name.empty()) d = ShortEventDescriptor(Raw(p.name), Raw("about " + p.name));
    for (const Bytes& more : {ComponentDescriptor(p.video), ContentDescriptor(p.genre, 1), AudioComponentDescriptor(p.audio)})
        d.insert(d.end(), more.begin(), more.end());
    return d;
}

// A basic schedule section of 2026-12-07 with the given programmes.
inline Bytes Version(uint16_t serviceId, int sectionNumber, uint8_t version, const std::vector<Programme>& programmes)
{
    EitSection eit;
    eit.tableId = sectionNumber < 256 ? 0x50 : 0x51;
    eit.serviceId = serviceId;
    eit.version = version;
    eit.sectionNumber = static_cast<uint8_t>(sectionNumber % 256);
    uint16_t id = 0x100;
    for (const Programme& p : programmes)
        eit.events.push_back({id++, {2026, 12, 7, p.hour, p.minute, 0}, p.minutes * 60, 0, ProgrammeDescriptors(p)});
    return MakeEit(eit);
}

// Stores a section as the EIT handler does: a new version counts, and a section that fills
// an empty basic slot also becomes its reference copy.
inline void Receive(ServiceEntry& entry, int slot, const Bytes& section)
{
    SectionSlot& target = entry.schedule[slot];
    bool empty = target.data == nullptr;
    if (empty || ((target.data[5] ^ section[5]) & 0x3E) != 0) {
        ++target.versionChanges;
        if (empty) StoreSection(entry.scheduleOriginal[slot], section.data(), section.size());
    }
    StoreSection(target, section.data(), section.size());
}

inline int64_t At(int hour, int minute) { return LocalTimeStamp(2026, 12, 7, hour, minute, 0); }

inline std::string NameOf(const EventSnapshot& s) { return std::string(s.name, s.name + s.nameLength); }

// A file name in the current folder, unique per test.
inline std::string TestFileName(const char* extension)
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("lumara_") + info->test_suite_name() + "_" + info->name() + extension;
}

