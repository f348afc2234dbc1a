// The environment as POSIX sets it.
#include <cstdlib>

#include "runtime/values/environment.h"

namespace rt {

void SetEnvironment(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }

}  // namespace rt
