// A row that cannot be allocated leaves its service out of the list; the others still show.
#include <gtest/gtest.h>

#include <new>

#include "list_fixture.h"

namespace {

// Row allocations left to succeed before one fails; -1: never fail.
int g_rowsBeforeFailure = -1;

}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (size == sizeof(ListRow) && g_rowsBeforeFailure >= 0 && g_rowsBeforeFailure-- == 0) return nullptr;
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace {

TEST_F(ListFixture, RowThatCannotBeAllocatedLeavesOnlyItsServiceOut)
{
    AddService(0x0400, u8"ＮＨＫ総合");
    AddService(0x0401, u8"Ｅテレ");
    AddService(0x0402, u8"民放");
    g_rowsBeforeFailure = 1;
    const int count = Build(Stamp(20, 10));
    g_rowsBeforeFailure = -1;
    ASSERT_EQ(2, count);
    EXPECT_EQ(0x0400, Row(0).serviceId);
    EXPECT_EQ(0x0402, Row(1).serviceId);
}

}  // namespace
