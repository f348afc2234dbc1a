// Whole files read into memory, and files replaced only once their new bytes are complete, on POSIX:
// a locked temporary file beside the target, synced and renamed over it, and the leftovers of
// killed writers removed.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/files/file_calls_posix.h"
#include "runtime/files/whole_file_parts.h"

namespace rt {
namespace {

using whole_file::BorrowedFrom;
using whole_file::BorrowedName;
using whole_file::Failure;
using whole_file::Success;

int RealOpenAt(int folder, const char* path, int flags, mode_t mode) { return ::openat(folder, path, flags, mode); }

// Open-file-description locks: held by the open file, as flock's are, so that a writer's lock
// is seen by every other open of the file, in this process too; and unlike flock, which NFS
// emulates with a process's record locks, they reach an NFS server as themselves. A writer's
// lock is exclusive and needs the file open for writing, which a writer has.
bool LockFile(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

bool LockedByAnother() { return errno == EAGAIN || errno == EACCES; }

// A temporary file stays locked for as long as its writer has it open, so that no other writer
// takes it for one left by a crash.
bool LockTemporary(int fd) { return LockFile(fd, F_WRLCK); }

// The sweep's test, on a file it opened only to read: a shared lock, which a writer's lock
// refuses, and which in turn refuses a writer that would lock the file before the sweep
// removes it (that writer then makes another).
bool NoWriterHolds(int fd) { return LockFile(fd, F_RDLCK); }

// Removes the temporary files that writers killed or crashed before their rename left in the
// folder: those of the targets `ofTarget` accepts by the name they borrow, and no longer locked
// by a writer. The temporaries of a writer that still runs are locked, whichever it is.
template <class OfTarget>
void RemoveLeftovers(int folder, OfTarget ofTarget) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<std::string_view> borrowed = BorrowedFrom(entry->d_name);
        if (!borrowed || !ofTarget(*borrowed)) continue;
        const int fd = ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && NoWriterHolds(fd))
            CurrentFileCalls().unlinkat(folder, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// The target's own leftovers: another file's temporaries are not this target's to remove.
void RemoveLeftovers(int folder, const std::string& name) {
    const std::string borrowed = BorrowedName(name);
    RemoveLeftovers(folder, [&borrowed](std::string_view of) { return of == borrowed; });
}

// Hidden and marked as ours, with the start of the target's name, so that a temporary file left
// by a crash is recognisable and tells which file it was to become. `make` makes it under the
// name given, exclusively so that no other writer's file is taken over.
template <class Make>
int MakeTemporary(const std::string& name, std::string& tempName, Make make) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = whole_file::TemporaryName(name);
        const int result = make(tempName.c_str());
        if (result >= 0 || errno != EEXIST) return result;
    }
    errno = EEXIST;
    return -1;
}

// A new file under a temporary name, locked. Another writer may take it for a leftover between
// the two steps, before the lock: it is then made again under another name.
int CreateTemporary(int folder, const std::string& name, std::string& tempName) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = MakeTemporary(name, tempName, [folder](const char* temp) {
            return CurrentFileCalls().openat(folder, temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        });
        if (fd < 0) return fd;
        struct stat st;
        // Where the file system has no locks, no writer can tell a leftover from ours either.
        const bool taken = LockTemporary(fd) ? ::fstat(fd, &st) == 0 && st.st_nlink == 0 : LockedByAnother();
        if (!taken) return fd;
        CurrentFileCalls().close(fd);
    }
    errno = EEXIST;
    return -1;
}

// A file with no name in the folder (O_TMPFILE), locked; -1 with errno ENOTSUP when the file
// system cannot make one, or without /proc, through which any user may name it later.
int CreateUnnamed(int folder) {
    static const bool procMounted = ::access("/proc/self/fd", X_OK) == 0;
    if (!procMounted) {
        errno = ENOTSUP;
        return -1;
    }
    const int fd = CurrentFileCalls().openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    // Older kernels take the flag for O_DIRECTORY and refuse to open a folder for writing.
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) errno = ENOTSUP;
    if (fd >= 0) LockTemporary(fd);
    return fd;
}

// Names the complete unnamed file with a temporary name, for the rename over the target. 0 or
// the errno.
int NameUnnamed(int fd, int folder, const std::string& name, std::string& tempName) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const int linked = MakeTemporary(name, tempName, [&](const char* temp) {
        return CurrentFileCalls().linkat(AT_FDCWD, self.c_str(), folder, temp, AT_SYMLINK_FOLLOW);
    });
    if (linked == 0) return 0;
    tempName.clear();
    return errno;
}

int SyncFolder(int folder) {
    int err = CurrentFileCalls().fsync(folder) == 0 ? 0 : errno;
    // Some file systems cannot sync a folder at all and say so with EINVAL; their renames are
    // as durable as they will ever be.
    return err == EINVAL ? 0 : err;
}

