#include "runtime/driver/script_driver.h"

#include <unistd.h>

#include <cctype>
#include <climits>
#include <deque>
#include <istream>
#include <ostream>
#include <vector>

#include "runtime/files/channels.h"
#include "runtime/values/encoding.h"
#include "runtime/values/error.h"
#include "runtime/backends/headless.h"
#include "runtime/driver/script_expect.h"
#include "runtime/driver/script_line.h"
#include "runtime/driver/script_print.h"
#include "runtime/window/window.h"

namespace rt {

namespace {

struct ScriptStop {
    int status;
};

std::optional<Answer> ParseAnswer(std::string_view s) {
    static const std::pair<const char*, Answer> names[] = {
        {"ok", Answer::Ok},       {"cancel", Answer::Cancel}, {"yes", Answer::Yes},      {"no", Answer::No},
        {"abort", Answer::Abort}, {"retry", Answer::Retry},   {"ignore", Answer::Ignore}};
    for (auto& [n, a] : names)
        if (SameWord(s, n)) return a;
    return std::nullopt;
}

// What a command's words must be, for the messages that say what was expected.
constexpr const char* kClickUsage = "click FORM.CONTROL";
constexpr const char* kTypeUsage = "type FORM.CONTROL TEXT";
constexpr const char* kSelectUsage = "select FORM.CONTROL N";
constexpr const char* kToggleUsage = "toggle FORM.CONTROL N";
constexpr const char* kScrollUsage = "scroll FORM.CONTROL POS|lineleft|lineright|pageleft|pageright";
constexpr const char* kKeyUsage =
    "key FORM.CONTROL tab|shift-tab|enter|space|left|right|up|down|pageup|pagedown|home|end";
constexpr const char* kAnswerUsage = "answer ok|cancel|yes|no|abort|retry|ignore";
constexpr const char* kChooseUsage = "choose PATH|cancel";
constexpr const char* kCloseUsage = "close FORM";
constexpr const char* kMenuUsage = "menu FORM.CONTROL CAPTION";
constexpr const char* kDropUsage = "drop FORM PATH";
constexpr const char* kDumpUsage = "dump FORM";
constexpr const char* kExpectUsage = "expect FORM[.CONTROL] PROPERTY VALUE";

enum class Needs { Control, Form, Either };

class Driver {
public:
    Driver(std::istream& in, std::string name, std::ostream& out, std::ostream& err)
        : in_(in), name_(std::move(name)), out_(out), err_(err) {}

