#include "runtime/files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "runtime/files/file_names.h"

namespace rt {
namespace {

int RealOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

FileResult Success(const Text& shown) {
    FileResult r;
    r.ok = true;
    r.path = shown;
    return r;
}

FileResult Failure(const Text& shown, int err, FileStep step) {
    FileResult r;
    r.code = ErrorCodeFromErrno(err, step);
    r.reason = SystemReason(err);
    r.path = shown;
    return r;
}

FileResult BadName(const Text& shown, int code) {
    FileResult r;
    r.code = code;
    r.reason = "Invalid file name";
    r.path = shown;
    return r;
}

std::string FolderOf(const std::string& systemPath) {
    size_t slash = systemPath.rfind('/');
    return slash == 0 ? "/" : systemPath.substr(0, slash);
}

// A new file beside the target, made exclusively so that no other writer's file is taken over.
// Hidden and marked as ours, so that a temporary file left by a crash is recognisable.
int CreateTemporary(const std::string& systemPath, std::string& tempPath) {
    static std::mt19937_64 random{std::random_device{}()};
    std::string folder = FolderOf(systemPath);
    std::string base = systemPath.substr(systemPath.rfind('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%012llx", static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        tempPath = folder + (folder == "/" ? "" : "/") + "." + base + suffix + ".kvtmp";
        int fd = CurrentFileCalls().open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

int SyncFolder(const std::string& folder) {
    int fd = CurrentFileCalls().open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return errno;
    int err = CurrentFileCalls().fsync(fd) == 0 ? 0 : errno;
    CurrentFileCalls().close(fd);
    // Some file systems cannot sync a folder at all and say so with EINVAL; their renames are
    // as durable as they will ever be.
    return err == EINVAL ? 0 : err;
}

}  // namespace

const FileCalls& SystemFileCalls() {
    static const FileCalls calls{RealOpen, ::write, ::fsync, ::close, ::rename, ::unlink};
    return calls;
}

FileCalls& CurrentFileCalls() {
    static FileCalls calls = SystemFileCalls();
    return calls;
}

int WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = CurrentFileCalls().write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;  // a write that makes no progress is a full device
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

FileResult ReadSystemFile(const std::string& systemPath, const Text& shown, std::string& bytes) {
    int fd = ::open(systemPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Failure(shown, errno, FileStep::Opening);
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        // A folder opens like a file here; reading it would fail later and less clearly.
        int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return Failure(shown, err, FileStep::Opening);
    }
    std::string out;
    if (S_ISREG(st.st_mode)) out.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            return Failure(shown, err, FileStep::Other);
        }
        if (n == 0) break;
        out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    bytes = std::move(out);
    return Success(shown);
}

FileResult ReadWholeFile(const Text& path, std::string& bytes) {
    std::string systemPath;
    if (int code = SystemPathOf(path, systemPath); code != 0) return BadName(path, code);
    return ReadSystemFile(systemPath, path, bytes);
}

FileResult WriteFileReplacing(const Text& path, const std::string& bytes) {
    std::string target;
    if (int code = SystemPathOf(path, target); code != 0) return BadName(path, code);
    return WriteSystemFileReplacing(target, path, bytes);
}

FileResult WriteSystemFileReplacing(const std::string& target, const Text& path, const std::string& bytes) {
    struct stat old;
    bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) return Failure(path, EISDIR, FileStep::Opening);

    std::string temp;
    int fd = CreateTemporary(target, temp);
    if (fd < 0) return Failure(path, errno, FileStep::Opening);
    // The new file keeps the old one's permissions; a file the user made read-only for others
    // stays so after a save.
    if (replacing) fchmod(fd, old.st_mode & 07777);

    int err = WriteAll(fd, bytes.data(), bytes.size());
    if (err == 0 && CurrentFileCalls().fsync(fd) != 0) err = errno;
    if (CurrentFileCalls().close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && CurrentFileCalls().rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        CurrentFileCalls().unlink(temp.c_str());
        return Failure(path, err, FileStep::Other);
    }
    if (int folderErr = SyncFolder(FolderOf(target)); folderErr != 0) return Failure(path, folderErr, FileStep::Other);
    return Success(path);
}

}  // namespace rt
