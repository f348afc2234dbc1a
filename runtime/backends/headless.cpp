#include "runtime/backends/headless.h"

#include <algorithm>

#include "runtime/backends/control_keys.h"
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

HeadlessPlatform::HeadlessPlatform() = default;

WinHandle HeadlessPlatform::Create(const WindowSpec& params) {
    WinHandle h = next_++;
    Window w;
    w.params = params;
    w.visible = params.kind != ControlKind::Form && (params.style & style::kVisible);
    w.enabled = !(params.style & style::kDisabled);
    windows_[h] = std::move(w);
    return h;
}

void HeadlessPlatform::Destroy(WinHandle w) {
    std::vector<WinHandle> children;
    for (auto& [h, win] : windows_)
        if (win.params.parent == w) children.push_back(h);
    for (WinHandle c : children) Destroy(c);
    windows_.erase(w);
    if (focus_ == w) focus_ = 0;
}

bool HeadlessPlatform::Exists(WinHandle w) const { return windows_.count(w) != 0; }

HeadlessPlatform::Window& HeadlessPlatform::At(WinHandle w) {
    auto it = windows_.find(w);
    if (it == windows_.end()) throw std::logic_error("headless: no window " + std::to_string(w));
    return it->second;
}

const HeadlessPlatform::Window& HeadlessPlatform::Get(WinHandle w) const {
    return const_cast<HeadlessPlatform*>(this)->At(w);
}

std::vector<WinHandle> HeadlessPlatform::Windows() const {
    std::vector<WinHandle> all;
    for (const auto& [h, win] : windows_) all.push_back(h);
    return all;
}

bool HeadlessPlatform::IsSingleLineEdit(const Window& win) const {
    return win.params.kind == ControlKind::Edit && !(win.params.style & style::kEsMultiLine);
}

void HeadlessPlatform::SetText(WinHandle w, const std::string& text) {
    Window& win = At(w);
    win.text = text;
    // A single-line edit control reports every text set on it as a change; nothing else does.
    if (IsSingleLineEdit(win)) Notify(w, Notification::EditChanged);
}

std::string HeadlessPlatform::GetText(WinHandle w) const {
    const Window& win = Get(w);
    if (win.params.kind == ControlKind::ListBox) return {};
    return win.text;
}

void HeadlessPlatform::SetVisible(WinHandle w, bool visible) { At(w).visible = visible; }
bool HeadlessPlatform::IsVisible(WinHandle w) const { return Get(w).visible; }
void HeadlessPlatform::SetEnabled(WinHandle w, bool enabled) { At(w).enabled = enabled; }
bool HeadlessPlatform::IsEnabled(WinHandle w) const { return Get(w).enabled; }
void HeadlessPlatform::SetGeometry(WinHandle w, const Rect& r) { At(w).rect = r; }
Rect HeadlessPlatform::Geometry(WinHandle w) const { return Get(w).rect; }
void HeadlessPlatform::SetFont(WinHandle w, const FontSpec& font) { At(w).font = font; }
FontSpec HeadlessPlatform::Font(WinHandle w) const { return Get(w).font; }

void HeadlessPlatform::SetColours(WinHandle w, std::optional<Colour> text, std::optional<Colour> background) {
    Window& win = At(w);
    if (text) win.textColour = text;
    if (background) win.backColour = background;
}

void HeadlessPlatform::SetFocus(WinHandle w) { focus_ = Exists(w) ? w : 0; }

void HeadlessPlatform::SetCheck(WinHandle w, int state) { At(w).check = state; }
int HeadlessPlatform::GetCheck(WinHandle w) const { return Get(w).check; }
void HeadlessPlatform::SetPushed(WinHandle w, bool pushed) { At(w).pushed = pushed; }

int HeadlessPlatform::ListAdd(WinHandle w, const std::string& item) {
    Window& win = At(w);
    bool sorted = win.params.kind == ControlKind::ListBox ? (win.params.style & style::kLbsSort) != 0
                                                         : (win.params.style & style::kCbsSort) != 0;
    size_t at = win.items.size();
    if (sorted) {
        at = static_cast<size_t>(std::upper_bound(win.items.begin(), win.items.end(), item,
                                                  [](const std::string& a, const std::string& b) {
                                                      return TextCompare(Text(a), Text(b)) < 0;
                                                  }) -
                                 win.items.begin());
    }
    win.items.insert(win.items.begin() + static_cast<long>(at), item);
    win.selected.insert(win.selected.begin() + static_cast<long>(at), false);
    if (win.curSel >= static_cast<int>(at)) ++win.curSel;
    return static_cast<int>(at);
}

void HeadlessPlatform::ListClear(WinHandle w) {
    Window& win = At(w);
    // Clearing a combo box empties its edit field too.
    if (win.params.kind == ControlKind::ComboBox) win.text.clear();
    win.items.clear();
    win.selected.clear();
    win.curSel = -1;
    win.top = 0;
}

int HeadlessPlatform::ListCount(WinHandle w) const { return static_cast<int>(Get(w).items.size()); }

std::string HeadlessPlatform::ListItem(WinHandle w, int index) const {
    const Window& win = Get(w);
    if (index < 0 || index >= static_cast<int>(win.items.size())) return {};
    return win.items[static_cast<size_t>(index)];
}

