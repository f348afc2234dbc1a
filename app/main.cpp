// kalvoro: prepares an order for the book-scanning shop.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/fee/order_model.h"
#include "runtime/encoding.h"
#include "runtime/error.h"

namespace {

constexpr const char* kVersion = "Kalvoro 5.0 (20160415)";

void PrintHelp() {
    std::printf(
        "Usage: kalvoro [OPTION]\n"
        "Prepares an order for the book-scanning shop: titles, fees, coupons, order files and\n"
        "fee statements.\n"
        "\n"
        "  (no option)   open the main screen\n"
        "  --help        show this text and exit\n"
        "  --version     show the version and exit\n"
        "\n"
        "Environment:\n"
        "  KALVORO_TODAY=YYYY-MM-DD   use this date instead of the computer's clock\n");
}

int Run() {
    起動_SUB();
    std::printf("kalvoro: today is %s; the screens are not built yet.\n",
                rt::SjisToUtf8Lossy(TODAY_DATE.view()).c_str());
    return 0;
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
        std::fprintf(stderr, "kalvoro: unknown option %s (see kalvoro --help)\n", argv[1]);
        return 2;
    }
    try {
        return Run();
    } catch (const rt::RuntimeError& e) {
        return rt::EndWithRuntimeError(e);
    }
}
