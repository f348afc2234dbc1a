// File names as a POSIX system takes them: absolute against the current folder, within PATH_MAX
// and NAME_MAX, and its errno values as runtime error codes and English reasons.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>
#include <vector>

#include "runtime/files/file_names.h"

namespace rt {

const unsigned char kFolderSeparator = '/';
const size_t kMaxPathBytes = PATH_MAX - 1;
const size_t kMaxNameBytes = NAME_MAX;

namespace {

// The whole path, and every name in it, the folders' as much as the file's.
bool WithinSystemLimits(std::string_view path) {
    if (path.size() > kMaxPathBytes) return false;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find(static_cast<char>(kFolderSeparator), start);
        if (end == std::string_view::npos) end = path.size();
        if (end - start > kMaxNameBytes) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

int AbsoluteSystemPath(const std::string& utf8, std::string& systemPath) {
    std::string path;
    if (utf8.front() == '/') {
        path = utf8;
    } else {
        std::vector<char> cwd(4096);
        while (!getcwd(cwd.data(), cwd.size())) {
            if (errno != ERANGE) return errno;
            cwd.resize(cwd.size() * 2);
        }
        path = cwd.data();
        if (path.back() != '/') path += '/';
        path += utf8;
    }
    if (!WithinSystemLimits(path)) return ENAMETOOLONG;
    systemPath = std::move(path);
    return 0;
}

int SystemErrorCode(int err) {
    switch (err) {
        case ETXTBSY: return 75;  // a program running from the file
        case EDQUOT: return 67;   // the user's quota, a full disk for the user
        default: return 27;
    }
}

std::string SystemReason(int err) {
    // strerror follows the locale the window system may have set; messages are built in one
    // language, so the reason is taken from the table that does not.
    const char* why = strerrordesc_np(err);
    return why ? why : "Unknown error " + std::to_string(err);
}

}  // namespace rt
