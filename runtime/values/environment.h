#pragma once
// Setting a variable of the program's environment, one file for each system
// (environment_posix.cpp, environment_win32.cpp): what the program sets, its own later reads
// (getenv) and the programs it starts see.
#include <string>

namespace rt {

void SetEnvironment(const char* name, const std::string& value);

}  // namespace rt
