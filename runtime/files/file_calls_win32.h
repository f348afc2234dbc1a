#pragma once
// The Windows calls of the whole-file writer and the channels, replaceable by tests to act out a
// full disk or a failing flush or replace. Only Windows code and Windows tests include this;
// file_calls_posix.h holds the POSIX calls.
#include <windows.h>

#include <cstddef>

namespace rt {

// Tests replace them through ScopedFileCalls, which puts the real ones back. A replaced call
// fails as the system would: it returns its failure and sets the thread's last error.
struct FileCalls {
    HANDLE(WINAPI* createFile)(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE model);
    BOOL(WINAPI* writeFile)(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
    BOOL(WINAPI* flushFileBuffers)(HANDLE file);
    BOOL(WINAPI* closeHandle)(HANDLE file);
    BOOL(WINAPI* replaceFile)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
                              LPVOID reserved);
    BOOL(WINAPI* moveFileEx)(LPCWSTR from, LPCWSTR to, DWORD flags);
    BOOL(WINAPI* deleteFile)(LPCWSTR path);
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

// Writes all of `size` bytes through CurrentFileCalls. Returns 0 or the Windows error of the
// failure; a write that makes no progress is a full disk.
DWORD WriteAll(HANDLE file, const char* data, size_t size);

}  // namespace rt
