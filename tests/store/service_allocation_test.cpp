// A new service entry that cannot be allocated: the service is refused and the store stays
// consistent, both when the stream brings it and when the event cache does. And no section
// buffer outlives its service; a cache image that cannot grow is a failure, not a success.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "store/event_cache.h"
#include "store/programme_store.h"
#include "support/packetizer.h"
#include "support/section_builder.h"
#include "ts/stream_parser.h"

namespace {

// Allocations of a service entry's size left to succeed before they fail; -1: never fail.
int g_entriesBeforeFailure = -1;

// Arrays alive while counted: in the store, section buffers (new[] without exceptions, delete[]).
bool g_countBuffers = false;
int g_liveBuffers = 0;

class CountingBuffers {
public:
    CountingBuffers() { g_countBuffers = true, g_liveBuffers = 0; }
    ~CountingBuffers() { g_countBuffers = false; }
};

// Section buffers of the intake left to succeed before one fails; -1: never fail.
int g_pidBuffersBeforeFailure = -1;

// Arrays without exceptions (section buffers) left to succeed before one fails; -1: never fail.
int g_arraysBeforeFailure = -1;

// Plain allocations (a growing vector's) throw while set.
bool g_failPlainAllocations = false;

class FailingEntryAllocation {
public:
    explicit FailingEntryAllocation(int succeeding) { g_entriesBeforeFailure = succeeding; }
    ~FailingEntryAllocation() { g_entriesBeforeFailure = -1; }
};

}  // namespace

// The store allocates its entries without exceptions; only those can be made to fail here.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (size == sizeof(ServiceEntry) && g_entriesBeforeFailure >= 0 && g_entriesBeforeFailure-- == 0) return nullptr;
    if (size == sizeof(PidBuffer) && g_pidBuffersBeforeFailure >= 0 && g_pidBuffersBeforeFailure-- == 0) return nullptr;
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new(std::size_t size)
{
    void* p = g_failPlainAllocations ? nullptr : std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

// Every array form through malloc and free, so that the sanitizer build pairs them alike.
void* operator new[](std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    g_liveBuffers += g_countBuffers ? 1 : 0;
    return p;
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_arraysBeforeFailure >= 0 && g_arraysBeforeFailure-- == 0) return nullptr;
    void* p = std::malloc(size ? size : 1);
    g_liveBuffers += p && g_countBuffers ? 1 : 0;
    return p;
}

