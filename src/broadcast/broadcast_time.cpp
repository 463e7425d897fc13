#include "broadcast/broadcast_time.h"

#include <atomic>
#include <cmath>
#include <ctime>

namespace {

constexpr uint16_t kUndefinedMjd = 0xFFFF;
constexpr int kUndefinedBcd = Bcd(0xFF);
constexpr int64_t kUndefinedSeconds = kUndefinedBcd * 3600 + kUndefinedBcd * 60 + kUndefinedBcd;
constexpr uint16_t kMjdOf1970 = 40587;
constexpr int64_t kSecondsPerDay = 86400;
// The undefined start's midnight read as UTC; as local time it lies less than a day from this.
constexpr int64_t kUndefinedMidnightUtc = (kUndefinedMjd - kMjdOf1970) * kSecondsPerDay;
constexpr int64_t kConversionFailed = -1;  // mktime's answer where it stops short of 2038

}  // namespace

CalendarDate MjdToDate(uint16_t mjd)
{
    // Julian-day method with the Gregorian correction, in double precision.
    double j = std::trunc(mjd + 2400000.5 + 0.5);
    double a = j;
    if (j >= 2299161) {
        double alpha = std::trunc((j - 1867216.25) / 36524.25);
        a = j + 1 + alpha - std::trunc(alpha / 4);
    }
    double b = a + 1524;
    double k = std::trunc((b - 122.1) / 365.25);
    double n = std::trunc(365.25 * k);
    double m = std::trunc((b - n) / 30.6001);
    CalendarDate date;
    date.day = static_cast<int>(b - n - std::trunc(30.6001 * m));
    date.month = static_cast<int>(m < 14 ? m - 1 : m - 13);
    date.year = static_cast<int>(date.month > 2 ? k - 4716 : k - 4715);
    return date;
}

int64_t LocalTimeStamp(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = 0;
    return static_cast<int64_t>(std::mktime(&tm));
}

namespace {

// The last day converted, shared by the threads that read event times: its MJD in the top 16
// bits, its midnight (biased to stay positive) below. One lock-free word, so no thread-local
// storage: in the DLL that would tie runtime handles to each host thread, never released
// when the host unloads the plug-in.
constexpr int kMidnightBits = 48;
constexpr uint64_t kMidnightMask = (uint64_t{1} << kMidnightBits) - 1;
constexpr int64_t kMidnightBias = int64_t{1} << 46;
std::atomic<uint64_t> g_lastMidnight{0};
static_assert(std::atomic<uint64_t>::is_always_lock_free);

}  // namespace

int64_t MjdMidnight(uint16_t mjd)
{
    // Readers convert thousands of event times per pass, mostly of a few days: the
    // platform conversion runs once per day, the time of day is added to its midnight.
    // Without daylight saving (tm_isdst is 0) both give the same stamp.
    const uint64_t last = g_lastMidnight.load(std::memory_order_relaxed);
    if (last != 0 && last >> kMidnightBits == mjd)
        return static_cast<int64_t>(last & kMidnightMask) - kMidnightBias;
    const CalendarDate d = MjdToDate(mjd);
    const int64_t midnight = LocalTimeStamp(d.year, d.month, d.day, 0, 0, 0);
    const int64_t biased = midnight + kMidnightBias;
    if (biased > 0 && static_cast<uint64_t>(biased) <= kMidnightMask)
        g_lastMidnight.store(uint64_t{mjd} << kMidnightBits | static_cast<uint64_t>(biased), std::memory_order_relaxed);
    return midnight;
}

EventTimeRange EventTimes(const uint8_t* p)
{
    uint16_t mjd = static_cast<uint16_t>(p[0] << 8 | p[1]);
    EventTimeRange r;
    r.start = MjdMidnight(mjd) + Bcd(p[2]) * 3600 + Bcd(p[3]) * 60 + Bcd(p[4]);
    r.end = r.start + Bcd(p[5]) * 3600 + Bcd(p[6]) * 60 + Bcd(p[7]);
    return r;
}

bool StartUndefined(int64_t start)
{
    // Every shown time asks: the platform conversion only runs for a stamp that can be the
    // undefined one, and not through MjdMidnight, whose one-day cache serves the readers.
    const int64_t midnight = start - kUndefinedSeconds;
    const int64_t fromUtc = midnight - kUndefinedMidnightUtc;
    if (midnight != kConversionFailed && (fromUtc <= -kSecondsPerDay || fromUtc >= kSecondsPerDay)) return false;
    const CalendarDate d = MjdToDate(kUndefinedMjd);
    return midnight == LocalTimeStamp(d.year, d.month, d.day, 0, 0, 0);
}

bool DurationUndefined(const EventTimeRange& times)
{
    return times.end - times.start == kUndefinedSeconds;
}
