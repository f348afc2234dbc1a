// Playing a form resource: a form loaded by name (registered at run time or embedded) is decoded,
// and the form and its controls are created and given what their records say, in the order a
// user sees them built; a rejected record is told before the error ends the program.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>

#include "runtime/window/window_state.h"

namespace rt::detail {
namespace {

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
// Where a window of `size` starts when centred on `length` from `start`. Sizes come from the
// resource as any 32-bit value; the sum is formed wide and kept within what a position holds.
int Centred(int start, int length, int size) {
    const int64_t at = int64_t{start} + (int64_t{length} - size) / 2;
    return static_cast<int>(std::clamp<int64_t>(at, INT32_MIN, INT32_MAX));
}

WinHandle Play(const FormDescription& desc, int initialShow, Here here) {
    Platform& p = P();
    const WindowDescription& fd = desc.form;
    WindowSpec params;
    params.kind = ControlKind::Form;
    params.className = "K7Q2WC" + desc.className;
    // The form is created hidden and unmaximised; its show state is applied at the end.
    params.style = (fd.style & ~(style::kVisible | 0x01000000u)) | 0x02000000u;
    params.exStyle = fd.exStyle;
    WinHandle form = p.Create(params);
    if (!form) FormFailure({"__CREATE3:CreateWindowEx失敗", 1014}, here);

    g.forms.push_back({});
    size_t formIndex = g.forms.size() - 1;
    ControlRecord formRec;
    formRec.kind = ControlKind::Form;
    formRec.window = form;
    formRec.name = fd.name;
    formRec.style = params.style;
    BindEvents(formRec, fd);
    if (RoutineFor(formRec, static_cast<int>(Event::DropFiles))) p.AcceptDroppedFiles(form);
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
        // Placed before anything else is set, so that no window system sizes it to its text first.
        p.SetGeometry(w, cd.geometry);
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
            r.x = Centred(desk.x, desk.width, r.width);
            r.y = Centred(desk.y, desk.height, r.height);
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

// Form resources supplied at run time, found before the embedded ones.
std::vector<std::pair<std::string, std::vector<uint8_t>>> g_registered;

std::optional<std::span<const uint8_t>> Resource(std::string_view name) {
    for (const auto& [n, bytes] : g_registered)
        if (SameName(n, name)) return std::span<const uint8_t>(bytes);
    return FindFormResource(name);
}

}  // namespace

WinHandle LoadForm(std::string_view resource, int initialShow, Here here) {
    auto bytes = Resource(resource);
    if (!bytes) RaiseError(1012, here);
    DecodeResult decoded = DecodeForm(*bytes);
    if (decoded.error) FormFailure(*decoded.error, here);
    return Play(*decoded.form, initialShow, here);
}

void ForgetRegisteredForms() { g_registered.clear(); }

}  // namespace rt::detail

void rt::RegisterFormResource(std::string name, std::vector<uint8_t> bytes) {
    detail::g_registered.emplace_back(std::move(name), std::move(bytes));
}