int HeadlessPlatform::ListCurSel(WinHandle w) const { return Get(w).curSel; }

void HeadlessPlatform::ListSetCurSel(WinHandle w, int index) {
    Window& win = At(w);
    win.curSel = (index >= 0 && index < static_cast<int>(win.items.size())) ? index : -1;
    if (win.params.kind == ControlKind::ComboBox && win.curSel >= 0) win.text = win.items[static_cast<size_t>(win.curSel)];
}

void HeadlessPlatform::ListSetTop(WinHandle w, int index) {
    Window& win = At(w);
    if (index >= 0 && index < static_cast<int>(win.items.size())) win.top = index;
}

int HeadlessPlatform::ListTop(WinHandle w) const { return Get(w).top; }

bool HeadlessPlatform::ListIsSelected(WinHandle w, int index) const {
    const Window& win = Get(w);
    if (index < 0 || index >= static_cast<int>(win.items.size())) return false;
    if (win.params.style & style::kLbsMultipleSel) return win.selected[static_cast<size_t>(index)];
    return win.curSel == index;
}

void HeadlessPlatform::ListSetSelected(WinHandle w, int index, bool selected) {
    Window& win = At(w);
    if (index < 0 || index >= static_cast<int>(win.items.size())) return;
    win.selected[static_cast<size_t>(index)] = selected;
    win.curSel = index;  // the caret of a multiple-selection list follows the last toggled item
}

void HeadlessPlatform::SetScrollRange(WinHandle w, int min, int max) {
    Window& win = At(w);
    win.scrollMin = min;
    win.scrollMax = max;
    win.scrollPos = std::clamp(win.scrollPos, std::min(min, max), std::max(min, max));
}

std::pair<int, int> HeadlessPlatform::ScrollRange(WinHandle w) const {
    const Window& win = Get(w);
    return {win.scrollMin, win.scrollMax};
}

void HeadlessPlatform::SetScrollPos(WinHandle w, int pos) {
    Window& win = At(w);
    win.scrollPos = std::clamp(pos, std::min(win.scrollMin, win.scrollMax), std::max(win.scrollMin, win.scrollMax));
}

int HeadlessPlatform::ScrollPos(WinHandle w) const { return Get(w).scrollPos; }

void HeadlessPlatform::SetEditSel(WinHandle w, int start, int end) {
    Window& win = At(w);
    int len = static_cast<int>(win.text.size());
    // −1 as start removes the selection; −1 as end selects to the end of the text.
    if (start == -1) {
        win.selStart = win.selEnd = std::min(win.selEnd, len);
        return;
    }
    if (end == -1) end = len;
    start = std::clamp(start, 0, len);
    end = std::clamp(end, 0, len);
    win.selStart = std::min(start, end);
    win.selEnd = std::max(start, end);
}

std::pair<int, int> HeadlessPlatform::EditSel(WinHandle w) const {
    const Window& win = Get(w);
    int len = static_cast<int>(win.text.size());
    return {std::min(win.selStart, len), std::min(win.selEnd, len)};
}

void HeadlessPlatform::SetMaxLength(WinHandle w, int n) { At(w).maxLength = n; }
int HeadlessPlatform::MaxLength(WinHandle w) const { return Get(w).maxLength; }
void HeadlessPlatform::SetImeMode(WinHandle w, int mode) { At(w).ime = mode; }
int HeadlessPlatform::ImeMode(WinHandle w) const { return Get(w).ime; }

Answer HeadlessPlatform::MessageBox(WinHandle, const std::string& title, const std::string& text,
                                    MessageButtons buttons, MessageIcon icon, DefaultButton defaultButton) {
    lastDefault_ = defaultButton;
    if (answers_.empty()) {
        if (messageObserver_) messageObserver_(title, text, buttons, icon, std::nullopt);
        throw NoAnswerQueued("a message box appeared with no answer queued");
    }
    Answer a = answers_.front();
    answers_.pop_front();
    if (messageObserver_) messageObserver_(title, text, buttons, icon, a);
    return a;
}

void HeadlessPlatform::ErrorReport(WinHandle, const std::string& caption, const std::string& report,
                                   const std::string& helpText) {
    errorReports_.push_back({caption, report, helpText});
    if (errorReportObserver_) errorReportObserver_(errorReports_.back());
}

std::optional<std::string> HeadlessPlatform::FileDialog(const FileDialogSpec& params) {
    if (choices_.empty()) {
        if (dialogObserver_) dialogObserver_(params, nullptr);
        throw NoAnswerQueued("a file dialog appeared with no choice queued");
    }
    std::optional<std::string> c = choices_.front();
    choices_.pop_front();
    if (dialogObserver_) dialogObserver_(params, &c);
    return c;
}

void HeadlessPlatform::SetCommands(WinHandle control, const std::vector<ControlCommand>& commands) {
    At(control).commands = commands;
}

PrintResult HeadlessPlatform::PrintText(const PrintJob& job) {
    const PrintResult result{PrintOutcome::Cancelled, {}};
    if (printObserver_) printObserver_(job, result);
    return result;
}

PdfResult HeadlessPlatform::RenderPdf(const PrintJob&) {
    return {std::nullopt, "the in-memory window system draws no pages"};
}

bool HeadlessPlatform::WaitForInput() { return input_ ? input_() : false; }

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
