// Whole files read into memory and written in one piece: what the two systems' halves share, the
// names of the writer's temporary files and the results (whole_file_posix.cpp, whole_file_win32.cpp).
#include <cstdint>
#include <cstdio>
#include <random>

#include "runtime/files/whole_file_parts.h"

namespace rt {
namespace whole_file {
namespace {

constexpr size_t kMarkBytes = 1 + 13 + 6;  // ".", ".<12 hex digits>", ".kvtmp"
constexpr std::string_view kTemporaryEnd = ".kvtmp";

std::string BorrowedName(const std::string& name, size_t room) {
    if (name.size() <= room) return name;
    size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut);
}

}  // namespace

FileResult Success(const Text& shown) {
    FileResult r;
    r.ok = true;
    r.path = shown;
    return r;
}

FileResult Failure(const Text& shown, int err, FileStep step) {
    FileResult r;
    r.code = ErrorCodeFromErrno(err, step);
    r.err = err;
    r.reason = SystemReason(err);
    r.path = shown;
    return r;
}

std::string BorrowedName(const std::string& name) { return BorrowedName(name, kMaxNameBytes - kMarkBytes); }

std::string TemporaryName(const std::string& name) {
    static std::mt19937_64 random{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx", static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    return "." + BorrowedName(name) + suffix + std::string(kTemporaryEnd);
}

std::optional<std::string_view> BorrowedFrom(std::string_view name) {
    if (name.size() <= kMarkBytes || name.front() != '.' || !name.ends_with(kTemporaryEnd)) return std::nullopt;
    const std::string_view mark = name.substr(name.size() - kTemporaryEnd.size() - 13, 13);
    if (mark.front() != '.' || mark.find_first_not_of("0123456789abcdef", 1) != std::string_view::npos)
        return std::nullopt;
    return name.substr(1, name.size() - kMarkBytes);
}

}  // namespace whole_file

FileResult ReadWholeFile(const Text& path, std::string& bytes, size_t atMost) {
    std::string systemPath;
    if (int err = MakeSystemPath(path, systemPath); err != 0) return whole_file::Failure(path, err, FileStep::Opening);
    return ReadSystemFile(systemPath, path, bytes, atMost);
}

FileResult WriteFileReplacing(const Text& path, const std::string& bytes) {
    std::string target;
    if (int err = MakeSystemPath(path, target); err != 0) return whole_file::Failure(path, err, FileStep::Opening);
    return WriteSystemFileReplacing(target, path, bytes);
}

}  // namespace rt
