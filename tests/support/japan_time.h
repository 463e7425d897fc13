// Broadcast times convert as local time; tests pin the zone to Japan's in the POSIX form
// that both glibc and the Windows C runtime understand.
#pragma once

#include <cstdlib>
#include <ctime>

inline void PinJapanTime()
{
#ifdef _WIN32
    _putenv("TZ=JST-9");
    _tzset();
#else
    setenv("TZ", "JST-9", 1);
    tzset();
#endif
}
