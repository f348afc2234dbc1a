#pragma once
// A file's bytes read and written whole, for tests that look at what the program wrote or give it
// a file of their own. A file that cannot be read gives no bytes.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void PutFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
