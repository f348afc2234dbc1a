// The local calendar time on Windows (local_time.h).
#include "runtime/values/local_time.h"

#include <windows.h>

namespace rt {

std::tm LocalTime(std::time_t when) {
    std::tm tm{};
    localtime_s(&tm, &when);
    return tm;
}

std::int64_t MillisecondsNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    // Hundreds of nanoseconds since 1601-01-01.
    const std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000) - 11644473600000LL;
}

}  // namespace rt
