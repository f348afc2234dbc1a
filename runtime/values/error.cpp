// A runtime error from where a step fails to the end of the program: the report's text, the record
// kept and the report shown once, and the caption of the program's error boxes.
#include "runtime/values/error.h"

#include <cstdio>
#include <filesystem>

#include "runtime/values/encoding.h"

namespace rt {
namespace {

ErrorPresenter& Presenter() {
    static ErrorPresenter presenter;
    return presenter;
}

ErrorRecorder& Recorder() {
    static ErrorRecorder recorder;
    return recorder;
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

void SetErrorPresenter(ErrorPresenter presenter) { Presenter() = std::move(presenter); }
void SetErrorRecorder(ErrorRecorder recorder) { Recorder() = std::move(recorder); }

int EndWithRuntimeError(const RuntimeError& e) {
    if (g_handling) return 1;
    g_handling = true;
    const std::string record = Recorder() ? Recorder()(e).value_or(std::string()) : std::string();
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
