// The object table: the forms the program loaded, each with its controls in resource order,
// the entries its object variables are bound to, the lookups by window and by name, and the
// start and end of the window layer that fills and empties them.
#include "runtime/window/window.h"

#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "runtime/files/error_record.h"
#include "runtime/window/window_state.h"

namespace rt {
namespace detail {

State g;
Platform* g_platform = nullptr;

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

}  // namespace detail

using namespace detail;

Platform& CurrentPlatform() { return P(); }
void SetPlatform(Platform* platform) { g_platform = platform; }
void StartWindowLayer(Platform& platform) {
    // Recorded from the start: the main form itself may be what fails.
    KeepErrorRecords();
    g_platform = &platform;
    platform.SetSink(&WindowSink());
    g = State{};
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
    ForgetRegisteredForms();
    SetErrorPresenter(nullptr);
    SetErrorRecorder(nullptr);
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

bool IsFormWindow(WinHandle w) {
    const ControlRecord* rec = RecordOf(w);
    return rec && rec->kind == ControlKind::Form;
}

}  // namespace rt

using namespace rt;

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
