#pragma once
// What the Windows halves of the file seams share: system paths (UTF-8 inside the program) turned
// into the UTF-16 the W functions take and back, and a failed call's error turned into the errno
// and the runtime code the shared code reads, with the system's own English reason. Included by
// *_win32.cpp files only.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "runtime/files/file_names.h"
#include "runtime/files/whole_file.h"

namespace rt::win32 {

// The UTF-16 of a UTF-8 path; nothing for bytes that are not UTF-8.
std::optional<std::wstring> WideOf(std::string_view utf8);
std::string Utf8Of(std::wstring_view wide);

// A path in the form that lifts the 260-character limit ("\\?\C:\…", "\\?\UNC\server\…"), made
// absolute and with "/" turned into "\" first, since that form is taken literally. The program
// judges its own names by the common limit; this form is for the files it names itself, such as
// a temporary beside a target whose path is already as long as a name may be. Nothing when the
// path is not UTF-8.
std::optional<std::wstring> LongPathOf(std::string_view utf8);

// The errno whose runtime code is the one Windows' error maps to.
int ErrnoOf(DWORD error);
// The system's text for the error in English, whatever the user's language; a fixed text where
// the system has none in English. ASCII.
std::string ReasonOf(DWORD error);
FileResult Failure(const Text& shown, DWORD error, FileStep step);

}  // namespace rt::win32
