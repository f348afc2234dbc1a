#pragma once
// What the keys the controls handle themselves do, the same on every back end: a scroll bar
// reports them as the mouse on its arrows and trough would, a list moves its selection.
#include <optional>

#include "runtime/backends/platform.h"

namespace rt {

// As the desktop's sliders: Right (and Up) raise the position by the line step, Left (and Down)
// lower it; Page Up raises and Page Down lowers it by the page step; Home and End go to the
// ends, as a thumb put there (`pos`). A vertical bar is the other way up, as it scrolls: Down
// and Page Down raise. Nothing for the other keys.
struct ScrollKeyMove {
    ScrollAction action;
    int pos = 0;
};
std::optional<ScrollKeyMove> ScrollBarKey(Key key, bool horizontal, int min, int max);

// The line a key moves a list's selection to, from `current` (−1: none yet, and the first key
// chooses the first line), `pageRows` lines at a time for Page Up and Page Down, clamped to the
// list. Nothing when the list is empty or the key is none of the list's.
std::optional<int> ListKeyTarget(Key key, int current, int count, int pageRows);

}  // namespace rt