void operator delete[](void* p) noexcept
{
    g_liveBuffers -= p && g_countBuffers ? 1 : 0;
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept { operator delete[](p); }

namespace {

TEST(ServiceAllocationTest, ServiceIsRefusedWhenItsEntryCannotBeAllocated)
{
    StreamParser parser;
    ASSERT_EQ(0, FindOrAddService(parser.store, 200));
    {
        FailingEntryAllocation failing(0);
        EXPECT_EQ(kNoService, FindOrAddService(parser.store, 300));  // after the last
        g_entriesBeforeFailure = 0;
        EXPECT_EQ(kNoService, FindOrAddService(parser.store, 100));  // in front of a stored one
    }
    EXPECT_EQ(1, parser.store.serviceCount);
    EXPECT_EQ(200, parser.store.services[0]->serviceId);
    EXPECT_EQ(nullptr, parser.store.services[1]);

    for (uint16_t id : {100, 300, 400}) ASSERT_NE(kNoService, FindOrAddService(parser.store, id));
    const std::string path = "lumara_cache_service_allocation.dat";
    ASSERT_TRUE(SaveEventCache(parser.store, path.c_str()));
    StreamParser loaded;
    {
        FailingEntryAllocation failing(2);
        EXPECT_TRUE(LoadEventCache(loaded.store, path.c_str()));
    }
    EXPECT_EQ(2, loaded.store.serviceCount);
    EXPECT_EQ(200, loaded.store.services[1]->serviceId);
    EXPECT_EQ(nullptr, loaded.store.services[2]);
    std::remove(path.c_str());
}

TEST(ServiceAllocationTest, SectionBufferThatCannotBeAllocatedLeavesTheSlotAsItWas)
{
    const uint8_t first[20] = {0x50, 0, 17}, longer[24] = {0x50, 0, 21};  // whole sections: a load keeps them
    ProgrammeStore store;
    for (uint16_t id : {100, 200, 300}) ASSERT_NE(kNoService, FindOrAddService(store, id));
    SectionSlot& slot = store.services[1]->schedule[0];
    ASSERT_TRUE(StoreSection(slot, first, sizeof first));
    g_arraysBeforeFailure = 0;
    EXPECT_FALSE(StoreSection(slot, longer, sizeof longer));
    EXPECT_EQ(sizeof first, slot.length);
    EXPECT_EQ(17, slot.data[2]);

    // A load stops at the service whose section cannot be held and keeps those before it.
    const std::string path = "lumara_cache_section_allocation.dat";
    ASSERT_TRUE(SaveEventCache(store, path.c_str()));
    ProgrammeStore loaded;
    g_arraysBeforeFailure = 0;
    EXPECT_TRUE(LoadEventCache(loaded, path.c_str()));
    g_arraysBeforeFailure = -1;
    EXPECT_EQ(1, loaded.serviceCount);
    EXPECT_EQ(nullptr, loaded.services[1]);
    std::remove(path.c_str());
    ClearStore(store);
    ClearStore(loaded);
}

TEST(ServiceAllocationTest, IntakeBufferThatCannotBeAllocatedLosesOnlyItsPacket)
{
    const Bytes sdt = Packetizer(kPidSdt).Packetize(MakeSdt({.services = {{.serviceId = 0x0408, .serviceName = Raw("B")}}}));
    StreamParser parser;
    g_pidBuffersBeforeFailure = 0;
    TakePackets(parser, sdt.data(), sdt.size());
    g_pidBuffersBeforeFailure = -1;
    g_arraysBeforeFailure = 0;
    TakePackets(parser, sdt.data(), sdt.size());
    g_arraysBeforeFailure = -1;
    EXPECT_EQ(0, parser.store.serviceCount);
    TakePackets(parser, sdt.data(), sdt.size());
    EXPECT_EQ(1, parser.store.serviceCount);
}

TEST(ServiceAllocationTest, CacheImageThatCannotGrowIsAFailure)
{
    ProgrammeStore store;
    ASSERT_NE(kNoService, FindOrAddService(store, 100));
    std::vector<uint8_t> image(3, 0xAA);
    g_failPlainAllocations = true;
    const bool built = BuildEventCacheImage(store, image);
    g_failPlainAllocations = false;
    EXPECT_FALSE(built);
    EXPECT_TRUE(image.empty());
    ClearStore(store);
}

TEST(ServiceAllocationTest, ReleasingAServiceOrClearingTheStoreFreesEverySection)
{
    const uint8_t section[40] = {0x50};
    const auto fill = [&](ServiceEntry& s) {
        for (SectionSlot* slot : {&s.schedule[0], &s.schedule[511], &s.scheduleExtended[511], &s.presentFollowing[1],
                                  &s.scheduleOriginal[511]})
            ASSERT_TRUE(StoreSection(*slot, section, sizeof section));
    };
    CountingBuffers counting;
    ProgrammeStore store;
    for (uint16_t id : {100, 200}) fill(*store.services[FindOrAddService(store, id)]);
    ServiceEntry* alone = new ServiceEntry();
    fill(*alone);
    EXPECT_EQ(g_liveBuffers, 15);
    ReleaseServiceEntry(alone);
    EXPECT_EQ(g_liveBuffers, 10);
    ClearStore(store);
    EXPECT_EQ(g_liveBuffers, 0);
}

}  // namespace
