#pragma once
// The window layer's own state, shared by its units: object_table.cpp (forms, controls and the
// entries bound to them), routines.cpp, event_sink.cpp and keyboard.cpp (the user's actions as
// events), event_queue.cpp (the queue and the wait), form_player.cpp (playing form resources) and
// control_ops.cpp (the control operations). Not for the program's routines, which use window.h.
#include <deque>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/forms/form_resource.h"
#include "runtime/window/window.h"

namespace rt::detail {

struct ControlRecord {
    ControlKind kind = ControlKind::Form;
    WinHandle window = 0;
    int controlId = 0;
    std::string name;
    uint32_t style = 0;
    int lineStep = 1, pageStep = 10;
    std::map<int, Routine> events;  // from the resource's event records
    WinHandle enterClicks = 0;       // boxes: the button that Enter in the box clicks
};

struct FormRecord {
    Int32 object = -1;  // object-table entry of the form
    std::vector<ControlRecord> windows;  // the form itself first, then its controls
    // The windows by their names in capitals (the first of a name counts), for the start, which
    // binds every control by name; `named` windows are in it so far.
    std::unordered_map<std::string, size_t> byName;
    size_t named = 0;
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
    std::unordered_map<WinHandle, Int32> objectOf;  // window → its first entry in objects
    std::vector<FormRecord> forms;
    std::map<WinHandle, std::pair<size_t, size_t>> byWindow;  // window → (form, index in form)
    std::deque<QueuedEvent> queue;
    WinHandle mainWindow = 0;
    int pumpCounter = 0;
    WinHandle pushedButton = 0;
    WinHandle pushedList = 0;  // the list whose Enter or Space was taken on its press
    int nextControlId = 1;
    std::vector<std::string> droppedFiles;  // the paths of the last drop, for its routine
    // The routines of each control's menu commands, in the order the back end numbers them.
    std::map<WinHandle, std::vector<Routine>> commands;
    // The figures a screen reader is told of when they change (WatchFigures), with the text it
    // was last told or that showed when the watch began.
    struct WatchedFigure {
        WinHandle label = 0;
        std::string told;
        bool inFront = false;   // its form was shown when last looked at
        bool onReturn = false;  // also told when its form comes back with it changed
        bool seen = false;      // its form has been in front: `told` is what the customer had
    };
    std::vector<WatchedFigure> watchedFigures;
    int dialogsOpen = 0;  // the program's message boxes and dialogs now running (DialogOpen)
};

extern State g;
extern Platform* g_platform;  // null until the program or a test gives one

// Kind codes of the object table.
inline constexpr int kFormCode = 0x1000;
inline int KindCode(ControlKind k) { return k == ControlKind::Form ? kFormCode : 0x1100 + (static_cast<int>(k) - 3); }

Platform& P();
// Single-byte letters in capitals; a double-byte character stays as it is.
std::string Upper(std::string_view s);
bool SameName(std::string_view a, std::string_view b);
ControlRecord* RecordOf(WinHandle w);
FormRecord* FormOf(WinHandle w);
Int32 ObjectFor(WinHandle w, ControlKind kind);
// Queues a routine to run for a form; a full queue drops it.
void Enqueue(Int32 formObject, Routine routine);
// Queues the event of a window for its routine; an event with no routine is not queued.
void Raise(WinHandle w, int event);
// The routine an event of the window runs, or null.
Routine RoutineFor(const ControlRecord& rec, int event);

// Where the user's actions reach the window layer (event_sink.cpp), and the keys it takes
// itself before the control (keyboard.cpp): true when the key is taken.
EventSink& WindowSink();
bool HandleKey(WinHandle focus, Key key, bool shift, bool pressed);
// Whether something the user did on a control (or a form) may reach it: not while a dialog of
// the program is open, nor when the control or its form is disabled. One rule for every way in.
bool Reachable(WinHandle control);

// Marks a dialog of the program as open while it runs: the forms behind it take nothing from
// the user meanwhile, as the original's dialogs disabled the window they belonged to.
class DialogOpen {
public:
    DialogOpen() { ++g.dialogsOpen; }
    ~DialogOpen() { --g.dialogsOpen; }
    DialogOpen(const DialogOpen&) = delete;
    DialogOpen& operator=(const DialogOpen&) = delete;
};

// The focus rule of a form the program shows: unless the focus is already on the form or one
// of its controls, it goes to the first edit, combo or list box (in creation order) that is
// visible, enabled and a tab stop, else to the form itself. Raises nothing.
void FocusShownForm(WinHandle formWindow);

// Plays the named form resource; the caller's show state is a SW_ value.
WinHandle LoadForm(std::string_view resource, int initialShow, Here here);
void ForgetRegisteredForms();

// The entry of a bound variable whose window still exists.
inline const ObjectEntry& Live(const Obj& o, Here here) {
    if (o.handle < 0 || static_cast<size_t>(o.handle) >= g.objects.size()) RaiseError(1000, here);
    const ObjectEntry& e = g.objects[static_cast<size_t>(o.handle)];
    if (!e.window || !P().Exists(e.window)) RaiseError(1000, here);
    return e;
}

inline ControlKind KindOf(const ObjectEntry& e) {
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

}  // namespace rt::detail
