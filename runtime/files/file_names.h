#pragma once
// File names as the program writes them (Shift-JIS) and as the file system takes them (UTF-8,
// absolute), and the runtime error codes of the system's failures. Every file operation of the
// runtime asks here, so a name is judged and an errno is mapped the same way everywhere.
#include <string>

#include "runtime/values/text.h"

namespace rt {

// The folder separator of this platform. Only this constant knows it: SplitPath steps over
// double-byte characters whole, so it would stay right for a separator that can be a trail byte.
inline constexpr unsigned char kFolderSeparator = '/';

// The longest name the program may give, in bytes.
inline constexpr size_t kMaxFileNameBytes = 260;

// True when the name holds "*" or "?": the program never means a pattern, and the file system
// would take them literally.
bool HasWildcard(const Text& name);

// The absolute UTF-8 path of a program's file name, made against the current folder.
// Returns 0, or 55 for an empty name, a name longer than kMaxFileNameBytes, a wildcard, a NUL
// byte or bytes that are not code page 932.
int SystemPathOf(const Text& name, std::string& systemPath);

// Where an errno came from: EISDIR means "access denied" only when a file was being opened.
enum class FileStep { Opening, Other };

// The runtime error code of a system error number.
int ErrorCodeFromErrno(int err, FileStep step = FileStep::Other);

// The system's reason for an errno, in English whatever the locale (ASCII, so also Shift-JIS).
std::string SystemReason(int err);

}  // namespace rt

// The parts of a path; drive is always empty on this platform.
struct PathParts {
    Text drive;
    Text folder;     // up to and including the last separator
    Text name;       // without the extension
    Text extension;  // from the last "." of the name, the dot included; empty without one
};

PathParts SplitPath(const Text& path);