    int Run(const std::function<void()>& program, const std::function<void(const HeadlessPlatform&)>& atEnd) {
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

private:
    struct Queued {
        int line;
        std::string command;
    };

    [[noreturn]] void Fail(const std::string& what) {
        err_ << name_ << ":" << line_ << ": " << what << "\n";
        throw ScriptStop{kScriptError};
    }

    // The program has ended, by the script's end or on its own. What the script still holds
    // then would never run, and an answer never used means the dialog it was written for did
    // not appear: either way the script does not test what it says.
    bool CheckTheEnd() {
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
    bool ReadLine(std::string& line) {
        if (!std::getline(in_, line)) return false;
        if (++linesRead_ == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }

    // The line number of the first command left in the script, 0 when only blank lines and
    // comments are left. line_ keeps naming the command during which the program ended.
    int NextCommandLine() {
        std::string line;
        while (ReadLine(line))
            if (!ScriptLine(line).IsBlankOrComment()) return linesRead_;
        return 0;
    }

    // Runs the next command; false at the end of the script.
    bool NextCommand() {
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

    std::string ToSjis(std::string_view utf8) {
        auto s = Utf8ToSjis(utf8);
        if (!s) Fail("the text \"" + EscapeUtf8(utf8) + "\" has a character that Shift-JIS cannot hold");
        return *s;
    }

    // The command has at least `count` words; the usage names the first one missing.
    void Need(const ScriptLine& line, size_t count, const char* usage) {
        if (line.Size() < count) Fail(command_ + " needs " + ScriptLine(usage).Word(line.Size()) + " (" + usage + ")");
    }

    // The command has exactly the words of its usage: a word too many is as likely a mistake as
    // one too few.
    void Exactly(const ScriptLine& line, size_t count, const char* usage) {
        Need(line, count, usage);
        if (line.Size() > count)
            Fail(command_ + " takes nothing after its arguments, found \"" + std::string(line.From(count)) + "\" (" +
                 usage + ")");
    }

    enum class EmptyText { Quoted, Refused };

    // A TEXT argument: the rest of the line after one blank. "" stands for the empty text, so
    // that a text left out is never taken for an empty one.
    std::string TextAfter(const ScriptLine& line, size_t word, const char* what, const char* usage, EmptyText empty) {
        std::optional<std::string_view> rest = line.RestAfter(word);
        bool quoted = rest && *rest == "\"\"";
        if (!rest || rest->empty() || (quoted && empty == EmptyText::Refused))
            Fail(command_ + " needs " + what + " (" + usage +
                 (empty == EmptyText::Quoted ? "; \"\" is the empty text)" : ")"));
        if (size_t at = FindControlByte(*rest, Tabs::Refused); at != std::string::npos)
            Fail("the text has a control character " + ControlByteName(static_cast<unsigned char>((*rest)[at])) +
                 ", which a keyboard cannot type (" + usage + ")");
        return quoted ? std::string() : std::string(*rest);
    }

    struct Target {
        Int32 form;
        WinHandle window;
        ControlKind kind;
    };

    Target Resolve(const std::string& target, Needs needs) {
        size_t dot = target.find('.');
        if (needs == Needs::Control && dot == std::string::npos)
            Fail(command_ + " needs FORM.CONTROL, not the form " + target);
        if (needs == Needs::Form && dot != std::string::npos)
            Fail(command_ + " takes a form, not the control " + target);
        std::string formName = target.substr(0, dot);
        auto form = FindForm(formName);
        if (!form) Fail("no form named " + formName);
        std::vector<ControlInfo> ws = FormWindows(*form);
        if (dot == std::string::npos) return {*form, ws[0].window, ControlKind::Form};
        std::string controlName = target.substr(dot + 1);
        for (const ControlInfo& c : ws)
            if (SameWord(c.name, controlName)) return {*form, c.window, c.kind};
        Fail("no control named " + controlName + " on " + formName);
    }

    // A control the user acts on: it must be there to see and enabled.
    Target Reach(const ScriptLine& line) {
        Target t = Resolve(line.Word(1), Needs::Control);
        if (!platform_.Reachable(t.window))
            Fail(line.Word(1) + " cannot be reached: it or its form is hidden or disabled");
        return t;
    }

    void Execute(const ScriptLine& line) {
        static const struct {
            const char* name;
            void (Driver::*run)(const ScriptLine&);
        } commands[] = {{"click", &Driver::Click},        {"type", &Driver::Type},          {"select", &Driver::Select},
                        {"toggle", &Driver::Toggle},      {"scroll", &Driver::Scroll},      {"key", &Driver::PressKey},
                        {"answer", &Driver::QueueAnswer}, {"choose", &Driver::QueueChoice}, {"close", &Driver::Close},
                        {"drop", &Driver::Drop},
                        {"dump", &Driver::Dump},          {"expect", &Driver::Check},       {"menu", &Driver::Menu}};
        for (const auto& c : commands) {
            if (!SameWord(line.Word(0), c.name)) continue;
            command_ = c.name;
            return (this->*c.run)(line);
        }
        Fail("unknown command " + line.Word(0));
    }

    void Click(const ScriptLine& line) {
        Exactly(line, 2, kClickUsage);
        Target t = Reach(line);
        if (t.kind != ControlKind::PushButton && t.kind != ControlKind::OptionButton &&
            t.kind != ControlKind::CheckBox && t.kind != ControlKind::BitmapButton)
            Fail("click does not fit " + line.Word(1) + " (kind=" + KindName(t.kind) + ")");
        platform_.UserClick(t.window);
    }

    void Type(const ScriptLine& line) {
        Need(line, 2, kTypeUsage);
        std::string text = ToSjis(TextAfter(line, 1, "TEXT", kTypeUsage, EmptyText::Quoted));
        Target t = Reach(line);
        bool readOnly = platform_.Get(t.window).params.style & style::kEsReadOnly;
        if (!(t.kind == ControlKind::Edit && !readOnly) && t.kind != ControlKind::ComboBox)
            Fail("type does not fit " + line.Word(1) + " (kind=" + KindName(t.kind) + (readOnly ? ", read-only" : "") +
                 ")");
        platform_.UserType(t.window, text);
    }

    void Select(const ScriptLine& line) { PickItem(line, false); }
    void Toggle(const ScriptLine& line) { PickItem(line, true); }

    void PickItem(const ScriptLine& line, bool toggle) {
        Exactly(line, 3, toggle ? kToggleUsage : kSelectUsage);
        Target t = Reach(line);
        bool multi = t.kind == ControlKind::ListBox && (platform_.Get(t.window).params.style & style::kLbsMultipleSel);
        if (!toggle && multi) Fail("select does not fit " + line.Word(1) + " (a multiple-selection list: use toggle)");
        if (!toggle && t.kind != ControlKind::ListBox && t.kind != ControlKind::ComboBox)
            Fail("select does not fit " + line.Word(1) + " (kind=" + KindName(t.kind) + ")");
        if (toggle && !multi) Fail("toggle does not fit " + line.Word(1) + ": not a multiple-selection list");
        int n = ParseInt(line.Word(2));
        if (n < 0 || n >= platform_.ListCount(t.window)) Fail(line.Word(1) + " has no item " + line.Word(2));
        if (toggle)
            platform_.UserToggle(t.window, n);
        else
            platform_.UserSelect(t.window, n);
    }

    void Scroll(const ScriptLine& line) {
        Exactly(line, 3, kScrollUsage);
        Target t = Reach(line);
        if (t.kind != ControlKind::HScroll && t.kind != ControlKind::VScroll)
            Fail("scroll does not fit " + line.Word(1) + " (kind=" + KindName(t.kind) + ")");
        static const std::pair<const char*, ScrollAction> actions[] = {{"lineleft", ScrollAction::LineLeft},
                                                                       {"lineright", ScrollAction::LineRight},
                                                                       {"pageleft", ScrollAction::PageLeft},
                                                                       {"pageright", ScrollAction::PageRight}};
        std::string how = line.Word(2);
        for (auto& [name, action] : actions)
            if (SameWord(how, name)) return platform_.UserScroll(t.window, action);
        platform_.UserScroll(t.window, ScrollAction::ThumbPosition, ParseInt(how));
    }

    void PressKey(const ScriptLine& line) {
        Exactly(line, 3, kKeyUsage);
        static const struct {
            const char* name;
            Key key;
            bool shift;
        } keys[] = {{"tab", Key::Tab, false},
                    {"shift-tab", Key::Tab, true},
                    {"enter", Key::Enter, false},
                    {"space", Key::Space, false},
                    {"left", Key::Left, false},
                    {"right", Key::Right, false},
                    {"up", Key::Up, false},
                    {"down", Key::Down, false},
                    {"pageup", Key::PageUp, false},
                    {"pagedown", Key::PageDown, false},
                    {"home", Key::Home, false},
                    {"end", Key::End, false}};
        for (const auto& k : keys)
            if (SameWord(line.Word(2), k.name)) return platform_.UserKey(Reach(line).window, k.key, k.shift);
        Fail("unknown key " + line.Word(2) + " (" + kKeyUsage + ")");
    }

    void QueueAnswer(const ScriptLine& line) {
        Exactly(line, 2, kAnswerUsage);
        auto a = ParseAnswer(line.Word(1));
        if (!a) Fail("unknown answer " + line.Word(1) + " (" + kAnswerUsage + ")");
        platform_.QueueAnswer(*a);
        queuedAnswers_.push_back({line_, std::string(line.From(0))});
    }

    void QueueChoice(const ScriptLine& line) {
        std::string path = TextAfter(line, 0, "PATH or cancel", kChooseUsage, EmptyText::Refused);
        if (SameWord(path, "cancel")) {
            platform_.QueueFileChoice(std::nullopt);
        } else {
            platform_.QueueFileChoice(ToSjis(FromCurrentFolder(path)));
        }
        queuedChoices_.push_back({line_, std::string(line.From(0))});
    }

    static std::string FromCurrentFolder(const std::string& path) {
        if (path[0] == '/') return path;
        char buf[PATH_MAX];
        return getcwd(buf, sizeof buf) ? std::string(buf) + "/" + path : path;
    }

    // A file dragged from the desktop onto the form; a form that takes no files ignores it.
    void Drop(const ScriptLine& line) {
        Need(line, 3, kDropUsage);
        Target t = Resolve(line.Word(1), Needs::Form);
        platform_.UserDropFiles(t.window, {ToSjis(FromCurrentFolder(TextAfter(line, 1, "PATH", kDropUsage, EmptyText::Refused)))});
    }

    void Close(const ScriptLine& line) {
        Exactly(line, 2, kCloseUsage);
        Target t = Resolve(line.Word(1), Needs::Form);
        if (!platform_.IsVisible(t.window)) Fail(line.Word(1) + " cannot be closed: it is hidden");
        platform_.UserClose(t.window);
    }

    void Menu(const ScriptLine& line) {
        Need(line, 2, kMenuUsage);
        const std::string caption = ToSjis(TextAfter(line, 1, "CAPTION", kMenuUsage, EmptyText::Refused));
        Target t = Reach(line);
        const std::vector<ControlCommand>& commands = platform_.Get(t.window).commands;
        std::string offered;
        for (size_t i = 0; i < commands.size(); ++i) {
            if (commands[i].caption == caption) return platform_.UserCommand(t.window, static_cast<int>(i));
            offered += (offered.empty() ? "\"" : ", \"") + EscapeSjis(commands[i].caption) + "\"";
        }
        Fail(line.Word(1) + " offers no command \"" + EscapeSjis(caption) + "\" (" +
             (offered.empty() ? std::string("it offers none") : "it offers " + offered) + ")");
    }

    void Dump(const ScriptLine& line) {
        Exactly(line, 2, kDumpUsage);
        PrintForm(out_, platform_, Resolve(line.Word(1), Needs::Form).form);
    }

    void Check(const ScriptLine& line) {
        Need(line, 3, kExpectUsage);
        std::optional<Property> property = ParseProperty(line.Word(2));
        if (!property)
            Fail("expect: unknown property " + line.Word(2) + " (text, visible, enabled, check, pos, sel or count)");
        const char* name = PropertyName(*property);
        std::string want;
        if (*property == Property::Text) {
            want = TextAfter(line, 2, "VALUE", kExpectUsage, EmptyText::Quoted);
        } else {
            Exactly(line, 4, kExpectUsage);
            want = line.Word(3);
        }
        const std::string target = line.Word(1);
        Target t = Resolve(target, Needs::Either);
        if (!HasProperty(t.kind, *property))
            Fail("expect: " + target + " (kind=" + KindName(t.kind) + ") has no " + name + ", only " +
                 PropertiesOf(t.kind));
        std::string got = PropertyValue(platform_, t.window, t.kind, *property);
        switch (*property) {
            case Property::Text:
                // Compared as the program holds texts, so that ¥ and 〜 match what typing them
                // left in a box; the failure is shown in UTF-8.
                if (ToSjis(want) == got) return;
                got = SjisToUtf8Lossy(got);
                break;
            case Property::Visible:
            case Property::Enabled:
                if (want != "0" && want != "1") Fail(std::string("expect: ") + name + " is 0 or 1, not " + want);
                break;
            case Property::Sel:
                if (got[0] == '[') break;  // a multiple-selection list's [i,j] is compared as written
                [[fallthrough]];
            default: want = std::to_string(ParseInt(want));
        }
        if (got == want) return;
        expectFailed_ = true;
        err_ << name_ << ":" << line_ << ": expect " << target << " " << name << ": wanted \"" << EscapeUtf8(want)
             << "\", got \"" << EscapeUtf8(got) << "\"\n";
    }

    int ParseInt(const std::string& s) {
        try {
            size_t used = 0;
            int v = std::stoi(s, &used);
            if (used == s.size()) return v;
        } catch (...) {
        }
        Fail("\"" + s + "\" is not a number");
    }

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

}  // namespace

int RunScript(std::istream& script, const std::string& scriptName, const std::function<void()>& program,
              std::ostream& out, std::ostream& err, const std::function<void(const HeadlessPlatform&)>& atEnd) {
    Driver d(script, scriptName, out, err);
    return d.Run(program, atEnd);
}

}  // namespace rt
