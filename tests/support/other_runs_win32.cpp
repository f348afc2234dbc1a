// Other runs on Windows: a run's lock and a writer's hold are both an open handle that shares
// nothing, as the program's own are.
#include "tests/support/other_runs.h"

#include <windows.h>

#include "runtime/files/file_calls_win32.h"

namespace otherruns {
namespace {

class HeldHandle : public Held {
public:
    explicit HeldHandle(HANDLE handle) : handle_(handle) {}
    ~HeldHandle() override { CloseHandle(handle_); }

private:
    HANDLE handle_;
};

std::unique_ptr<Held> Hold(const std::filesystem::path& file, DWORD disposition) {
    const HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HeldHandle>(handle);
}

BOOL WINAPI NoRoom(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
    if (written) *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

class Calls : public Held {
public:
    Calls() : scope_(FullDisk()) {}

private:
    static rt::FileCalls FullDisk() {
        rt::FileCalls calls = rt::SystemFileCalls();
        calls.writeFile = NoRoom;
        return calls;
    }
    rt::ScopedFileCalls scope_;
};

}  // namespace

std::unique_ptr<Held> HoldRunLock(const std::filesystem::path& lock) { return Hold(lock, OPEN_ALWAYS); }
std::unique_ptr<Held> HoldWriting(const std::filesystem::path& temporary) { return Hold(temporary, OPEN_EXISTING); }

void SetChanged(const std::filesystem::path& file, std::time_t changed) {
    const HANDLE handle = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    // 100-nanosecond steps since 1601-01-01.
    const ULONGLONG ticks = (static_cast<ULONGLONG>(changed) + 11644473600ULL) * 10000000ULL;
    FILETIME when;
    when.dwLowDateTime = static_cast<DWORD>(ticks);
    when.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SetFileTime(handle, nullptr, &when, &when);
    CloseHandle(handle);
}

std::unique_ptr<Held> NoRoomLeft() { return std::make_unique<Calls>(); }

}  // namespace otherruns
