// Objects, events and waiting: the object table, the event queue, the translation of the
// user's actions into events, FormWait and the end of the program.
#include "runtime/window/window.h"

#include <algorithm>
#include <cfenv>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/window/window_state.h"

namespace rt {

namespace {
Platform* g_platform = nullptr;
// The routines by name: a start looks up a few hundred names, most of them in vain. Hashed here
// rather than by the C++ library's string hash, whose code would be one more stretch of that
// library to map at every start.
struct NameHash {
    size_t operator()(std::string_view name) const {
        size_t h = 14695981039346656037u;
        for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211u;
        return h;
    }
};
std::unordered_map<std::string_view, Routine, NameHash> g_routines;

constexpr size_t kQueueCapacity = 64;
constexpr int kPumpInterval = 10;
}  // namespace

namespace detail {

State g;

namespace {
const char* EventSuffix(int event) {
    switch (event) {
        case 0: return "_INITMENU";
        case 1: return "_ON";
        case 2: return "_CHANGE";
        case 3: return "_START";
        case 4: return "_END";
        case 5: return "_SETFOCUS";
        case 6: return "_KILLFOCUS";
        case 7: return "_RESIZE";
        case 8: return "_CLICK";
        case 9: return "_DBLCLICK";
        case 10: return "_MOUSEDOWN";
        case 11: return "_MOUSEUP";
        case 12: return "_MOUSEMOVE";
        case 13: return "_UPDATED";
        case 14: return "_DONE";
        case 15: return "_TIMER";
        case 16: return "_ABORTDOC";
        case 17: return "_QUERYCLOSE";
        case 18: return "_NOTIFYICON";
        case 19: return "_DROPFILES";
        case 20: return "_MOUSEWHEEL";
        default: return "";
    }
}

// Only single-byte letters fold: the second byte of a double-byte character may look like a
// letter ("ヂ" is 83 61), and folding it would make it another character ("ア", 83 41).
std::string Upper(std::string_view s) {
    std::string r(s);
    for (size_t i = 0; i < r.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(r[i]);
        if (IsLeadByte(c)) {
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            r[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return r;
}
}  // namespace

// As Upper(a) == Upper(b), compared in place: the start binds a hundred controls by name.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c; };
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (IsLeadByte(x)) {
            // The same lead byte, then the same trail byte as it stands.
            if (x != y || (i + 1 < a.size() && a[i + 1] != b[i + 1])) return false;
            ++i;
        } else if (fold(x) != fold(y)) {
            return false;
        }
    }
    return true;
}

namespace {
class Sink final : public EventSink {
public:
    void OnNotify(WinHandle control, Notification what) override;
    void OnScroll(WinHandle control, ScrollAction action, int trackPos) override;
    void OnClose(WinHandle form) override;
    bool OnKey(WinHandle focus, Key key, bool shift, bool pressed) override;
    void OnDropFiles(WinHandle form, const std::vector<std::string>& paths) override;
    void OnCommand(WinHandle control, int index) override;
};
Sink g_sink;
// The routines of each control's menu commands, in the order the back end numbers them.
std::map<WinHandle, std::vector<Routine>> g_commands;
}  // namespace

Platform& P() {
    if (!g_platform) throw std::logic_error("the window layer has no platform");
    return *g_platform;
}

ControlRecord* RecordOf(WinHandle w) {
    auto it = g.byWindow.find(w);
    if (it == g.byWindow.end()) return nullptr;
    return &g.forms[it->second.first].windows[it->second.second];
}

FormRecord* FormOf(WinHandle w) {
    auto it = g.byWindow.find(w);
    if (it == g.byWindow.end()) return nullptr;
    return &g.forms[it->second.first];
}

Int32 ObjectFor(WinHandle w, ControlKind kind) {
    if (const auto it = g.objectOf.find(w); it != g.objectOf.end()) return it->second;
    g.objects.push_back({KindCode(kind), w});
    const auto entry = static_cast<Int32>(g.objects.size() - 1);
    g.objectOf.emplace(w, entry);
    return entry;
}

namespace {
void Enqueue(Int32 formObject, Routine routine) {
    if (!routine) return;
    if (g.queue.size() >= kQueueCapacity) return;  // a full queue drops further events
    g.queue.push_back({formObject, routine});
}

}  // namespace

// The resource's binding, else the routine named after the window and the event.
Routine RoutineFor(const ControlRecord& rec, int event) {
    if (auto it = rec.events.find(event); it != rec.events.end()) return it->second;
    return FindRoutine(Upper(rec.name) + EventSuffix(event));
}

void Raise(WinHandle w, int event) {
    ControlRecord* rec = RecordOf(w);
    FormRecord* form = FormOf(w);
    if (!rec || !form) return;
    Enqueue(form->object, RoutineFor(*rec, event));
}

}  // namespace detail

namespace {
[[noreturn]] void EndNow(int code) { throw ProgramEnd{code}; }
}  // namespace

using namespace detail;

// ---- sink: user actions become queued events ----

namespace detail {
namespace {

bool IsTabStop(const ControlRecord& rec) {
    Platform& p = P();
    return (rec.style & style::kTabStop) && p.IsVisible(rec.window) && p.IsEnabled(rec.window);
}

bool ListKey(const ControlRecord& rec, bool pressed);
bool PushWithKey(WinHandle button, bool pressed);

bool IsInputKind(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ComboBox || kind == ControlKind::ListBox;
}

void Sink::OnNotify(WinHandle control, Notification what) {
    ControlRecord* rec = RecordOf(control);
    if (!rec) return;
    switch (rec->kind) {
        case ControlKind::PushButton:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::BitmapButton:
            if (what == Notification::Clicked) Raise(control, 1);
            break;
        case ControlKind::Edit:
            if (what == Notification::EditChanged) Raise(control, 2);
            else if (what == Notification::SetFocus) Raise(control, 5);
            else if (what == Notification::KillFocus) Raise(control, 6);
            break;
        case ControlKind::Label:
            if (what == Notification::Clicked) Raise(control, 8);
            else if (what == Notification::DoubleClicked) Raise(control, 9);
            break;
        case ControlKind::ListBox:
            if (what == Notification::SelChanged) {
                Raise(control, 2);
                Raise(control, 8);
            } else if (what == Notification::SelMoved) {
                // Moved by the keys: the line is chosen and announced, and Enter or Space opens it.
                Raise(control, 2);
            } else if (what == Notification::DoubleClicked) Raise(control, 9);
            else if (what == Notification::SetFocus) Raise(control, 5);
            else if (what == Notification::KillFocus) Raise(control, 6);
            break;
        case ControlKind::ComboBox:
            if (what == Notification::SelChanged || what == Notification::ComboEdited) Raise(control, 2);
            else if (what == Notification::DoubleClicked) Raise(control, 9);
            else if (what == Notification::SetFocus) Raise(control, 5);
            else if (what == Notification::KillFocus) Raise(control, 6);
            else if (what == Notification::DropDown) Raise(control, 8);
            break;
        default:
            break;
    }
}

void Sink::OnScroll(WinHandle control, ScrollAction action, int trackPos) {
    ControlRecord* rec = RecordOf(control);
    if (!rec) return;
    Platform& p = P();
    auto [lo, hi] = p.ScrollRange(control);
    if (lo > hi) std::swap(lo, hi);
    int pos = p.ScrollPos(control);
    switch (action) {
        case ScrollAction::LineLeft: pos -= rec->lineStep; break;
        case ScrollAction::LineRight: pos += rec->lineStep; break;
        case ScrollAction::PageLeft: pos -= rec->pageStep; break;
        case ScrollAction::PageRight: pos += rec->pageStep; break;
        case ScrollAction::ThumbTrack:
        case ScrollAction::ThumbPosition: pos = trackPos; break;
        case ScrollAction::EndScroll:
            p.SetScrollPos(control, pos);
            return;
    }
    pos = std::clamp(pos, lo, hi);
    Raise(control, 2);
    p.SetScrollPos(control, pos);
}

void Sink::OnClose(WinHandle form) {
    if (form == g.mainWindow) {
        // Closing the main window ends the program; FormWait notices that it is gone.
        P().Destroy(form);
        return;
    }
    // Other forms are hidden and shown, never destroyed, while the program runs: closing one
    // only asks its _QUERYCLOSE routine, if the program has one.
    Raise(form, 17);
}

void Sink::OnDropFiles(WinHandle form, const std::vector<std::string>& paths) {
    if (!IsFormWindow(form) || paths.empty()) return;
    g.droppedFiles = paths;
    Raise(form, static_cast<int>(Event::DropFiles));
}

void Sink::OnCommand(WinHandle control, int index) {
    const auto it = g_commands.find(control);
    FormRecord* form = FormOf(control);
    if (it == g_commands.end() || !form || index < 0 || static_cast<size_t>(index) >= it->second.size()) return;
    // As for keys: a disabled form (a dialog of its own is open) or control takes no command.
    Platform& p = P();
    if (!p.IsEnabled(form->windows[0].window) || !p.IsEnabled(control)) return;
    Enqueue(form->object, it->second[static_cast<size_t>(index)]);
}

bool Sink::OnKey(WinHandle focus, Key key, bool shift, bool pressed) {
    Platform& p = P();
    FormRecord* form = FormOf(focus);
    ControlRecord* rec = RecordOf(focus);
    if (!form || !rec) return false;
    WinHandle formWin = form->windows[0].window;
    if (!p.IsEnabled(formWin) || !p.IsEnabled(focus)) return false;

    if (key == Key::Tab) {
        if (!pressed) return true;
        const auto& ws = form->windows;
        size_t n = ws.size();
        size_t cur = 0;
        for (size_t i = 0; i < n; ++i)
            if (ws[i].window == focus) cur = i;
        for (size_t step = 1; step < n; ++step) {
            size_t i = shift ? (cur + n - step) % n : (cur + step) % n;
            if (i == 0) continue;  // the form itself is not a tab stop
            if (IsTabStop(ws[i])) {
                p.SetFocus(ws[i].window);
                break;
            }
        }
        return true;
    }
    if (key != Key::Enter && key != Key::Space) return false;
    if (rec->kind == ControlKind::ListBox) return ListKey(*rec, pressed);
    // A box whose Enter stands for a button beside it (the coupon box's registration).
    if (rec->enterClicks && key == Key::Enter) return PushWithKey(rec->enterClicks, pressed);
    if (rec->kind != ControlKind::PushButton && rec->kind != ControlKind::BitmapButton) return false;
    return PushWithKey(focus, pressed);
}

// Enter and Space on a list open the selected line as a click on it does (a change of keys
// made for keyboard users: the arrows only choose a line). A list with nothing selected, or
// one of several selections, leaves the keys to the list itself (Space chooses the line); the
// release follows what the press decided.
bool ListKey(const ControlRecord& rec, bool pressed) {
    if (pressed) {
        const bool opens = !(rec.style & style::kLbsMultipleSel) && P().ListCurSel(rec.window) >= 0;
        g.pushedList = opens ? rec.window : 0;
        return opens;
    }
    if (g.pushedList != rec.window) return false;
    g.pushedList = 0;
    Raise(rec.window, 2);
    Raise(rec.window, 8);
    return true;
}

// The press shows the button pushed; the release clicks it when it is still the one pushed.
bool PushWithKey(WinHandle button, bool pressed) {
    Platform& p = P();
    p.SetPushed(button, pressed);
    if (pressed) {
        g.pushedButton = button;
    } else {
        if (g.pushedButton == button) Raise(button, 1);
        g.pushedButton = 0;
    }
    return true;
}

}  // namespace

void FocusShownForm(WinHandle formWindow) {
    FormRecord* form = FormOf(formWindow);
    if (!form) return;
    Platform& p = P();
    // A form shown again while the user works in it (the main form is hidden and shown around
    // every refresh of its figures) keeps the user's place.
    if (FormOf(p.Focus()) == form) return;
    // Never a push button: one Space or Enter right after a form appears must not act (the
    // main form's first tab stop ends the program).
    WinHandle target = formWindow;
    for (size_t i = 1; i < form->windows.size(); ++i) {
        const ControlRecord& rec = form->windows[i];
        if (IsInputKind(rec.kind) && IsTabStop(rec)) {
            target = rec.window;
            break;
        }
    }
    p.SetFocus(target);
}

}  // namespace detail

// ---- the runtime's own bookkeeping ----

void SetRoutineTable(std::span<const RoutineEntry> routines) {
    g_routines.clear();
    for (const RoutineEntry& r : routines) g_routines.emplace(r.name, r.routine);  // the first of a name counts
}

Routine FindRoutine(std::string_view name) {
    const auto it = g_routines.find(name);
    return it == g_routines.end() ? nullptr : it->second;
}

Platform& CurrentPlatform() { return P(); }
void SetPlatform(Platform* platform) { g_platform = platform; }

void StartWindowLayer(Platform& platform) {
    g_platform = &platform;
    platform.SetSink(&g_sink);
    g = State{};
    g_commands.clear();
    g.objects.push_back({kFormCode, 0});  // handle 0: the main window, filled below
    g.objectOf[0] = 0;
    // The main window plays MAINFORM with the process's default show state.
    g.mainWindow = LoadForm("MAINFORM", 10, Here::current());
    g.objects[0].window = g.mainWindow;
    g.objectOf.erase(0);
    g.objectOf[g.mainWindow] = 0;
    g.forms.back().object = 0;
    if (platform.IsVisible(g.mainWindow)) FocusShownForm(g.mainWindow);
    SetErrorPresenter([](const ErrorReportTexts& texts) {
        if (g_platform) g_platform->ErrorReport(0, ExecutableCaption(), texts.report, texts.help);
    });
}

void ResetWindowLayer() {
    if (g_platform) {
        for (auto it = g.forms.rbegin(); it != g.forms.rend(); ++it)
            if (!it->windows.empty() && g_platform->Exists(it->windows[0].window)) g_platform->Destroy(it->windows[0].window);
        g_platform->SetSink(nullptr);
    }
    g = State{};
    g_commands.clear();
    ForgetRegisteredForms();
    SetErrorPresenter(nullptr);
}

std::optional<Int32> FindForm(std::string_view name) {
    for (const FormRecord& f : g.forms)
        if (!f.windows.empty() && SameName(f.windows[0].name, name)) return f.object;
    return std::nullopt;
}

std::vector<ControlInfo> FormWindows(Int32 formHandle) {
    std::vector<ControlInfo> out;
    if (formHandle < 0 || static_cast<size_t>(formHandle) >= g.objects.size()) return out;
    FormRecord* f = FormOf(g.objects[static_cast<size_t>(formHandle)].window);
    if (!f) return out;
    for (const ControlRecord& r : f->windows) out.push_back({r.kind, r.window, r.name});
    return out;
}

WinHandle WindowOf(const Obj& o) {
    if (o.handle < 0 || static_cast<size_t>(o.handle) >= g.objects.size()) return 0;
    return g.objects[static_cast<size_t>(o.handle)].window;
}

size_t PendingEvents() { return g.queue.size(); }

const std::vector<std::string>& DroppedFiles() { return g.droppedFiles; }

bool IsFormWindow(WinHandle w) {
    const ControlRecord* rec = RecordOf(w);
    return rec && rec->kind == ControlKind::Form;
}

}  // namespace rt

using namespace rt;

// ---- the operations of the program ----

void FormLoad(Obj& form, const Text& resource, Int32 showFlag, Here here) {
    if (resource.empty() || resource.size() > 21) RaiseError(5, here);
    if (showFlag != 0 && showFlag != -1) RaiseError(5, here);
    if (form.handle >= 0 && static_cast<size_t>(form.handle) < g.objects.size()) {
        WinHandle w = g.objects[static_cast<size_t>(form.handle)].window;
        if (w && P().Exists(w)) RaiseError(1001, here);
    }
    WinHandle w = LoadForm(resource.view(), showFlag == -1 ? 1 : 0, here);
    Int32 obj = ObjectFor(w, ControlKind::Form);
    g.forms.back().object = obj;
    form.handle = obj;
    if (P().IsVisible(w)) FocusShownForm(w);
}

WinHandle FormControl(const Obj& form, const Text& name, Here here) {
    if (name.empty() || name.size() > 21) RaiseError(5, here);
    WinHandle fw = Require(form, here, ControlKind::Form);
    FormRecord* f = FormOf(fw);
    if (!f) RaiseError(1000, here);
    for (; f->named < f->windows.size(); ++f->named) f->byName.emplace(Upper(f->windows[f->named].name), f->named);
    if (const auto it = f->byName.find(Upper(name.view())); it != f->byName.end()) return f->windows[it->second].window;
    RaiseError(1013, here);
}

void ControlBind(Obj& var, WinHandle window, Here here) {
    ControlRecord* rec = RecordOf(window);
    if (!rec || !P().Exists(window)) RaiseError(1000, here);
    var.handle = ObjectFor(window, rec->kind);
}

void FormWait(const Obj& form, Here here) {
    Platform& p = P();
    // The main window may have been closed while a routine ran; the program ends then too.
    if (!p.Exists(g.mainWindow)) EndNow(0);
    WinHandle waitOn = Require(form, here, ControlKind::Form);
    auto runOldest = [here] {
        QueuedEvent e = g.queue.front();
        g.queue.pop_front();
        Obj owner{e.formObject};
        // Floating exceptions are checked at the program's own stores; whatever the window
        // system's code left in the sticky flags must not count against the routine.
        std::feclearexcept(FE_ALL_EXCEPT);
        // Memory that runs out anywhere in a routine is the out-of-memory error with its report;
        // the texts and arrays that can be asked for too much raise it where they are made.
        try {
            e.routine(owner);
        } catch (const std::bad_alloc&) {
            RaiseError(7, here);
        }
    };
    if (!g.queue.empty()) {
        runOldest();
        return;
    }
    for (;;) {
        p.ProcessPending();
        if (!p.Exists(g.mainWindow)) EndNow(0);
        if (!g.queue.empty()) {
            runOldest();
            return;
        }
        if (!p.Exists(waitOn)) return;
        if (!p.WaitForInput()) EndNow(0);
    }
}

void EndProgram(Int32 code) { EndNow(code); }

void SetMenuCommands(const Obj& control, const std::vector<MenuCommand>& commands, Here here) {
    const WinHandle w = Live(control, here).window;
    std::vector<ControlCommand> offered;
    std::vector<Routine> routines;
    for (const MenuCommand& c : commands) {
        offered.push_back({std::string(c.caption.view()), std::string(c.shortcut.view())});
        routines.push_back(c.routine);
    }
    g_commands[w] = std::move(routines);
    P().SetCommands(w, offered);
}

void PumpStep() {
    if (g.pumpCounter == 0) {
        g.pumpCounter = kPumpInterval;
        if (g_platform) {
            // Keep the flags of the routine's own arithmetic across the window system's work.
            std::fexcept_t flags;
            std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
            g_platform->ProcessPending();
            std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
        }
    } else {
        --g.pumpCounter;
    }
}
