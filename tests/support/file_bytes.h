#pragma once
// A file's bytes read and written whole, for tests that look at what the program wrote or give it
// a file of their own. A file that cannot be read gives no bytes.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void PutFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A name the tests write in UTF-8, as the program's system paths are on every system (a path
// made from a plain string would be taken in the user's code page on Windows).
inline std::filesystem::path Utf8Path(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
// A path's name in UTF-8, as the program takes names on every system.
inline std::string Utf8Name(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}
inline std::string FileBytes(const std::string& utf8) { return FileBytes(Utf8Path(utf8)); }
inline std::string FileBytes(const char* utf8) { return FileBytes(Utf8Path(utf8)); }
inline void PutFileBytes(const std::string& utf8, const std::string& bytes) { PutFileBytes(Utf8Path(utf8), bytes); }
inline void PutFileBytes(const char* utf8, const std::string& bytes) { PutFileBytes(Utf8Path(utf8), bytes); }
