// The scripted driver: runs the program on the headless back end with a script as its user, one
// command a line, and checks at the end that the script was used as written.
#include "runtime/driver/script_driver.h"

#include "runtime/driver/script_print.h"
#include "runtime/driver/script_session.h"
#include "runtime/files/channels.h"
#include "runtime/values/encoding.h"
#include "runtime/values/error.h"

namespace rt {

int ScriptSession::Run(const std::function<void()>& program, const std::function<void(const HeadlessPlatform&)>& atEnd) {
    platform_.SetInputSource([this] { return NextCommand(); });
    platform_.SetMessageObserver([this](const std::string& title, const std::string& text, MessageButtons b,
                                        MessageIcon i, std::optional<Answer> a) {
        PrintMessageBox(out_, title, text, b, i, a);
        if (a && !queuedAnswers_.empty()) queuedAnswers_.pop_front();
    });
    platform_.SetDialogObserver([this](const FileDialogSpec& params, const std::optional<std::string>* chosen) {
        PrintFileDialog(out_, params, chosen);
        if (chosen && !queuedChoices_.empty()) queuedChoices_.pop_front();
    });
    // No printer is there: the print dialog is shown cancelled, as it was.
    platform_.SetPrintObserver([this](const PrintJob& job, const PrintResult&) {
        out_ << "print \"" << EscapeSjis(job.caption) << "\" -> cancel\n";
    });
    SetPlatform(&platform_);
    int status = kScriptCompleted;
    bool programEnded = false;
    try {
        StartWindowLayer(platform_);
        // Reports are printed, not shown: nobody is there to press OK.
        SetErrorPresenter([this](const ErrorReportTexts& texts) { PrintErrorReport(out_, texts.report, texts.help); });
        program();
        programEnded = true;
    } catch (const ProgramEnd& end) {
        status = end.code;
        programEnded = true;
    } catch (const ScriptStop& stop) {
        status = stop.status;
    } catch (const NoAnswerQueued& e) {
        err_ << name_ << ":" << line_ << ": " << e.what() << "\n";
        status = kScriptError;
    } catch (const RuntimeError& e) {
        EndWithRuntimeError(e);
        status = kScriptRuntimeError;
    }
    // The presenter refers to this driver, which is about to go.
    SetErrorPresenter({});
    if (programEnded && !CheckTheEnd()) status = kScriptError;
    if (atEnd) atEnd(platform_);
    CloseAllChannels();
    ResetWindowLayer();
    SetPlatform(nullptr);
    if (status == kScriptCompleted && expectFailed_) status = kScriptExpectFailed;
    return status;
}

// The program has ended, by the script's end or on its own. What the script still holds
// then would never run, and an answer never used means the dialog it was written for did
// not appear: either way the script does not test what it says.
bool ScriptSession::CheckTheEnd() {
    bool fine = true;
    if (!scriptDone_) {
        if (int next = NextCommandLine()) {
            if (line_ == 0)
                err_ << name_ << ":" << next << ": the program ended before the script's first command\n";
            else
                err_ << name_ << ":" << line_
                     << ": the program ended during this command, but the script goes on at line " << next << "\n";
            fine = false;
        }
    }
    for (const auto* queue : {&queuedAnswers_, &queuedChoices_}) {
        for (const Queued& q : *queue) {
            err_ << name_ << ":" << q.line << ": " << q.command << " was never used: no "
                 << (queue == &queuedAnswers_ ? "message box" : "file dialog") << " asked for it\n";
            fine = false;
        }
    }
    return fine;
}

// Reads the next line without its line end. The byte-order mark some editors put at the
// start of a UTF-8 file is not part of the first line.
bool ScriptSession::ReadLine(std::string& line) {
    if (!std::getline(in_, line)) return false;
    if (++linesRead_ == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// The line number of the first command left in the script, 0 when only blank lines and
// comments are left. line_ keeps naming the command during which the program ended.
int ScriptSession::NextCommandLine() {
    std::string line;
    while (ReadLine(line))
        if (!ScriptLine(line).IsBlankOrComment()) return linesRead_;
    return 0;
}

// Runs the next command; false at the end of the script.
bool ScriptSession::NextCommand() {
    std::string line;
    while (ReadLine(line)) {
        line_ = linesRead_;
        if (!IsUtf8(line)) Fail("the line is not valid UTF-8");
        ScriptLine words(line);
        if (words.IsBlankOrComment()) continue;
        if (size_t at = FindControlByte(line, Tabs::Allowed); at != std::string::npos)
            Fail("the line has a control character " + ControlByteName(static_cast<unsigned char>(line[at])) +
                 ", which a script cannot hold");
        Execute(words);
        return true;
    }
    scriptDone_ = true;
    return false;
}

void ScriptSession::Execute(const ScriptLine& line) {
    using S = ScriptSession;
    static const struct {
        const char* name;
        void (S::*run)(const ScriptLine&);
    } commands[] = {{"click", &S::Click}, {"type", &S::Type}, {"select", &S::Select}, {"toggle", &S::Toggle},
                    {"scroll", &S::Scroll}, {"key", &S::PressKey}, {"answer", &S::QueueAnswer}, {"choose", &S::QueueChoice},
                    {"close", &S::Close}, {"drop", &S::Drop}, {"dump", &S::Dump}, {"expect", &S::Check},
                    {"menu", &S::Menu}};
    for (const auto& c : commands) {
        if (!SameWord(line.Word(0), c.name)) continue;
        command_ = c.name;
        return (this->*c.run)(line);
    }
    Fail("unknown command " + line.Word(0));
}

int RunScript(std::istream& script, const std::string& scriptName, const std::function<void()>& program,
              std::ostream& out, std::ostream& err, const std::function<void(const HeadlessPlatform&)>& atEnd) {
    ScriptSession d(script, scriptName, out, err);
    return d.Run(program, atEnd);
}
}  // namespace rt
