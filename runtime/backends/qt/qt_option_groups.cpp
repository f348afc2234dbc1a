// Which group box each option button belongs to, found from where the button's centre lies, so that
// each group box is one choice.
#include "runtime/backends/qt/qt_option_groups.h"

#include <cstdint>

namespace rt::qt {

std::vector<int> GroupOptionButtons(const std::vector<Rect>& options, const std::vector<Rect>& groupBoxes) {
    std::vector<int> groups;
    groups.reserve(options.size());
    for (const Rect& option : options) {
        // Twice the centre, so that odd sizes need no rounding.
        const int64_t cx = 2 * int64_t{option.x} + option.width;
        const int64_t cy = 2 * int64_t{option.y} + option.height;
        int best = kFormGroup;
        int64_t bestArea = 0;
        for (size_t i = 0; i < groupBoxes.size(); ++i) {
            const Rect& box = groupBoxes[i];
            const bool inside = cx >= 2 * int64_t{box.x} && cx < 2 * (int64_t{box.x} + box.width) &&
                                cy >= 2 * int64_t{box.y} && cy < 2 * (int64_t{box.y} + box.height);
            const int64_t area = int64_t{box.width} * box.height;
            if (inside && (best == kFormGroup || area < bestArea)) {
                best = static_cast<int>(i);
                bestArea = area;
            }
        }
        groups.push_back(best);
    }
    return groups;
}

}  // namespace rt::qt
