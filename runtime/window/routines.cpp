// The program's routines by name, and the routine each event of a window runs: the one its
// form resource binds, else the one named after the window and the event (BUTTON2_ON).
#include <string_view>
#include <unordered_map>

#include "runtime/window/window_state.h"

namespace rt {
namespace {

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

}  // namespace

void SetRoutineTable(std::span<const RoutineEntry> routines) {
    g_routines.clear();
    for (const RoutineEntry& r : routines) g_routines.emplace(r.name, r.routine);  // the first of a name counts
}

Routine FindRoutine(std::string_view name) {
    const auto it = g_routines.find(name);
    return it == g_routines.end() ? nullptr : it->second;
}

namespace detail {

// The resource's binding, else the routine named after the window and the event.
Routine RoutineFor(const ControlRecord& rec, int event) {
    if (auto it = rec.events.find(event); it != rec.events.end()) return it->second;
    return FindRoutine(Upper(rec.name) + EventSuffix(event));
}

}  // namespace detail
}  // namespace rt
