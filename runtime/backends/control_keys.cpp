// The keys a scroll bar and a list box handle themselves, worked out once for every back end: the
// scroll action a key stands for, and the line a key moves a list's selection to.
#include "runtime/backends/control_keys.h"

#include <algorithm>

namespace rt {

std::optional<ScrollKeyMove> ScrollBarKey(Key key, bool horizontal, int min, int max) {
    const Key raise = horizontal ? Key::Right : Key::Down;
    const Key raiseToo = horizontal ? Key::Up : Key::Right;
    const Key lower = horizontal ? Key::Left : Key::Up;
    const Key lowerToo = horizontal ? Key::Down : Key::Left;
    const Key pageRaise = horizontal ? Key::PageUp : Key::PageDown;
    const Key pageLower = horizontal ? Key::PageDown : Key::PageUp;
    if (key == raise || key == raiseToo) return ScrollKeyMove{ScrollAction::LineRight};
    if (key == lower || key == lowerToo) return ScrollKeyMove{ScrollAction::LineLeft};
    if (key == pageRaise) return ScrollKeyMove{ScrollAction::PageRight};
    if (key == pageLower) return ScrollKeyMove{ScrollAction::PageLeft};
    if (key == Key::Home) return ScrollKeyMove{ScrollAction::ThumbPosition, std::min(min, max)};
    if (key == Key::End) return ScrollKeyMove{ScrollAction::ThumbPosition, std::max(min, max)};
    return std::nullopt;
}

std::optional<int> ListKeyTarget(Key key, int current, int count, int pageRows) {
    if (count <= 0) return std::nullopt;
    const int page = std::max(pageRows, 1);
    int target = 0;
    switch (key) {
        case Key::Down: target = current < 0 ? 0 : current + 1; break;
        case Key::Up: target = current < 0 ? 0 : current - 1; break;
        case Key::PageDown: target = current < 0 ? 0 : current + page; break;
        case Key::PageUp: target = current < 0 ? 0 : current - page; break;
        case Key::Home: target = 0; break;
        case Key::End: target = count - 1; break;
        default: return std::nullopt;
    }
    return std::clamp(target, 0, count - 1);
}

}  // namespace rt
