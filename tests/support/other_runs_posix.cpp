// Other runs on POSIX: the run's lock is flock's, a writer's an open-file-description lock.
#include "tests/support/other_runs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/full_disk.h"

namespace otherruns {
namespace {

class HeldDescriptor : public Held {
public:
    explicit HeldDescriptor(int fd) : fd_(fd) {}
    ~HeldDescriptor() override { ::close(fd_); }

private:
    int fd_;
};

class Calls : public Held {
public:
    Calls() : scope_(FullDiskCalls()) {}

private:
    rt::ScopedFileCalls scope_;
};

}  // namespace

std::unique_ptr<Held> HoldRunLock(const std::filesystem::path& lock) {
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT, 0600);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) return nullptr;
    return std::make_unique<HeldDescriptor>(fd);
}

std::unique_ptr<Held> HoldWriting(const std::filesystem::path& temporary) {
    const int fd = ::open(temporary.c_str(), O_WRONLY);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    if (fd < 0 || ::fcntl(fd, F_OFD_SETLK, &lock) != 0) return nullptr;
    return std::make_unique<HeldDescriptor>(fd);
}

void SetChanged(const std::filesystem::path& file, std::time_t changed) {
    const timespec times[2] = {{changed, 0}, {changed, 0}};
    utimensat(AT_FDCWD, file.c_str(), times, 0);
}

std::unique_ptr<Held> NoRoomLeft() { return std::make_unique<Calls>(); }

}  // namespace otherruns
