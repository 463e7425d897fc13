#include "broadcast/byte_reader.h"

#include <gtest/gtest.h>

namespace {

// Parsers read a cut field's value before they look at Ok(): it must be zero, and every read
// after it must fail too, whatever is left.
TEST(ByteReader, ReadThatDoesNotFitYieldsZeroConsumesNothingAndSticks)
{
    const uint8_t data[] = {0x12, 0x34, 0x56};
    ByteReader r(data, sizeof data);
    EXPECT_EQ(0x1234, r.U16());
    EXPECT_EQ(0, r.U16());
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(2u, r.Position());
    EXPECT_EQ(0, r.U8());
    EXPECT_EQ(0u, r.Sub(1).Remaining());
    EXPECT_EQ(0u, ByteReader(data, 2).U24());
    EXPECT_EQ(0, ByteReader(data, 0).U8());
    EXPECT_EQ(0, ByteReader(data, 1).Length12());
    EXPECT_FALSE(ByteReader(data, 2).Skip(3));  // the extended description stops on it
    EXPECT_EQ(nullptr, ByteReader(data, 2).Bytes(3));
    EXPECT_EQ(0u, ByteReader(nullptr, 2).Remaining());  // a descriptor that is not there
}

// An empty descriptor closing the loop is still a descriptor; one whose body runs past is not.
TEST(ByteReader, DescriptorLoopTakesAnEmptyLastDescriptorAndStopsAtACutOne)
{
    const uint8_t loopBytes[] = {0x4E, 0x01, 0xAA, 0x4D, 0x00, 0x54, 0x02, 0x00};
    ByteReader loop(loopBytes, sizeof loopBytes);
    Descriptor d;
    ASSERT_TRUE(NextDescriptor(loop, d));
    ASSERT_TRUE(NextDescriptor(loop, d));
    EXPECT_EQ(0x4D, d.tag);
    EXPECT_EQ(0, d.length);
    EXPECT_FALSE(NextDescriptor(loop, d));
    ByteReader last(loopBytes, 5);
    ASSERT_TRUE(NextDescriptor(last, d));
    EXPECT_TRUE(NextDescriptor(last, d)) << "two bytes left";
}

}  // namespace
