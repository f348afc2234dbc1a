// What each of the script's commands does: the user's clicks, typing, selections, scrolls and
// keys on the headless back end, the answers and file choices queued for the dialogs, and the
// dumps and expectations that read the windows back.
#include <unistd.h>

#include <climits>

#include "runtime/driver/script_expect.h"
#include "runtime/driver/script_print.h"
#include "runtime/driver/script_session.h"
#include "runtime/values/encoding.h"

namespace rt {
namespace {

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
    "key FORM.CONTROL tab|shift-tab|enter|space|left|right|up|down|pageup|pagedown|home|end|escape";
constexpr const char* kAnswerUsage = "answer ok|cancel|yes|no|abort|retry|ignore";
constexpr const char* kChooseUsage = "choose PATH|cancel";
constexpr const char* kCloseUsage = "close FORM";
constexpr const char* kMenuUsage = "menu FORM.CONTROL CAPTION";
constexpr const char* kDropUsage = "drop FORM PATH";
constexpr const char* kDumpUsage = "dump FORM";
constexpr const char* kExpectUsage = "expect FORM[.CONTROL] PROPERTY VALUE";

}  // namespace

void ScriptSession::Click(const ScriptLine& line) {
    Exactly(line, 2, kClickUsage);
    Target t = Reach(line);
    if (t.kind != ControlKind::PushButton && t.kind != ControlKind::OptionButton &&
        t.kind != ControlKind::CheckBox && t.kind != ControlKind::BitmapButton)
        Fail("click does not fit " + line.Word(1) + " (kind=" + KindName(t.kind) + ")");
    platform_.UserClick(t.window);
}

void ScriptSession::Type(const ScriptLine& line) {
    Need(line, 2, kTypeUsage);
    std::string text = ToSjis(TextAfter(line, 1, "TEXT", kTypeUsage, EmptyText::Quoted));
    Target t = Reach(line);
    bool readOnly = platform_.Get(t.window).params.style & style::kEsReadOnly;
    if (!(t.kind == ControlKind::Edit && !readOnly) && t.kind != ControlKind::ComboBox)
        Fail("type does not fit " + line.Word(1) + " (kind=" + KindName(t.kind) + (readOnly ? ", read-only" : "") +
             ")");
    platform_.UserType(t.window, text);
}

void ScriptSession::PickItem(const ScriptLine& line, bool toggle) {
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

void ScriptSession::Scroll(const ScriptLine& line) {
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

void ScriptSession::PressKey(const ScriptLine& line) {
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
                {"end", Key::End, false},
                {"escape", Key::Escape, false}};
    for (const auto& k : keys)
        if (SameWord(line.Word(2), k.name)) return platform_.UserKey(Reach(line).window, k.key, k.shift);
    Fail("unknown key " + line.Word(2) + " (" + kKeyUsage + ")");
}

void ScriptSession::QueueAnswer(const ScriptLine& line) {
    Exactly(line, 2, kAnswerUsage);
    auto a = ParseAnswer(line.Word(1));
    if (!a) Fail("unknown answer " + line.Word(1) + " (" + kAnswerUsage + ")");
    platform_.QueueAnswer(*a);
    queuedAnswers_.push_back({line_, std::string(line.From(0))});
}

void ScriptSession::QueueChoice(const ScriptLine& line) {
    std::string path = TextAfter(line, 0, "PATH or cancel", kChooseUsage, EmptyText::Refused);
    if (SameWord(path, "cancel")) {
        platform_.QueueFileChoice(std::nullopt);
    } else {
        platform_.QueueFileChoice(ToSjis(FromCurrentFolder(path)));
    }
    queuedChoices_.push_back({line_, std::string(line.From(0))});
}

std::string ScriptSession::FromCurrentFolder(const std::string& path) {
    if (path[0] == '/') return path;
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) + "/" + path : path;
}

// A file dragged from the desktop onto the form; a form that takes no files ignores it.
void ScriptSession::Drop(const ScriptLine& line) {
    Need(line, 3, kDropUsage);
    Target t = Resolve(line.Word(1), Needs::Form);
    platform_.UserDropFiles(t.window, {ToSjis(FromCurrentFolder(TextAfter(line, 1, "PATH", kDropUsage, EmptyText::Refused)))});
}

void ScriptSession::Close(const ScriptLine& line) {
    Exactly(line, 2, kCloseUsage);
    Target t = Resolve(line.Word(1), Needs::Form);
    if (!platform_.IsVisible(t.window)) Fail(line.Word(1) + " cannot be closed: it is hidden");
    platform_.UserClose(t.window);
}

void ScriptSession::Menu(const ScriptLine& line) {
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

void ScriptSession::Dump(const ScriptLine& line) {
    Exactly(line, 2, kDumpUsage);
    PrintForm(out_, platform_, Resolve(line.Word(1), Needs::Form).form);
}

void ScriptSession::Check(const ScriptLine& line) {
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

}  // namespace rt
