#include "tools/formc/form_source.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using rt::ControlKind;

// Sources are UTF-8; what the compiler makes of them, and the expected values here, Shift-JIS.
std::string Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

constexpr const char* kHead = "form F\nsize 100 50\nstyle 0x00c00115\n";

// A source the compiler refuses: the line it names and a part of the reason (UTF-8).
struct Refused {
    const char* name;
    std::string source;
    int line;
    const char* reason;
};

std::ostream& operator<<(std::ostream& os, const Refused& r) { return os << r.name; }

class RefusedSource : public testing::TestWithParam<Refused> {};

TEST_P(RefusedSource, NamesFileLineAndReason) {
    const Refused& r = GetParam();
    formc::SourceResult result = formc::ParseFormSource(r.source, "F.form");
    ASSERT_TRUE(result.error.has_value());
    EXPECT_FALSE(result.form.has_value());
    EXPECT_EQ(result.error->file, "F.form");
    EXPECT_EQ(result.error->line, r.line);
    EXPECT_NE(result.error->reason.find(r.reason), std::string::npos) << result.error->reason;
    EXPECT_EQ(result.error->Describe().rfind("F.form:" + std::to_string(r.line) + ": ", 0), 0u);
}

const std::string kButton = "control B button\nat 1 2\nsize 3 4\nstyle 0x50010000\n";

