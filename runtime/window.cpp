#include "runtime/window.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

#include "runtime/dialogs.h"
#include "runtime/form_resource.h"

namespace rt {

namespace {

Platform* g_platform = nullptr;
std::span<const RoutineEntry> g_routines;

constexpr size_t kQueueCapacity = 64;
constexpr int kPumpInterval = 10;

// Kind codes of the object table.
constexpr int kFormCode = 0x1000;
int KindCode(ControlKind k) { return k == ControlKind::Form ? kFormCode : 0x1100 + (static_cast<int>(k) - 3); }

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

std::string Upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

bool SameName(std::string_view a, std::string_view b) { return Upper(a) == Upper(b); }

struct ControlRecord {
    ControlKind kind = ControlKind::Form;
    WinHandle window = 0;
    int controlId = 0;
    std::string name;
    uint32_t style = 0;
    int lineStep = 1, pageStep = 10;
    std::map<int, Routine> events;  // from the resource's event records
};

struct FormRecord {
    Int32 object = -1;  // object-table entry of the form
    std::vector<ControlRecord> windows;  // the form itself first, then its controls
};

struct ObjectEntry {
    int kindCode = 0;
    WinHandle window = 0;
};

struct QueuedEvent {
    Int32 formObject;
    Routine routine;
};

// The runtime's state: one set, like the program's.
struct State {
    std::vector<ObjectEntry> objects;
    std::vector<FormRecord> forms;
    std::map<WinHandle, std::pair<size_t, size_t>> byWindow;  // window → (form, index in form)
    std::deque<QueuedEvent> queue;
    WinHandle mainWindow = 0;
    int pumpCounter = 0;
    WinHandle pushedButton = 0;
    int nextControlId = 1;
};

State g;

class Sink final : public EventSink {
public:
    void OnNotify(WinHandle control, Notification what) override;
    void OnScroll(WinHandle control, ScrollAction action, int trackPos) override;
    void OnClose(WinHandle form) override;
    bool OnKey(WinHandle focus, Key key, bool shift, bool pressed) override;
};
Sink g_sink;

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
    for (size_t i = 0; i < g.objects.size(); ++i)
        if (g.objects[i].window == w) return static_cast<Int32>(i);
    g.objects.push_back({KindCode(kind), w});
    return static_cast<Int32>(g.objects.size() - 1);
}

void Enqueue(Int32 formObject, Routine routine) {
    if (!routine) return;
    if (g.queue.size() >= kQueueCapacity) return;  // a full queue drops further events
    g.queue.push_back({formObject, routine});
}

// The routine for an event of a window: the resource's binding, else the one named after the
// window and the event.
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

// Show states as sets {visible, not minimized, not maximized, activated, default}.
enum : unsigned { kVis = 1, kNotMin = 2, kNotMax = 4, kAct = 8, kDef = 16 };
unsigned StateSet(int sw) {
    switch (sw) {
        case 0: return 0;                                  // SW_HIDE
        case 1: case 5: case 9: return kVis | kNotMin | kNotMax | kAct;  // SHOWNORMAL, SHOW, RESTORE
        case 2: case 6: return kVis | kAct;                // SHOWMINIMIZED, MINIMIZE
        case 3: return kVis | kNotMin | kAct;              // SHOWMAXIMIZED
        case 4: case 8: return kVis | kNotMin | kNotMax;   // SHOWNOACTIVATE, SHOWNA
        case 7: return kVis;                               // SHOWMINNOACTIVE
        case 10: return kVis | kNotMin | kNotMax | kAct | kDef;  // SHOWDEFAULT
        default: return 0;                                 // FORCEMINIMIZE and unknown
    }
}

// The 16-colour palette behind the form colour indices.
constexpr Colour kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
// Palette entries are written 0x00RRGGBB above for reading; the platform takes 0x00BBGGRR.
Colour PaletteColour(int index) {
    Colour rgb = kPalette[index & 15];
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

FontSpec FontOf(const WindowDescription& d, FontUnit unit) {
    FontSpec f;
    f.face = d.fontFace.value_or("");
    f.size = d.fontSize.value_or(0);
    f.unit = unit;
    f.weight = d.bold.value_or(0) ? 700 : 400;
    f.italic = d.italic.value_or(0) != 0;
    f.underline = d.underline.value_or(0) != 0;
    f.strikeOut = d.strikeOut.value_or(0) != 0;
    f.charset = d.charset.value_or(1);
    f.pitchAndFamily = d.pitchAndFamily.value_or(0);
    return f;
}

[[noreturn]] void FormFailure(const FormError& e, Here here) {
    // The player tells what it rejected before the form fails.
    P().MessageBox(0, "PlayScript", e.message, MessageButtons::Ok, MessageIcon::Stop);
    RaiseError(e.code, here);
}

void BindEvents(ControlRecord& rec, const WindowDescription& d) {
    if (!d.eventsRecorded) return;
    // A list naming no routine of the program is skipped as a whole.
    bool any = std::any_of(d.events.begin(), d.events.end(), [](const EventBinding& b) { return FindRoutine(b.routine); });
    if (!any) return;
    for (const EventBinding& b : d.events) rec.events[b.id - 100] = FindRoutine(b.routine);
}

// Creates the form and its controls from a decoded resource; returns the form's window.
WinHandle Play(const FormDescription& desc, int initialShow, Here here) {
    Platform& p = P();
    const WindowDescription& fd = desc.form;
    WindowSpec spec;
    spec.kind = ControlKind::Form;
    spec.className = "K7Q2WC" + desc.className;
    // The form is created hidden and unmaximised; its show state is applied at the end.
    spec.style = (fd.style & ~(style::kVisible | 0x01000000u)) | 0x02000000u;
    spec.exStyle = fd.exStyle;
    WinHandle form = p.Create(spec);
    if (!form) FormFailure({"__CREATE3:CreateWindowEx失敗", 1014}, here);

    g.forms.push_back({});
    size_t formIndex = g.forms.size() - 1;
    ControlRecord formRec;
    formRec.kind = ControlKind::Form;
    formRec.window = form;
    formRec.name = fd.name;
    formRec.style = spec.style;
    BindEvents(formRec, fd);
    g.forms[formIndex].windows.push_back(formRec);
    g.byWindow[form] = {formIndex, 0};

    if (fd.text) p.SetText(form, *fd.text);
    if (fd.fontSize || fd.fontFace) p.SetFont(form, FontOf(fd, FontUnit::Pixels));  // mapping mode 1: pixels
    p.SetColours(form, PaletteColour(fd.textColourIndex.value_or(0)), PaletteColour(fd.backColourIndex.value_or(15)));

    for (const WindowDescription& cd : desc.controls) {
        WindowSpec cs;
        cs.kind = cd.kind;
        cs.parent = form;
        cs.style = cd.style;
        if (cd.kind == ControlKind::Timer || cd.kind == ControlKind::Media || cd.kind == ControlKind::Printer)
            cs.style &= ~style::kVisible;
        cs.exStyle = cd.exStyle;
        cs.controlId = g.nextControlId++;
        WinHandle w = p.Create(cs);
        if (!w) FormFailure({"__CREATE3:CreateWindowEx失敗", 1014}, here);
        ControlRecord rec;
        rec.kind = cd.kind;
        rec.window = w;
        rec.controlId = cs.controlId;
        rec.name = cd.name;
        rec.style = cs.style;
        if (cd.scrollSteps) {
            rec.lineStep = cd.scrollSteps->first;
            rec.pageStep = cd.scrollSteps->second;
        }
        BindEvents(rec, cd);
        g.forms[formIndex].windows.push_back(rec);
        g.byWindow[w] = {formIndex, g.forms[formIndex].windows.size() - 1};

        if (cd.text && static_cast<int>(cd.kind) >= 3 && static_cast<int>(cd.kind) <= 8) p.SetText(w, *cd.text);
        if (cd.fontSize || cd.fontFace) p.SetFont(w, FontOf(cd, FontUnit::Points));
        if (cd.textColour || cd.backColour) p.SetColours(w, cd.textColour, cd.backColour);
        if (cd.scrollRange) p.SetScrollRange(w, cd.scrollRange->first, cd.scrollRange->second);
        if (cd.maxLength) p.SetMaxLength(w, *cd.maxLength);
        if (cd.items) {
            const std::string& all = *cd.items;
            size_t start = 0;
            while (start <= all.size()) {
                size_t end = all.find("\r\n", start);
                std::string item = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
                if (!item.empty() || end != std::string::npos) p.ListAdd(w, item);
                if (end == std::string::npos) break;
                start = end + 2;
            }
        }
        if (cd.initialValue) {
            if (cd.kind == ControlKind::HScroll || cd.kind == ControlKind::VScroll) p.SetScrollPos(w, *cd.initialValue);
            else p.SetCheck(w, *cd.initialValue);
        }
        if (cd.imeMode && *cd.imeMode != 0) p.SetImeMode(w, *cd.imeMode);
        if (cd.disabled && *cd.disabled) p.SetEnabled(w, false);
        Rect r = cd.geometry;
        p.SetGeometry(w, r);
    }

    if (fd.disabled && *fd.disabled) p.SetEnabled(form, false);

    // Position: 0 at (x, y), 1 keeps the position, 2 centres on the desktop, 3 on the parent
    // (a top-level form has none, so the desktop too).
    Rect r = fd.geometry;
    Rect desk = p.Desktop();
    switch (fd.placement.value_or(0)) {
        case 0: break;
        case 1: r.x = p.Geometry(form).x, r.y = p.Geometry(form).y; break;
        default:
            r.x = desk.x + (desk.width - r.width) / 2;
            r.y = desk.y + (desk.height - r.height) / 2;
            break;
    }
    p.SetGeometry(form, r);

    unsigned state = StateSet(initialShow);
    if (fd.showState && *fd.showState == 0) state &= StateSet(0);
    if (fd.minimized && *fd.minimized) state &= StateSet(2);
    if (fd.maximized && *fd.maximized) state &= StateSet(3);
    if (fd.showStateCombine) state &= StateSet(*fd.showStateCombine);
    p.SetVisible(form, (state & kVis) != 0);
    return form;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> g_registered;

std::optional<std::span<const uint8_t>> Resource(std::string_view name) {
    for (const auto& [n, bytes] : g_registered)
        if (SameName(n, name)) return std::span<const uint8_t>(bytes);
    return FindFormResource(name);
}

WinHandle LoadForm(std::string_view resource, int initialShow, Here here) {
    auto bytes = Resource(resource);
    if (!bytes) RaiseError(1012, here);
    DecodeResult decoded = DecodeForm(*bytes);
    if (decoded.error) FormFailure(*decoded.error, here);
    return Play(*decoded.form, initialShow, here);
}

// The entry of a bound variable whose window still exists.
const ObjectEntry& Live(const Obj& o, Here here) {
    if (o.handle < 0 || static_cast<size_t>(o.handle) >= g.objects.size()) RaiseError(1000, here);
    const ObjectEntry& e = g.objects[static_cast<size_t>(o.handle)];
    if (!e.window || !P().Exists(e.window)) RaiseError(1000, here);
    return e;
}

ControlKind KindOf(const ObjectEntry& e) {
    if (e.kindCode == kFormCode) return ControlKind::Form;
    return static_cast<ControlKind>(e.kindCode - 0x1100 + 3);
}

template <class... Kinds>
WinHandle Require(const Obj& o, Here here, Kinds... kinds) {
    const ObjectEntry& e = Live(o, here);
    ControlKind k = KindOf(e);
    if (!((k == kinds) || ...)) RaiseError(1002, here);
    return e.window;
}

[[noreturn]] void EndNow(int code) { throw ProgramEnd{code}; }

}  // namespace

// ---- sink: user actions become queued events ----

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
            WinHandle w = ws[i].window;
            if (p.IsVisible(w) && p.IsEnabled(w) && (ws[i].style & style::kTabStop)) {
                p.SetFocus(w);
                break;
            }
        }
        return true;
    }
    if (rec->kind != ControlKind::PushButton && rec->kind != ControlKind::BitmapButton) return false;
    if (pressed) {
        p.SetPushed(focus, true);
        g.pushedButton = focus;
    } else {
        p.SetPushed(focus, false);
        if (g.pushedButton == focus) Raise(focus, 1);
        g.pushedButton = 0;
    }
    return true;
}

