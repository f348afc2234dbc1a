// The keys the window layer takes itself: Tab and Shift+Tab through a form's tab stops, Enter
// and Space on push buttons, on lists and in a box whose Enter stands for a button, Escape as a
// screen's close; and where the
// focus goes when the program shows a form.
#include "runtime/window/window_state.h"

namespace rt::detail {
namespace {

bool IsTabStop(const ControlRecord& rec) {
    Platform& p = P();
    return (rec.style & style::kTabStop) && p.IsVisible(rec.window) && p.IsEnabled(rec.window);
}

bool ListKey(const ControlRecord& rec, bool pressed);
bool PushWithKey(WinHandle button, bool pressed);

bool IsInputKind(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ComboBox || kind == ControlKind::ListBox;
}

}  // namespace

bool HandleKey(WinHandle focus, Key key, bool shift, bool pressed) {
    Platform& p = P();
    FormRecord* form = FormOf(focus);
    ControlRecord* rec = RecordOf(focus);
    if (!form || !rec) return false;
    WinHandle formWin = form->windows[0].window;

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
            if (IsTabStop(ws[i])) {
                p.SetFocus(ws[i].window);
                break;
            }
        }
        return true;
    }
    if (key == Key::Escape) {
        // Escape closes a screen as its window manager's close does, each in its own way back;
        // the main window, whose close ends the program, leaves it to its controls.
        if (formWin == g.mainWindow) return false;
        if (pressed) Raise(formWin, 17);
        return true;
    }
    if (key != Key::Enter && key != Key::Space) return false;
    if (rec->kind == ControlKind::ListBox) return ListKey(*rec, pressed);
    // A box whose Enter stands for a button beside it (the coupon box's registration).
    if (rec->enterClicks && key == Key::Enter) return PushWithKey(rec->enterClicks, pressed);
    if (rec->kind != ControlKind::PushButton && rec->kind != ControlKind::BitmapButton) return false;
    return PushWithKey(focus, pressed);
}

namespace {

// Enter and Space on a list open the selected line as a click on it does (a change of keys
// made for keyboard users: the arrows only choose a line); with nothing selected, the line with
// the caret, the one a screen reader announced, which the press selects as a click would. A
// multiple-selection list leaves the keys to the list itself (Space toggles the line); the
// release follows what the press decided.
bool ListKey(const ControlRecord& rec, bool pressed) {
    if (pressed) {
        Platform& p = P();
        bool opens = false;
        if (!(rec.style & style::kLbsMultipleSel)) {
            if (p.ListCurSel(rec.window) < 0) {
                if (const int caret = p.ListCaret(rec.window); caret >= 0) p.ListSetCurSel(rec.window, caret);
            }
            opens = p.ListCurSel(rec.window) >= 0;
        }
        g.pushedList = opens ? rec.window : 0;
        return opens;
    }
    if (g.pushedList != rec.window) return false;
    g.pushedList = 0;
    Raise(rec.window, 2);
    Raise(rec.window, 8);
    return true;
}

// The press shows the button pushed; the release clicks it when it is still the one pushed.
bool PushWithKey(WinHandle button, bool pressed) {
    Platform& p = P();
    p.SetPushed(button, pressed);
    if (pressed) {
        g.pushedButton = button;
    } else {
        if (g.pushedButton == button) Raise(button, 1);
        g.pushedButton = 0;
    }
    return true;
}

}  // namespace

void FocusShownForm(WinHandle formWindow) {
    FormRecord* form = FormOf(formWindow);
    if (!form) return;
    Platform& p = P();
    // A form shown again while the user works in it (the main form is hidden and shown around
    // every refresh of its figures) keeps the user's place.
    if (FormOf(p.Focus()) == form) return;
    // Never a push button: one Space or Enter right after a form appears must not act (the
    // main form's first tab stop ends the program).
    WinHandle target = formWindow;
    for (size_t i = 1; i < form->windows.size(); ++i) {
        const ControlRecord& rec = form->windows[i];
        if (IsInputKind(rec.kind) && IsTabStop(rec)) {
            target = rec.window;
            break;
        }
    }
    p.SetFocus(target);
}

}  // namespace rt::detail
