#include "runtime/script_driver.h"

#include <unistd.h>

#include <climits>
#include <istream>
#include <ostream>
#include <sstream>
#include <vector>

#include "runtime/encoding.h"
#include "runtime/error.h"
#include "runtime/headless.h"
#include "runtime/window.h"

namespace rt {

namespace {

struct ScriptStop {
    int status;
};

std::string Escape(std::string_view sjis) {
    std::string utf8 = SjisToUtf8Lossy(sjis);
    std::string out;
    for (char c : utf8) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
    return out;
}

const char* KindName(ControlKind k) {
    switch (k) {
        case ControlKind::PushButton: return "button";
        case ControlKind::OptionButton: return "option";
        case ControlKind::CheckBox: return "check";
        case ControlKind::GroupBox: return "group";
        case ControlKind::Edit: return "edit";
        case ControlKind::Label: return "label";
        case ControlKind::ListBox: return "list";
        case ControlKind::HScroll: return "hscroll";
        case ControlKind::VScroll: return "vscroll";
        case ControlKind::ComboBox: return "combo";
        case ControlKind::Form: return "form";
        default: return "other";
    }
}

const char* ButtonsName(MessageButtons b) {
    switch (b) {
        case MessageButtons::Ok: return "ok";
        case MessageButtons::OkCancel: return "okcancel";
        case MessageButtons::AbortRetryIgnore: return "abortretryignore";
        case MessageButtons::YesNoCancel: return "yesnocancel";
        case MessageButtons::YesNo: return "yesno";
        case MessageButtons::RetryCancel: return "retrycancel";
    }
    return "?";
}

const char* IconName(MessageIcon i) {
    switch (i) {
        case MessageIcon::Stop: return "stop";
        case MessageIcon::Question: return "question";
        case MessageIcon::Exclamation: return "exclamation";
        case MessageIcon::Information: return "information";
        case MessageIcon::None: return "none";
    }
    return "?";
}

const char* AnswerName(Answer a) {
    switch (a) {
        case Answer::Ok: return "ok";
        case Answer::Cancel: return "cancel";
        case Answer::Abort: return "abort";
        case Answer::Retry: return "retry";
        case Answer::Ignore: return "ignore";
        case Answer::Yes: return "yes";
        case Answer::No: return "no";
    }
    return "?";
}

std::optional<Answer> ParseAnswer(const std::string& s) {
    static const std::pair<const char*, Answer> names[] = {{"ok", Answer::Ok},       {"cancel", Answer::Cancel},
                                                           {"yes", Answer::Yes},     {"no", Answer::No},
                                                           {"abort", Answer::Abort}, {"retry", Answer::Retry},
                                                           {"ignore", Answer::Ignore}};
    for (auto& [n, a] : names)
        if (s == n) return a;
    return std::nullopt;
}

class Driver {
public:
    Driver(std::istream& in, std::string name, std::ostream& out, std::ostream& err)
        : in_(in), name_(std::move(name)), out_(out), err_(err) {}

    int Run(const std::function<void()>& program, const std::function<void(const HeadlessPlatform&)>& atEnd) {
        platform_.SetInputSource([this] { return NextCommand(); });
        platform_.SetMessageObserver([this](const std::string& title, const std::string& text, MessageButtons b,
                                            MessageIcon i, std::optional<Answer> a) {
            out_ << "message \"" << Escape(title) << "\" \"" << Escape(text) << "\" buttons=" << ButtonsName(b)
                 << " icon=" << IconName(i);
            out_ << " -> " << (a ? AnswerName(*a) : "?") << "\n";
        });
        platform_.SetDialogObserver([this](const FileDialogSpec& params, const std::optional<std::string>* chosen) {
            std::string filter;
            for (const FileFilter& f : params.filters) filter += (filter.empty() ? "" : ";") + f.description;
            out_ << "dialog " << (params.kind == FileDialogKind::Save ? "save" : "open") << " \"" << Escape(params.title)
                 << "\" \"" << Escape(params.initialFolder + params.initialName) << "\" \"" << Escape(filter) << "\" -> ";
            if (!chosen) out_ << "?\n";
            else out_ << (*chosen ? Escape(**chosen) : std::string("cancel")) << "\n";
        });
        SetPlatform(&platform_);
        int status = kScriptCompleted;
        try {
            StartWindowLayer(platform_);
            // Reports are printed, not shown: nobody is there to press OK.
            SetErrorPresenter([this](const std::string& report) { out_ << SjisToUtf8Lossy(report) << "\n"; });
            program();
        } catch (const ProgramEnd& end) {
            status = end.code;
        } catch (const ScriptStop& stop) {
            status = stop.status;
        } catch (const NoAnswerQueued& e) {
            err_ << name_ << ":" << line_ << ": " << e.what() << "\n";
            status = kScriptError;
        } catch (const RuntimeError& e) {
            EndWithRuntimeError(e);
            status = kScriptRuntimeError;
        }
        if (atEnd) atEnd(platform_);
        ResetWindowLayer();
        SetPlatform(nullptr);
        if (status == kScriptCompleted && expectFailed_) status = kScriptExpectFailed;
        return status;
    }

private:
    [[noreturn]] void Fail(const std::string& what) {
        err_ << name_ << ":" << line_ << ": " << what << "\n";
        throw ScriptStop{kScriptError};
    }

