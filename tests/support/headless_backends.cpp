#include "tests/support/user_input.h"

std::vector<Backend> Backends() {
    return {{"headless", [] { return std::make_unique<HeadlessInput>(); }}};
}
