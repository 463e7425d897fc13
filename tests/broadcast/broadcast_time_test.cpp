#include "broadcast/broadcast_time.h"

#include <gtest/gtest.h>

#include <tuple>

#include "broadcast/local_calendar.h"
#include "support/japan_time.h"
#include "support/section_builder.h"

namespace {

// Days from 1970-01-01 of a Gregorian date, by exact integer arithmetic.
long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

class BroadcastTimeTest : public ::testing::Test {
protected:
    void SetUp() override { PinJapanTime(); }
};

TEST_F(BroadcastTimeTest, MjdExampleAndEventTimes)
{
    CalendarDate d = MjdToDate(0xC079);
    EXPECT_EQ(1993, d.year);
    EXPECT_EQ(10, d.month);
    EXPECT_EQ(13, d.day);

    const uint8_t bytes[] = {0xC0, 0x79, 0x12, 0x45, 0x00, 0x01, 0x45, 0x30};
    EventTimeRange r = EventTimes(bytes);
    EXPECT_EQ(LocalTimeStamp(1993, 10, 13, 12, 45, 0), r.start);
    EXPECT_EQ(6330, r.end - r.start);
}

TEST_F(BroadcastTimeTest, EveryMjdGivesTheExactCalendarDate)
{
    // MJD 0 is 1858-11-17, which is day -40587 of the Unix calendar.
    for (uint32_t mjd = 0; mjd <= 0xFFFF; ++mjd) {
        CalendarDate d = MjdToDate(static_cast<uint16_t>(mjd));
        ASSERT_EQ(static_cast<long>(mjd) - 40587, DaysFromCivil(d.year, d.month, d.day)) << "MJD " << mjd;
    }
}

TEST_F(BroadcastTimeTest, StampsAreJapanLocalTimeAcrossDaysAndYears)
{
    EXPECT_EQ(0, LocalTimeStamp(1970, 1, 1, 9, 0, 0));
    // The test encoder and the decoder agree, and the day boundary adds exactly one day.
    BroadcastTime t{2026, 12, 31, 23, 59, 59};
    Bytes p = EncodeStartTime(t);
    p.insert(p.end(), {0, 0, 0});  // no duration
    EventTimeRange r = EventTimes(p.data());
    EXPECT_EQ(LocalTimeStamp(2026, 12, 31, 23, 59, 59), r.start);
    EXPECT_EQ(LocalTimeStamp(2027, 1, 1, 0, 0, 0), r.start + 1);
    EXPECT_EQ(DaysFromCivil(2027, 1, 1) * 86400 - 9 * 3600, LocalTimeStamp(2027, 1, 1, 0, 0, 0));
    // A stamp the runtime cannot convert reads as all zeros, not as a made-up day.
    const LocalCalendarTime none = LocalCalendarOf(INT64_MAX);
    EXPECT_EQ(std::make_tuple(0, 0, 0, 0, 0, 0),
              std::make_tuple(none.year, none.month, none.day, none.weekday, none.hour, none.minute));
}

TEST_F(BroadcastTimeTest, BcdAndDurations)
{
    EXPECT_EQ(59, Bcd(0x59));
    EXPECT_EQ(0, Bcd(0x00));
    EXPECT_EQ(23, Bcd(ToBcd(23)));
    BroadcastTime t{2026, 12, 7, 23, 30, 0};
    Bytes p = EncodeStartTime(t);
    Bytes duration = EncodeDuration(105 * 60);  // 1:45
    p.insert(p.end(), duration.begin(), duration.end());
    EventTimeRange r = EventTimes(p.data());
    EXPECT_EQ(LocalTimeStamp(2026, 12, 8, 1, 15, 0), r.end);
}

}  // namespace
