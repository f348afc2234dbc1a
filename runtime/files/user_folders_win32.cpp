// The user's state and configuration folders on Windows: the local application data folder, which
// stays on this computer (the roaming one follows the user to others, where a recovery file of
// this computer's run means nothing).
#include <windows.h>
// The folder's identifier is defined here rather than taken from a library of identifiers.
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "runtime/files/user_folders.h"
#include "runtime/files/win32_support.h"

namespace rt {
namespace {

// %LOCALAPPDATA% as the environment gives it, which is how tests and a user who moved the folder
// name another; else the folder the system knows.
std::string LocalAppData() {
    wchar_t value[32768];
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", value, static_cast<DWORD>(std::size(value)));
    if (n > 0 && n < std::size(value)) return win32::Utf8Of(std::wstring_view(value, n));
    wchar_t* known = nullptr;
    std::string folder;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &known) == S_OK)
        folder = win32::Utf8Of(known);
    CoTaskMemFree(known);
    return folder;
}

}  // namespace

std::string StateFolder() { return LocalAppData(); }
const char* OwnFolderName() { return "Kalvoro"; }
std::string ConfigFolder() { return LocalAppData(); }

}  // namespace rt
