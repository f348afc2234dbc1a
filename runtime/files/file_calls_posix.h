#pragma once
// The POSIX system calls of the whole-file writer and the channels, replaceable by tests to act
// out a full disk or a failing rename or sync. Only POSIX code and POSIX tests include this;
// file_calls_win32.h holds the Windows calls.
#include <sys/types.h>

#include <cstddef>

namespace rt {

// Tests replace them through ScopedFileCalls, which puts the real ones back.
// Paths are taken relative to a folder's descriptor, or to the current folder with AT_FDCWD.
struct FileCalls {
    int (*openat)(int folder, const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*linkat)(int fromFolder, const char* from, int toFolder, const char* to, int flags);
    int (*renameat)(int fromFolder, const char* from, int toFolder, const char* to);
    int (*unlinkat)(int folder, const char* path, int flags);
};

const FileCalls& SystemFileCalls();  // the real ones
FileCalls& CurrentFileCalls();       // the ones in use

class ScopedFileCalls {
public:
    explicit ScopedFileCalls(const FileCalls& calls) : saved_(CurrentFileCalls()) { CurrentFileCalls() = calls; }
    ~ScopedFileCalls() { CurrentFileCalls() = saved_; }
    ScopedFileCalls(const ScopedFileCalls&) = delete;
    ScopedFileCalls& operator=(const ScopedFileCalls&) = delete;

private:
    FileCalls saved_;
};

// Writes all of `size` bytes through CurrentFileCalls, going on after short writes and
// interruptions. Returns 0 or the errno of the failure.
int WriteAll(int fd, const char* data, size_t size);

}  // namespace rt