    // Runs the next command; false at the end of the script.
    bool NextCommand() {
        std::string line;
        while (std::getline(in_, line)) {
            ++line_;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            Execute(line);
            return true;
        }
        return false;
    }

    std::string ToSjis(const std::string& utf8) {
        auto s = Utf8ToSjis(utf8);
        if (!s) Fail("the text \"" + utf8 + "\" has a character that Shift-JIS cannot hold");
        return *s;
    }

    // "" stands for the empty text.
    static std::string TextArg(const std::string& rest) { return rest == "\"\"" ? std::string() : rest; }

    struct Target {
        Int32 form;
        WinHandle window;
        ControlKind kind;
        std::string formName, controlName;
    };

    Target Resolve(const std::string& params) {
        size_t dot = params.find('.');
        std::string formName = params.substr(0, dot);
        auto form = FindForm(formName);
        if (!form) Fail("no form named " + formName);
        std::vector<ControlInfo> ws = FormWindows(*form);
        if (dot == std::string::npos) return {*form, ws[0].window, ControlKind::Form, formName, formName};
        std::string controlName = params.substr(dot + 1);
        for (const ControlInfo& c : ws) {
            if (c.name.size() != controlName.size()) continue;
            bool same = true;
            for (size_t i = 0; i < c.name.size(); ++i)
                same = same && std::toupper(static_cast<unsigned char>(c.name[i])) ==
                                   std::toupper(static_cast<unsigned char>(controlName[i]));
            if (same) return {*form, c.window, c.kind, formName, controlName};
        }
        Fail("no control named " + controlName + " on " + formName);
    }

    Target Reach(const std::string& params) {
        Target t = Resolve(params);
        if (!platform_.Reachable(t.window))
            Fail(params + " cannot be reached: it or its form is hidden or disabled");
        return t;
    }

