// The events of the windows a form source describes (form_events.h), and the events each kind
// of window has when its source lists none.
#include "tools/formc/form_events.h"

#include <algorithm>
#include <cstdint>

#include "tools/formc/form_source.h"

namespace formc {
namespace {

using rt::ControlKind;


// Event number → name suffix; the id stored in the resource is 100 + the number.
constexpr const char* kSuffixes[] = {
    "_INITMENU", "_ON", "_CHANGE", "_START", "_END", "_SETFOCUS", "_KILLFOCUS",
    "_RESIZE", "_CLICK", "_DBLCLICK", "_MOUSEDOWN", "_MOUSEUP", "_MOUSEMOVE", "_UPDATED",
    "_DONE", "_TIMER", "_ABORTDOC", "_QUERYCLOSE", "_NOTIFYICON", "_DROPFILES", "_MOUSEWHEEL",
};

std::vector<int> DefaultEventNumbers(ControlKind kind) {
    switch (kind) {
        case ControlKind::Form: return {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17, 18, 19, 20};
        case ControlKind::PushButton:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::BitmapButton: return {1};
        case ControlKind::Edit: return {2, 5, 6, 19};
        case ControlKind::Label: return {8, 9, 19};
        case ControlKind::ListBox:
        case ControlKind::ComboBox: return {2, 5, 6, 8, 9, 19};
        case ControlKind::HScroll:
        case ControlKind::VScroll: return {2};
        default: return {};
    }
}

}  // namespace

std::optional<int> EventNumber(std::string_view suffix) {
    const auto s = std::find(std::begin(kSuffixes), std::end(kSuffixes), suffix);
    if (s == std::end(kSuffixes)) return std::nullopt;
    return static_cast<int>(s - std::begin(kSuffixes));
}

std::vector<rt::EventBinding> Bindings(const std::vector<int>& numbers, const std::string& name) {
    std::vector<rt::EventBinding> events;
    for (int n : numbers) events.push_back({static_cast<int16_t>(100 + n), name + kSuffixes[n]});
    return events;
}

std::vector<rt::EventBinding> DefaultEvents(rt::ControlKind kind, const std::string& name) {
    return Bindings(DefaultEventNumbers(kind), name);
}

}  // namespace formc