// The new bytes, synced, in the file open as fd. 0 or the errno. The new file keeps the old
// one's permissions; a file the user made read-only for others stays so after a save.
int Fill(int fd, const std::string& bytes, const struct stat* old) {
    if (old) fchmod(fd, old->st_mode & 07777);
    const int err = WriteAll(fd, bytes.data(), bytes.size());
    if (err == 0 && CurrentFileCalls().fsync(fd) != 0) return errno;
    return err;
}

// The replacing write within the open folder.
FileResult ReplaceInFolder(int folder, const std::string& name, const Text& path, const std::string& bytes) {
    struct stat old;
    bool replacing = ::fstatat(folder, name.c_str(), &old, 0) == 0;
    if (replacing && S_ISDIR(old.st_mode)) return Failure(path, EISDIR, FileStep::Opening);
    const struct stat* keep = replacing ? &old : nullptr;

    RemoveLeftovers(folder, name);
    // Written without a name where the file system allows it, and named only once complete and
    // synced: a write cut short by a crash or a kill leaves nothing beside the old file.
    std::string temp;
    int err = 0;
    int fd = CreateUnnamed(folder);
    if (fd >= 0) {
        err = Fill(fd, bytes, keep);
        if (err == 0 && NameUnnamed(fd, folder, name, temp) != 0) {
            // Made but not to be named (a sandbox that refuses the link, a /proc of another
            // process's namespace): written again under a name, as where it cannot be made.
            CurrentFileCalls().close(fd);
            fd = -1;
            errno = ENOTSUP;
        }
    }
    if (fd < 0) {
        if (errno != ENOTSUP) return Failure(path, errno, FileStep::Opening);
        fd = CreateTemporary(folder, name, temp);
        if (fd < 0) return Failure(path, errno, FileStep::Opening);
        err = Fill(fd, bytes, keep);
    }
    // Renamed while still open and locked: closed first, the finished file would stand unlocked
    // under its temporary name, for another writer's sweep to remove or a kill to leave behind.
    if (err == 0 && CurrentFileCalls().renameat(folder, temp.c_str(), folder, name.c_str()) != 0) err = errno;
    if (err != 0 && !temp.empty()) CurrentFileCalls().unlinkat(folder, temp.c_str(), 0);
    if (CurrentFileCalls().close(fd) != 0 && err == 0) err = errno;
    if (err != 0) return Failure(path, err, FileStep::Other);
    if (int folderErr = SyncFolder(folder); folderErr != 0) return Failure(path, folderErr, FileStep::Other);
    return Success(path);
}

}  // namespace

const FileCalls& SystemFileCalls() {
    static const FileCalls calls{RealOpenAt, ::write, ::fsync, ::close, ::linkat, ::renameat, ::unlinkat};
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

FileResult ReadSystemFile(const std::string& systemPath, const Text& shown, std::string& bytes, size_t atMost) {
    int fd = ::open(systemPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Failure(shown, errno, FileStep::Opening);
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        // A folder opens like a file here; reading it would fail later and less clearly.
        int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return Failure(shown, err, FileStep::Opening);
    }
    if (S_ISREG(st.st_mode) && static_cast<uintmax_t>(st.st_size) > atMost) {
        ::close(fd);
        return Failure(shown, EFBIG, FileStep::Other);
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
        if (static_cast<size_t>(n) > atMost - out.size()) {
            ::close(fd);
            return Failure(shown, EFBIG, FileStep::Other);
        }
        out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    bytes = std::move(out);
    return Success(shown);
}

std::string ReadFileStart(const Text& path, size_t count) {
    std::string systemPath;
    if (MakeSystemPath(path, systemPath) != 0) return {};
    // Not blocking: a named pipe would otherwise wait here for a writer.
    const int fd = ::open(systemPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    std::string bytes;
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.resize(count);
        size_t got = 0;
        while (got < count) {
            const ssize_t n = ::read(fd, bytes.data() + got, count - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    return bytes;
}

FileResult WriteSystemFileReplacing(const std::string& target, const Text& path, const std::string& bytes) {
    const size_t slash = target.rfind('/');
    const std::string folderPath = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    int folder = CurrentFileCalls().openat(AT_FDCWD, folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (folder < 0) return Failure(path, errno, FileStep::Opening);
    FileResult result = ReplaceInFolder(folder, name, path, bytes);
    CurrentFileCalls().close(folder);
    return result;
}

void RemoveLeftoverTemporaries(const std::string& folderPath, std::string_view start) {
    const int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    RemoveLeftovers(folder, [start](std::string_view of) { return of.starts_with(start); });
    ::close(folder);
}

}  // namespace rt
