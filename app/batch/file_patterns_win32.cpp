// Order file patterns matched as Windows matches names ("*" and "?" in the last name only,
// without regard to case), the folder kept as it was typed.
#include "app/batch/file_patterns.h"

#include <windows.h>

#include <algorithm>

#include "runtime/files/win32_support.h"

namespace {

bool IsPattern(const std::string& arg) { return arg.find_first_of("*?") != std::string::npos; }

// The options whose value is the next argument, which is no order file.
bool TakesValue(const std::string& arg) { return arg == "--out" || arg == "--today"; }

bool SameCharacter(wchar_t a, wchar_t b) { return CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL; }

// The system also matches a name's short 8.3 form, so that "*.SAV" finds "order.SAVE" by its
// "ORDER~1.SAV": every name it finds is matched again, by its long form alone.
bool Fits(std::wstring_view name, std::wstring_view pattern) {
    if (pattern.empty()) return name.empty();
    if (pattern.front() == L'*') {
        for (size_t skip = 0; skip <= name.size(); ++skip)
            if (Fits(name.substr(skip), pattern.substr(1))) return true;
        return false;
    }
    if (name.empty()) return false;
    if (pattern.front() != L'?' && !SameCharacter(pattern.front(), name.front())) return false;
    return Fits(name.substr(1), pattern.substr(1));
}

std::vector<std::string> Matches(const std::string& pattern) {
    std::vector<std::string> names;
    const std::optional<std::wstring> wide = rt::win32::WideOf(pattern);
    if (!wide) return names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(wide->c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return names;
    const size_t slash = pattern.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    const std::wstring last = wide->substr(wide->find_last_of(L"\\/") + 1);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY || !Fits(found.cFileName, last)) continue;
        names.push_back(folder + rt::win32::Utf8Of(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> ExpandFilePatterns(const std::vector<std::string>& args) {
    std::vector<std::string> expanded;
    bool value = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (i == 0 || value || !IsPattern(arg) || arg.starts_with("-")) {
            expanded.push_back(arg);
            value = !value && TakesValue(arg);
            continue;
        }
        const std::vector<std::string> names = Matches(arg);
        if (names.empty()) {
            expanded.push_back(arg);
        } else {
            expanded.insert(expanded.end(), names.begin(), names.end());
        }
    }
    return expanded;
}
