#include <gtest/gtest.h>

#include <string>

#include "runtime/forms/form_resource.h"
#include "tests/forms/form_bytes.h"

namespace {

using formtest::Bytes;
using formtest::MinimalForm;
using rt::ControlKind;

// A record the player refuses, the records ahead of it on its level, and the message box text.
struct Refusal {
    const char* name;
    bool amongControls;
    Bytes before;
    Bytes refused;
    std::string message;
};

std::ostream& operator<<(std::ostream& os, const Refusal& r) { return os << r.name; }

Bytes Control(int32_t kind) { return Bytes().Create(kind, 0x50000000); }

std::vector<Refusal> Refusals() {
    const std::string longAscii(22, 'N');
    const std::string longFace(32, 'f');
    return {
        {"UnknownTagOnTheForm", false, {}, Bytes().U16(500), "未定義のリソーススクリプト 1f4"},
        {"UnknownTagAmongControls", true, Control(3), Bytes().U16(0x63), "未定義のリソーススクリプト 63"},
        {"KindOne", true, {}, Bytes().Create(1), "__CREATE3:無効なウィンドウタイプ 1"},
        {"KindTwo", true, {}, Bytes().Create(2), "__CREATE3:無効なウィンドウタイプ 2"},
        {"KindNineteen", true, {}, Bytes().Create(19), "__CREATE3:無効なウィンドウタイプ 13"},
        {"NegativeKind", true, {}, Bytes().Create(-1), "__CREATE3:無効なウィンドウタイプ ffffffff"},
        {"FormAmongControls", true, {}, Bytes().Create(0), "__CREATE3:無効なウィンドウタイプ 0"},
        {"SecondForm", false, {}, Bytes().Create(0), "__CREATE3:無効なウィンドウタイプ 0"},
        {"TextColourSixteen", false, {}, Bytes().U16(30).I16(16), "__TEXTCOLOR:無効なカラーコード 10"},
        {"ForeColourNegative", false, {}, Bytes().U16(31).I16(-1), "__FORECOLOR:無効なカラーコード ffffffff"},
        {"BackColourSixteen", false, {}, Bytes().U16(32).I16(16), "__BACKCOLOR:無効なカラーコード 10"},
        {"NameOf22Bytes", true, Control(3), Bytes().U16(21).Text(longAscii), "__CONTROLNAME:無効なコントロールID 16"},
        {"NameOf11DoubleByteCharacters", false, {}, Bytes().U16(21).Text("ＡＢＣＤＥＦＧＨＩＪＫ"),
         "__CONTROLNAME:無効なコントロールID 16"},
        {"PlacementFour", false, {}, Bytes().U16(159).I32(4).I32(0).I32(0).I32(10).I32(10),
         "__WINDOWSIZE:無効なウィンドウの位置 4"},
        {"PlacementNegative", true, Control(8), Bytes().U16(159).I32(-1).I32(0).I32(0).I32(10).I32(10),
         "__WINDOWSIZE:無効なウィンドウの位置 ffffffff"},
        {"EventIdBelowRange", true, Control(3), Bytes().U16(80).I16(0).I16(99).Text("A_ON").I16(2),
         "__EVENT:無効なイベントID 63"},
        {"EventIdAboveRangeAfterAGoodOne", false, {},
         Bytes().U16(80).I16(0).I16(103).Text("F_START").I16(121).Text("F_X").I16(2), "__EVENT:無効なイベントID 79"},
        {"ScrollRangeOnAButton", true, Control(3), Bytes().U16(50).I16(0).I16(9), "__SCROLLRANGE:無効なウィンドウタイプ 3"},
        {"ScrollStepsOnAnEdit", true, Control(7), Bytes().U16(51).I16(1).I16(9), "__SCROLLSTEP:無効なウィンドウタイプ 7"},
        {"TextColourOnAScrollBar", true, Control(10), Bytes().U16(34).U32(0), "__CONTROLTEXTCOLOR:無効なウィンドウタイプ a"},
        {"BackColourOnAPicture", true, Control(13), Bytes().U16(35).U32(0), "__CONTROLBACKCOLOR:無効なウィンドウタイプ d"},
        {"CaptionOnAListBox", true, Control(9), Bytes().U16(11).Text("x"), "__CAPTION:無効なウィンドウタイプ 9"},
        {"MaxLengthOnALabel", true, Control(8), Bytes().U16(156).I32(5), "__MAXLENGTH:無効なウィンドウタイプ 8"},
        {"ItemsOnAnEdit", true, Control(7), Bytes().U16(172).Text("a"), "__LISTITEMS:無効なウィンドウタイプ 7"},
        {"CheckStateOnAPushButton", true, Control(3), Bytes().U16(173).I32(1), "__INITVALUE:無効なウィンドウタイプ 3"},
        {"PaletteColourOnAControl", true, Control(8), Bytes().U16(30).I16(0), "__TEXTCOLOR:無効なウィンドウタイプ 8"},
        {"FormShowStateOnAControl", true, Control(5), Bytes().U16(201).I32(1), "__SHOWSTATE:無効なウィンドウタイプ 5"},
        {"FaceNameOf32Bytes", false, {}, Bytes().U16(76).Text(longFace).I16(1).U16(0), "__FONTNAME:無効なフォント名 20"},
        {"PropertyBeforeAnyControl", true, {}, Bytes().U16(11).Text("x"), "__SCRIPT:対象のウィンドウがありません b"},
        {"ControlsOfAControl", true, Control(3), Bytes().U16(1).U16(2), "__SCRIPT:入れ子が深すぎます 1"},
    };
}

class RefusedRecord : public testing::TestWithParam<Refusal> {};

TEST_P(RefusedRecord, GivesTheCheckAndValueAndPointsAtTheRecord) {
    const Refusal& r = GetParam();
    Bytes level = Bytes().Append(r.before).Append(r.refused);
    Bytes resource = r.amongControls ? MinimalForm({}, level) : MinimalForm(level);
    rt::DecodeResult result = rt::DecodeForm(resource.bytes());
    ASSERT_TRUE(result.error.has_value());
    EXPECT_FALSE(result.form.has_value());
    EXPECT_EQ(result.error->message, r.message);
    EXPECT_EQ(result.error->code, 1014);
    size_t levelStart = r.amongControls ? formtest::ControlRecordsOffset({}) : formtest::FormRecordsOffset();
    EXPECT_EQ(result.error->offset, levelStart + r.before.size());
}

INSTANTIATE_TEST_SUITE_P(Player, RefusedRecord, testing::ValuesIn(Refusals()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RefusedResource, HeaderThatIsNotAFormResource) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char* message;
    };
    const Case cases[] = {
        {{}, "__HEADER:フォームリソースではありません 0"},
        {{'K', 'Q', 1, 0, 1}, "__HEADER:フォームリソースではありません 514b"},
        {{'Q', 'K', 1, 0, 1, 0, 2, 0}, "__HEADER:フォームリソースではありません 4b51"},
    };
    for (const Case& c : cases) {
        rt::DecodeResult result = rt::DecodeForm(c.bytes);
        ASSERT_TRUE(result.error.has_value()) << c.message;
        EXPECT_EQ(result.error->message, c.message);
        EXPECT_EQ(result.error->code, 1014);
    }
}

