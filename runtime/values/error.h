#pragma once
// Runtime errors. The application installs no handler of its own: every error ends the program
// after a report naming the module, the line of the failing step and the code.
#include <cstdint>
#include <functional>
#include <optional>
#include <source_location>
#include <string>

#if defined(__cpp_lib_source_location)
using Here = std::source_location;
#else
// Where the library has no std::source_location yet (clang 14 with libstdc++ 12, which the fuzz
// build uses), the same from the compiler's builtins.
class Here {
public:
    static constexpr Here current(const char* file = __builtin_FILE(), unsigned line = __builtin_LINE(),
                                  const char* function = __builtin_FUNCTION()) noexcept {
        Here h;
        h.file_ = file;
        h.line_ = line;
        h.function_ = function;
        return h;
    }
    constexpr unsigned line() const noexcept { return line_; }
    constexpr unsigned column() const noexcept { return 0; }
    constexpr const char* file_name() const noexcept { return file_; }
    constexpr const char* function_name() const noexcept { return function_; }

private:
    const char* file_ = "";
    unsigned line_ = 0;
    const char* function_ = "";
};
#endif

namespace rt {

// Thrown by RaiseError and caught only where the program ends; nothing else catches it.
struct RuntimeError {
    int code = 0;
    uint32_t detail = 0;   // identifies the failing check; recorded, never shown
    std::string module;    // "Kalvoro"
    uint16_t line = 0;     // line of the application source that made the failing call
    std::string file;      // source file of that call, for our own diagnosis
};

// The module name every report carries; the program has one module.
inline constexpr const char* kModuleName = "Kalvoro";

// The report's text in Shift-JIS: "\r\n%s [%u行]:エラー[%d]" then "\n" and an explanation.
std::string ErrorReportText(const RuntimeError& e);

// A short explanation of a code (Shift-JIS), empty when we have none (error_texts.cpp).
std::string ErrorExplanation(int code);

// Keeps a record of the error for diagnosis and answers where (a UTF-8 path), or nothing when it
// could not be kept. The layer that writes files gives it (runtime/files/error_record.h); until
// one is given, no record is kept.
using ErrorRecorder = std::function<std::optional<std::string>(const RuntimeError& e)>;
void SetErrorRecorder(ErrorRecorder recorder);

// What the report's Help button shows (Shift-JIS, lines ending in CR LF): the code's meaning in
// the customer's words, that OK ends the program, and where the record is kept (`recordPath`,
// UTF-8), or that it could not be kept (an empty path) (error_texts.cpp).
std::string ErrorHelpText(const RuntimeError& e, const std::string& recordPath);

// The report as it reaches the user: its text and what its Help button shows.
struct ErrorReportTexts {
    std::string report;  // ErrorReportText
    std::string help;    // ErrorHelpText
};

// How the report reaches the user: standard error until a window layer installs a message box.
using ErrorPresenter = std::function<void(const ErrorReportTexts& texts)>;
void SetErrorPresenter(ErrorPresenter presenter);

// The caption of the program's own error boxes: the executable's base name and ".EXE".
std::string ExecutableCaption();

// Records and presents the error once; further errors raised while one is handled are ignored.
// Returns the process exit status to end with.
int EndWithRuntimeError(const RuntimeError& e);

}  // namespace rt

[[noreturn]] void RaiseError(int code, Here here = Here::current(), uint32_t detail = 0);
