// The control operations of the program's routines, with the checks of binding, kind and
// arguments that end the program with its error codes.
#include <algorithm>

#include "runtime/window/window_state.h"

using namespace rt;
using namespace rt::detail;

void SetText(const Obj& o, const Text& text, Here here) {
    WinHandle w = Require(o, here, ControlKind::Form, ControlKind::PushButton, ControlKind::OptionButton,
                          ControlKind::CheckBox, ControlKind::GroupBox, ControlKind::Edit, ControlKind::Label,
                          ControlKind::ComboBox);
    std::string_view v = text.view();
    P().SetText(w, std::string(v.substr(0, v.find('\0'))));
}

Text GetText(const Obj& o, Here here) {
    const ObjectEntry& e = Live(o, here);
    if (KindOf(e) == ControlKind::Picture) RaiseError(1002, here);
    return Text(P().GetText(e.window));
}

void SetVisible(const Obj& o, Int32 flag, Here here) {
    const ObjectEntry& e = Live(o, here);
    if (flag != -1 && flag != 0) RaiseError(5, here);
    P().SetVisible(e.window, flag == -1);
    if (flag == -1 && KindOf(e) == ControlKind::Form) FocusShownForm(e.window);
}

void SetEnabled(const Obj& o, Int32 flag, Here here) {
    const ObjectEntry& e = Live(o, here);
    if (flag != -1 && flag != 0) RaiseError(5, here);
    P().SetEnabled(e.window, flag == -1);
}

void SetFontSize(const Obj& o, Single size, Here here) {
    const ObjectEntry& e = Live(o, here);
    FontSpec f = P().Font(e.window);
    f.size = StoreInt16(size, here);
    f.unit = FontUnit::Pixels;
    P().SetFont(e.window, f);
}

void SetFontName(const Obj& o, const Text& face, Here here) {
    const ObjectEntry& e = Live(o, here);
    if (face.size() > 31) RaiseError(5, here);
    FontSpec f = P().Font(e.window);
    f.face = face.bytes();
    P().SetFont(e.window, f);
}

void SetCheck(const Obj& o, Int32 state, Here here) {
    WinHandle w = Require(o, here, ControlKind::CheckBox, ControlKind::OptionButton, ControlKind::BitmapButton);
    if (state < 0 || state > 2) RaiseError(5, here);
    P().SetCheck(w, state);
}

Int32 GetCheck(const Obj& o, Here here) {
    WinHandle w = Require(o, here, ControlKind::CheckBox, ControlKind::OptionButton, ControlKind::BitmapButton);
    return P().GetCheck(w);
}

void ListAdd(const Obj& o, const Text& item, Here here) {
    const ObjectEntry& e = Live(o, here);
    ControlKind k = KindOf(e);
    if (k != ControlKind::ListBox && k != ControlKind::ComboBox) RaiseError(1002, here);
    if (P().ListAdd(e.window, item.bytes()) < 0) RaiseError(k == ControlKind::ListBox ? 1016 : 1017, here);
}

void ListClear(const Obj& o, Here here) { P().ListClear(Require(o, here, ControlKind::ListBox, ControlKind::ComboBox)); }
Int32 ListCount(const Obj& o, Here here) { return P().ListCount(Require(o, here, ControlKind::ListBox, ControlKind::ComboBox)); }
Int32 ListIndex(const Obj& o, Here here) { return P().ListCurSel(Require(o, here, ControlKind::ListBox, ControlKind::ComboBox)); }

void ListSetTop(const Obj& o, Int32 index, Here here) {
    P().ListSetTop(Require(o, here, ControlKind::ListBox, ControlKind::ComboBox), index);
}

Int32 ListSelCount(const Obj& o, Here here) {
    WinHandle w = Require(o, here, ControlKind::ListBox);
    int n = 0, count = P().ListCount(w);
    for (int i = 0; i < count; ++i) n += P().ListIsSelected(w, i) ? 1 : 0;
    return n;
}

Int32 ListIsSelected(const Obj& o, Int32 index, Here here) {
    WinHandle w = Require(o, here, ControlKind::ListBox);
    return P().ListIsSelected(w, index) ? -1 : 0;
}

void ScrollSetRange(const Obj& o, Int32 min, Int32 max, Here here) {
    P().SetScrollRange(Require(o, here, ControlKind::HScroll, ControlKind::VScroll), min, max);
}

void ScrollSetSteps(const Obj& o, Int32 line, Int32 page, Here here) {
    WinHandle w = Require(o, here, ControlKind::HScroll, ControlKind::VScroll);
    ControlRecord* rec = RecordOf(w);
    rec->lineStep = line;
    rec->pageStep = page;
}

void ScrollSetPos(const Obj& o, Int32 pos, Here here) {
    P().SetScrollPos(Require(o, here, ControlKind::HScroll, ControlKind::VScroll), pos);
}

Int32 ScrollGetPos(const Obj& o, Here here) {
    return P().ScrollPos(Require(o, here, ControlKind::HScroll, ControlKind::VScroll));
}

void EditSetSel(const Obj& o, Int32 start, Int32 end, Int32 scroll, Here here) {
    WinHandle w = Require(o, here, ControlKind::Edit, ControlKind::ComboBox);
    if (start < -1 || end < -1) RaiseError(5, here);
    P().SetEditSel(w, start, end);
    if (scroll) P().ScrollCaret(w);
}

