// The file and folder calls of the channels and the recovery files on POSIX (system_files.h).
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "runtime/files/file_calls_posix.h"
#include "runtime/files/system_files.h"

namespace rt {

int CreateNewFile(const std::string& path, SystemFile& file) {
    const int fd = CurrentFileCalls().openat(AT_FDCWD, path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    file = fd;
    return 0;
}

int WriteToFile(SystemFile file, const char* data, size_t size) { return WriteAll(static_cast<int>(file), data, size); }

int CloseFile(SystemFile file) { return CurrentFileCalls().close(static_cast<int>(file)) == 0 ? 0 : errno; }

int RemoveFile(const std::string& path) {
    return CurrentFileCalls().unlinkat(AT_FDCWD, path.c_str(), 0) == 0 ? 0 : errno;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

FileIdentity IdentityOf(SystemFile file) {
    struct stat st;
    if (::fstat(static_cast<int>(file), &st) != 0) return {};
    return {st.st_dev, st.st_ino};
}

bool IsFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos) return;
    }
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

int RenameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::optional<FileTime> ChangedAt(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileTime{st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

SystemFile TakeLock(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return kNoFile;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return kNoFile;
    }
    return fd;
}

void DropLock(const std::string& path, SystemFile lock) {
    ::unlink(path.c_str());
    ::close(static_cast<int>(lock));
}

void ReleaseLock(SystemFile lock) { ::close(static_cast<int>(lock)); }

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

}  // namespace rt
