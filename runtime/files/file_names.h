#pragma once
// File names as the program writes them (Shift-JIS) and as the file system takes them (UTF-8,
// absolute), and the runtime error codes of the system's failures. Every file operation of the
// runtime asks here, so a name is judged and an errno is mapped the same way everywhere.
#include <cstddef>
#include <string>

#include "runtime/values/text.h"

namespace rt {

// The folder separator of this system ("/", or "\\" on Windows). Only this constant knows it:
// SplitPath steps over double-byte characters whole, so it stays right for a separator that can
// be a trail byte. It is the same byte in the program's names and in system paths.
extern const unsigned char kFolderSeparator;

// What the system takes, in bytes of the UTF-8 it is given: a whole path (its buffer holds the
// terminating NUL too) and one name within it. A Shift-JIS name of the program has no limit of
// its own; it is judged by what it becomes. Windows counts UTF-16 units, never more than the
// UTF-8 bytes, so the same numbers are a safe measure there too.
extern const size_t kMaxPathBytes;
extern const size_t kMaxNameBytes;

// True when the name holds "*" or "?": the program never means a pattern, and the file system
// would take them literally.
bool HasWildcard(const Text& name);

// The absolute UTF-8 path of a program's file name, made against the current folder. Returns 0,
// or the errno the system gives for such a name, so that a name refused here is reported as the
// system's own refusal would be: EINVAL for an empty name, a wildcard or a NUL byte, EILSEQ for
// bytes that are not code page 932, ENAMETOOLONG when the absolute path passes kMaxPathBytes or
// one of its names kMaxNameBytes. The path is judged whole because the program also opens files
// relative to their folder, where the system would not see the whole path: a file the program
// writes is then always one it can read again.
int MakeSystemPath(const Text& name, std::string& systemPath);

// The system's half of MakeSystemPath: a UTF-8 name made absolute against the current folder and
// judged by the system's limits. 0 or the errno.
int AbsoluteSystemPath(const std::string& utf8, std::string& systemPath);

// Where an errno came from: EISDIR means "access denied" only when a file was being opened.
enum class FileStep { Opening, Other };

// The runtime error code of a system error number.
int ErrorCodeFromErrno(int err, FileStep step = FileStep::Other);
// The same for the errno values only this system gives (file_names_posix.cpp,
// file_names_win32.cpp): 27, the code of any other failure, for the rest.
int SystemErrorCode(int err);

// The system's reason for an errno, in English whatever the locale (ASCII, so also Shift-JIS).
// On Windows a failed call's own error is turned into an errno with the same runtime code, and
// its reason is the system's text for that error rather than this one.
std::string SystemReason(int err);

}  // namespace rt

// The parts of a path; drive is always empty: a Windows drive stays at the start of the folder.
struct PathParts {
    Text drive;
    Text folder;     // up to and including the last separator
    Text name;       // without the extension
    Text extension;  // from the last "." of the name, the dot included; empty without one
};

PathParts SplitPath(const Text& path);
