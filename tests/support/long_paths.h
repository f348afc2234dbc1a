#pragma once
// Paths of an exact length in bytes, for the tests of the system's limits on a path (4,095
// bytes) and on one name in it (255): made of names short enough for any file system.
#include <unistd.h>

#include <climits>
#include <string>

namespace longpaths {

// `bytes` bytes (at least one) of names of `letter` joined by separators, never starting or
// ending with one.
inline std::string Filling(size_t bytes, char letter = 'p') {
    std::string path;
    while (bytes > 200) {
        const size_t name = bytes == 201 ? 199 : 200;  // leave at least one letter after the separator
        path += std::string(name, letter) + "/";
        bytes -= name + 1;
    }
    return path + std::string(bytes, letter);
}

// The current folder as the system gives it (UTF-8).
inline std::string CurrentFolder() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

}  // namespace longpaths
