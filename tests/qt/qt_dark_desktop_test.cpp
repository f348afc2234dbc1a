// The forms on a dark desktop: their controls are drawn as on a light one, in the forms' own
// light palette, while the desktop's own windows over them (a message box) keep the desktop's.
#include <QApplication>
#include <QImage>

#include <memory>
#include <vector>

#include "app/forms/controls.h"
#include "tests/qt/qt_test_support.h"
#include "tests/screens/program_run.h"
#include "tests/support/user_input.h"

namespace {

// As a dark colour scheme gives it to Qt programs (the colours of a common "darker" scheme).
QPalette DarkDesktop() {
    QPalette dark(QColor(0x42, 0x42, 0x45), QColor(0x22, 0x20, 0x20));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, Qt::white);
    dark.setColor(QPalette::Base, QColor(0x3D, 0x3D, 0x3D));
    return dark;
}

struct Drawn {
    std::vector<QImage> controls;  // as kControls lists them
    QColor messageBox;             // the window colour of a message box the program shows
};

// An unchecked check box and option button and a button on the title screen, a button and the
// coupon box on the main screen.
const Obj* const kControls[] = {&CHECK1, &RADIO2, &BUTTON12, &BUTTON1, &COMBO1};

Drawn DrawOnDesktop(const QPalette& desktop) {
    const QPalette before = QApplication::palette();
    QApplication::setPalette(desktop);
    const std::unique_ptr<UserInput> user = Backends().front().make();
    auto& platform = static_cast<rt::QtPlatform&>(user->platform());
    StartProgramForTest(platform);
    user->Settle();
    Drawn drawn;
    for (const Obj* control : kControls) drawn.controls.push_back(platform.Widget(rt::WindowOf(*control))->grab().toImage());
    kvtest::WithModalSteps({[&](QWidget* box) {
                               drawn.messageBox = box->palette().color(QPalette::Window);
                               box->close();
                               return true;
                           }},
                           [&] {
                               platform.MessageBox(rt::WindowOf(MAINFORM), "t", "x", rt::MessageButtons::Ok,
                                                   rt::MessageIcon::Information);
                           });
    EndProgramForTest();
    QApplication::setPalette(before);
    return drawn;
}

TEST(DarkDesktop, TheFormsControlsLookAsOnALightDesktopAndTheDesktopsWindowsFollowIt) {
    const Drawn light = DrawOnDesktop(QApplication::palette());
    const Drawn dark = DrawOnDesktop(DarkDesktop());
    for (size_t i = 0; i < std::size(kControls); ++i) {
        EXPECT_EQ(dark.controls[i], light.controls[i]) << "control " << i << " differs on a dark desktop";
        // Inside a check box's or option button's indicator, on a button's face, in the coupon
        // box (whose caret blinks at its left).
        const QImage& shot = dark.controls[i];
        const QPoint inside = i < 2 ? QPoint(6, shot.height() / 2) : QPoint(i < 4 ? 4 : shot.width() / 2, shot.height() / 2);
        EXPECT_GT(shot.pixelColor(inside).lightness(), 200) << "control " << i << " is drawn dark";
    }
    EXPECT_EQ(dark.messageBox, DarkDesktop().color(QPalette::Window));
    EXPECT_NE(light.messageBox, dark.messageBox);
}

}  // namespace
