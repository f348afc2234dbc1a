// The record of the error that ended the program on Windows: values of a key of the per-user
// registry, where the shop's diagnosis has always looked for it (error_record.h). A test keeps it
// from the user's own registry with RegOverridePredefKey.
#include <windows.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "runtime/files/error_record.h"
#include "runtime/files/win32_support.h"
#include "runtime/values/encoding.h"
#include "runtime/values/local_time.h"

namespace rt {
namespace {

constexpr const wchar_t* kKey = L"Software\\Kalvoro\\RUNTIME\\ERROR";

// The program's Shift-JIS text as the registry keeps text, UTF-16.
bool SetText(HKEY key, const wchar_t* name, std::string_view sjis) {
    const std::wstring text = win32::WideOf(SjisToUtf8Lossy(sjis)).value_or(std::wstring());
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

}  // namespace

std::filesystem::path LastErrorPath() { return std::filesystem::path(L"HKEY_CURRENT_USER\\").concat(kKey); }

bool RecordLastError(const RuntimeError& e) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const std::tm tm = LocalTime(std::time(nullptr));
    char when[64];
    std::snprintf(when, sizeof when, "%d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    // Every value is tried, so that one the registry refuses costs only itself.
    bool all = SetText(key, L"MODL", e.module);
    all &= SetNumber(key, L"LINE", e.line);
    all &= SetNumber(key, L"CODE", static_cast<DWORD>(e.code));
    all &= SetNumber(key, L"FUNC", e.detail >> 16);
    all &= SetNumber(key, L"INFO", e.detail & 0xFFFF);
    all &= SetText(key, L"TIME", when);
    all &= SetText(key, L"MODE", "独立型");
    all &= SetText(key, L"RTL", "V6.30 L10 U002+1");
    RegCloseKey(key);
    return all;
}

}  // namespace rt
