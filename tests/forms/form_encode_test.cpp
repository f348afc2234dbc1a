#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "runtime/forms/form_resource.h"
#include "tests/forms/form_bytes.h"

namespace {

using formtest::Bytes;
using rt::ControlKind;
using rt::WindowDescription;

// The writer keeps the record order of the program's resources: the form's head in its fixed
// order, its events, the controls inside tag 1, then the show state and the enabled flag.
TEST(EncodeForm, WritesTheRecordsInTheResourcesOrder) {
    rt::FormDescription f;
    f.className = "F";
    f.form.style = 0x00c00115;
    f.form.name = "F";
    f.form.text = "Cap";
    f.form.mappingMode = 1;
    f.form.backColourIndex = 15;
    f.form.systemMenuCopy = 1;
    f.form.fontSize = 18;
    f.form.fontFace = "FixedSys";
    f.form.charset = 128;
    f.form.messages.push_back({0x32, 0, 0});
    f.form.placement = 3;
    f.form.geometry = {281, 418, 646, 460};
    f.form.eventsRecorded = true;
    f.form.events = {{103, "F_START"}};
    f.form.showStateCombine = 1;
    f.form.disabled = 0;
    WindowDescription b;
    b.kind = ControlKind::PushButton;
    b.style = 0x50010000;
    b.name = "B";
    b.text = "終了";
    b.placement = 0;
    b.geometry = {8, 16, 64, 24};
    b.textColour = 0x00FF00FF;
    b.eventsRecorded = true;
    b.events = {{101, "B_ON"}};
    f.controls.push_back(b);

    Bytes expected;
    expected.U16('K' | 'Q' << 8).U16(1).U16(1);
    expected.U16(9).Text("F").Text("").Create(0, 0x00c00115);
    expected.U16(212).U32(0).U16(211).U32(0).U16(37).I16(1).U16(11).Text("Cap").U16(21).Text("F");
    expected.U16(32).I16(15).U16(62).U32(0).U32(0).U16(61).I16(1).U16(70).I16(18);
    expected.U16(76).Text("FixedSys").I16(128).U16(0).U16(300).I32(0x32).I32(0).I32(0);
    expected.U16(159).I32(3).I32(281).I32(418).I32(646).I32(460);
    expected.U16(80).I16(0).I16(103).Text("F_START").I16(2);
    expected.U16(1).Create(3, 0x50010000).U16(21).Text("B").U16(11).Text("終了");
    expected.U16(159).I32(0).I32(8).I32(16).I32(64).I32(24).U16(34).U32(0x00FF00FF);
    expected.U16(80).I16(0).I16(101).Text("B_ON").I16(2).U16(2);
    expected.U16(201).I32(1).U16(14).I16(0).U16(2);
    EXPECT_EQ(rt::EncodeForm(f), expected.bytes());
}

// Every field of a description, one per line, so that a lost or altered field shows by name.
std::string Fields(const WindowDescription& w) {
    std::ostringstream s;
    auto opt = [&](const char* name, const auto& v) {
        s << name << '=';
        if (v) s << *v; else s << '-';
        s << '\n';
    };
    auto pair = [&](const char* name, const auto& v) {
        s << name << '=';
        if (v) s << v->first << ',' << v->second; else s << '-';
        s << '\n';
    };
    s << "kind=" << static_cast<int>(w.kind) << "\nstyle=" << w.style << "\nexStyle=" << w.exStyle
      << "\nname=" << w.name << '\n';
    opt("text", w.text); opt("showState", w.showState); opt("disabled", w.disabled);
    opt("minimized", w.minimized); opt("maximized", w.maximized);
    opt("textColourIndex", w.textColourIndex); opt("foreColourIndex", w.foreColourIndex);
    opt("backColourIndex", w.backColourIndex); opt("textColour", w.textColour); opt("backColour", w.backColour);
    opt("mappingMode", w.mappingMode); opt("redrawMode", w.redrawMode);
    pair("scrollRange", w.scrollRange); pair("scrollSteps", w.scrollSteps);
    opt("systemMenuCopy", w.systemMenuCopy); opt("fontSize", w.fontSize); opt("bold", w.bold);
    opt("italic", w.italic); opt("underline", w.underline); opt("strikeOut", w.strikeOut);
    opt("fontFace", w.fontFace); opt("charset", w.charset); opt("pitchAndFamily", w.pitchAndFamily);
    s << "eventsRecorded=" << w.eventsRecorded << '\n';
    for (const rt::EventBinding& e : w.events) s << "event " << e.id << ' ' << e.routine << '\n';
    opt("axisOrientation", w.axisOrientation); opt("maxLength", w.maxLength); opt("placement", w.placement);
    s << "geometry=" << w.geometry.x << ',' << w.geometry.y << ',' << w.geometry.width << ',' << w.geometry.height << '\n';
    opt("items", w.items); opt("initialValue", w.initialValue); opt("imeMode", w.imeMode);
    opt("showStateCombine", w.showStateCombine);
    for (const auto& m : w.messages) s << "message " << m.message << ' ' << m.wParam << ' ' << m.lParam << '\n';
    return s.str();
}

TEST(EncodeForm, EveryFieldSurvivesDecoding) {
    rt::FormDescription f;
    f.className = "FORMX";
    f.iconName = "APPICON";
    WindowDescription& w = f.form;
    w.style = 0x00cc0115;
    w.exStyle = 0x100;
    w.name = "FORMX";
    w.text = "フォーム";
    w.showState = 0; w.disabled = 1; w.minimized = 1; w.maximized = 0;
    w.textColourIndex = 1; w.foreColourIndex = 2; w.backColourIndex = 15;
    w.mappingMode = 1; w.redrawMode = 1; w.systemMenuCopy = 1; w.axisOrientation = 1;
    w.fontSize = 18; w.bold = 1; w.italic = 0; w.underline = 1; w.strikeOut = 0;
    w.fontFace = "FixedSys"; w.charset = 128; w.pitchAndFamily = 0x31;
    w.placement = 2; w.geometry = {-5, 7, 646, 418};
    w.showStateCombine = 1;
    w.messages = {{0x32, 0, 0}, {0x10, -1, 65536}};
    w.eventsRecorded = true;
    w.events = {{103, "FORMX_START"}, {120, "FORMX_MOUSEWHEEL"}};

    WindowDescription scroll;
    scroll.kind = ControlKind::HScroll;
    scroll.style = 0x50010000;
    scroll.name = "HSCROLL1";
    scroll.backColour = 0x00C0C0C0;
    scroll.scrollRange = {{-10, 32767}};
    scroll.scrollSteps = {{1, 16}};
    scroll.initialValue = 5;
    scroll.placement = 0;
    scroll.geometry = {120, 384, 264, 16};
    WindowDescription combo;
    combo.kind = ControlKind::ComboBox;
    combo.style = 0x50a10202;
    combo.name = "COMBO1";
    combo.textColour = 0x00000000;
    combo.maxLength = 10;
    combo.imeMode = 2;
    combo.items = "一\r\ntwo";
    combo.fontSize = 11;
    combo.fontFace = "ＭＳ ゴシック";  // no character set: written as the face alone
    combo.eventsRecorded = true;
    WindowDescription check;
    check.kind = ControlKind::CheckBox;
    check.name = "CHECK1";
    check.text = "";
    check.initialValue = 1;
    check.showState = 0;
    f.controls = {scroll, combo, check};

    rt::DecodeResult result = rt::DecodeForm(rt::EncodeForm(f));
    ASSERT_FALSE(result.error.has_value()) << result.error->message;
    EXPECT_EQ(result.form->className, f.className);
    EXPECT_EQ(result.form->iconName, f.iconName);
    EXPECT_EQ(Fields(result.form->form), Fields(f.form));
    ASSERT_EQ(result.form->controls.size(), f.controls.size());
    for (size_t i = 0; i < f.controls.size(); ++i)
        EXPECT_EQ(Fields(result.form->controls[i]), Fields(f.controls[i])) << "control " << i;
}

}  // namespace
