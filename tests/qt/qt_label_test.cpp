// Wrapped label texts stay inside their box: the comic notice of the entry screen, four lines
// in a label four character heights tall.
#include <gtest/gtest.h>

#include <QFontMetricsF>

#include "runtime/backends/qt/qt_widgets.h"
#include "tests/qt/qt_test_support.h"

namespace rt::qt {
namespace {

using kvtest::Q;

QFont Gothic(int pixels) {
    QFont font;
    font.setFamilies({QStringLiteral("IPAPGothic")});
    font.setPixelSize(pixels);
    return font;
}

const char8_t kNotice[] = u8"コンビニ等で売られている、カバー表紙が無く、直接ＩＳＢＮバーコードが裏表紙に印刷されている"
                          u8"コミックについては取り扱っておりません。";

TEST(WrappedLabel, ATextTooTallForItsBoxIsSetAtTheCharacterHeight) {
    QTextLayout layout(Q(kNotice));
    const WrappedText wrapped = LayOutWrapped(layout, Gothic(20), Qt::AlignLeft, 360, 80);
    ASSERT_EQ(wrapped.lines.size(), 4u);
    ASSERT_GT(QFontMetricsF(Gothic(20)).lineSpacing() * 4, 80);  // the face's own spacing would not fit
    EXPECT_EQ(wrapped.spacing, 20);
    EXPECT_LE(wrapped.lines.back().y() + wrapped.spacing, 80);
    // Every character is on one of the lines.
    EXPECT_EQ(wrapped.lines.back().textStart() + wrapped.lines.back().textLength(), Q(kNotice).size());
}

TEST(WrappedLabel, ATextThatFitsKeepsTheFacesOwnSpacing) {
    QTextLayout layout(Q(kNotice));
    const WrappedText wrapped = LayOutWrapped(layout, Gothic(20), Qt::AlignLeft, 360, 120);
    EXPECT_EQ(wrapped.spacing, QFontMetricsF(Gothic(20)).lineSpacing());
    EXPECT_EQ(wrapped.lines[1].y(), wrapped.spacing);
}

}  // namespace
}  // namespace rt::qt
