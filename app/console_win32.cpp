// kalvoro.com: the console's program on Windows, beside the window's kalvoro.exe. Windows tries
// .COM before .EXE, so `kalvoro totals …` typed in cmd.exe or PowerShell runs this one and waits
// for it: the shop's commands, the scripted driver, the help and the version, as the Linux build
// prints them.
//
// Arguments come in UTF-16 and become the UTF-8 the commands take on every system. Standard
// output is binary, the Linux build's bytes (CR LF written once); what goes to a console, there
// or on standard error, is written as characters (WriteConsoleW), right on any code page, and a
// redirected standard error gets UTF-8.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "app/batch/batch_commands.h"
#include "app/batch/file_patterns.h"
#include "app/help_text.h"
#include "app/screens/main_routine.h"
#include "runtime/driver/script_driver.h"
#include "runtime/files/win32_support.h"
#include "runtime/window/window.h"

namespace {

constexpr const char* kVersion = "Kalvoro 5.0 (20160415)";

// One of the standard handles as an output stream. The text is kept until a flush, so that a
// character is never cut in two on its way to a console; a failed write leaves errno as the
// POSIX build's would (ENOSPC, EPIPE, …), which the commands name.
class HandleBuffer : public std::streambuf {
public:
    explicit HandleBuffer(DWORD which) : handle_(GetStdHandle(which)) {
        DWORD mode = 0;
        console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
    }
    ~HandleBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) pending_ += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        pending_.append(s, static_cast<size_t>(n));
        return n;
    }
    int sync() override {
        if (pending_.empty()) return 0;
        std::string text = std::move(pending_);
        pending_.clear();
        return (console_ ? WriteToConsole(text) : WriteBytes(text)) ? 0 : -1;
    }

private:
    bool WriteBytes(const std::string& bytes) {
        for (size_t at = 0; at < bytes.size();) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - at, 1 << 20));
            if (!WriteFile(handle_, bytes.data() + at, chunk, &written, nullptr)) return Failed();
            at += written;
        }
        return true;
    }
    bool WriteToConsole(const std::string& utf8) {
        const std::wstring wide = rt::win32::WideOf(utf8).value_or(std::wstring(L"?"));
        for (size_t at = 0; at < wide.size();) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - at, 8192));
            if (!WriteConsoleW(handle_, wide.data() + at, chunk, &written, nullptr)) return Failed();
            at += written;
        }
        return true;
    }
    bool Failed() {
        const DWORD error = GetLastError();
        // A reader that went away is a closed pipe on every system.
        errno = error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA ? EPIPE : rt::win32::ErrnoOf(error);
        return false;
    }

    HANDLE handle_;
    bool console_ = false;
    std::string pending_;
};

struct Terminal {
    Terminal() { err.setf(std::ios::unitbuf); }  // a message is seen when it is written, as on POSIX
    HandleBuffer outBuf{STD_OUTPUT_HANDLE}, errBuf{STD_ERROR_HANDLE};
    std::ostream out{&outBuf};
    std::ostream err{&errBuf};
};

// The command line as the UTF-8 every system's commands take.
std::vector<std::string> Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(rt::win32::Utf8Of(argv[i]));
    return args;
}

// The whole script (a system path in UTF-8), or "-" for standard input read as the run goes.
int RunScriptFile(const std::string& path, Terminal& terminal) {
    if (path == "-") {
        std::ios::sync_with_stdio(true);
        return rt::RunScript(std::cin, path, メイン_SUB, terminal.out, terminal.err);
    }
    const std::optional<std::wstring> wide = rt::win32::WideOf(path);
    std::ifstream file;
    if (wide) file.open(std::filesystem::path(*wide), std::ios::binary);
    std::ostringstream text;
    if (file) text << file.rdbuf();
    if (!file || file.bad()) {
        terminal.err << "kalvoro: cannot read the script " << path << ": " << std::strerror(errno ? errno : ENOENT)
                     << "\n";
        terminal.err.flush();
        return rt::kScriptError;
    }
    std::istringstream in(std::move(text).str());
    return rt::RunScript(in, path, メイン_SUB, terminal.out, terminal.err);
}

int Run(std::vector<std::string> args, Terminal& terminal) {
    if (args.empty()) {
        terminal.err << "kalvoro: the window is kalvoro.exe; this console program runs the commands (see kalvoro --help)\n";
        return 2;
    }
    const std::string& option = args[0];
    if (option == "--version") {
        terminal.out << kVersion << "\n";
        return 0;
    }
    if (option == "--help") {
        terminal.out << reinterpret_cast<const char*>(kHelpText);
        return 0;
    }
    if (IsBatchCommand(option)) return RunBatchCommand(ExpandFilePatterns(args), terminal.out, terminal.err);
    if (option == "--script") {
        if (args.size() != 2) {
            terminal.err << "kalvoro: --script takes one FILE (or - for standard input)\n";
            return 2;
        }
        return RunScriptFile(args[1], terminal);
    }
    terminal.err << "kalvoro: " << option << ": the console program runs the commands totals, statements and estimate,"
                 << " --script, --help and --version (see kalvoro --help)\n";
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    rt::SetRoutineTable(ApplicationRoutines());
    Terminal terminal;
    const int status = Run(Arguments(argc, argv), terminal);
    terminal.out.flush();
    terminal.err.flush();
    return status;
}
