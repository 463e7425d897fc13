// The platform's conversion of a time stamp (seconds since 1970) to local broken-down time.
// The Windows runtime has no localtime_r; its 64-bit form is _localtime64_s.
#pragma once

#include <cstdint>
#include <ctime>

// False (out untouched) when the runtime cannot convert the stamp.
bool ToLocalTime(int64_t stamp, std::tm& out);
