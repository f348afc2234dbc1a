#pragma once
// Every test binary runs in a home of its own, made fresh before any test starts: HOME, the XDG
// folders, TMPDIR and the current folder all lie inside one new temporary folder, so nothing a
// test writes (a runtime error's record, a saved order, a statement) reaches the user's own
// files, whether the tests run under ctest or by hand. The folder is removed when the binary
// ends normally.
#include <filesystem>
#include <string>

namespace testhome {

// The fresh folder of this run.
const std::filesystem::path& Root();

// What an environment variable held before the run moved into its own home; empty when unset.
std::string Original(const char* name);

// The current folder the binary was started in, where its command line's names are. A binary
// built with KALVORO_TEST_HOME_STAYS_IN_FOLDER (the fuzzers, whose command line names folders
// relative to it) stays there and writes into Root() / "work" by name.
const std::filesystem::path& StartFolder();

}  // namespace testhome
