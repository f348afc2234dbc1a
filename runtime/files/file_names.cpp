// The program's Shift-JIS file names made absolute UTF-8 paths within the system's limits, a path
// split into its parts, and the system's errors as runtime error codes and English reasons.
#include "runtime/files/file_names.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/values/encoding.h"

namespace rt {

bool HasWildcard(const Text& name) {
    // Stepped character by character: "*" and "?" are never trail bytes, but a name is read the
    // way the program's own texts are read.
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = name.at(i);
        if (IsLeadByte(c) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (c == '*' || c == '?') return true;
    }
    return false;
}

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

int MakeSystemPath(const Text& name, std::string& systemPath) {
    if (name.empty() || HasWildcard(name)) return EINVAL;
    if (name.view().find('\0') != std::string_view::npos) return EINVAL;
    std::optional<std::string> utf8 = SjisToUtf8(name.view());
    if (!utf8) return EILSEQ;
    std::string path;
    if (utf8->front() == '/') {
        path = std::move(*utf8);
    } else {
        std::vector<char> cwd(4096);
        while (!getcwd(cwd.data(), cwd.size())) {
            if (errno != ERANGE) return errno;
            cwd.resize(cwd.size() * 2);
        }
        path = cwd.data();
        if (path.back() != '/') path += '/';
        path += *utf8;
    }
    if (!WithinSystemLimits(path)) return ENAMETOOLONG;
    systemPath = std::move(path);
    return 0;
}

int ErrorCodeFromErrno(int err, FileStep step) {
    switch (err) {
        case ENOENT:
        case ENOTDIR: return 63;
        case EMFILE:
        case ENFILE: return 66;
        case EACCES:
        case EPERM:
        case EBUSY:
        case ETXTBSY: return 75;
        case EROFS: return 73;
        case ENOSPC:
        case EDQUOT: return 67;
        case EEXIST: return 64;
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ: return 55;
        case EISDIR: return step == FileStep::Opening ? 75 : 27;
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

PathParts SplitPath(const Text& path) {
    // One pass over whole characters, remembering where the last separator and the last dot
    // begin; a trail byte is never mistaken for either.
    size_t afterSeparator = 0;
    size_t lastDot = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = path.at(i);
        if (IsLeadByte(c) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (c == rt::kFolderSeparator) {
            afterSeparator = i + 1;
            lastDot = std::string::npos;  // a dot in a folder's name is not the extension's
        } else if (c == '.') {
            lastDot = i;
        }
    }
    const std::string& b = path.bytes();
    PathParts parts;
    parts.folder = Text(b.substr(0, afterSeparator));
    size_t nameEnd = lastDot == std::string::npos ? b.size() : lastDot;
    parts.name = Text(b.substr(afterSeparator, nameEnd - afterSeparator));
    parts.extension = Text(b.substr(nameEnd));
    return parts;
}