// ---- the runtime's own bookkeeping ----

void SetRoutineTable(std::span<const RoutineEntry> routines) { g_routines = routines; }

Routine FindRoutine(std::string_view name) {
    for (const RoutineEntry& r : g_routines)
        if (r.name == name) return r.routine;
    return nullptr;
}

Platform& CurrentPlatform() { return P(); }
void SetPlatform(Platform* platform) { g_platform = platform; }

void StartWindowLayer(Platform& platform) {
    g_platform = &platform;
    platform.SetSink(&g_sink);
    g = State{};
    g.objects.push_back({kFormCode, 0});  // handle 0: the main window, filled below
    // The main window plays MAINFORM with the process's default show state.
    g.mainWindow = LoadForm("MAINFORM", 10, Here::current());
    g.objects[0].window = g.mainWindow;
    g.forms.back().object = 0;
    SetErrorPresenter([](const std::string& report) {
        if (g_platform) g_platform->MessageBox(0, ExecutableCaption(), report, MessageButtons::Ok, MessageIcon::Exclamation);
    });
}

void RegisterFormResource(std::string name, std::vector<uint8_t> bytes) {
    g_registered.emplace_back(std::move(name), std::move(bytes));
}

void ResetWindowLayer() {
    if (g_platform) {
        for (auto it = g.forms.rbegin(); it != g.forms.rend(); ++it)
            if (!it->windows.empty() && g_platform->Exists(it->windows[0].window)) g_platform->Destroy(it->windows[0].window);
        g_platform->SetSink(nullptr);
    }
    g = State{};
    g_registered.clear();
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
}

