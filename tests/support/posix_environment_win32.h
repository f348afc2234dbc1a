#pragma once
// The POSIX calls on the environment that the shared tests make, for their Windows build
// (tests/windows.cmake puts this header before each of them): the C library there has
// _putenv_s, which also removes a variable given an empty value.
#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name)) return 0;
    return _putenv_s(name, value);
}

inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