TEST(RefusedResource, StreamWithoutAFormWindow) {
    Bytes b;
    b.U16('K' | 'Q' << 8).U16(1).U16(1).U16(9).Text("F").Text("").U16(2);
    rt::DecodeResult result = rt::DecodeForm(b.bytes());
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->message, "__SCRIPT:対象のウィンドウがありません 2");
}

// Every cut of a sound resource, wherever it falls, is refused as a resource that ends early,
// and never read past its end.
TEST(RefusedResource, EveryTruncationEndsEarlyAtTheCutRecord) {
    Bytes controls = Bytes().Create(7, 0x50810000).U16(21).Text("EDIT1").U16(156).I32(5)
                         .U16(80).I16(0).I16(102).Text("EDIT1_CHANGE").I16(2);
    Bytes form = Bytes().U16(76).Text("FixedSys").I16(128).U16(0x31).U16(159).I32(0).I32(1).I32(2).I32(3).I32(4);
    std::vector<uint8_t> whole = MinimalForm(form, controls).bytes();
    ASSERT_FALSE(rt::DecodeForm(whole).error.has_value());
    const std::string prefix = "__SCRIPT:リソーススクリプトが途中で終わっています ";
    for (size_t size = 6; size < whole.size(); ++size) {
        rt::DecodeResult result = rt::DecodeForm(std::span(whole.data(), size));
        ASSERT_TRUE(result.error.has_value()) << "cut at " << size;
        EXPECT_EQ(result.error->message.substr(0, prefix.size()), prefix) << "cut at " << size;
        EXPECT_LE(result.error->offset, size);
    }
    // Cut inside the payload of tag 159, which starts at byte 40 (0x28), after tag 76.
    size_t record159 = formtest::FormRecordsOffset() + 2 + 9 + 4;
    ASSERT_EQ(record159, 40u);
    rt::DecodeResult cut = rt::DecodeForm(std::span(whole.data(), record159 + 10));
    ASSERT_TRUE(cut.error.has_value());
    EXPECT_EQ(cut.error->message, prefix + "28");
    EXPECT_EQ(cut.error->offset, record159);
}

