// Whole files read into memory, and files replaced only once their new bytes are complete, on
// Windows: a temporary file beside the target that no other handle may write or delete while its
// writer has it open, flushed and then put in the target's place with ReplaceFileW (MoveFileExW
// where there is no target yet), and the leftovers of killed writers removed.
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <functional>

#include "runtime/files/file_calls_win32.h"
#include "runtime/files/whole_file_parts.h"
#include "runtime/files/win32_support.h"

namespace rt {
namespace {

using whole_file::Success;

// A path the writer cannot even put into the system's form: refused as a name.
FileResult Unnamable(const Text& shown) { return whole_file::Failure(shown, EILSEQ, FileStep::Opening); }

// The last error of a failed call, ERROR_GEN_FAILURE when a replaced call forgot to set one.
DWORD LastError() {
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}

struct FolderAndName {
    std::wstring folder;  // without the last separator
    std::wstring name;
};

FolderAndName Split(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    return {path.substr(0, slash), path.substr(slash + 1)};
}

// Opened for deletion by this handle alone, a temporary is held by no writer: a writer keeps its
// own from other handles' writing and deleting for as long as it writes. The handle is closed
// before the file is removed; no writer opens an existing temporary, so none can take it between.
void RemoveIfUnheld(const std::wstring& path) {
    const HANDLE held = CurrentFileCalls().createFile(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (held == INVALID_HANDLE_VALUE) return;
    CurrentFileCalls().closeHandle(held);
    CurrentFileCalls().deleteFile(path.c_str());
}

// Removes the temporaries in the folder of the targets `ofTarget` accepts by the name they borrow,
// of which no writer holds a handle.
void RemoveLeftovers(const std::wstring& folder, const std::function<bool(std::string_view)>& ofTarget) {
    WIN32_FIND_DATAW found;
    const HANDLE listing = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                            FindExSearchNameMatch, nullptr, 0);
    if (listing == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        const std::string name = win32::Utf8Of(found.cFileName);
        const std::optional<std::string_view> borrowed = whole_file::BorrowedFrom(name);
        if (borrowed && ofTarget(*borrowed)) RemoveIfUnheld(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(listing, &found));
    FindClose(listing);
}

// A new file under a temporary name beside the target, open for writing and held: no other
// handle may write or delete it.
HANDLE CreateTemporary(const FolderAndName& target, std::wstring& temp) {
    const std::string name = win32::Utf8Of(target.name);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target.folder + L"\\" + win32::WideOf(whole_file::TemporaryName(name)).value_or(L"");
        const HANDLE file = CurrentFileCalls().createFile(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// The temporary's bytes in the target's place. The old file's attributes and security stay with
// the name where ReplaceFileW can keep them; a target that went away in the meantime is made.
DWORD PutInPlace(const std::wstring& temp, const std::wstring& target, bool replacing) {
    if (replacing) {
        if (CurrentFileCalls().replaceFile(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                           nullptr, nullptr))
            return 0;
        const DWORD error = LastError();
        if (error != ERROR_FILE_NOT_FOUND || GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
            return error;
    }
    if (CurrentFileCalls().moveFileEx(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return LastError();
}

// The new bytes, written and flushed to the disk. 0 or the error.
DWORD Fill(HANDLE file, const std::string& bytes) {
    if (const DWORD error = WriteAll(file, bytes.data(), bytes.size()); error != 0) return error;
    return CurrentFileCalls().flushFileBuffers(file) ? 0 : LastError();
}

bool IsFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opened to be read, as the channels open a file for input: others may go on reading and writing.
HANDLE OpenToRead(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL WINAPI RealReplaceFile(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
                            LPVOID reserved) {
    return ReplaceFileW(replaced, replacement, backup, flags, exclude, reserved);
}

}  // namespace

const FileCalls& SystemFileCalls() {
    static const FileCalls calls{CreateFileW, WriteFile, FlushFileBuffers, CloseHandle, RealReplaceFile, MoveFileExW,
                                 DeleteFileW};
    return calls;
}

FileCalls& CurrentFileCalls() {
    static FileCalls calls = SystemFileCalls();
    return calls;
}

DWORD WriteAll(HANDLE file, const char* data, size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
        DWORD written = 0;
        if (!CurrentFileCalls().writeFile(file, data, chunk, &written, nullptr)) return LastError();
        if (written == 0) return ERROR_DISK_FULL;
        data += written;
        size -= written;
    }
    return 0;
}

FileResult ReadSystemFile(const std::string& systemPath, const Text& shown, std::string& bytes, size_t atMost) {
    const std::optional<std::wstring> path = win32::LongPathOf(systemPath);
    if (!path) return Unnamable(shown);
    const HANDLE file = OpenToRead(*path);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = LastError();
        // A folder cannot be opened as a file: the system says only "access denied".
        if (error == ERROR_ACCESS_DENIED && IsFolder(GetFileAttributesW(path->c_str())))
            return whole_file::Failure(shown, EISDIR, FileStep::Opening);
        return win32::Failure(shown, error, FileStep::Opening);
    }
    std::string out;
    LARGE_INTEGER size{};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size)) {
        if (static_cast<uint64_t>(size.QuadPart) > atMost) {
            CloseHandle(file);
            return whole_file::Failure(shown, EFBIG, FileStep::Other);
        }
        out.reserve(static_cast<size_t>(size.QuadPart));
    }
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            const DWORD error = LastError();
            CloseHandle(file);
            // The end of a pipe is its writer's close.
            if (error == ERROR_BROKEN_PIPE) break;
            return win32::Failure(shown, error, FileStep::Other);
        }
        if (n == 0) {
            CloseHandle(file);
            break;
        }
        if (n > atMost - out.size()) {
            CloseHandle(file);
            return whole_file::Failure(shown, EFBIG, FileStep::Other);
        }
        out.append(buffer, n);
    }
    bytes = std::move(out);
    return Success(shown);
}

std::string ReadFileStart(const Text& name, size_t count) {
    std::string systemPath;
    if (MakeSystemPath(name, systemPath) != 0) return {};
    const std::optional<std::wstring> path = win32::LongPathOf(systemPath);
    if (!path) return {};
    const HANDLE file = OpenToRead(*path);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    if (GetFileType(file) == FILE_TYPE_DISK) {
        bytes.resize(count);
        size_t got = 0;
        DWORD n = 0;
        while (got < count && ReadFile(file, bytes.data() + got, static_cast<DWORD>(count - got), &n, nullptr) && n > 0)
            got += n;
        bytes.resize(got);
    }
    CloseHandle(file);
    return bytes;
}

FileResult WriteSystemFileReplacing(const std::string& systemPath, const Text& shown, const std::string& bytes) {
    const std::optional<std::wstring> target = win32::LongPathOf(systemPath);
    if (!target) return Unnamable(shown);
    const DWORD attributes = GetFileAttributesW(target->c_str());
    if (IsFolder(attributes)) return whole_file::Failure(shown, EISDIR, FileStep::Opening);
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
    const FolderAndName parts = Split(*target);

    const std::string borrowed = whole_file::BorrowedName(win32::Utf8Of(parts.name));
    RemoveLeftovers(parts.folder, [&borrowed](std::string_view of) { return of == borrowed; });
    std::wstring temp;
    const HANDLE file = CreateTemporary(parts, temp);
    if (file == INVALID_HANDLE_VALUE) return win32::Failure(shown, LastError(), FileStep::Opening);
    DWORD error = Fill(file, bytes);
    // Closed before it is moved: the handle that keeps the temporary from other writers keeps it
    // from being moved too.
    if (!CurrentFileCalls().closeHandle(file) && error == 0) error = LastError();
    if (error == 0) error = PutInPlace(temp, *target, replacing);
    if (error != 0) {
        CurrentFileCalls().deleteFile(temp.c_str());
        return win32::Failure(shown, error, FileStep::Other);
    }
    return Success(shown);
}

void RemoveLeftoverTemporaries(const std::string& folder, std::string_view start) {
    const std::optional<std::wstring> path = win32::LongPathOf(folder);
    if (!path) return;
    std::wstring trimmed = *path;
    while (trimmed.size() > 1 && trimmed.back() == L'\\') trimmed.pop_back();
    RemoveLeftovers(trimmed, [start](std::string_view of) { return of.starts_with(start); });
}

}  // namespace rt
