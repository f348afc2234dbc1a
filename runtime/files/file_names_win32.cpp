// File names as Windows takes them: made absolute with GetFullPathNameW, within the common limit of
// 260 characters for a path with its terminating NUL and 255 for one name, and the errno values
// the Windows halves give as runtime error codes and English reasons.
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "runtime/files/file_names.h"
#include "runtime/files/win32_support.h"

namespace rt {

const unsigned char kFolderSeparator = '\\';
const size_t kMaxPathBytes = MAX_PATH - 1;
const size_t kMaxNameBytes = 255;

namespace {

// The whole path and every name in it, in the UTF-16 units Windows counts. Longer paths work
// only where the user turned them on; a file written there could not be opened elsewhere.
bool WithinSystemLimits(std::wstring_view path) {
    if (path.size() > kMaxPathBytes) return false;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) end = path.size();
        if (end - start > kMaxNameBytes) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

int AbsoluteSystemPath(const std::string& utf8, std::string& systemPath) {
    const std::optional<std::wstring> wide = win32::WideOf(utf8);
    if (!wide) return EILSEQ;
    // A path far beyond the limit is refused before the system is asked to make it whole.
    if (wide->size() > 4 * kMaxPathBytes) return ENAMETOOLONG;
    wchar_t full[4 * MAX_PATH];
    const DWORD n = GetFullPathNameW(wide->c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
    if (n == 0) return win32::ErrnoOf(GetLastError());
    if (n >= std::size(full)) return ENAMETOOLONG;
    const std::wstring_view path(full, n);
    // "CON", "NUL" and the like name devices, and "\\?\" turns the system's checks off: the
    // program only ever means a file.
    if (path.starts_with(L"\\\\.\\") || path.starts_with(L"\\\\?\\")) return EINVAL;
    if (!WithinSystemLimits(path)) return ENAMETOOLONG;
    systemPath = win32::Utf8Of(path);
    return 0;
}

int SystemErrorCode(int err) {
    return err == ENXIO ? 72 : 27;  // a drive that is not ready
}

std::string SystemReason(int err) {
    // The C library's table on Windows is English whatever the user's language.
    const char* why = std::strerror(err);
    return why && *why ? why : "Unknown error " + std::to_string(err);
}

}  // namespace rt
