#pragma once
// One run of the scripted driver: the program on the headless back end, the script as its user.
// Shared by the driver's units: script_driver.cpp (the run and the script's lines),
// script_arguments.cpp (a command's words and the windows they name) and script_commands.cpp
// (what each command does). Not for the program, which knows only RunScript.
#include <deque>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "runtime/backends/headless.h"
#include "runtime/driver/script_line.h"
#include "runtime/window/window.h"

namespace rt {

// Thrown where the script cannot go on; the run ends with its status.
struct ScriptStop {
    int status;
};

class ScriptSession {
public:
    ScriptSession(std::istream& in, std::string name, std::ostream& out, std::ostream& err)
        : in_(in), name_(std::move(name)), out_(out), err_(err) {}

    int Run(const std::function<void()>& program, const std::function<void(const HeadlessPlatform&)>& atEnd);

private:
    struct Queued {
        int line;
        std::string command;
    };
    enum class Needs { Control, Form, Either };
    enum class EmptyText { Quoted, Refused };
    struct Target {
        Int32 form;
        WinHandle window;
        ControlKind kind;
    };

    // The run and the script's lines (script_driver.cpp).
    bool CheckTheEnd();
    bool ReadLine(std::string& line);
    int NextCommandLine();
    bool NextCommand();
    void Execute(const ScriptLine& line);

    // A command's words (script_arguments.cpp).
    [[noreturn]] void Fail(const std::string& what);
    std::string ToSjis(std::string_view utf8);
    void Need(const ScriptLine& line, size_t count, const char* usage);
    void Exactly(const ScriptLine& line, size_t count, const char* usage);
    std::string TextAfter(const ScriptLine& line, size_t word, const char* what, const char* usage, EmptyText empty);
    Target Resolve(const std::string& target, Needs needs);
    Target Reach(const ScriptLine& line);
    int ParseInt(const std::string& s);

    // The commands (script_commands.cpp).
    void Click(const ScriptLine& line);
    void Type(const ScriptLine& line);
    void Select(const ScriptLine& line) { PickItem(line, false); }
    void Toggle(const ScriptLine& line) { PickItem(line, true); }
    void PickItem(const ScriptLine& line, bool toggle);
    void Scroll(const ScriptLine& line);
    void PressKey(const ScriptLine& line);
    void QueueAnswer(const ScriptLine& line);
    void QueueChoice(const ScriptLine& line);
    static std::string FromCurrentFolder(const std::string& path);
    void Drop(const ScriptLine& line);
    void Close(const ScriptLine& line);
    void Menu(const ScriptLine& line);
    void Dump(const ScriptLine& line);
    void Check(const ScriptLine& line);

    std::istream& in_;
    std::string name_;
    std::ostream& out_;
    std::ostream& err_;
    HeadlessPlatform platform_;
    int linesRead_ = 0;
    int line_ = 0;  // the line of the command being run
    bool scriptDone_ = false;
    bool expectFailed_ = false;
    std::string command_;  // the command being run, in the usage's letter case
    // The answers and file choices the script queued and no dialog has used yet, with their lines.
    std::deque<Queued> queuedAnswers_, queuedChoices_;
};

}  // namespace rt
