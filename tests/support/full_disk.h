#pragma once
// A disk with no room left: every write fails as the system says it, the rest works.
#include <cerrno>

#include "runtime/files/file_calls_posix.h"

inline ssize_t NoRoomLeft(int, const void*, size_t) {
    errno = ENOSPC;
    return -1;
}

inline rt::FileCalls FullDiskCalls() {
    rt::FileCalls calls = rt::SystemFileCalls();
    calls.write = NoRoomLeft;
    return calls;
}
