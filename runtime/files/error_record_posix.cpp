// The record of the error that ended the program on POSIX: a file in the user's state folder
// (error_record.h).
#include "runtime/files/error_record.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "runtime/files/user_folders.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/values/local_time.h"

namespace rt {

std::filesystem::path LastErrorPath() {
    std::filesystem::path folder = StateFolder();
    if (folder.empty()) return {};
    return folder / OwnFolderName() / "last-error";
}

bool RecordLastError(const RuntimeError& e) {
    const std::filesystem::path path = LastErrorPath();
    if (path.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) return false;
    const std::tm tm = LocalTime(std::time(nullptr));
    char when[64];
    std::snprintf(when, sizeof when, "%d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    // The file is for people diagnosing a failure on Linux, so it is UTF-8 like any state file.
    std::string body;
    body += "MODL=" + e.module + "\n";
    body += "LINE=" + std::to_string(e.line) + "\n";
    body += "CODE=" + std::to_string(e.code) + "\n";
    body += "FUNC=" + std::to_string(e.detail >> 16) + "\n";
    body += "INFO=" + std::to_string(e.detail & 0xFFFF) + "\n";
    body += std::string("TIME=") + when + "\n";
    body += "MODE=" + SjisToUtf8Lossy("独立型") + "\n";
    body += "RTL=V6.30 L10 U002+1\n";
    // Replaced whole, like the customer's files: a full disk leaves the previous record, never
    // half of this one.
    return WriteSystemFileReplacing(path.string(), Text(path.filename().string()), body).ok;
}

}  // namespace rt