// Tags the player knows but the program does not use: a stream carrying them is read on, and
// the records after them still land where they belong.
struct KnownTag {
    const char* name;
    Bytes record;
};

std::ostream& operator<<(std::ostream& os, const KnownTag& k) { return os << k.name; }

class KnownUnusedTag : public testing::TestWithParam<KnownTag> {};

TEST_P(KnownUnusedTag, IsSteppedOverWithItsPayload) {
    Bytes after = Bytes().U16(11).Text("after").U16(14).I16(1);
    Bytes controlAfter = Bytes().U16(21).Text("BUTTON1");
    Bytes form = Bytes().Append(GetParam().record).Append(after);
    Bytes controls = Bytes().Create(3, 0x50010000).Append(GetParam().record).Append(controlAfter);
    rt::DecodeResult result = rt::DecodeForm(MinimalForm(form, controls).bytes());
    ASSERT_FALSE(result.error.has_value()) << result.error->message;
    EXPECT_EQ(result.form->form.text, "after");
    EXPECT_EQ(result.form->form.disabled, 1);
    ASSERT_EQ(result.form->controls.size(), 1u);
    EXPECT_EQ(result.form->controls[0].name, "BUTTON1");
}

// The payloads hold values that would read as tags if a size were wrong.
INSTANTIATE_TEST_SUITE_P(Player, KnownUnusedTag,
    testing::Values(
        KnownTag{"Nothing0", Bytes().U16(0)},
        KnownTag{"OlderCreation10", Bytes().U16(10).U16(2).U16(2).U16(2)},
        KnownTag{"OlderPosition12", Bytes().U16(12).U16(2).U16(2).U16(2).U16(2)},
        KnownTag{"MenuName22", Bytes().U16(22).Text("MENU1")},
        KnownTag{"BitmapName23", Bytes().U16(23).Text("BMP1")},
        KnownTag{"CursorId24", Bytes().U16(24).U32(0x00020002)},
        KnownTag{"CursorName25", Bytes().U16(25).Text("CUR1")},
        KnownTag{"TextAttribute33", Bytes().U16(33).U16(2)},
        KnownTag{"TextBuffer36", Bytes().U16(36).U16(2).U16(2)},
        KnownTag{"Undocumented38", Bytes().U16(38).U16(2)},
        KnownTag{"Undocumented52", Bytes().U16(52).U16(2)},
        KnownTag{"Undocumented55", Bytes().U16(55).U16(2)},
        KnownTag{"Undocumented57", Bytes().U16(57).U16(2)},
        KnownTag{"Tooltip58", Bytes().U16(58).Text("ヒント")},
        KnownTag{"Ignored60", Bytes().U16(60).U32(0x00020002)},
        KnownTag{"Ignored62", Bytes().U16(62).U32(0x00020002).U32(0x00020002)},
        KnownTag{"Ignored211", Bytes().U16(211).U32(0x00020002)},
        KnownTag{"Ignored212", Bytes().U16(212).U32(0x00020002)},
        KnownTag{"Ignored213", Bytes().U16(213).U32(0x00020002).U32(0x00020002)},
        KnownTag{"Ignored214", Bytes().U16(214).U32(0x00020002).Text("x")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Player, FontRecordTakesExactlyFourBytesAfterTheFaceName) {
    for (uint16_t word : {uint16_t(0x0031), uint16_t(0xFF22), uint16_t(0x0200)}) {
        Bytes form = Bytes().U16(76).Text("ＭＳ ゴシック").I16(128).U16(word).U16(11).Text("next");
        rt::DecodeResult result = rt::DecodeForm(MinimalForm(form).bytes());
        ASSERT_FALSE(result.error.has_value()) << result.error->message;
        EXPECT_EQ(result.form->form.fontFace, "ＭＳ ゴシック");
        EXPECT_EQ(result.form->form.charset, 128);
        EXPECT_EQ(result.form->form.pitchAndFamily, word & 0xFF);
        EXPECT_EQ(result.form->form.text, "next");
    }
}

TEST(Player, FaceAloneReturnsCharsetAndPitchToTheirDefaults) {
    Bytes form = Bytes().U16(76).Text("FixedSys").I16(128).U16(0x31).U16(75).Text("Arial");
    rt::DecodeResult result = rt::DecodeForm(MinimalForm(form).bytes());
    ASSERT_FALSE(result.error.has_value()) << result.error->message;
    EXPECT_EQ(result.form->form.fontFace, "Arial");
    EXPECT_FALSE(result.form->form.charset.has_value());
    EXPECT_FALSE(result.form->form.pitchAndFamily.has_value());
}

// Properties go to the most recent window of their own level: after the controls' stream the
// form's records are the form's again, not the last control's.
TEST(Player, PropertiesGoToTheLatestWindowOfTheirLevel) {
    Bytes controls;
    controls.Create(3, 0x50010000).U16(21).Text("A").U16(11).Text("first");
    controls.Create(8, 0x50000000).U16(21).Text("B").U16(70).I16(16);
    Bytes b;
    b.U16('K' | 'Q' << 8).U16(1).U16(1).U16(9).Text("F").Text("ICON1").Create(0, 0x00cc0115);
    b.U16(21).Text("F").U16(1).Append(controls).U16(2);
    b.U16(11).Text("caption").U16(201).I32(1).U16(14).I16(0).U16(2);
    rt::DecodeResult result = rt::DecodeForm(b.bytes());
    ASSERT_FALSE(result.error.has_value()) << result.error->message;
    const rt::FormDescription& f = *result.form;
    EXPECT_EQ(f.className, "F");
    EXPECT_EQ(f.iconName, "ICON1");
    EXPECT_EQ(f.form.style, 0x00cc0115u);
    EXPECT_EQ(f.form.text, "caption");
    EXPECT_EQ(f.form.showStateCombine, 1);
    EXPECT_EQ(f.form.disabled, 0);
    ASSERT_EQ(f.controls.size(), 2u);
    EXPECT_EQ(f.controls[0].kind, ControlKind::PushButton);
    EXPECT_EQ(f.controls[0].text, "first");
    EXPECT_FALSE(f.controls[0].fontSize.has_value());
    EXPECT_EQ(f.controls[1].name, "B");
    EXPECT_FALSE(f.controls[1].text.has_value());
    EXPECT_EQ(f.controls[1].fontSize, 16);
}

TEST(Player, EventListsAreKeptWholeEvenWhenEmpty) {
    Bytes controls;
    controls.Create(3).U16(80).I16(0).I16(101).Text("A_ON").I16(119).Text("A_DROPFILES").I16(2);
    controls.Create(3).U16(80).I16(0).I16(2);
    controls.Create(3);
    rt::DecodeResult result = rt::DecodeForm(MinimalForm({}, controls).bytes());
    ASSERT_FALSE(result.error.has_value()) << result.error->message;
    const auto& c = result.form->controls;
    ASSERT_EQ(c.size(), 3u);
    EXPECT_TRUE(c[0].eventsRecorded);
    ASSERT_EQ(c[0].events.size(), 2u);
    EXPECT_EQ(c[0].events[0].id, 101);
    EXPECT_EQ(c[0].events[0].routine, "A_ON");
    EXPECT_EQ(c[0].events[1].id, 119);
    EXPECT_EQ(c[0].events[1].routine, "A_DROPFILES");
    EXPECT_TRUE(c[1].eventsRecorded);
    EXPECT_TRUE(c[1].events.empty());
    EXPECT_FALSE(c[2].eventsRecorded);
}

TEST(Player, BytesAfterTheEndRecordAreNotRead) {
    Bytes b = MinimalForm();
    b.U16(0xFFFF).U16(0xFFFF);
    EXPECT_FALSE(rt::DecodeForm(b.bytes()).error.has_value());
}

}  // namespace
