#pragma once
// The calendar time of a moment where the user is, one file for each system
// (local_time_posix.cpp, local_time_win32.cpp): both systems have a thread-safe call for it,
// under different names; and the current time finer than seconds, which each asks its own way.
#include <cstdint>
#include <ctime>

namespace rt {

std::tm LocalTime(std::time_t when);

// Now, in milliseconds since 1970-01-01 UTC: for names that sort by when they were made.
std::int64_t MillisecondsNow();

}  // namespace rt
