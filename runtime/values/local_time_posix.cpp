// The local calendar time on POSIX (local_time.h).
#include "runtime/values/local_time.h"

namespace rt {

std::tm LocalTime(std::time_t when) {
    std::tm tm{};
    localtime_r(&when, &tm);
    return tm;
}

std::int64_t MillisecondsNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

}  // namespace rt
