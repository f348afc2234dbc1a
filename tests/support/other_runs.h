#pragma once
// What other runs of the program leave in the recovery folder, acted out by a test on either
// system (other_runs_posix.cpp, other_runs_win32.cpp): a run that still holds its lock, a writer
// still holding its temporary, a file last changed long ago, and a disk with no room left.
#include <ctime>
#include <filesystem>
#include <memory>

namespace otherruns {

// Holds the file as a live run or writer does, until destroyed: the run's lock on its .lock
// file (made when missing), or a writer's hold on its temporary.
class Held {
public:
    virtual ~Held() = default;
};
std::unique_ptr<Held> HoldRunLock(const std::filesystem::path& lock);
std::unique_ptr<Held> HoldWriting(const std::filesystem::path& temporary);

// Sets the file's last change.
void SetChanged(const std::filesystem::path& file, std::time_t changed);

// While it lives, every write of a file fails as on a full disk.
std::unique_ptr<Held> NoRoomLeft();

}  // namespace otherruns
