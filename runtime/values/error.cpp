#include "runtime/values/error.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "runtime/files/user_folders.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"

namespace rt {
namespace {

ErrorPresenter& Presenter() {
    static ErrorPresenter presenter;
    return presenter;
}

bool g_handling = false;

}  // namespace

std::string ErrorReportText(const RuntimeError& e) {
    char head[128];
    std::snprintf(head, sizeof head, "\r\n%s [%u行]:エラー[%d]", e.module.c_str(),
                  static_cast<unsigned>(e.line), e.code);
    std::string text = head;
    if (std::string why = ErrorExplanation(e.code); !why.empty()) text += "\n" + why;
    return text;
}

std::filesystem::path LastErrorPath() {
    std::filesystem::path folder = StateFolder();
    if (folder.empty()) return {};
    return folder / "kalvoro" / "last-error";
}

bool RecordLastError(const RuntimeError& e) {
    const std::filesystem::path path = LastErrorPath();
    if (path.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) return false;
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
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

void SetErrorPresenter(ErrorPresenter presenter) { Presenter() = std::move(presenter); }

int EndWithRuntimeError(const RuntimeError& e) {
    if (g_handling) return 1;
    g_handling = true;
    const LastErrorRecord record = RecordLastError(e) ? LastErrorRecord::Written : LastErrorRecord::NotWritten;
    const std::string report = ErrorReportText(e);
    try {
        if (Presenter()) {
            Presenter()({report, ErrorHelpText(e, record)});
        } else {
            std::fprintf(stderr, "%s\n", SjisToUtf8Lossy(report).c_str());
        }
    } catch (...) {
        // The report could not be shown (no window system left); it is recorded all the same.
        std::fprintf(stderr, "%s\n", SjisToUtf8Lossy(report).c_str());
    }
    g_handling = false;
    return 1;
}

std::string ExecutableCaption() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string base = ec ? std::string("kalvoro") : exe.filename().string();
    return base + ".EXE";
}

}  // namespace rt

void RaiseError(int code, Here here, uint32_t detail) {
    rt::RuntimeError e;
    e.code = code;
    e.detail = detail;
    e.module = rt::kModuleName;
    e.line = static_cast<uint16_t>(here.line());
    e.file = here.file_name();
    throw e;
}