    void Execute(const std::string& line) {
        std::istringstream words(line);
        std::string cmd, target;
        words >> cmd;
        if (cmd == "answer") {
            words >> target;
            auto a = ParseAnswer(target);
            if (!a) Fail("unknown answer " + target);
            platform_.QueueAnswer(*a);
            return;
        }
        if (cmd == "choose") {
            std::string path = line.size() > 7 ? line.substr(7) : std::string();
            if (path.empty()) Fail("choose needs a path or cancel");
            if (path == "cancel") {
                platform_.QueueFileChoice(std::nullopt);
                return;
            }
            if (path[0] != '/') {
                char buf[PATH_MAX];
                if (getcwd(buf, sizeof buf)) path = std::string(buf) + "/" + path;
            }
            platform_.QueueFileChoice(ToSjis(path));
            return;
        }
        words >> target;
        if (target.empty()) Fail(cmd.empty() ? "empty command" : cmd + " needs FORM.CONTROL");
        // The rest of the line after one blank.
        std::string rest;
        size_t at = line.find(target, cmd.size()) + target.size();
        if (at < line.size()) rest = line.substr(at + 1);

        if (cmd == "click") {
            Target t = Reach(target);
            if (t.kind != ControlKind::PushButton && t.kind != ControlKind::OptionButton &&
                t.kind != ControlKind::CheckBox && t.kind != ControlKind::BitmapButton)
                Fail("click does not fit " + target + ", a " + KindName(t.kind));
            platform_.UserClick(t.window);
        } else if (cmd == "type") {
            Target t = Reach(target);
            bool readOnly = platform_.Get(t.window).params.style & style::kEsReadOnly;
            if (!(t.kind == ControlKind::Edit && !readOnly) && t.kind != ControlKind::ComboBox)
                Fail("type does not fit " + target);
            platform_.UserType(t.window, ToSjis(TextArg(rest)));
        } else if (cmd == "select" || cmd == "toggle") {
            Target t = Reach(target);
            bool multi = t.kind == ControlKind::ListBox && (platform_.Get(t.window).params.style & style::kLbsMultipleSel);
            int n = ParseInt(rest);
            if (n < 0 || n >= platform_.ListCount(t.window)) Fail(target + " has no item " + rest);
            if (cmd == "select") {
                if ((t.kind != ControlKind::ListBox && t.kind != ControlKind::ComboBox) || multi)
                    Fail("select does not fit " + target + (multi ? " (a multiple-selection list: use toggle)" : ""));
                platform_.UserSelect(t.window, n);
            } else {
                if (!multi) Fail("toggle does not fit " + target + ": not a multiple-selection list");
                platform_.UserToggle(t.window, n);
            }
        } else if (cmd == "scroll") {
            Target t = Reach(target);
            if (t.kind != ControlKind::HScroll && t.kind != ControlKind::VScroll) Fail("scroll does not fit " + target);
            if (rest == "lineleft") platform_.UserScroll(t.window, ScrollAction::LineLeft);
            else if (rest == "lineright") platform_.UserScroll(t.window, ScrollAction::LineRight);
            else if (rest == "pageleft") platform_.UserScroll(t.window, ScrollAction::PageLeft);
            else if (rest == "pageright") platform_.UserScroll(t.window, ScrollAction::PageRight);
            else platform_.UserScroll(t.window, ScrollAction::ThumbPosition, ParseInt(rest));
        } else if (cmd == "key") {
            Target t = Reach(target);
            if (rest == "tab") platform_.UserKey(t.window, Key::Tab, false);
            else if (rest == "shift-tab") platform_.UserKey(t.window, Key::Tab, true);
            else if (rest == "enter") platform_.UserKey(t.window, Key::Enter, false);
            else if (rest == "space") platform_.UserKey(t.window, Key::Space, false);
            else Fail("unknown key " + rest);
        } else if (cmd == "close") {
            Target t = Resolve(target);
            if (t.kind != ControlKind::Form) Fail("close takes a form");
            if (!platform_.IsVisible(t.window)) Fail(target + " cannot be closed: it is hidden");
            platform_.UserClose(t.window);
        } else if (cmd == "dump") {
            Dump(Resolve(target));
        } else if (cmd == "expect") {
            Expect(Resolve(target), target, rest);
        } else {
            Fail("unknown command " + cmd);
        }
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

    std::string Sel(WinHandle w, ControlKind kind) {
        const HeadlessPlatform::Window& win = platform_.Get(w);
        if (kind == ControlKind::ListBox && (win.params.style & style::kLbsMultipleSel)) {
            std::string s = "[";
            bool first = true;
            for (int i = 0; i < platform_.ListCount(w); ++i) {
                if (!platform_.ListIsSelected(w, i)) continue;
                s += (first ? "" : ",") + std::to_string(i);
                first = false;
            }
            return s + "]";
        }
        return std::to_string(platform_.ListCurSel(w));
    }

    void Dump(const Target& t) {
        std::vector<ControlInfo> ws = FormWindows(t.form);
        out_ << "form " << ws[0].name << " visible=" << platform_.IsVisible(ws[0].window) << " text=\""
             << Escape(platform_.GetText(ws[0].window)) << "\"\n";
        for (size_t i = 1; i < ws.size(); ++i) {
            const ControlInfo& c = ws[i];
            WinHandle w = c.window;
            out_ << c.name << " kind=" << KindName(c.kind) << " visible=" << platform_.IsVisible(w)
                 << " enabled=" << platform_.IsEnabled(w) << " text=\"" << Escape(platform_.Get(w).text) << "\"";
            if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::OptionButton) out_ << " check=" << platform_.GetCheck(w);
            if (c.kind == ControlKind::HScroll || c.kind == ControlKind::VScroll) {
                auto [lo, hi] = platform_.ScrollRange(w);
                out_ << " pos=" << platform_.ScrollPos(w) << " min=" << lo << " max=" << hi;
            }
            if (c.kind == ControlKind::ListBox || c.kind == ControlKind::ComboBox) {
                out_ << " sel=" << Sel(w, c.kind) << " items=[";
                for (int k = 0; k < platform_.ListCount(w); ++k)
                    out_ << (k ? "," : "") << "\"" << Escape(platform_.ListItem(w, k)) << "\"";
                out_ << "]";
            }
            out_ << "\n";
        }
    }

    void Expect(const Target& t, const std::string& params, const std::string& rest) {
        size_t blank = rest.find(' ');
        std::string property = rest.substr(0, blank);
        std::string want = blank == std::string::npos ? std::string() : TextArg(rest.substr(blank + 1));
        std::string got;
        WinHandle w = t.window;
        if (property == "text") got = SjisToUtf8Lossy(platform_.Get(w).text);
        else if (property == "visible") got = platform_.IsVisible(w) ? "1" : "0";
        else if (property == "enabled") got = platform_.IsEnabled(w) ? "1" : "0";
        else if (property == "check") got = std::to_string(platform_.GetCheck(w));
        else if (property == "pos") got = std::to_string(platform_.ScrollPos(w));
        else if (property == "sel") got = Sel(w, t.kind);
        else if (property == "count") got = std::to_string(platform_.ListCount(w));
        else Fail("unknown property " + property);
        if (got != want) {
            expectFailed_ = true;
            err_ << name_ << ":" << line_ << ": expect " << params << " " << property << ": wanted \"" << want
                 << "\", got \"" << got << "\"\n";
        }
    }

    std::istream& in_;
    std::string name_;
    std::ostream& out_;
    std::ostream& err_;
    HeadlessPlatform platform_;
    int line_ = 0;
    bool expectFailed_ = false;
};

}  // namespace

int RunScript(std::istream& script, const std::string& scriptName, const std::function<void()>& program,
              std::ostream& out, std::ostream& err, const std::function<void(const HeadlessPlatform&)>& atEnd) {
    Driver d(script, scriptName, out, err);
    return d.Run(program, atEnd);
}

}  // namespace rt
