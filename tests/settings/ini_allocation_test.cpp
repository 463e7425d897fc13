// A settings write that runs out of memory at any of its allocations is reported as a failure,
// and the file keeps what it had. A read that runs out of memory finds nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "settings/ini_profile.h"
#include "settings_test_files.h"

namespace {

// Plain allocations left before one throws; -1: none throws.
int g_allocationsBeforeFailure = -1;

}  // namespace

void* operator new(std::size_t size)
{
    if (g_allocationsBeforeFailure == 0) {
        g_allocationsBeforeFailure = -1;
        throw std::bad_alloc();
    }
    if (g_allocationsBeforeFailure > 0) --g_allocationsBeforeFailure;
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

// This pair is malloc and free on both sides; GCC, inlining it into a delete expression, takes
// the pointer for one of the built-in operator new's.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
#pragma GCC diagnostic pop
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using IniAllocation = SettingsFiles;

TEST_F(IniAllocation, WriteReportsSuccessOnlyWhenTheFileHoldsTheValue)
{
    for (int k = 0;; ++k) {
        Put(PathOf("a.ini"), "[A]\r\nk=1\r\n");
        CIniProfile profile(PathOf("a.ini").c_str());
        g_allocationsBeforeFailure = k;
        const bool written = profile.WriteString("A", "k", "2");
        const bool allSucceeded = g_allocationsBeforeFailure >= 0;
        g_allocationsBeforeFailure = -1;
        EXPECT_EQ(written ? 2 : 1, profile.ReadInt("A", "k", 0)) << "allocation " << k << " failing";
        if (allSucceeded) {
            EXPECT_TRUE(written);
            break;
        }
    }
}

// Reading gives the default then, not a value from the part of the file read before it.
TEST_F(IniAllocation, ReadThatRunsOutOfMemoryFindsNothing)
{
    Put(PathOf("a.ini"), "[A]\r\nk=1\r\n;" + std::string(5000, 'x') + "\r\n");  // more than one read
    CIniProfile profile(PathOf("a.ini").c_str());
    for (int k = 0;; ++k) {
        g_allocationsBeforeFailure = k;
        const int value = profile.ReadInt("A", "k", 7);
        const bool allSucceeded = g_allocationsBeforeFailure >= 0;
        g_allocationsBeforeFailure = -1;
        EXPECT_EQ(allSucceeded ? 1 : 7, value) << "allocation " << k << " failing";
        if (allSucceeded) break;
    }
}

}  // namespace
