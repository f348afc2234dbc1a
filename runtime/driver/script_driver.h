#pragma once
// The scripted driver: runs the whole program on the headless back end and takes the user's
// actions from a script (one command a line, UTF-8). It is how the shop and our tests automate
// the program.
#include <functional>
#include <iosfwd>
#include <string>

namespace rt {

class HeadlessPlatform;

enum ScriptStatus : int {
    kScriptCompleted = 0,     // the script ran to its end
    kScriptExpectFailed = 1,  // an expect did not hold
    kScriptError = 2,         // unknown form or control, a command that does not fit, a dialog with no answer
    kScriptRuntimeError = 3,  // the program stopped on a runtime error (its report is printed)
};

// Runs `program` (the application's main routine) with the script as its user. Dialogs, dumps
// and reports go to `out`, script errors to `err`. `atEnd`, when given, sees the windows as the
// run leaves them, before they are destroyed. Returns the exit status.
int RunScript(std::istream& script, const std::string& scriptName, const std::function<void()>& program,
              std::ostream& out, std::ostream& err,
              const std::function<void(const HeadlessPlatform&)>& atEnd = {});

}  // namespace rt
