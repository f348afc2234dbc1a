// The properties a script's `expect` reads: their names, the kinds of window that have them, and
// the value each shows on the headless back end.
#include "runtime/driver/script_expect.h"

#include "runtime/backends/headless.h"
#include "runtime/driver/script_line.h"
#include "runtime/driver/script_print.h"

namespace rt {

namespace {

struct Named {
    const char* name;
    Property property;
};
constexpr Named kProperties[] = {{"text", Property::Text},       {"visible", Property::Visible},
                                 {"enabled", Property::Enabled}, {"check", Property::Check},
                                 {"pos", Property::Pos},         {"sel", Property::Sel},
                                 {"count", Property::Count}};

}  // namespace

std::optional<Property> ParseProperty(std::string_view word) {
    for (const Named& p : kProperties)
        if (SameWord(word, p.name)) return p.property;
    return std::nullopt;
}

const char* PropertyName(Property p) {
    for (const Named& n : kProperties)
        if (n.property == p) return n.name;
    return "?";
}

bool HasProperty(ControlKind kind, Property p) {
    switch (p) {
        case Property::Text:
        case Property::Visible: return true;
        case Property::Enabled: return kind != ControlKind::Form;
        case Property::Check: return kind == ControlKind::CheckBox || kind == ControlKind::OptionButton;
        case Property::Pos: return kind == ControlKind::HScroll || kind == ControlKind::VScroll;
        case Property::Sel:
        case Property::Count: return kind == ControlKind::ListBox || kind == ControlKind::ComboBox;
    }
    return false;
}

std::string PropertiesOf(ControlKind kind) {
    std::string names;
    for (const Named& p : kProperties)
        if (HasProperty(kind, p.property)) names += (names.empty() ? "" : ", ") + std::string(p.name);
    return names;
}

std::string PropertyValue(const HeadlessPlatform& platform, WinHandle w, ControlKind kind, Property p) {
    switch (p) {
        case Property::Text: return platform.Get(w).text;
        case Property::Visible: return platform.IsVisible(w) ? "1" : "0";
        case Property::Enabled: return platform.IsEnabled(w) ? "1" : "0";
        case Property::Check: return std::to_string(platform.GetCheck(w));
        case Property::Pos: return std::to_string(platform.ScrollPos(w));
        case Property::Sel: return SelectionText(platform, w, kind);
        case Property::Count: return std::to_string(platform.ListCount(w));
    }
    return {};
}

}  // namespace rt
