// Paths and errors of the Windows file calls (win32_support.h).
#include "runtime/files/win32_support.h"

#include <cerrno>

namespace rt::win32 {

std::optional<std::wstring> WideOf(std::string_view utf8) {
    if (utf8.empty()) return std::wstring();
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), n) != n) return std::nullopt;
    return wide;
}

std::string Utf8Of(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::optional<std::wstring> LongPathOf(std::string_view utf8) {
    std::optional<std::wstring> wide = WideOf(utf8);
    if (!wide || wide->empty()) return std::nullopt;
    if (wide->starts_with(L"\\\\?\\")) return wide;
    DWORD n = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::nullopt;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(wide->c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) return std::nullopt;
    full.resize(n);
    if (full.starts_with(L"\\\\.\\")) return full;  // a device keeps its own form
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return ENOENT;
        case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return EACCES;
        case ERROR_WRITE_PROTECT: return EROFS;
        case ERROR_NOT_READY: return ENXIO;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL: return ENOSPC;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_INVALID_NAME: return EINVAL;
        // The message shared with POSIX tells the customer what to do about a path too long.
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        default: return EIO;
    }
}

std::string ReasonOf(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD n = FormatMessageW(flags, nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                   reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (n > 0 && text) {
        for (DWORD i = 0; i < n; ++i) {
            const wchar_t c = text[i];
            if (c == L'\r' || c == L'\n') continue;
            // Only ASCII goes into a message the program builds in Shift-JIS.
            if (c < 0x20 || c > 0x7E) {
                reason.clear();
                break;
            }
            reason += static_cast<char>(c);
        }
    }
    if (text) LocalFree(text);
    while (!reason.empty() && (reason.back() == ' ' || reason.back() == '.')) reason.pop_back();
    if (reason.empty()) return "Windows error " + std::to_string(error);
    return reason;
}

FileResult Failure(const Text& shown, DWORD error, FileStep step) {
    FileResult r;
    r.err = ErrnoOf(error);
    r.code = ErrorCodeFromErrno(r.err, step);
    r.reason = ReasonOf(error);
    r.path = shown;
    return r;
}

}  // namespace rt::win32
