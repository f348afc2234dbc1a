#pragma once
// The system's file and folder calls that the channels and the recovery files make, one file for
// each system (system_files_posix.cpp, system_files_win32.cpp). Paths are system paths (UTF-8);
// failures are errno values, so that ErrorCodeFromErrno and SystemReason read them on both.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rt {

// An open file: a descriptor on POSIX, a handle on Windows.
using SystemFile = std::intptr_t;
inline constexpr SystemFile kNoFile = -1;

// The file itself, however a name reaches it: its device or volume, and its number there.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// A file made new for writing, which others may read meanwhile; EEXIST when the name is taken.
// 0 or the errno. Made through the injectable calls of the whole-file writer.
int CreateNewFile(const std::string& path, SystemFile& file);
// All of the bytes, or the errno of the failure.
int WriteToFile(SystemFile file, const char* data, size_t size);
int CloseFile(SystemFile file);  // 0 or the errno
int RemoveFile(const std::string& path);  // 0 or the errno

// What a name reaches, following links; nothing (and errno set) when it reaches nothing.
std::optional<FileIdentity> IdentityOf(const std::string& path);
// What an open file is; zeros where the system cannot tell.
FileIdentity IdentityOf(SystemFile file);
// True when the name reaches a file, not a folder.
bool IsFile(const std::string& path);
// True when anything has that name, a link to nothing too.
bool PathExists(const std::string& path);

// The folder and those above it, as far as they are missing; only the user may enter them.
void MakeFolders(const std::string& folder);
// The names in a folder, "." and ".." left out; none when it cannot be read.
std::vector<std::string> NamesIn(const std::string& folder);
// Gives the file another name in the same folder, replacing a file of that name. 0 or the errno.
int RenameFile(const std::string& from, const std::string& to);

// When a file's content last changed, for telling which is newest and showing when.
struct FileTime {
    std::int64_t seconds = 0;  // since 1970-01-01 UTC
    std::int64_t nanoseconds = 0;
    auto operator<=>(const FileTime&) const = default;
};
std::optional<FileTime> ChangedAt(const std::string& path);

// A run's lock: the file is made when missing and held, without waiting, for as long as the
// lock is; kNoFile (and errno set) when another program holds it or it cannot be made. On POSIX
// an flock, on Windows a handle that shares nothing.
SystemFile TakeLock(const std::string& path);
// Removes the lock's file while still holding it, so that no other program takes it for the
// lock of a run that has gone, and lets it go.
void DropLock(const std::string& path, SystemFile lock);
// Lets the lock go and leaves its file.
void ReleaseLock(SystemFile lock);

// This program's process number, for names of its own among other runs'.
unsigned long ProcessId();

}  // namespace rt