INSTANTIATE_TEST_SUITE_P(Compiler, RefusedSource,
    testing::Values(
        Refused{"NoFormFirst", "control B button\n", 1, "form NAME"},
        Refused{"SecondForm", std::string(kHead) + "form G\n", 4, "one form"},
        Refused{"UnknownKey", std::string(kHead) + kButton + "colour 3\n", 8, "unknown key"},
        Refused{"KeyTwice", std::string(kHead) + kButton + "text \"a\"\ntext \"b\"\n", 9, "twice"},
        Refused{"TextOnAList", std::string(kHead) + "control L list\ntext \"a\"\n", 5, "does not apply"},
        Refused{"ScrollRangeOnAButton", std::string(kHead) + kButton + "range 0 9\n", 8, "does not apply"},
        Refused{"TextOutsideShiftJis", std::string(kHead) + kButton + "text \"\xE2\x82\xAC\"\n", 8, "Shift-JIS"},
        Refused{"NameOf22Bytes", std::string(kHead) + "control ABCDEFGHIJKLMNOPQRSTUV label\n", 4, "21 bytes"},
        Refused{"DuplicateNameInOtherCase", std::string(kHead) + kButton + "control b label\n", 8, "second control"},
        Refused{"UnknownKind", std::string(kHead) + "control B knob\n", 4, "unknown control kind"},
        Refused{"ControlWithoutPosition", std::string(kHead) + "control B button\nsize 3 4\nstyle 0\n", 4, "no position"},
        Refused{"FormWithoutSize", "form F\nstyle 0\n", 1, "has no size"},
        Refused{"PlacementFour", std::string(kHead) + "placement 4\n", 4, "from 0 to 3"},
        Refused{"NotANumber", std::string(kHead) + kButton + "exstyle 0x2g\n", 8, "not a number"},
        Refused{"ColourWithoutHash", std::string(kHead) + kButton + "textcolour FF00FF\n", 8, "#RRGGBB"},
        Refused{"UnclosedQuote", std::string(kHead) + kButton + "text \"abc\n", 8, "closing quote"},
        Refused{"RoutineNotAmongTheEvents", std::string(kHead) + kButton + "routine B_CLICK\n", 8, "not among the events"},
        Refused{"UnknownEventSuffix", std::string(kHead) + kButton + "events _PRESS\n", 8, "unknown event suffix"},
        Refused{"FaceOf32Bytes", std::string(kHead) + "font 9 \"" + std::string(32, 'f') + "\"\n", 4, "31 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

// What a source leaves out is the common value of the program's forms.
TEST(FormSource, OmittedValuesAreTheCommonOnes) {
    std::string source = std::string("// a form\r\n") + kHead + Utf8(u8"text \"画面\"   // caption\r\n") +
                         kButton + "\ncontrol S hscroll\nat 0 0\nsize 9 9\nstyle 0\n";
    formc::SourceResult result = formc::ParseFormSource(source, "F.form");
    ASSERT_FALSE(result.error.has_value()) << result.error->Describe();
    const rt::FormDescription& f = *result.form;
    EXPECT_EQ(f.className, "F");
    EXPECT_EQ(f.form.text, "画面");
    EXPECT_EQ(f.form.placement, 0);
    EXPECT_EQ(f.form.mappingMode, 1);
    EXPECT_EQ(f.form.backColourIndex, 15);
    EXPECT_EQ(f.form.fontFace, "FixedSys");
    EXPECT_EQ(f.form.charset, 128);
    EXPECT_EQ(f.form.events.size(), 14u);
    ASSERT_EQ(f.controls.size(), 2u);
    const rt::WindowDescription& b = f.controls[0];
    EXPECT_EQ(b.text, "");
    EXPECT_EQ(b.fontSize, 10);
    EXPECT_EQ(b.fontFace, "ＭＳ Ｐゴシック");
    EXPECT_EQ(b.charset, 1);
    EXPECT_EQ(b.textColour, 0x000000u);
    EXPECT_EQ(b.backColour, 0xFFFFFFu);
    // A scroll bar takes no caption and no text colour, and is always a child window.
    const rt::WindowDescription& s = f.controls[1];
    EXPECT_EQ(s.style, 0x40000000u);
    EXPECT_FALSE(s.text.has_value());
    EXPECT_FALSE(s.textColour.has_value());
    EXPECT_EQ(s.backColour, 0xFFFFFFu);
    ASSERT_EQ(s.events.size(), 1u);
    EXPECT_EQ(s.events[0].id, 102);
    EXPECT_EQ(s.events[0].routine, "S_CHANGE");
}

TEST(FormSource, GivenValuesReplaceTheCommonOnes) {
    std::string source = std::string(kHead) + kButton +
                         "text \"say \\\"hi\\\" \\\\\"\n" + Utf8(u8"font 11 \"ＭＳ ゴシック\" 128 49\n") +
                         "textcolour #123456\nbackcolour #FFFF00\nexstyle 0x200\nevents _ON _CLICK\n"
                         "control L list\nat -4 5\nsize 6 7\nstyle 0x50a10001\nitem \"one\"\n" + Utf8(u8"item \"二\"\n") + "events none\n";
    formc::SourceResult result = formc::ParseFormSource(source, "F.form");
    ASSERT_FALSE(result.error.has_value()) << result.error->Describe();
    const rt::WindowDescription& b = result.form->controls[0];
    EXPECT_EQ(b.text, "say \"hi\" \\");
    EXPECT_EQ(b.fontSize, 11);
    EXPECT_EQ(b.fontFace, "ＭＳ ゴシック");
    EXPECT_EQ(b.charset, 128);
    EXPECT_EQ(b.pitchAndFamily, 49);
    EXPECT_EQ(b.textColour, 0x00563412u);
    EXPECT_EQ(b.backColour, 0x0000FFFFu);
    EXPECT_EQ(b.exStyle, 0x200u);
    ASSERT_EQ(b.events.size(), 2u);
    EXPECT_EQ(b.events[1].id, 108);
    EXPECT_EQ(b.events[1].routine, "B_CLICK");
    const rt::WindowDescription& l = result.form->controls[1];
    EXPECT_EQ(l.geometry, (rt::Rect{-4, 5, 6, 7}));
    EXPECT_EQ(l.items, "one\r\n二");
    EXPECT_FALSE(l.eventsRecorded);
}

}  // namespace
