// The five forms as the program carries them, read back from the embedded resources and
// compared with the screens' tables control by control.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "runtime/forms/form_resource.h"

namespace {

using enum rt::ControlKind;
using rt::ControlKind;

constexpr uint32_t kChild = 0x40000000;
constexpr uint32_t kVisible = 0x10000000;
constexpr const char* kPGothic = "ＭＳ Ｐゴシック";
constexpr const char* kGothic = "ＭＳ ゴシック";

// A control of the screen tables: the columns every control has, then what differs from the
// common values.
struct Ctl {
    const char* name;
    ControlKind kind;
    rt::Rect rect;
    uint32_t style;
    bool visible;
    const char* text = nullptr;  // nullptr: the kind carries no text
    int font = 10;
    const char* face = kPGothic;
    int64_t textColour = 0x000000;  // 0x00BBGGRR; -1: the kind takes none
    int64_t backColour = 0xFFFFFF;
    int maxLength = -1, ime = -1, state = -1;  // -1: not in the resource
    const char* routine = nullptr;             // the routine the program has, if any
    std::pair<int, int> range{}, steps{};      // scroll bars
    bool couponItem = false;

    Ctl Font(int size, const char* f) const { Ctl c = *this; c.font = size; c.face = f; return c; }
    Ctl TextColour(int64_t v) const { Ctl c = *this; c.textColour = v; return c; }
    Ctl NoTextColour() const { return TextColour(-1); }
    Ctl Back(int64_t v) const { Ctl c = *this; c.backColour = v; return c; }
    Ctl MaxLength(int v) const { Ctl c = *this; c.maxLength = v; return c; }
    Ctl Ime(int v) const { Ctl c = *this; c.ime = v; return c; }
    Ctl State(int v) const { Ctl c = *this; c.state = v; return c; }
    Ctl Routine(const char* r) const { Ctl c = *this; c.routine = r; return c; }
    Ctl Range(int min, int max) const { Ctl c = *this; c.range = {min, max}; return c; }
    Ctl Steps(int small, int large) const { Ctl c = *this; c.steps = {small, large}; return c; }
    Ctl CouponItem() const { Ctl c = *this; c.couponItem = true; return c; }
};

// clang-format off
const Ctl kMainForm[] = {
    {"TEXT1", Label, {392, 96, 88, 16}, 0x50000002, true, "作業代の合計"},
    {"TEXT2", Label, {496, 96, 104, 16}, 0x50000002, true, ""},
    {"TEXT3", Label, {392, 128, 88, 16}, 0x50000002, true, "メディア代"},
    {"TEXT4", Label, {496, 128, 104, 16}, 0x50000002, true, "TEXT4"},
    {"TEXT5", Label, {392, 160, 88, 16}, 0x50000002, true, "返送料"},
    {"TEXT6", Label, {496, 160, 104, 16}, 0x50000002, true, "TEXT6"},
    {"TEXT7", Label, {392, 192, 88, 16}, 0x50000002, true, "小計"},
    {"TEXT8", Label, {496, 192, 104, 16}, 0x50000002, true, "TEXT8"},
    {"TEXT9", Label, {16, 256, 104, 16}, 0x50000002, true, "割引券の合計額"},
    {"TEXT10", Label, {136, 256, 104, 16}, 0x50000002, true, "TEXT10"},
    Ctl{"TEXT11", Label, {344, 240, 112, 24}, 0x50000002, true, "総合計金額"}.Font(16, kPGothic),
    Ctl{"TEXT12", Label, {472, 240, 136, 24}, 0x50000002, true, "１０，０００円"}.Back(0x0000FFFF),
    Ctl{"BUTTON1", PushButton, {480, 312, 128, 48}, 0x50010000, true, "終　　　了"}.Routine("BUTTON1_ON"),
    Ctl{"BUTTON2", PushButton, {480, 48, 128, 24}, 0x50010000, true, "申込用データ出力"}.Routine("BUTTON2_ON"),
    Ctl{"BUTTON3", PushButton, {536, 16, 72, 24}, 0x50010000, true, "セーブ"}.Routine("BUTTON3_ON"),
    Ctl{"BUTTON4", PushButton, {448, 16, 80, 24}, 0x50010000, true, "ロード"}.Routine("BUTTON4_ON"),
    Ctl{"BUTTON5", PushButton, {24, 40, 216, 24}, 0x50010000, true, "コミックの申込資料作成"}.Routine("BUTTON5_ON"),
    Ctl{"BUTTON6", PushButton, {24, 72, 216, 24}, 0x40010000, false, "同人誌の申込資料作成"}.Routine("BUTTON6_ON"),
    Ctl{"BUTTON7", PushButton, {24, 168, 104, 24}, 0x40010000, false, "中綴じ雑誌の申込資料作成"}.Routine("BUTTON7_ON"),
    Ctl{"BUTTON8", PushButton, {24, 136, 104, 24}, 0x40010000, false, "無線綴じ雑誌の申込資料作成"}.Routine("BUTTON8_ON"),
    Ctl{"BUTTON9", PushButton, {24, 104, 216, 24}, 0x50010000, true, "写真集・資料集等の申込資料作成"}.Routine("BUTTON9_ON"),
    {"TEXT15", Label, {32, 304, 88, 16}, 0x50000002, true, "箱割りの額"},
    {"TEXT16", Label, {136, 304, 104, 16}, 0x50000002, true, "TEXT16"},
    {"TEXT39", Label, {16, 280, 104, 16}, 0x50000002, true, "特別割りの額"},
    {"TEXT40", Label, {136, 280, 104, 16}, 0x50000002, true, "TEXT40"},
    Ctl{"COMBO1", ComboBox, {24, 224, 104, 85}, 0x50a10202, true, nullptr}.Font(11, kGothic).Routine("COMBO1_CHANGE").CouponItem(),
    Ctl{"BUTTON15", PushButton, {136, 224, 152, 24}, 0x50010000, true, "←　割引券番号登録"}.Font(11, kPGothic).Routine("BUTTON15_ON"),
    {"TEXT41", Label, {248, 48, 96, 16}, 0x50000002, true, "TEXT41"},
    {"TEXT42", Label, {248, 80, 96, 16}, 0x40000002, false, "TEXT42"},
    {"TEXT43", Label, {136, 176, 96, 16}, 0x40000002, false, "TEXT43"},
    {"TEXT44", Label, {136, 144, 96, 16}, 0x40000002, false, "TEXT44"},
    {"TEXT45", Label, {248, 112, 96, 16}, 0x50000002, true, "TEXT45"},
    {"TEXT46", Label, {256, 16, 72, 16}, 0x50000001, true, "作業代小計"},
    {"TEXT49", Label, {32, 328, 88, 16}, 0x50000002, true, "作業代補償額"},
    {"TEXT50", Label, {136, 328, 104, 16}, 0x50000002, true, "TEXT50"},
    Ctl{"EDIT4", Edit, {344, 272, 80, 24}, 0x50812100, true, ""}.MaxLength(6).Ime(2).Routine("EDIT4_CHANGE"),
    {"TEXT51", Label, {280, 280, 56, 16}, 0x50000000, true, "前受け金"},
    Ctl{"EDIT5", Edit, {344, 304, 80, 24}, 0x50812100, true, ""}.MaxLength(5).Ime(2).Routine("EDIT5_CHANGE"),
    {"TEXT52", Label, {280, 312, 56, 16}, 0x50000000, true, "調整割引"},
    Ctl{"TEXT53", Label, {448, 280, 56, 16}, 0x50000002, true, "差引合計"}.Back(0x00FFFF00),
    Ctl{"TEXT54", Label, {512, 280, 104, 16}, 0x50000002, true, "TEXT54"}.Back(0x00FFFF00),
    Ctl{"EDIT7", Edit, {272, 352, 192, 24}, 0x50810180, true, ""}.MaxLength(32767).Ime(1),
    {"TEXT55", Label, {168, 360, 88, 16}, 0x50000002, true, "お客様の氏名"},
    Ctl{"CHECK8", CheckBox, {16, 352, 120, 24}, 0x50010003, true, "特別割引適用"}.Font(11, kPGothic).TextColour(0x00FF00FF).State(0).Routine("CHECK8_ON"),
};

const Ctl kForm2[] = {
    Ctl{"LIST1", ListBox, {16, 104, 608, 310}, 0x50a10001, true}.Routine("LIST1_CLICK"),
    Ctl{"BUTTON10", PushButton, {16, 8, 216, 24}, 0x50010000, true, "ユーザーデータからタイトル名取得"}.Routine("BUTTON10_ON"),
    Ctl{"BUTTON11", PushButton, {472, 8, 136, 32}, 0x50010000, true, "総合画面に戻る"}.Routine("BUTTON11_ON"),
    Ctl{"TEXT13", Label, {224, 56, 88, 24}, 0x50000002, true, "小合計"}.Font(16, kPGothic),
    Ctl{"TEXT14", Label, {336, 56, 152, 24}, 0x50000002, true, ""}.Font(16, kPGothic).Back(0x0000FFFF),
    Ctl{"BUTTON20", PushButton, {24, 72, 152, 24}, 0x50010000, true, "全タイトル消去"}.Routine("BUTTON20_ON"),
};

const Ctl kForm3[] = {
    Ctl{"RADIO1", OptionButton, {216, 72, 96, 16}, 0x50030009, true, "通常版"}.State(1).Routine("RADIO1_ON"),
    Ctl{"RADIO2", OptionButton, {216, 104, 96, 16}, 0x50010009, true, "コンビニ版"}.State(0).Routine("RADIO2_ON"),
    Ctl{"GROUP1", GroupBox, {200, 48, 120, 80}, 0x50000007, true, "本の種別"}.TextColour(0x00800080),
    Ctl{"RADIO3", OptionButton, {448, 72, 104, 16}, 0x50010009, true, "解体のみ"}.State(0).Routine("RADIO3_ON"),
    Ctl{"RADIO4", OptionButton, {448, 88, 128, 16}, 0x40010009, false, "解体とデータ化"}.State(0).Routine("RADIO4_ON"),
    Ctl{"RADIO5", OptionButton, {448, 104, 160, 16}, 0x50010009, true, "解体・データ化再製本"}.State(1).Routine("RADIO5_ON"),
    Ctl{"GROUP2", GroupBox, {432, 48, 184, 88}, 0x50000007, true, "作業内容の指定"}.TextColour(0x00800080),
    Ctl{"EDIT1", Edit, {88, 16, 536, 24}, 0x50810180, true, ""}.MaxLength(32767).Ime(1),
    Ctl{"EDIT2", Edit, {88, 64, 80, 24}, 0x50812100, true, ""}.MaxLength(5).Ime(2),
    Ctl{"EDIT3", Edit, {88, 104, 80, 24}, 0x50812100, true, ""}.MaxLength(3).Ime(2),
    {"TEXT17", Label, {24, 24, 48, 16}, 0x50000000, true, "タイトル"},
    {"TEXT18", Label, {24, 72, 56, 16}, 0x50000000, true, "表示価格"},
    {"TEXT19", Label, {24, 112, 56, 16}, 0x50000000, true, "ページ数"},
    {"TEXT20", Label, {24, 152, 56, 16}, 0x50000000, true, "基準価格"},
    {"TEXT21", Label, {96, 152, 112, 16}, 0x50000000, true, "TEXT21"},
    {"TEXT22", Label, {24, 216, 64, 16}, 0x50000000, true, "基本金額"},
    {"TEXT23", Label, {96, 216, 112, 16}, 0x50000000, true, "TEXT23"},
    {"TEXT24", Label, {40, 184, 48, 16}, 0x50000000, true, "解体料"},
    {"TEXT25", Label, {96, 184, 96, 16}, 0x50000000, true, "TEXT25"},
    {"TEXT26", Label, {416, 160, 72, 16}, 0x40000000, false, "取り込み料"},
    {"TEXT27", Label, {496, 160, 96, 16}, 0x40000000, false, "TEXT27"},
    {"TEXT28", Label, {240, 184, 112, 16}, 0x50000000, true, "データ化再製本料"},
    {"TEXT29", Label, {360, 184, 88, 16}, 0x50000000, true, "TEXT29"},
    Ctl{"TEXT30", Label, {24, 248, 144, 16}, 0x50000000, true, "オプション料金の明細"}.TextColour(0x00800080),
    {"TEXT31", Label, {24, 272, 80, 16}, 0x50000002, true, "TEXT31"},
    {"TEXT32", Label, {24, 344, 80, 16}, 0x50000002, true, ""},
    {"TEXT33", Label, {24, 296, 80, 16}, 0x50000002, true, "TEXT33"},
    {"TEXT34", Label, {24, 320, 80, 16}, 0x50000002, true, "TEXT34"},
    {"TEXT35", Label, {24, 368, 80, 16}, 0x50000002, true, "TEXT35"},
    Ctl{"CHECK1", CheckBox, {120, 272, 408, 16}, 0x50010003, true, "目次の作品別に編集　（通常は１冊単位になります）"}.State(0).Routine("CHECK1_ON"),
    Ctl{"CHECK2", CheckBox, {120, 344, 408, 16}, 0x50010003, true, "モアレ除去しない　（ｄｐｉの設定加算額が小さくなります）"}.State(0).Routine("CHECK2_ON"),
    Ctl{"CHECK3", CheckBox, {120, 296, 408, 16}, 0x50010003, true, "見開きページ化しない　"}.State(0).Routine("CHECK3_ON"),
    Ctl{"CHECK4", CheckBox, {120, 320, 408, 16}, 0x50010003, true, "トリミングする"}.State(0).Routine("CHECK4_ON"),
    {"TEXT36", Label, {120, 368, 264, 16}, 0x50000000, true, "156 dpi (A5なら約912×1285ピクセル)"},
    Ctl{"TEXT37", Label, {248, 216, 96, 24}, 0x50000000, true, "合計金額"}.Font(16, kPGothic),
    Ctl{"TEXT38", Label, {360, 216, 224, 24}, 0x50000000, true, "TEXT38"}.Font(16, kPGothic).Back(0x0000FFFF),
    Ctl{"HSCROLL1", HScroll, {120, 384, 264, 16}, 0x50010000, true}.NoTextColour().Back(0x00C0C0C0).Routine("HSCROLL1_CHANGE").Range(0, 32767).Steps(1, 16),
    Ctl{"BUTTON12", PushButton, {240, 152, 168, 24}, 0x50010000, true, "基本金額の計算を実行"}.Routine("BUTTON12_ON"),
    Ctl{"BUTTON13", PushButton, {408, 368, 64, 24}, 0x50010000, true, "１５６ｄｐｉ"}.Routine("BUTTON13_ON"),
    Ctl{"BUTTON14", PushButton, {544, 392, 80, 40}, 0x50010000, true, "終　了"}.Routine("BUTTON14_ON"),
    Ctl{"CHECK6", CheckBox, {368, 248, 56, 16}, 0x50010003, true, "補償"}.State(0).Routine("CHECK6_ON"),
    Ctl{"CHECK7", CheckBox, {344, 416, 184, 16}, 0x40010003, false, "取込み作業後は贈与します"}.Font(11, kPGothic).State(0).Routine("CHECK7_ON"),
    Ctl{"TEXT56", Label, {24, 56, 360, 80}, 0x50000000, true, "TEXT56"}.Font(11, kPGothic).TextColour(0x00FF00FF),
};

const Ctl kForm4[] = {
    {"LIST2", ListBox, {24, 64, 176, 282}, 0x50a10009, true},
    {"LIST3", ListBox, {336, 64, 176, 106}, 0x50810001, true},
    Ctl{"BUTTON16", PushButton, {400, 304, 104, 24}, 0x50010000, true, "キャンセル"}.Routine("BUTTON16_ON"),
    Ctl{"BUTTON17", PushButton, {224, 72, 80, 24}, 0x50010000, true, "→"}.Routine("BUTTON17_ON"),
    Ctl{"BUTTON18", PushButton, {224, 104, 80, 24}, 0x50010000, true, "←"}.Routine("BUTTON18_ON"),
    Ctl{"BUTTON19", PushButton, {344, 192, 168, 24}, 0x50010000, true, "データ転送　実行"}.Routine("BUTTON19_ON"),
    {"TEXT47", Label, {48, 32, 120, 16}, 0x50000000, true, "元データの項目"},
    {"TEXT48", Label, {352, 32, 136, 16}, 0x50000000, true, "抽出タイトル部"},
    Ctl{"CHECK5", CheckBox, {352, 232, 160, 16}, 0x50010003, true, "最初のデータは項目名"}.State(0),
};

const Ctl kForm5[] = {
    Ctl{"EDIT6", Edit, {16, 40, 760, 504}, 0x50b10904, true, ""}.MaxLength(32767).Ime(0),
    Ctl{"BUTTON21", PushButton, {712, 8, 64, 24}, 0x50010000, true, "終了"}.Routine("BUTTON21_ON"),
    Ctl{"BUTTON22", PushButton, {520, 8, 136, 24}, 0x50010000, true, "ファイルに出力"}.Routine("BUTTON22_ON"),
    Ctl{"BUTTON23", PushButton, {16, 8, 192, 24}, 0x50010000, true, "請求書・領収書のファイル出力"}.Routine("BUTTON23_ON"),
};
// clang-format on

struct FormRow {
    const char* name;
    const char* caption;
    int placement;
    rt::Rect rect;
    uint32_t style;
    std::span<const Ctl> controls;
};

const FormRow kForms[] = {
    {"MAINFORM", "Kalvoro総合画面", 2, {141, 138, 646, 418}, 0x00cc0115, kMainForm},
    {"FORM2", "FORM2", 3, {281, 418, 646, 460}, 0x00c00115, kForm2},
    {"FORM3", "FORM3", 3, {440, 295, 646, 480}, 0x00c00115, kForm3},
    {"FORM4", "ユーザーデータの読み込み", 3, {279, 184, 544, 386}, 0x00c00115, kForm4},
    {"FORM5", "料金明細", 0, {132, 174, 800, 600}, 0x00c20115, kForm5},
};

// The events every window names, by kind: event number and name suffix.
using Suffixes = std::vector<std::pair<int, std::string>>;
Suffixes EventsOf(ControlKind kind) {
    switch (kind) {
        case Form:
            return {{3, "_START"}, {4, "_END"}, {5, "_SETFOCUS"}, {6, "_KILLFOCUS"}, {7, "_RESIZE"},
                    {8, "_CLICK"}, {9, "_DBLCLICK"}, {10, "_MOUSEDOWN"}, {11, "_MOUSEUP"},
                    {12, "_MOUSEMOVE"}, {17, "_QUERYCLOSE"}, {18, "_NOTIFYICON"}, {19, "_DROPFILES"},
                    {20, "_MOUSEWHEEL"}};
        case PushButton: case OptionButton: case CheckBox: return {{1, "_ON"}};
        case Edit: return {{2, "_CHANGE"}, {5, "_SETFOCUS"}, {6, "_KILLFOCUS"}, {19, "_DROPFILES"}};
        case Label: return {{8, "_CLICK"}, {9, "_DBLCLICK"}, {19, "_DROPFILES"}};
        case ListBox: case ComboBox:
            return {{2, "_CHANGE"}, {5, "_SETFOCUS"}, {6, "_KILLFOCUS"}, {8, "_CLICK"}, {9, "_DBLCLICK"}, {19, "_DROPFILES"}};
        case HScroll: return {{2, "_CHANGE"}};
        default: return {};
    }
}

void ExpectEvents(const rt::WindowDescription& w, const std::string& name) {
    Suffixes expected = EventsOf(w.kind);
    EXPECT_EQ(w.eventsRecorded, !expected.empty());
    ASSERT_EQ(w.events.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(w.events[i].id, 100 + expected[i].first);
        EXPECT_EQ(w.events[i].routine, name + expected[i].second);
    }
}

const rt::FormDescription* Embedded(const std::string& name) {
    static std::map<std::string, rt::DecodeResult> decoded;
    auto it = decoded.find(name);
    if (it == decoded.end()) {
        std::optional<std::span<const uint8_t>> bytes = rt::FindFormResource(name);
        if (!bytes) return nullptr;
        it = decoded.emplace(name, rt::DecodeForm(*bytes)).first;
    }
    return it->second.form ? &*it->second.form : nullptr;
}

class EmbeddedForm : public testing::TestWithParam<FormRow> {};

TEST_P(EmbeddedForm, HasItsCaptionPlaceCommonValuesAndControlsInOrder) {
    const FormRow& row = GetParam();
    const rt::FormDescription* f = Embedded(row.name);
    ASSERT_NE(f, nullptr);
    const rt::WindowDescription& w = f->form;
    EXPECT_EQ(f->className, row.name);
    EXPECT_EQ(f->iconName, "");
    EXPECT_EQ(w.kind, Form);
    EXPECT_EQ(w.name, row.name);
    EXPECT_EQ(w.text, row.caption);
    EXPECT_EQ(w.placement, row.placement);
    EXPECT_EQ(w.geometry, row.rect);
    EXPECT_EQ(w.style, row.style);
    EXPECT_EQ(w.exStyle, 0u);
    EXPECT_EQ(w.mappingMode, 1);
    EXPECT_EQ(w.redrawMode, 1);
    EXPECT_EQ(w.axisOrientation, 0);
    EXPECT_EQ(w.textColourIndex, 0);
    EXPECT_EQ(w.foreColourIndex, 0);
    EXPECT_EQ(w.backColourIndex, 15);
    EXPECT_EQ(w.systemMenuCopy, 1);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].message, 0x32);
    EXPECT_EQ(w.messages[0].wParam, 0);
    EXPECT_EQ(w.messages[0].lParam, 0);
    EXPECT_EQ(w.fontSize, 18);
    EXPECT_EQ(w.fontFace, "FixedSys");
    EXPECT_EQ(w.charset, 128);
    EXPECT_EQ(w.disabled, 0);
    EXPECT_EQ(w.showStateCombine, 1);
    ExpectEvents(w, row.name);
    ASSERT_EQ(f->controls.size(), row.controls.size());
    for (size_t i = 0; i < row.controls.size(); ++i) EXPECT_EQ(f->controls[i].name, row.controls[i].name);
}

