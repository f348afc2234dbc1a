// The simulated user of the headless back end: clicks, typing, selections, scrolls, keys, closes,
// commands and drops, each changing the control as the real one would and reporting to the sink.
#include <algorithm>

#include "runtime/backends/control_keys.h"
#include "runtime/backends/headless.h"
#include "runtime/values/text.h"

namespace rt {

namespace {

bool IsButtonKind(ControlKind k) {
    return k == ControlKind::PushButton || k == ControlKind::OptionButton || k == ControlKind::CheckBox ||
           k == ControlKind::BitmapButton;
}

// Cuts a Shift-JIS text to at most n bytes without splitting a double-byte character.
std::string CutBytes(const std::string& s, size_t n) {
    if (s.size() <= n) return s;
    size_t i = 0;
    while (i < n) {
        size_t len = (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
        if (i + len > n) break;
        i += len;
    }
    return s.substr(0, i);
}

bool Contains(const Rect& outer, const Rect& inner) {
    int cx = inner.x + inner.width / 2, cy = inner.y + inner.height / 2;
    return cx >= outer.x && cx < outer.x + outer.width && cy >= outer.y && cy < outer.y + outer.height;
}
}  // namespace

std::vector<WinHandle> HeadlessPlatform::OptionGroup(WinHandle w) const {
    const Window& self = Get(w);
    auto boxOf = [&](const Window& option) -> WinHandle {
        WinHandle best = 0;
        long bestArea = 0;
        for (const auto& [h, win] : windows_) {
            if (win.params.kind != ControlKind::GroupBox || win.params.parent != option.params.parent) continue;
            if (!Contains(win.rect, option.rect)) continue;
            long area = static_cast<long>(win.rect.width) * win.rect.height;
            if (!best || area < bestArea) best = h, bestArea = area;
        }
        return best;
    };
    WinHandle box = boxOf(self);
    std::vector<WinHandle> group;
    for (const auto& [h, win] : windows_)
        if (win.params.kind == ControlKind::OptionButton && win.params.parent == self.params.parent && boxOf(win) == box)
            group.push_back(h);
    return group;
}

bool HeadlessPlatform::Reachable(WinHandle w) const {
    for (WinHandle h = w; h != 0;) {
        auto it = windows_.find(h);
        if (it == windows_.end() || !it->second.visible || !it->second.enabled) return false;
        h = it->second.params.parent;
    }
    return true;
}

void HeadlessPlatform::UserClick(WinHandle w) {
    Window& win = At(w);
    uint32_t type = win.params.style & style::kBsTypeMask;
    if (win.params.kind == ControlKind::CheckBox && type == style::kBsAutoCheckBox) {
        win.check = win.check ? 0 : 1;
    } else if (win.params.kind == ControlKind::OptionButton && type == style::kBsAutoRadioButton) {
        for (WinHandle other : OptionGroup(w)) At(other).check = other == w ? 1 : 0;
    }
    focus_ = w;
    Notify(w, Notification::Clicked);
}

void HeadlessPlatform::UserType(WinHandle w, const std::string& text) {
    Window& win = At(w);
    std::string typed;
    bool digitsOnly = win.params.kind == ControlKind::Edit && (win.params.style & style::kEsNumber);
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool dbl = IsLeadByte(c) && i + 1 < text.size();
        if (digitsOnly && !(c >= '0' && c <= '9')) {
            if (dbl) ++i;
            continue;  // the control refuses what is not a digit
        }
        typed += text[i];
        if (dbl) typed += text[++i];
    }
    if (win.maxLength > 0) typed = CutBytes(typed, static_cast<size_t>(win.maxLength));
    win.text = typed;
    win.selStart = win.selEnd = static_cast<int>(typed.size());
    focus_ = w;
    Notify(w, win.params.kind == ControlKind::ComboBox ? Notification::ComboEdited : Notification::EditChanged);
}

void HeadlessPlatform::UserSelect(WinHandle w, int index) {
    Window& win = At(w);
    if (index < 0 || index >= static_cast<int>(win.items.size())) throw std::out_of_range("no such item");
    win.curSel = index;
    if (win.params.kind == ControlKind::ComboBox) win.text = win.items[static_cast<size_t>(index)];
    focus_ = w;
    Notify(w, Notification::SelChanged);
}

void HeadlessPlatform::UserToggle(WinHandle w, int index) {
    Window& win = At(w);
    if (index < 0 || index >= static_cast<int>(win.items.size())) throw std::out_of_range("no such item");
    win.selected[static_cast<size_t>(index)] = !win.selected[static_cast<size_t>(index)];
    win.curSel = index;
    focus_ = w;
    Notify(w, Notification::SelChanged);
}

void HeadlessPlatform::UserScroll(WinHandle w, ScrollAction action, int pos) {
    At(w);
    if (sink_) sink_->OnScroll(w, action, pos);
}

void HeadlessPlatform::UserKey(WinHandle w, Key key, bool shift) {
    Window& win = At(w);
    focus_ = w;
    bool taken = sink_ && sink_->OnKey(w, key, shift, true);
    if (sink_) taken = sink_->OnKey(w, key, shift, false) || taken;
    if (taken) return;
    // Keys the window layer leaves alone act as the control's own: Space toggles a check box
    // or picks an option button, a list moves its selection, a scroll bar its thumb.
    const ControlKind kind = win.params.kind;
    if (key == Key::Space && IsButtonKind(kind) && kind != ControlKind::PushButton) UserClick(w);
    if (kind == ControlKind::HScroll || kind == ControlKind::VScroll) {
        if (const auto move = ScrollBarKey(key, kind == ControlKind::HScroll, win.scrollMin, win.scrollMax))
            UserScroll(w, move->action, move->pos);
    }
    const bool multiple = win.params.style & style::kLbsMultipleSel;
    if (kind == ControlKind::ListBox && !multiple) {
        // A page is the lines the box shows whole, at the 16-pixel lines of the forms' lists.
        const auto target = ListKeyTarget(key, win.curSel, static_cast<int>(win.items.size()), win.rect.height / 16);
        if (target && *target != win.curSel) {
            win.curSel = *target;
            Notify(w, Notification::SelMoved);
        }
    }
}

void HeadlessPlatform::UserClose(WinHandle form) {
    At(form);
    if (sink_) sink_->OnClose(form);
}

void HeadlessPlatform::UserCommand(WinHandle control, int index) {
    const Window& win = At(control);
    if (index < 0 || static_cast<size_t>(index) >= win.commands.size()) throw std::out_of_range("no such command");
    focus_ = control;
    if (sink_) sink_->OnCommand(control, index);
}

void HeadlessPlatform::UserDropFiles(WinHandle form, const std::vector<std::string>& paths) {
    if (sink_ && At(form).takesDroppedFiles && Reachable(form)) sink_->OnDropFiles(form, paths);
}

}  // namespace rt
