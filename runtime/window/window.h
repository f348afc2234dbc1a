#pragma once
// Forms, controls and events as the application's routines see them. Forms and controls are
// reached through object variables (Obj) bound to entries of the runtime's object table; user
// actions become queued events that run the application's routines by name, one at a time,
// inside FormWait.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>
#include <string_view>

#include "runtime/backends/platform.h"
#include "runtime/values/text.h"

// An object variable. Unbound until FormLoad or ControlBind; the handle 0 is the main window.
struct Obj {
    Int32 handle = -1;
};
inline constexpr Int32 kMainWindow = 0;

// An application routine as events call it: it receives the form on which the event occurred
// and passes it on as the owner of its dialogs.
using Routine = void (*)(Obj& form);
struct RoutineEntry {
    std::string_view name;  // "BUTTON2_ON"
    Routine routine;
};

// Event numbers.
enum class Event : int {
    On = 1, Change = 2, Start = 3, End = 4, SetFocus = 5, KillFocus = 6, Resize = 7, Click = 8,
    DblClick = 9, MouseDown = 10, MouseUp = 11, MouseMove = 12, QueryClose = 17, DropFiles = 19,
    MouseWheel = 20,
};

// Forms and binding.
void FormLoad(Obj& form, const Text& resource, Int32 showFlag, Here here = Here::current());
rt::WinHandle FormControl(const Obj& form, const Text& name, Here here = Here::current());
void ControlBind(Obj& var, rt::WinHandle window, Here here = Here::current());
void FormWait(const Obj& form, Here here = Here::current());

// Control operations.
void SetText(const Obj& o, const Text& text, Here here = Here::current());
Text GetText(const Obj& o, Here here = Here::current());
void SetVisible(const Obj& o, Int32 flag, Here here = Here::current());
void SetEnabled(const Obj& o, Int32 flag, Here here = Here::current());
void SetFontSize(const Obj& o, Single size, Here here = Here::current());
void SetFontName(const Obj& o, const Text& face, Here here = Here::current());
void SetCheck(const Obj& o, Int32 state, Here here = Here::current());
Int32 GetCheck(const Obj& o, Here here = Here::current());
void ListAdd(const Obj& o, const Text& item, Here here = Here::current());
void ListClear(const Obj& o, Here here = Here::current());
Int32 ListCount(const Obj& o, Here here = Here::current());
Int32 ListIndex(const Obj& o, Here here = Here::current());
void ListSetTop(const Obj& o, Int32 index, Here here = Here::current());
Int32 ListSelCount(const Obj& o, Here here = Here::current());
Int32 ListIsSelected(const Obj& o, Int32 index, Here here = Here::current());
void ScrollSetRange(const Obj& o, Int32 min, Int32 max, Here here = Here::current());
void ScrollSetSteps(const Obj& o, Int32 line, Int32 page, Here here = Here::current());
void ScrollSetPos(const Obj& o, Int32 pos, Here here = Here::current());
Int32 ScrollGetPos(const Obj& o, Here here = Here::current());
void EditSetSel(const Obj& o, Int32 start, Int32 end, Int32 scroll, Here here = Here::current());
Text EditSelText(const Obj& o, Here here = Here::current());
void SetMaxLength(const Obj& o, Int32 n, Here here = Here::current());
void SetImeMode(const Obj& o, Int32 mode, Here here = Here::current());
// Enter in an edit or combo box clicks `button`, as the button's own Enter would: for a box
// whose entry a button beside it takes.
void SetEnterButton(const Obj& box, const Obj& button, Here here = Here::current());
// The name a screen reader announces for a control that no caption on its form names (a box
// with only a button beside it, a button showing only an arrow).
void SetSpokenName(const Obj& o, const Text& name, Here here = Here::current());
// What a screen reader says of a control after its name: what it does, where its caption is
// too short to say it.
void SetSpokenDescription(const Obj& o, const Text& description, Here here = Here::current());
// The figures a screen reader speaks when they change, in this order: whenever the program has
// answered the user and waits again, those whose text changed while their form stayed shown
// (a form that comes to the front is announced with its window and its figures are read there),
// and of those also in `onReturn`, a change made while the form was away (the order's total that
// the other screens changed). Replaces the lists given before.
void WatchFigures(const std::vector<const Obj*>& labels, const std::vector<const Obj*>& onReturn = {},
                  Here here = Here::current());
// Tells the screen reader the watched figures that changed; the wait for the user does it first
// (a test that runs the queued routines itself calls it where the wait would).
void SpeakChangedFigures();
[[noreturn]] void EndProgram(Int32 code);

// A command of a control's context menu: its caption, an optional shortcut ("Ctrl+P") that
// works while the control's form is active, and the routine it runs, as an event of the form.
struct MenuCommand {
    Text caption;
    Text shortcut;
    Routine routine = nullptr;
};
// Replaces the control's commands; none is chosen while the control or its form is disabled.
void SetMenuCommands(const Obj& control, const std::vector<MenuCommand>& commands, Here here = Here::current());

// Long routines call this between steps so that the windows stay responsive; every eleventh
// call processes the waiting window messages (events raised meanwhile are only queued).
void PumpStep();

namespace rt {

// Thrown by EndProgram and when the main window is gone; caught where the program ends.
struct ProgramEnd {
    int code = 0;
};

// Set up by the program before its main routine runs.
void SetRoutineTable(std::span<const RoutineEntry> routines);
Routine FindRoutine(std::string_view name);

// A form resource supplied at run time, found before the embedded ones of the same name (tests
// play small forms of their own this way). Kept until ResetWindowLayer.
void RegisterFormResource(std::string name, std::vector<uint8_t> bytes);

// Creates the main window from the resource "MAINFORM" (the object handle 0).
void StartWindowLayer(Platform& platform);
// Destroys every window and forgets every form; for tests and for the end of the program.
void ResetWindowLayer();

// Lookups for the scripted driver, the Qt screenshots and tests.
struct ControlInfo {
    ControlKind kind;
    WinHandle window;
    std::string name;  // as the resource gives it
};
// The form object whose resource name (or form name) is `name`, case-insensitive.
std::optional<Int32> FindForm(std::string_view name);
// Every window of a form, the form itself first, in resource order.
std::vector<ControlInfo> FormWindows(Int32 formHandle);
WinHandle WindowOf(const Obj& o);
bool IsFormWindow(WinHandle w);
size_t PendingEvents();

// For a form's _DROPFILES routine: the paths (Shift-JIS) of the files dropped last.
const std::vector<std::string>& DroppedFiles();

}  // namespace rt