INSTANTIATE_TEST_SUITE_P(Resources, EmbeddedForm, testing::ValuesIn(kForms),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EmbeddedForms, ControlCountsOfTheFiveForms) {
    const std::pair<const char*, size_t> counts[] = {{"MAINFORM", 44}, {"FORM2", 6}, {"FORM3", 43}, {"FORM4", 9}, {"FORM5", 4}};
    size_t total = 0;
    for (const auto& [name, count] : counts) {
        const rt::FormDescription* f = Embedded(name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(f->controls.size(), count) << name;
        total += f->controls.size();
    }
    EXPECT_EQ(total, 106u);
}

TEST(EmbeddedForms, AreFoundWhateverTheLetterCase) {
    EXPECT_TRUE(rt::FindFormResource("MainForm").has_value());
    EXPECT_TRUE(rt::FindFormResource("form5").has_value());
    EXPECT_FALSE(rt::FindFormResource("FORM6").has_value());
    EXPECT_FALSE(rt::FindFormResource("FORM").has_value());
    EXPECT_FALSE(rt::FindFormResource("").has_value());
}

struct ControlRow {
    const char* form;
    Ctl ctl;
};

std::vector<ControlRow> AllControls() {
    std::vector<ControlRow> rows;
    for (const FormRow& f : kForms)
        for (const Ctl& c : f.controls) rows.push_back({f.name, c});
    return rows;
}

class EmbeddedControl : public testing::TestWithParam<ControlRow> {};

TEST_P(EmbeddedControl, MatchesTheScreenTable) {
    const auto& [formName, c] = GetParam();
    const rt::FormDescription* f = Embedded(formName);
    ASSERT_NE(f, nullptr);
    const rt::WindowDescription* found = nullptr;
    for (const rt::WindowDescription& w : f->controls)
        if (w.name == c.name) found = &w;
    ASSERT_NE(found, nullptr);
    const rt::WindowDescription& w = *found;

    EXPECT_EQ(w.kind, c.kind);
    EXPECT_EQ(w.placement, 0);
    EXPECT_EQ(w.geometry, c.rect);
    EXPECT_EQ(w.style, c.style);
    EXPECT_EQ(w.exStyle, 0u);
    EXPECT_NE(w.style & kChild, 0u);
    EXPECT_EQ((w.style & kVisible) != 0, c.visible);
    if (c.text) EXPECT_EQ(w.text, c.text);
    else EXPECT_FALSE(w.text.has_value());
    EXPECT_EQ(w.fontSize, c.font);
    EXPECT_EQ(w.fontFace, c.face);
    EXPECT_EQ(w.charset, 1);
    auto colour = [](int64_t v) { return v < 0 ? std::nullopt : std::optional<uint32_t>(static_cast<uint32_t>(v)); };
    EXPECT_EQ(w.textColour, colour(c.textColour));
    EXPECT_EQ(w.backColour, colour(c.backColour));
    auto given = [](int v) { return v < 0 ? std::nullopt : std::optional<int32_t>(v); };
    EXPECT_EQ(w.maxLength, given(c.maxLength));
    EXPECT_EQ(w.imeMode, given(c.ime));
    EXPECT_EQ(w.initialValue, given(c.state));
    if (c.range != std::pair<int, int>()) {
        ASSERT_TRUE(w.scrollRange && w.scrollSteps);
        using Ints = std::pair<int, int>;
        EXPECT_EQ(Ints(w.scrollRange->first, w.scrollRange->second), c.range);
        EXPECT_EQ(Ints(w.scrollSteps->first, w.scrollSteps->second), c.steps);
    } else {
        EXPECT_FALSE(w.scrollRange || w.scrollSteps);
    }
    if (c.couponItem) {
        // One item, a coupon number of ten digits (the program empties the list at start-up).
        ASSERT_TRUE(w.items.has_value());
        EXPECT_EQ(w.items->size(), 10u);
        EXPECT_EQ(w.items->find_first_not_of("0123456789"), std::string::npos);
    } else {
        EXPECT_FALSE(w.items.has_value());
    }
    ExpectEvents(w, c.name);
    if (c.routine) {
        bool named = false;
        for (const rt::EventBinding& e : w.events) named = named || e.routine == c.routine;
        EXPECT_TRUE(named) << c.routine;
    }
}

INSTANTIATE_TEST_SUITE_P(Resources, EmbeddedControl, testing::ValuesIn(AllControls()),
                         [](const auto& info) { return std::string(info.param.form) + "_" + info.param.ctl.name; });

}  // namespace
