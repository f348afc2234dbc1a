// kalvoro: prepares an order for the book-scanning shop.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <ext/stdio_sync_filebuf.h>

#include "app/batch/batch_commands.h"
#include "app/help_text.h"
#include "app/files/recovery.h"
#include "app/screens/main_routine.h"
#include "runtime/files/channels.h"
#include "runtime/values/encoding.h"
#include "runtime/values/error.h"
#include "runtime/backends/platform_copy.h"
#include "runtime/driver/script_driver.h"
#include "runtime/window/window.h"
#ifdef KALVORO_WITH_QT
#include "runtime/backends/qt/qt_platform.h"
#endif

namespace {

constexpr const char* kVersion = "Kalvoro 5.0 (20160415)";

// The terminal's streams, made by the commands that use them: the objects of <iostream> are set
// up at every start, the window's too, and bring much of the C++ library's locale code into
// memory. These write through C's own streams, in order with the program's other output.
struct Terminal {
    __gnu_cxx::stdio_sync_filebuf<char> inBuf{stdin}, outBuf{stdout}, errBuf{stderr};
    std::istream in{&inBuf};
    std::ostream out{&outBuf};
    std::ostream err{&errBuf};
};

void PrintHelp() { std::fputs(reinterpret_cast<const char*>(kHelpText), stdout); }

// Reads the whole script named on the command line, or says why it cannot ("-" is standard
// input, read as the run goes). A folder opens like a file on Linux and only fails when read, so
// the reading itself decides.
std::istream* OpenScript(const char* path, std::istringstream& file, Terminal& terminal) {
    if (std::strcmp(path, "-") == 0) return &terminal.in;
    auto refuse = [path](int error) -> std::istream* {
        std::fprintf(stderr, "kalvoro: cannot read the script %s: %s\n", path, std::strerror(error));
        return nullptr;
    };
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return refuse(errno);
    std::string text;
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int error = errno;
            close(fd);
            return refuse(error);
        }
        text.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    file.str(std::move(text));
    return &file;
}

int RunScriptFile(const char* path) {
    Terminal terminal;
    std::istringstream file;
    std::istream* in = OpenScript(path, file, terminal);
    if (!in) return rt::kScriptError;
    return rt::RunScript(*in, path, メイン_SUB, terminal.out, terminal.err);
}

// The batch commands run in a program of their own, started here in this one's place: the
// window's start then carries neither the commands nor their command line parser, whose
// library sets up the C++ streams and their locale in every program that links it (0.6 MiB
// more at each start). It lies beside this program in the build tree, and where the install put
// it (KALVORO_BATCH_FROM_BIN, relative to this program's folder unless absolute) when installed.
// Without it no command can run at all: the status is the shell's for a command not found, not
// that of an order that failed, and every place looked in is named.
int RunBatchProgram(char** argv) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv[0]);
    folder.erase(folder.find_last_of('/') + 1);
    const std::string installed = KALVORO_BATCH_FROM_BIN;
    std::string tried;
    for (const std::filesystem::path& path :
         {std::filesystem::path(folder + "kalvoro-batch"),
          std::filesystem::path(installed[0] == '/' ? installed : folder + installed).lexically_normal()}) {
        execv(path.c_str(), argv);
        tried += (tried.empty() ? "" : "; ") + path.string() + ": " + std::strerror(errno);
    }
    std::fprintf(stderr, "kalvoro: cannot start kalvoro-batch for the command %s: %s\n", argv[1], tried.c_str());
    return 127;
}