WinHandle FormControl(const Obj& form, const Text& name, Here here) {
    if (name.empty() || name.size() > 21) RaiseError(5, here);
    WinHandle fw = Require(form, here, ControlKind::Form);
    FormRecord* f = FormOf(fw);
    if (!f) RaiseError(1000, here);
    for (const ControlRecord& r : f->windows)
        if (SameName(r.name, name.view())) return r.window;
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
    auto runOldest = [] {
        QueuedEvent e = g.queue.front();
        g.queue.pop_front();
        Obj owner{e.formObject};
        // Floating exceptions are checked at the program's own stores; whatever the window
        // system's code left in the sticky flags must not count against the routine.
        std::feclearexcept(FE_ALL_EXCEPT);
        e.routine(owner);
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

void SetText(const Obj& o, const Text& text, Here here) {
    WinHandle w = Require(o, here, ControlKind::Form, ControlKind::PushButton, ControlKind::OptionButton,
                          ControlKind::CheckBox, ControlKind::GroupBox, ControlKind::Edit, ControlKind::Label,
                          ControlKind::ComboBox);
    std::string_view v = text.view();
    P().SetText(w, std::string(v.substr(0, v.find('\0'))));
}

Text GetText(const Obj& o, Here here) {
    const ObjectEntry& e = Live(o, here);
    if (KindOf(e) == ControlKind::Picture) RaiseError(1002, here);
    return Text(P().GetText(e.window));
}

void SetVisible(const Obj& o, Int32 flag, Here here) {
    const ObjectEntry& e = Live(o, here);
    if (flag != -1 && flag != 0) RaiseError(5, here);
    P().SetVisible(e.window, flag == -1);
}

void SetEnabled(const Obj& o, Int32 flag, Here here) {
    const ObjectEntry& e = Live(o, here);
    if (flag != -1 && flag != 0) RaiseError(5, here);
    P().SetEnabled(e.window, flag == -1);
}

void SetFontSize(const Obj& o, Single size, Here here) {
    const ObjectEntry& e = Live(o, here);
    FontSpec f = P().Font(e.window);
    f.size = StoreInt16(size, here);
    f.unit = FontUnit::Pixels;
    P().SetFont(e.window, f);
}

void SetFontName(const Obj& o, const Text& face, Here here) {
    const ObjectEntry& e = Live(o, here);
    if (face.size() > 31) RaiseError(5, here);
    FontSpec f = P().Font(e.window);
    f.face = face.bytes();
    P().SetFont(e.window, f);
}

void SetCheck(const Obj& o, Int32 state, Here here) {
    WinHandle w = Require(o, here, ControlKind::CheckBox, ControlKind::OptionButton, ControlKind::BitmapButton);
    if (state < 0 || state > 2) RaiseError(5, here);
    P().SetCheck(w, state);
}

Int32 GetCheck(const Obj& o, Here here) {
    WinHandle w = Require(o, here, ControlKind::CheckBox, ControlKind::OptionButton, ControlKind::BitmapButton);
    return P().GetCheck(w);
}

void ListAdd(const Obj& o, const Text& item, Here here) {
    const ObjectEntry& e = Live(o, here);
    ControlKind k = KindOf(e);
    if (k != ControlKind::ListBox && k != ControlKind::ComboBox) RaiseError(1002, here);
    if (P().ListAdd(e.window, item.bytes()) < 0) RaiseError(k == ControlKind::ListBox ? 1016 : 1017, here);
}

void ListClear(const Obj& o, Here here) { P().ListClear(Require(o, here, ControlKind::ListBox, ControlKind::ComboBox)); }
Int32 ListCount(const Obj& o, Here here) { return P().ListCount(Require(o, here, ControlKind::ListBox, ControlKind::ComboBox)); }
Int32 ListIndex(const Obj& o, Here here) { return P().ListCurSel(Require(o, here, ControlKind::ListBox, ControlKind::ComboBox)); }

void ListSetTop(const Obj& o, Int32 index, Here here) {
    P().ListSetTop(Require(o, here, ControlKind::ListBox, ControlKind::ComboBox), index);
}

Int32 ListSelCount(const Obj& o, Here here) {
    WinHandle w = Require(o, here, ControlKind::ListBox);
    int n = 0, count = P().ListCount(w);
    for (int i = 0; i < count; ++i) n += P().ListIsSelected(w, i) ? 1 : 0;
    return n;
}

Int32 ListIsSelected(const Obj& o, Int32 index, Here here) {
    WinHandle w = Require(o, here, ControlKind::ListBox);
    return P().ListIsSelected(w, index) ? -1 : 0;
}

void ScrollSetRange(const Obj& o, Int32 min, Int32 max, Here here) {
    P().SetScrollRange(Require(o, here, ControlKind::HScroll, ControlKind::VScroll), min, max);
}

void ScrollSetSteps(const Obj& o, Int32 line, Int32 page, Here here) {
    WinHandle w = Require(o, here, ControlKind::HScroll, ControlKind::VScroll);
    ControlRecord* rec = RecordOf(w);
    rec->lineStep = line;
    rec->pageStep = page;
}

void ScrollSetPos(const Obj& o, Int32 pos, Here here) {
    P().SetScrollPos(Require(o, here, ControlKind::HScroll, ControlKind::VScroll), pos);
}

Int32 ScrollGetPos(const Obj& o, Here here) {
    return P().ScrollPos(Require(o, here, ControlKind::HScroll, ControlKind::VScroll));
}

void EditSetSel(const Obj& o, Int32 start, Int32 end, Int32 scroll, Here here) {
    WinHandle w = Require(o, here, ControlKind::Edit, ControlKind::ComboBox);
    if (start < -1 || end < -1) RaiseError(5, here);
    P().SetEditSel(w, start, end);
    if (scroll) P().ScrollCaret(w);
}

Text EditSelText(const Obj& o, Here here) {
    WinHandle w = Require(o, here, ControlKind::Edit, ControlKind::ComboBox);
    auto [s, e] = P().EditSel(w);
    std::string text = P().GetText(w);
    if (e <= s) return Text();
    return Text(text.substr(static_cast<size_t>(s), static_cast<size_t>(e - s)));
}

void SetMaxLength(const Obj& o, Int32 n, Here here) {
    WinHandle w = Require(o, here, ControlKind::Edit, ControlKind::ComboBox);
    if (n < 0) RaiseError(5, here);
    P().SetMaxLength(w, n);
}

void SetImeMode(const Obj& o, Int32 mode, Here here) {
    const ObjectEntry& e = Live(o, here);
    ControlKind k = KindOf(e);
    if (k != ControlKind::Edit && k != ControlKind::ComboBox && k != ControlKind::Form) RaiseError(1002, here);
    if (mode < 0 || mode > 7 || (mode == 3 && k == ControlKind::Form)) RaiseError(5, here);
    P().SetImeMode(e.window, mode);
}

void EndProgram(Int32 code) { EndNow(code); }

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
