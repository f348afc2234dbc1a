// The headless back end's windows: what the program sets and reads of each window and control,
// kept in memory, with the standard controls' own rules where the program relies on them (a
// sorted list, a single-line edit box reporting a text set on it); and its queued dialogs.
#include "runtime/backends/headless.h"

#include <algorithm>

#include "runtime/values/text.h"

namespace rt {

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

}  // namespace rt
