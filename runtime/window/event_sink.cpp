// The user's actions as the back end reports them (a click, a change of selection, a scroll, a
// close, a drop, a menu command) become the events of the controls' routines, queued for
// FormWait. Keys are keyboard.cpp's.
#include <algorithm>
#include <map>
#include <vector>

#include "runtime/window/window_state.h"

namespace rt::detail {
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

void Sink::OnNotify(WinHandle control, Notification what) {
    ControlRecord* rec = RecordOf(control);
    if (!rec) return;
    // The focus coming and going is news, not something done to the control; a box's change
    // may be the program's own text (which even a disabled box reports), and the program sets
    // none while its dialog runs.
    const bool focus = what == Notification::SetFocus || what == Notification::KillFocus;
    if (!focus && (what == Notification::EditChanged ? g.dialogsOpen > 0 : !Reachable(control))) return;
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
    if (!rec || !Reachable(control)) return;
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
    if (!Reachable(form)) return;
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
    if (!IsFormWindow(form) || paths.empty() || !Reachable(form)) return;
    g.droppedFiles = paths;
    Raise(form, static_cast<int>(Event::DropFiles));
}

void Sink::OnCommand(WinHandle control, int index) {
    const auto it = g.commands.find(control);
    FormRecord* form = FormOf(control);
    if (it == g.commands.end() || !form || index < 0 || static_cast<size_t>(index) >= it->second.size()) return;
    if (!Reachable(control)) return;
    Enqueue(form->object, it->second[static_cast<size_t>(index)]);
}

bool Sink::OnKey(WinHandle focus, Key key, bool shift, bool pressed) {
    return Reachable(focus) && HandleKey(focus, key, shift, pressed);
}

}  // namespace

// The window system keeps the mouse and the keys from a disabled control and from the windows
// behind a modal dialog, but a screen reader acts on a control through its accessible
// interface (it sets a slider's value, presses a button), and that reaches the back end all the
// same: every way in stops here instead.
bool Reachable(WinHandle control) {
    const FormRecord* form = FormOf(control);
    Platform& p = P();
    return g.dialogsOpen == 0 && form && p.IsEnabled(form->windows[0].window) && p.IsEnabled(control);
}

EventSink& WindowSink() { return g_sink; }

}  // namespace rt::detail

using namespace rt;
using namespace rt::detail;

void SetMenuCommands(const Obj& control, const std::vector<MenuCommand>& commands, Here here) {
    const WinHandle w = Live(control, here).window;
    std::vector<ControlCommand> offered;
    std::vector<Routine> routines;
    for (const MenuCommand& c : commands) {
        offered.push_back({std::string(c.caption.view()), std::string(c.shortcut.view())});
        routines.push_back(c.routine);
    }
    g.commands[w] = std::move(routines);
    P().SetCommands(w, offered);
}
