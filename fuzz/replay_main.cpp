// A harness without the fuzzer: every file of the folders (or the files) named on the command
// line goes through LLVMFuzzerTestOneInput once. The tests replay the kept corpora this way, and
// a finding the fuzzer saved replays the same way under a debugger.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/test_home.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path given = testhome::StartFolder() / argv[i];
        std::error_code ec;
        if (fs::is_directory(given, ec)) {
            for (const auto& entry : fs::directory_iterator(given))
                if (entry.is_regular_file()) inputs.push_back(entry.path());
        } else {
            inputs.push_back(given);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FOLDER|FILE… (no inputs found)\n", argv[0]);
        return 2;
    }
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 2;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        // Said before, so that a finding names its input.
        std::fprintf(stderr, "%s\n", input.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
