// The record of the error that ended the program, kept by whichever system's recorder this build
// has (error_record_posix.cpp, error_record_win32.cpp).
#include "runtime/files/error_record.h"

namespace rt {

void KeepErrorRecords() {
    SetErrorRecorder([](const RuntimeError& e) -> std::optional<std::string> {
        if (!RecordLastError(e)) return std::nullopt;
        return LastErrorPath().string();
    });
}

}  // namespace rt
