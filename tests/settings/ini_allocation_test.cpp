// A settings write that runs out of memory is reported as a failure, and the file keeps what
// it had.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "settings/ini_profile.h"
#include "settings_test_files.h"

namespace {

// Plain allocations throw while set.
bool g_failAllocations = false;

}  // namespace

void* operator new(std::size_t size)
{
    void* p = g_failAllocations ? nullptr : std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using IniAllocation = SettingsFiles;

TEST_F(IniAllocation, WriteThatCannotAllocateIsAFailure)
{
    Put(PathOf("a.ini"), "[A]\r\nk=1\r\n");
    CIniProfile profile(PathOf("a.ini").c_str());
    g_failAllocations = true;
    const bool written = profile.WriteString("A", "k", "2");
    g_failAllocations = false;
    EXPECT_FALSE(written);
    EXPECT_EQ(1, profile.ReadInt("A", "k", 0));
}

}  // namespace
