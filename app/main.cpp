// kalvoro: prepares an order for the book-scanning shop.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "app/screens/main_routine.h"
#include "runtime/encoding.h"
#include "runtime/error.h"
#include "runtime/script_driver.h"
#include "runtime/window.h"

namespace {

constexpr const char* kVersion = "Kalvoro 5.0 (20160415)";

void PrintHelp() {
    std::printf(
        "Usage: kalvoro [OPTION]\n"
        "Prepares an order for the book-scanning shop: titles, fees, coupons, order files and\n"
        "fee statements.\n"
        "\n"
        "  (no option)      open the main screen\n"
        "  --script FILE    run the program without windows, taking the user's actions from FILE\n"
        "                   (\"-\" reads standard input); see README.md\n"
        "  --help           show this text and exit\n"
        "  --version        show the version and exit\n"
        "\n"
        "Environment:\n"
        "  KALVORO_TODAY=YYYY-MM-DD   use this date instead of the computer's clock\n");
}

int RunScriptFile(const char* path) {
    rt::SetRoutineTable(ApplicationRoutines());
    if (std::strcmp(path, "-") == 0) return rt::RunScript(std::cin, "-", メイン_SUB, std::cout, std::cerr);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "kalvoro: cannot read the script %s: %s\n", path, std::strerror(errno));
        return rt::kScriptError;
    }
    return rt::RunScript(in, path, メイン_SUB, std::cout, std::cerr);
}

int RunWindows() {
    std::fprintf(stderr, "kalvoro: the window system back end is not built yet; use --script FILE.\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        if (std::strcmp(argv[1], "--version") == 0) {
            std::printf("%s\n", kVersion);
            return 0;
        }
        if (std::strcmp(argv[1], "--help") == 0) {
            PrintHelp();
            return 0;
        }
        if (std::strcmp(argv[1], "--script") == 0) {
            if (argc != 3) {
                std::fprintf(stderr, "kalvoro: --script takes one FILE (or - for standard input)\n");
                return 2;
            }
            return RunScriptFile(argv[2]);
        }
        std::fprintf(stderr, "kalvoro: unknown option %s (see kalvoro --help)\n", argv[1]);
        return 2;
    }
    return RunWindows();
}
