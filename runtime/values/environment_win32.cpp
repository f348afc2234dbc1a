// The environment as the C library of Windows keeps it: _putenv_s changes the copy that getenv
// reads and that the programs started from this one inherit.
#include <cstdlib>

#include "runtime/values/environment.h"

namespace rt {

void SetEnvironment(const char* name, const std::string& value) { ::_putenv_s(name, value.c_str()); }

}  // namespace rt
