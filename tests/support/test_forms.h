#pragma once
// Small forms of the tests' own, built as descriptions and encoded in the program's binary form
// format, so that the window layer plays them exactly as it plays the real ones.
#include <string>
#include <vector>

#include "runtime/forms/form_resource.h"
#include "runtime/backends/headless.h"
#include "runtime/window/window.h"

namespace testforms {

using rt::ControlKind;
namespace st = rt::style;

inline constexpr uint32_t kChild = 0x40000000;

inline rt::WindowDescription Control(ControlKind kind, std::string name, rt::Rect r, uint32_t style,
                                     std::string text = {}) {
    rt::WindowDescription d;
    d.kind = kind;
    d.name = std::move(name);
    d.style = kChild | style;
    if (!text.empty()) d.text = std::move(text);
    d.placement = 0;
    d.geometry = r;
    return d;
}

inline rt::FormDescription Form(std::string name, std::vector<rt::WindowDescription> controls,
                                rt::Rect r = {0, 0, 400, 300}, int placement = 0) {
    rt::FormDescription f;
    f.className = name;
    f.form.kind = ControlKind::Form;
    f.form.style = 0x00c00115;
    f.form.name = name;
    f.form.text = name;
    f.form.placement = placement;
    f.form.geometry = r;
    f.form.showStateCombine = 1;
    f.controls = std::move(controls);
    return f;
}

inline void Register(const rt::FormDescription& f) { rt::RegisterFormResource(f.form.name, rt::EncodeForm(f)); }

}  // namespace testforms
