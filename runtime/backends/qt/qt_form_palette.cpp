// The forms keep their own fixed colours (white backgrounds, black texts, the yellow of the
// totals), drawn for a light desktop. Their controls are drawn in one light palette to match:
// on a dark desktop an unchecked check box in the desktop's palette is a dark filled square on a
// white form, and looks checked.
#include "runtime/backends/qt/qt_form_palette.h"

#include <QStyle>
#include <QStyleFactory>

#include <memory>

namespace rt::qt {

const QPalette& FormPalette() {
    static const QPalette palette = [] {
        // The light palette of Qt's own style, which is also what a desktop without a colour
        // scheme of its own gives: on a light desktop the forms look as they always did.
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette light = fusion ? fusion->standardPalette() : QPalette(QColor(0xEF, 0xEF, 0xEF));
        for (int group = 0; group < QPalette::NColorGroups; ++group) {
            for (int role = 0; role < QPalette::NColorRoles; ++role) {
                const auto g = static_cast<QPalette::ColorGroup>(group);
                const auto r = static_cast<QPalette::ColorRole>(role);
                light.setBrush(g, r, light.brush(g, r));  // set, so the desktop's is never taken
            }
        }
        return light;
    }();
    return palette;
}

}  // namespace rt::qt
