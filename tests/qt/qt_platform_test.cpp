// Windows, texts, fonts and colours of the Qt back end, on real widgets.
#include "runtime/backends/qt/qt_platform.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPlainTextDocumentLayout>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdlib>

#include "runtime/backends/qt/qt_text.h"
#include "tests/qt/qt_test_support.h"

namespace {

using kvtest::Q;
using rt::ControlKind;
using rt::FontUnit;
using rt::Rect;

using QtWindows = kvtest::FormFixture;

TEST_F(QtWindows, PlaceControlsInTheClientAreaAndFormsOnTheDesktop) {
    EXPECT_EQ(platform.Geometry(edit1), (Rect{88, 16, 536, 24}));
    EXPECT_EQ(W(edit1)->geometry(), QRect(88, 16, 536, 24));
    EXPECT_EQ(platform.Geometry(form), (Rect{40, 30, 646, 480}));
    EXPECT_EQ(W(form)->size(), QSize(646, 480));  // the client area; the frame is extra
    // A drop-down combo box is one line high; the rest of its rectangle is for its list.
    EXPECT_EQ(platform.Geometry(combo1), (Rect{24, 300, 104, 85}));
    EXPECT_LT(W(combo1)->height(), 40);
    EXPECT_GE(static_cast<QComboBox*>(W(combo1))->maxVisibleItems(), 2);
    const Rect desktop = platform.Desktop();
    EXPECT_GT(desktop.width, 0);
    EXPECT_GT(desktop.height, 0);
}

TEST_F(QtWindows, KeepTheirOwnVisibleAndEnabledFlags) {
    // The form is hidden, yet its controls keep the flag their style gave them.
    EXPECT_FALSE(platform.IsVisible(form));
    EXPECT_TRUE(platform.IsVisible(radio3));
    EXPECT_FALSE(platform.IsVisible(radio4));
    Show();
    EXPECT_TRUE(platform.IsVisible(form));
    EXPECT_TRUE(W(radio3)->isVisible());
    EXPECT_FALSE(W(radio4)->isVisible());
    platform.SetVisible(radio4, true);
    EXPECT_TRUE(W(radio4)->isVisible());
    platform.SetEnabled(form, false);
    EXPECT_FALSE(platform.IsEnabled(form));
    EXPECT_TRUE(platform.IsEnabled(edit1));  // its own flag, though it cannot be used now
    EXPECT_FALSE(W(edit1)->isEnabled());
    EXPECT_FALSE(platform.IsEnabled(platform.Create(kvtest::WindowParams(ControlKind::PushButton, form, 0x58010000))));
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(QtWindows, ShowJapaneseTextsAndGiveTheSameBytesBack) {
    platform.SetText(text38, "１０，０００円");
    EXPECT_EQ(static_cast<QLabel*>(W(text38))->text(), Q(u8"１０，０００円"));
    EXPECT_EQ(platform.GetText(text38), "１０，０００円");
    EXPECT_EQ(static_cast<QAbstractButton*>(W(radio2))->text(), Q(u8"コンビニ版"));
    EXPECT_EQ(static_cast<QGroupBox*>(W(group1))->title(), Q(u8"本の種別"));
    EXPECT_EQ(W(form)->windowTitle(), QStringLiteral("FORM3"));
    // Bytes that are no Shift-JIS text still come back as they were set.
    platform.SetText(text38, "\x81\x20\xFF");
    EXPECT_EQ(platform.GetText(text38), "\x81\x20\xFF");
}

TEST_F(QtWindows, ShowByte5CAsTheYenSignAndTakeItBack) {
    platform.SetText(edit1, "ソ表\x5C" "1,400");
    EXPECT_EQ(static_cast<QLineEdit*>(W(edit1))->text(), Q(u8"ソ表¥1,400"));
    static_cast<QLineEdit*>(W(edit1))->setText(Q(u8"¥500 and \\600"));  // as if typed
    EXPECT_EQ(platform.GetText(edit1), "\x5C" "500 and \x5C" "600");
}

TEST_F(QtWindows, MultiLineBoxesBreakLinesAtCrLf) {
    platform.SetText(edit6, "一行目\r\n二行目\r\n");
    EXPECT_EQ(static_cast<QPlainTextEdit*>(W(edit6))->toPlainText(), Q(u8"一行目\n二行目\n"));
    EXPECT_EQ(platform.GetText(edit6), "一行目\r\n二行目\r\n");
}

TEST_F(QtWindows, SelectionsCountShiftJisBytes) {
    platform.SetText(edit6, "ab\r\nあい\r\n");
    platform.SetEditSel(edit6, 4, 8);  // "あい"
    EXPECT_EQ(static_cast<QPlainTextEdit*>(W(edit6))->textCursor().selectedText(), Q(u8"あい"));
    EXPECT_EQ(platform.EditSel(edit6), std::make_pair(4, 8));
    platform.SetEditSel(edit6, 0, -1);
    EXPECT_EQ(platform.EditSel(edit6), std::make_pair(0, 10));
    platform.SetText(edit1, "価格\x5C" "12");
    platform.SetEditSel(edit1, 4, 6);
    EXPECT_EQ(static_cast<QLineEdit*>(W(edit1))->selectedText(), Q(u8"¥1"));
    EXPECT_EQ(platform.EditSel(edit1), std::make_pair(4, 6));
    platform.SetEditSel(edit1, -1, 0);
    EXPECT_FALSE(static_cast<QLineEdit*>(W(edit1))->hasSelectedText());
}

struct FaceCase {
    const char* face;
    const char* family;
};

class FontFaces : public kvtest::FormFixture, public ::testing::WithParamInterface<FaceCase> {};

TEST_P(FontFaces, AreTheIpaFacesOfTheSameDesign) {
    platform.SetFont(text38, {GetParam().face, 14, FontUnit::Pixels});
    EXPECT_EQ(QFontInfo(W(text38)->font()).family(), QString::fromLatin1(GetParam().family));
}

INSTANTIATE_TEST_SUITE_P(Faces, FontFaces,
                         ::testing::Values(FaceCase{"ＭＳ Ｐゴシック", "IPAPGothic"}, FaceCase{"ＭＳ ゴシック", "IPAGothic"},
                                           FaceCase{"ＭＳ 明朝", "IPAMincho"}, FaceCase{"ＭＳ Ｐ明朝", "IPAPMincho"},
                                           FaceCase{"FixedSys", "IPAGothic"}, FaceCase{"MS Pゴシック", "IPAPGothic"}));

TEST_F(QtWindows, FontSizesArePointsOrPixelsAsGiven) {
    platform.SetFont(text38, {"ＭＳ Ｐゴシック", 16, FontUnit::Points, 700});
    EXPECT_EQ(W(text38)->font().pointSize(), 16);
    EXPECT_TRUE(W(text38)->font().bold());
    platform.SetFont(text38, {"ＭＳ Ｐゴシック", 22, FontUnit::Pixels});
    EXPECT_EQ(W(text38)->font().pixelSize(), 22);
    EXPECT_EQ(QFontInfo(W(text38)->font()).pixelSize(), 22);
    EXPECT_FALSE(W(text38)->font().bold());
    // The window layer reads the font back to change its size only.
    EXPECT_EQ(platform.Font(text38), (rt::FontSpec{"ＭＳ Ｐゴシック", 22, FontUnit::Pixels}));
}

// Where each character of a line starts, in half-width cells from the line's start.
std::vector<double> CellsOf(QPlainTextEdit* edit, int blockNumber, double cell) {
    const QTextBlock block = edit->document()->findBlockByNumber(blockNumber);
    auto* layout = static_cast<QPlainTextDocumentLayout*>(edit->document()->documentLayout());
    layout->blockBoundingRect(block);  // lays the block out
    const QTextLine line = block.layout()->lineAt(0);
    std::vector<double> cells;
    for (int i = 0; i <= block.length() - 1; ++i) cells.push_back((line.cursorToX(i) - line.cursorToX(0)) / cell);
    return cells;
}

class ByteColumns : public kvtest::FormFixture, public ::testing::WithParamInterface<rt::FontSpec> {};

// The fee statements are tables aligned by counting bytes: a full-width character must take
// exactly two half-width cells, a yen sign (0x5C) one, whatever face and size the box has.
TEST_P(ByteColumns, EveryCharacterTakesAsManyCellsAsItHasBytes) {
    platform.SetFont(edit6, GetParam());
    const std::string lines[] = {"1234567890|", "あいう\x5C" "456|", "ｱ×ｲ\x5C" "―890|", "（小計）\x5C" "9|"};
    platform.SetText(edit6, lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n" + lines[3]);
    auto* edit = static_cast<QPlainTextEdit*>(W(edit6));
    const std::vector<double> ascii = CellsOf(edit, 0, 1.0);
    const double cell = ascii.at(10) / 10;
    ASSERT_GT(cell, 3.0);
    for (int n = 0; n < 4; ++n) {
        const QString text = edit->document()->findBlockByNumber(n).text();
        const std::vector<double> cells = CellsOf(edit, n, cell);
        for (int i = 0; i < text.size(); ++i) {
            EXPECT_NEAR(cells.at(static_cast<size_t>(i)), rt::qt::SjisOffsetOf(text, i, rt::qt::LineEnds::AsIs), 0.02)
                << "line " << n << " character " << i;
        }
        EXPECT_NEAR(cells.back(), 11.0, 0.02) << "line " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, ByteColumns,
                         ::testing::Values(rt::FontSpec{"ＭＳ 明朝", 14, FontUnit::Pixels},
                                           rt::FontSpec{"ＭＳ 明朝", 13, FontUnit::Pixels},
                                           rt::FontSpec{"ＭＳ Ｐゴシック", 10, FontUnit::Points},
                                           rt::FontSpec{"FixedSys", 18, FontUnit::Pixels}));

TEST_F(QtWindows, ColourLabelsAndCaptionsButNotPushButtons) {
    const QColor yellow(0xFF, 0xFF, 0x00);
    EXPECT_EQ(W(text38)->palette().color(QPalette::Window), yellow);
    EXPECT_TRUE(W(text38)->autoFillBackground());
    EXPECT_EQ(W(group1)->palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x80));
    platform.SetColours(check1, 0xFF00FF, std::nullopt);  // 0x00BBGGRR
    EXPECT_EQ(W(check1)->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0xFF));
    EXPECT_EQ(W(check1)->palette().color(QPalette::Window), Qt::white);  // kept
    platform.SetColours(button12, 0x0000FF, 0x00FF00);
    EXPECT_EQ(W(button12)->palette(), W(form)->palette());
    // What they paint: the label's whole rectangle in its background colour, the check box's
    // caption in its text colour on white.
    const QImage label = W(text38)->grab().toImage();
    EXPECT_EQ(label.pixelColor(label.width() - 2, label.height() - 2), yellow);
    const QImage check = W(check1)->grab().toImage();
    EXPECT_EQ(check.pixelColor(check.width() - 2, check.height() - 2), QColor(Qt::white));
    int magenta = 0;
    for (int y = 0; y < check.height(); ++y) {
        for (int x = check.width() / 10; x < check.width(); ++x) {
            const QColor c = check.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() > 200) ++magenta;
        }
    }
    EXPECT_GT(magenta, 20);
}

TEST_F(QtWindows, ImeModesSwitchTheInputMethodPerControl) {
    EXPECT_EQ(platform.ImeMode(edit2), 2);
    EXPECT_FALSE(W(edit2)->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(W(edit2)->inputMethodHints() & Qt::ImhDigitsOnly);
    EXPECT_TRUE(W(edit1)->testAttribute(Qt::WA_InputMethodEnabled));
    platform.SetImeMode(combo1, 2);
    auto* comboEdit = static_cast<QComboBox*>(W(combo1))->lineEdit();
    EXPECT_FALSE(comboEdit->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(comboEdit->inputMethodHints() & Qt::ImhLatinOnly);
    platform.SetImeMode(combo1, 0);
    EXPECT_TRUE(comboEdit->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(QtWindows, DestroyTakesTheControlsWithTheForm) {
    QPointer<QWidget> widget = W(edit1);
    platform.Destroy(form);
    EXPECT_FALSE(platform.Exists(form));
    EXPECT_FALSE(platform.Exists(edit1));
    EXPECT_EQ(platform.GetText(edit1), "");
    platform.ProcessPending();
    EXPECT_TRUE(widget.isNull());
}

TEST_F(QtWindows, ScreenshotWritesTheFormAsPng) {
    platform.SetText(edit6, "ｺﾐｯｸ  通常版  \x5C" "1400\r\n写真集  \x5C" "12000");
    platform.ListAdd(list1, "タイトルを追加");
    platform.ListAdd(combo1, "2512310130");
    Show();
    QTemporaryDir dir;
    const QString path = dir.filePath(Q(u8"画面.png"));
    ASSERT_TRUE(platform.Screenshot(form, path.toStdString()));
    const QImage image(path);
    EXPECT_EQ(image.size(), QSize(646, 480));
    if (const char* keep = std::getenv("KALVORO_QT_SCREENSHOT")) image.save(QString::fromLocal8Bit(keep));
    EXPECT_FALSE(platform.Screenshot(9999, path.toStdString()));
}

TEST(QtDisplay, NeedsADisplayOrAChosenPlatform) {
    const char* names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    const QByteArray saved[] = {qgetenv(names[0]), qgetenv(names[1]), qgetenv(names[2])};
    for (const char* name : names) qunsetenv(name);
    std::string why;
    EXPECT_FALSE(rt::QtChooseDisplay(&why));
    EXPECT_NE(why.find("DISPLAY"), std::string::npos) << why;
    qputenv("DISPLAY", ":97");  // no X server there
    EXPECT_FALSE(rt::QtChooseDisplay(&why));
    EXPECT_NE(why.find(":97"), std::string::npos) << why;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EXPECT_TRUE(rt::QtChooseDisplay(&why));
    for (int i = 0; i < 3; ++i) saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
}

}  // namespace
