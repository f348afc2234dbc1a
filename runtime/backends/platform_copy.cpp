// A headless run's windows made again on another back end, parents before their controls, so that a
// scripted run can be drawn by the real window system.
#include "runtime/backends/platform_copy.h"

namespace rt {

std::map<WinHandle, WinHandle> CopyWindows(const HeadlessPlatform& from, Platform& to) {
    std::map<WinHandle, WinHandle> map;
    for (WinHandle h : from.Windows()) {
        const HeadlessPlatform::Window& w = from.Get(h);
        WindowSpec params = w.params;
        if (params.parent) params.parent = map.at(params.parent);
        WinHandle c = to.Create(params);
        map[h] = c;
        to.SetGeometry(c, w.rect);
        if (!w.font.face.empty() || w.font.size) to.SetFont(c, w.font);
        to.SetColours(c, w.textColour, w.backColour);
        if (w.maxLength) to.SetMaxLength(c, w.maxLength);
        if (w.ime) to.SetImeMode(c, w.ime);
        switch (params.kind) {
            case ControlKind::ListBox:
            case ControlKind::ComboBox:
                for (const std::string& item : w.items) to.ListAdd(c, item);
                for (size_t i = 0; i < w.selected.size(); ++i)
                    if (w.selected[i]) to.ListSetSelected(c, static_cast<int>(i), true);
                if (!(params.style & style::kLbsMultipleSel) || params.kind == ControlKind::ComboBox)
                    to.ListSetCurSel(c, w.curSel);
                if (params.kind == ControlKind::ComboBox) to.SetText(c, w.text);
                to.ListSetTop(c, w.top);
                break;
            case ControlKind::HScroll:
            case ControlKind::VScroll:
                to.SetScrollRange(c, w.scrollMin, w.scrollMax);
                to.SetScrollPos(c, w.scrollPos);
                break;
            case ControlKind::OptionButton:
            case ControlKind::CheckBox:
            case ControlKind::BitmapButton:
                to.SetText(c, w.text);
                to.SetCheck(c, w.check);
                break;
            default:
                to.SetText(c, w.text);
                break;
        }
        to.SetEnabled(c, w.enabled);
        to.SetVisible(c, w.visible);
    }
    return map;
}

}  // namespace rt