Text EditSelText(const Obj& o, Here here) {
    WinHandle w = Require(o, here, ControlKind::Edit, ControlKind::ComboBox);
    auto [s, e] = P().EditSel(w);
    std::string text = P().GetText(w);
    if (e <= s) return Text();
    return Text(text.substr(static_cast<size_t>(s), static_cast<size_t>(e - s)));
}

void SetMaxLength(const Obj& o, Int32 n, Here here) {
    WinHandle w = Require(o, here, ControlKind::Edit, ControlKind::ComboBox);
    if (n < 0) RaiseError(5, here);
    P().SetMaxLength(w, n);
}

void SetImeMode(const Obj& o, Int32 mode, Here here) {
    const ObjectEntry& e = Live(o, here);
    ControlKind k = KindOf(e);
    if (k != ControlKind::Edit && k != ControlKind::ComboBox && k != ControlKind::Form) RaiseError(1002, here);
    if (mode < 0 || mode > 7 || (mode == 3 && k == ControlKind::Form)) RaiseError(5, here);
    P().SetImeMode(e.window, mode);
}


void SetEnterButton(const Obj& box, const Obj& button, Here here) {
    const WinHandle b = Require(box, here, ControlKind::Edit, ControlKind::ComboBox);
    const WinHandle target = Require(button, here, ControlKind::PushButton);
    RecordOf(b)->enterClicks = target;
}

void SetSpokenName(const Obj& o, const Text& name, Here here) { P().SetSpokenName(Live(o, here).window, name.bytes()); }

void SetSpokenDescription(const Obj& o, const Text& description, Here here) {
    P().SetSpokenDescription(Live(o, here).window, description.bytes());
}

void WatchFigures(const std::vector<const Obj*>& labels, const std::vector<const Obj*>& onReturn, Here here) {
    g.watchedFigures.clear();
    for (const Obj* o : labels) {
        const WinHandle w = Require(*o, here, ControlKind::Label);
        const FormRecord* form = FormOf(w);
        const bool shown = form && P().IsVisible(form->windows[0].window);
        const bool back = std::find(onReturn.begin(), onReturn.end(), o) != onReturn.end();
        g.watchedFigures.push_back({w, P().GetText(w), shown, back, shown});
    }
}

namespace {

// The digit at `i` of a Shift-JIS text, half or full width, and how many bytes it takes; 0 bytes
// for anything else.
std::pair<char, size_t> DigitAt(std::string_view sjis, size_t i) {
    const auto c = i < sjis.size() ? static_cast<unsigned char>(sjis[i]) : 0;
    const auto next = i + 1 < sjis.size() ? static_cast<unsigned char>(sjis[i + 1]) : 0;
    if (c >= '0' && c <= '9') return {static_cast<char>(c), 1};
    if (c == 0x82 && next >= 0x4F && next <= 0x58) return {static_cast<char>('0' + (next - 0x4F)), 2};
    return {0, 0};
}

// A figure's text as a customer hears it: its digits half-width, and without the commas, of
// either width, that group them. The program writes one amount as 「２,０５０円」 in one refresh
// and as 「2050円」 in the next, which changes nothing a customer hears.
std::string FigureWords(std::string_view sjis) {
    std::string plain;
    for (size_t i = 0; i < sjis.size();) {
        if (const auto [digit, length] = DigitAt(sjis, i); length) {
            plain += digit;
            i += length;
            continue;
        }
        const auto c = static_cast<unsigned char>(sjis[i]);
        const size_t length = IsLeadByte(c) && i + 1 < sjis.size() ? 2 : 1;
        const bool comma = sjis.substr(i, length) == "," || sjis.substr(i, length) == "，";
        const bool afterDigit = !plain.empty() && plain.back() >= '0' && plain.back() <= '9';
        if (!(comma && afterDigit && DigitAt(sjis, i + length).second)) plain.append(sjis.substr(i, length));
        i += length;
    }
    return plain;
}

}  // namespace

void SpeakChangedFigures() {
    if (g.watchedFigures.empty()) return;
    Platform& p = P();
    std::vector<WinHandle> changed;
    for (State::WatchedFigure& f : g.watchedFigures) {
        const FormRecord* form = FormOf(f.label);
        if (!form || !p.Exists(f.label)) continue;
        // A change made while the screen was in front; one made while it was away only for a
        // figure watched on return, against what it showed when the customer last had it (a
        // screen's first showing has nothing to compare with). Other screens coming to the front
        // are announced with their window, and their figures are there to be read.
        const bool inFront = p.IsVisible(form->windows[0].window);
        const bool cameBack = inFront && !f.inFront;
        f.inFront = inFront;
        if (!inFront) {
            if (!f.onReturn) f.told = p.GetText(f.label);
            continue;
        }
        std::string now = p.GetText(f.label);
        if ((!cameBack || (f.onReturn && f.seen)) && FigureWords(now) != FigureWords(f.told)) changed.push_back(f.label);
        f.told = std::move(now);
        f.seen = true;
    }
    if (!changed.empty()) p.SpeakFigures(changed);
}
