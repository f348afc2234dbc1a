#pragma once
// The record of the error that ended the program, kept for the shop's diagnosis: a file in the
// user's state folder on POSIX, the per-user registry on Windows. The error reporter (runtime/values/error.h) knows nothing of files: it is given
// this writer when the window layer starts (KeepErrorRecords).
#include <filesystem>

#include "runtime/values/error.h"

namespace rt {

// Where RecordLastError writes: kalvoro/last-error in $XDG_STATE_HOME, or in ~/.local/state
// when that is not set; empty when neither variable gives a folder. On Windows the name of the
// registry key, "HKEY_CURRENT_USER\Software\Kalvoro\RUNTIME\ERROR", for telling where it is.
std::filesystem::path LastErrorPath();

// Writes MODL, LINE, CODE, FUNC, INFO, TIME, MODE, RTL into LastErrorPath() (on Windows, texts
// as REG_SZ and numbers as REG_DWORD values of the key). Returns false
// when it could not be written (diagnosis only, never fatal).
bool RecordLastError(const RuntimeError& e);

// From now on, every error the program ends with is recorded by RecordLastError.
void KeepErrorRecords();

}  // namespace rt