#ifdef KALVORO_WITH_QT
int RunWindows(const char* order) {
    std::string why;
    if (!rt::QtChooseDisplay(&why)) {
        std::fprintf(stderr, "kalvoro: %s Without a display, run it with --script FILE (see kalvoro --help).\n",
                     why.c_str());
        return 1;
    }
    rt::QtPlatform platform;
    rt::SetPlatform(&platform);
    int status = 0;
    // Only the real window keeps the order in a recovery file: scripts and batch runs must stay
    // reproducible and leave nothing behind.
    EnableRecovery();
    try {
        rt::StartWindowLayer(platform);
        if (order) MainWithOrderNamed(order);
        else メイン_SUB();
    } catch (const rt::ProgramEnd& end) {
        status = end.code;
    } catch (const rt::RuntimeError& e) {
        status = rt::EndWithRuntimeError(e);
    }
    // The lock goes; an order not saved stays in its file for the next start.
    EnableRecovery(false);
    rt::CloseAllChannels();
    rt::ResetWindowLayer();
    rt::SetPlatform(nullptr);
    return status;
}

int Screenshot(const char* formName, const char* pngPath, const char* scriptPath) {
    std::string why;
    if (!rt::QtChooseDisplay(&why)) {
        std::fprintf(stderr, "kalvoro: %s Set QT_QPA_PLATFORM=offscreen to draw without one.\n", why.c_str());
        return 1;
    }
    Terminal terminal;
    std::istringstream file;
    std::istringstream none;
    std::istream* in = scriptPath ? OpenScript(scriptPath, file, terminal) : &none;
    if (!in) return rt::kScriptError;
    rt::QtPlatform qt;
    int drawn = -1;
    std::string problem;
    // The run goes on the headless back end; its windows, as the script leaves them, are then
    // built on the real one and drawn there.
    int status = rt::RunScript(*in, scriptPath ? scriptPath : "(no script)", メイン_SUB, terminal.out, terminal.err,
                               [&](const rt::HeadlessPlatform& headless) {
                                   auto form = rt::FindForm(formName);
                                   if (!form) {
                                       problem = std::string("there is no form named ") + formName;
                                       return;
                                   }
                                   rt::WinHandle window = rt::FormWindows(*form)[0].window;
                                   auto copied = rt::CopyWindows(headless, qt);
                                   drawn = qt.Screenshot(copied.at(window), pngPath) ? 1 : 0;
                                   if (!drawn) problem = std::string("cannot write ") + pngPath;
                               });
    if (!problem.empty()) {
        std::fprintf(stderr, "kalvoro: %s\n", problem.c_str());
        return 1;
    }
    return status;
}
#else
int RunWindows(const char*) {
    std::fprintf(stderr, "kalvoro: this build has no window system back end; run it with --script FILE.\n");
    return 1;
}

int Screenshot(const char*, const char*, const char*) { return RunWindows(nullptr); }
#endif

}  // namespace

int main(int argc, char** argv) {
    rt::SetRoutineTable(ApplicationRoutines());
    if (argc > 1) {
        std::string option = argv[1];
        if (option == "--version") {
            std::printf("%s\n", kVersion);
            return 0;
        }
        if (option == "--help") {
            PrintHelp();
            return 0;
        }
        if (IsBatchCommand(option)) return RunBatchProgram(argv);
        if (option == "--script") {
            if (argc != 3) {
                std::fprintf(stderr, "kalvoro: --script takes one FILE (or - for standard input)\n");
                return 2;
            }
            return RunScriptFile(argv[2]);
        }
        if (option == "--screenshot") {
            bool withScript = argc == 6 && std::strcmp(argv[4], "--script") == 0;
            if (argc != 4 && !withScript) {
                std::fprintf(stderr, "kalvoro: usage: kalvoro --screenshot FORM FILE.png [--script SCRIPT]\n");
                return 2;
            }
            return Screenshot(argv[2], argv[3], withScript ? argv[5] : nullptr);
        }
        if (option.starts_with("-")) {
            std::fprintf(stderr, "kalvoro: unknown option %s (see kalvoro --help)\n", argv[1]);
            return 2;
        }
        // A file manager starts the program once for each order opened.
        if (argc > 2) {
            std::fprintf(stderr, "kalvoro: one order file at a time (see kalvoro --help)\n");
            return 2;
        }
        return RunWindows(argv[1]);
    }
    return RunWindows(nullptr);
}
