#pragma once
// Whole files read into memory and written in one piece. The order files and the channels use
// these; nothing here raises, so a bad file or a failed write never ends the program by itself:
// the caller shows the problem and keeps what it has in memory.
#include <string>
#include <string_view>

#include "runtime/values/text.h"

namespace rt {

struct FileResult {
    bool ok = false;
    int code = 0;        // the runtime error code of the failure (0 when ok)
    int err = 0;         // the errno of the failure, also for a name refused before the system saw it;
                         // on Windows the errno of the same runtime code as the system's error
    std::string reason;  // the system's reason, English, ASCII; empty when ok
    Text path;           // the name as the program gave it (Shift-JIS)
};

inline constexpr size_t kAnySize = static_cast<size_t>(-1);

// Reads every byte of the file. A folder fails with 75, like any open that cannot give a file.
// A file of more than `atMost` bytes fails with EFBIG before it is read, or as soon as its reads
// pass that (a pipe or a device has no size to ask first): a reader that knows how large its
// files can be never fills the memory with a file named by mistake.
FileResult ReadWholeFile(const Text& path, std::string& bytes, size_t atMost = kAnySize);
// The same for a name already made a system path (SystemPathOf); `shown` goes into the result.
FileResult ReadSystemFile(const std::string& systemPath, const Text& shown, std::string& bytes,
                          size_t atMost = kAnySize);

// Up to `count` first bytes of a regular file, to tell what it is without reading it all;
// empty for anything else (a folder, a pipe, a device, a file that cannot be opened).
std::string ReadFileStart(const Text& path, size_t count);

// Replaces the file's content with `bytes`, or leaves the old file exactly as it was: the bytes
// go to a new temporary file beside it, which is synced and then renamed over the target.
// On POSIX the folder is synced so the rename itself survives a power cut, and where the file
// system can make a file without a name (O_TMPFILE) the temporary file gets its name only once
// complete, so that a crash or a kill during the write leaves nothing beside the old file; elsewhere, and
// where such a file cannot be given its name (a sandbox may refuse the link), it is named from
// the start. On a failure before the rename the temporary file is removed. A failure
// syncing the folder after the rename is still reported, since the new content may not survive;
// the file then already holds the new bytes.
// The temporary file is named ".NAME.<12 hex digits>.kvtmp", NAME cut short when the whole
// would pass the system's limit for a name; the folder is opened once and both files are named
// relative to it (on Windows, named in the form without the 260-character limit), so a target
// whose path is as long as the system allows can be replaced too.
// A writer holds a lock on its temporary file until after the rename; the target's own
// temporaries left unlocked in the folder, by a writer killed before its rename, are removed at
// the next write of that target. Other files' temporaries are left to their own writes, or to
// RemoveLeftoverTemporaries. On POSIX the lock is an open-file-description lock, which NFS keeps
// too. On Windows the temporary is named from the start, its open handle shares neither writing
// nor deleting, which is the lock, and it replaces the target with ReplaceFileW (MoveFileExW,
// written through, where there is none yet); the handle is closed just before, since the system
// moves no file that another handle keeps from deletion.
FileResult WriteFileReplacing(const Text& path, const std::string& bytes);
// The same for a name already made a system path; `shown` goes into the result.
FileResult WriteSystemFileReplacing(const std::string& systemPath, const Text& shown, const std::string& bytes);

// Removes the temporaries left in the folder (a system path) by writers killed before their
// rename, of every target whose name starts with `start`: for files whose names are never
// written twice, such as one per run, whose next write would never come. A temporary whose
// writer still runs is locked, and stays.
void RemoveLeftoverTemporaries(const std::string& folder, std::string_view start);

}  // namespace rt
