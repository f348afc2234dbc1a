#pragma once
// The program's system paths (UTF-8 on every system) as the C++ library's paths and back. The
// library reads a plain string in the user's code page, which on Windows is no UTF-8: a Japanese
// name would reach the system as question marks.
#include <filesystem>
#include <string>

namespace rt {

inline std::filesystem::path LibraryPath(const std::string& systemPath) {
    return std::filesystem::path(std::u8string(systemPath.begin(), systemPath.end()));
}

inline std::string SystemPathOf(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace rt
