// A command's words as the driver reads them: how many it takes, a text to the end of the line,
// a number, and the form or control a word names, with the messages that say what was expected.
#include "runtime/driver/script_driver.h"
#include "runtime/driver/script_print.h"
#include "runtime/driver/script_session.h"
#include "runtime/values/encoding.h"

namespace rt {

void ScriptSession::Fail(const std::string& what) {
    err_ << name_ << ":" << line_ << ": " << what << "\n";
    throw ScriptStop{kScriptError};
}

// "¥" is the program's yen sign, byte 0x5C, which every screen shows so: a script types it as
// it reads it, on every system (one system's conversion takes it for 0x5C, the other refuses it).
std::string ScriptSession::ToSjis(std::string_view utf8) {
    std::string typed(utf8);
    for (size_t at = typed.find("\xC2\xA5"); at != std::string::npos; at = typed.find("\xC2\xA5", at + 1))
        typed.replace(at, 2, "\\");
    auto s = Utf8ToSjis(typed);
    if (!s) Fail("the text \"" + EscapeUtf8(utf8) + "\" has a character that Shift-JIS cannot hold");
    return *s;
}

// The command has at least `count` words; the usage names the first one missing.
void ScriptSession::Need(const ScriptLine& line, size_t count, const char* usage) {
    if (line.Size() < count) Fail(command_ + " needs " + ScriptLine(usage).Word(line.Size()) + " (" + usage + ")");
}

// The command has exactly the words of its usage: a word too many is as likely a mistake as
// one too few.
void ScriptSession::Exactly(const ScriptLine& line, size_t count, const char* usage) {
    Need(line, count, usage);
    if (line.Size() > count)
        Fail(command_ + " takes nothing after its arguments, found \"" + std::string(line.From(count)) + "\" (" +
             usage + ")");
}

// A TEXT argument: the rest of the line after one blank. "" stands for the empty text, so
// that a text left out is never taken for an empty one.
std::string ScriptSession::TextAfter(const ScriptLine& line, size_t word, const char* what, const char* usage, EmptyText empty) {
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

ScriptSession::Target ScriptSession::Resolve(const std::string& target, Needs needs) {
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
ScriptSession::Target ScriptSession::Reach(const ScriptLine& line) {
    Target t = Resolve(line.Word(1), Needs::Control);
    if (!platform_.Reachable(t.window))
        Fail(line.Word(1) + " cannot be reached: it or its form is hidden or disabled");
    return t;
}

int ScriptSession::ParseInt(const std::string& s) {
    try {
        size_t used = 0;
        int v = std::stoi(s, &used);
        if (used == s.size()) return v;
    } catch (...) {
    }
    Fail("\"" + s + "\" is not a number");
}

}  // namespace rt
