// The file and folder calls of the channels and the recovery files on Windows (system_files.h).
#include <windows.h>

#include <cerrno>

#include "runtime/files/file_calls_win32.h"
#include "runtime/files/system_files.h"
#include "runtime/files/win32_support.h"

namespace rt {
namespace {

HANDLE HandleOf(SystemFile file) { return reinterpret_cast<HANDLE>(file); }

// The errno of the last failed call; 0 after none.
int LastErrno() {
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? 0 : win32::ErrnoOf(error);
}

// The path in the form the W calls take without the 260-character limit; an empty one, which
// names nothing, for a path that is not UTF-8.
std::wstring Wide(const std::string& path) { return win32::LongPathOf(path).value_or(std::wstring()); }

DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

}  // namespace

int CreateNewFile(const std::string& path, SystemFile& file) {
    // Others may read the file while it is written, as they may on POSIX.
    const HANDLE h = CurrentFileCalls().createFile(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastErrno() ? LastErrno() : EIO;
    file = reinterpret_cast<SystemFile>(h);
    return 0;
}

int WriteToFile(SystemFile file, const char* data, size_t size) {
    const DWORD error = WriteAll(HandleOf(file), data, size);
    return error == 0 ? 0 : win32::ErrnoOf(error);
}

int CloseFile(SystemFile file) { return CurrentFileCalls().closeHandle(HandleOf(file)) ? 0 : EIO; }

int RemoveFile(const std::string& path) {
    if (CurrentFileCalls().deleteFile(Wide(path).c_str())) return 0;
    return LastErrno() ? LastErrno() : EIO;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    // Asking needs no access to the content, so a file others hold open is still told.
    const HANDLE h = CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = LastErrno();
        return std::nullopt;
    }
    const FileIdentity identity = IdentityOf(reinterpret_cast<SystemFile>(h));
    CloseHandle(h);
    return identity;
}

FileIdentity IdentityOf(SystemFile file) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(HandleOf(file), &info)) return {};
    return {info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

bool IsFile(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

void MakeFolders(const std::string& folder) {
    // Each folder from the top: a drive ("C:") or a share refuses to be made, and is there.
    for (size_t at = folder.find_first_of("\\/", 1);; at = folder.find_first_of("\\/", at + 1)) {
        CreateDirectoryW(Wide(folder.substr(0, at)).c_str(), nullptr);
        if (at == std::string::npos) return;
    }
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE listing = FindFirstFileExW((Wide(folder) + L"\\*").c_str(), FindExInfoBasic, &found,
                                            FindExSearchNameMatch, nullptr, 0);
    if (listing == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(win32::Utf8Of(name));
    } while (FindNextFileW(listing, &found));
    FindClose(listing);
    return names;
}

int RenameFile(const std::string& from, const std::string& to) {
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    return LastErrno() ? LastErrno() : EIO;
}

std::optional<FileTime> ChangedAt(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    // Hundreds of nanoseconds since 1601-01-01.
    const std::int64_t ticks =
        static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                  data.ftLastWriteTime.dwLowDateTime) -
        116444736000000000LL;
    const std::int64_t seconds = ticks >= 0 ? ticks / 10000000 : (ticks - 9999999) / 10000000;
    return FileTime{seconds, (ticks - seconds * 10000000) * 100};
}

SystemFile TakeLock(const std::string& path) {
    // Shared with no one: another program's open fails until this handle is closed, and the
    // system closes it when the program ends, however it ends.
    const HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = LastErrno() ? LastErrno() : EIO;
        return kNoFile;
    }
    return reinterpret_cast<SystemFile>(h);
}

void DropLock(const std::string& path, SystemFile lock) {
    // Marked for deletion through the handle that holds it: the file goes with its close.
    FILE_DISPOSITION_INFO gone{TRUE};
    const bool marked = SetFileInformationByHandle(HandleOf(lock), FileDispositionInfo, &gone, sizeof gone);
    CloseHandle(HandleOf(lock));
    if (!marked) DeleteFileW(Wide(path).c_str());
}

void ReleaseLock(SystemFile lock) { CloseHandle(HandleOf(lock)); }

unsigned long ProcessId() { return GetCurrentProcessId(); }

}  // namespace rt
