// The program's Shift-JIS file names judged before the system sees them, and a path split into its
// parts; what the system itself decides is in file_names_posix.cpp and file_names_win32.cpp.
#include "runtime/files/file_names.h"

#include <cerrno>
#include <optional>
#include <string_view>

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

int MakeSystemPath(const Text& name, std::string& systemPath) {
    if (name.empty() || HasWildcard(name)) return EINVAL;
    if (name.view().find('\0') != std::string_view::npos) return EINVAL;
    std::optional<std::string> utf8 = SjisToUtf8(name.view());
    if (!utf8) return EILSEQ;
    return AbsoluteSystemPath(*utf8, systemPath);
}

int ErrorCodeFromErrno(int err, FileStep step) {
    switch (err) {
        case ENOENT:
        case ENOTDIR: return 63;
        case EMFILE:
        case ENFILE: return 66;
        case EACCES:
        case EPERM:
        case EBUSY: return 75;
        case EROFS: return 73;
        case ENOSPC: return 67;
        case EEXIST: return 64;
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ: return 55;
        case EISDIR: return step == FileStep::Opening ? 75 : 27;
        default: return SystemErrorCode(err);
    }
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
