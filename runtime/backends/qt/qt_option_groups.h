#pragma once
// Option buttons form groups as a user sees them: the buttons inside one group box are one
// choice. The forms create every option button as a sibling of the group boxes (and before
// them), so the window system's own rule, a run of siblings starting at a WS_GROUP style, would
// make the book type and the course of the title entry screen a single five-way choice.
#include <vector>

#include "runtime/backends/platform.h"

namespace rt::qt {

inline constexpr int kFormGroup = -1;

// For each option button, the index of the group box that holds the centre of its rectangle
// (the smallest such box when boxes are nested), or kFormGroup when none does.
std::vector<int> GroupOptionButtons(const std::vector<Rect>& options, const std::vector<Rect>& groupBoxes);

}  // namespace rt::qt
