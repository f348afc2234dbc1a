// The reader of the binary form resource: the header and each tagged record checked against the
// window it describes, and a rejected record named by the check and the value that refused it.
#include "runtime/forms/form_resource.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace rt {
namespace {

constexpr int kPlayError = 1014;

// The names of the player's checks. A rejected record is reported as "%s %x": the check and
// the offending value. Those without a "__" name of their own in the player's list are ours.
constexpr const char* kUnknownTag = "未定義のリソーススクリプト";
constexpr const char* kBadKind = "__CREATE3:無効なウィンドウタイプ";
constexpr const char* kLongName = "__CONTROLNAME:無効なコントロールID";
constexpr const char* kBadPlacement = "__WINDOWSIZE:無効なウィンドウの位置";
constexpr const char* kBadEventId = "__EVENT:無効なイベントID";
constexpr const char* kLongFace = "__FONTNAME:無効なフォント名";
constexpr const char* kBadHeader = "__HEADER:フォームリソースではありません";
constexpr const char* kTruncated = "__SCRIPT:リソーススクリプトが途中で終わっています";
constexpr const char* kNoWindow = "__SCRIPT:対象のウィンドウがありません";
constexpr const char* kDeepNesting = "__SCRIPT:入れ子が深すぎます";

constexpr size_t kHeaderSize = 6;
constexpr size_t kMaxNameBytes = 21;
constexpr size_t kMaxFaceBytes = 31;  // the face name field of a logical font holds 32 with NUL

struct Rejected {
    FormError error;
};

FormError Refusal(const char* check, uint32_t value, size_t offset) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", value);
    return {std::string(check) + " " + hex, kPlayError, offset};
}

[[noreturn]] void Reject(const char* check, uint32_t value, size_t offset) {
    throw Rejected{Refusal(check, value, offset)};
}

// Reads little-endian values; running out of bytes rejects the record being read.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    void Seek(size_t pos) { pos_ = pos; }
    void BeginRecord() { record_ = pos_; }
    size_t Record() const { return record_; }

    uint16_t U16() {
        Need(2);
        uint16_t v = static_cast<uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32() {
        uint32_t lo = U16();
        return lo | static_cast<uint32_t>(U16()) << 16;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    std::string Text() {
        const auto* nul = pos_ < bytes_.size()
                              ? static_cast<const uint8_t*>(std::memchr(bytes_.data() + pos_, 0, bytes_.size() - pos_))
                              : nullptr;
        if (!nul) Reject(kTruncated, static_cast<uint32_t>(record_), record_);
        const size_t end = static_cast<size_t>(nul - bytes_.data());
        std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), end - pos_);
        pos_ = end + 1;
        return s;
    }
    void Skip(size_t n) {
        Need(n);
        pos_ += n;
    }

private:
    void Need(size_t n) const {
        if (bytes_.size() - pos_ < n) Reject(kTruncated, static_cast<uint32_t>(record_), record_);
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    size_t record_ = 0;
};

// The kinds a property may be given to, and the check that names a refusal. Properties not
// listed go to any window.
struct KindRule {
    uint16_t tag;
    const char* check;
    bool (*allows)(int kind);
};
constexpr bool FormOnly(int k) { return k == 0; }
constexpr KindRule kKindRules[] = {
    {11, "__CAPTION:無効なウィンドウタイプ",
     [](int k) { return k == 0 || (k >= 3 && k <= 8); }},
    {30, "__TEXTCOLOR:無効なウィンドウタイプ", FormOnly},
    {31, "__FORECOLOR:無効なウィンドウタイプ", FormOnly},
    {32, "__BACKCOLOR:無効なウィンドウタイプ", FormOnly},
    {34, "__CONTROLTEXTCOLOR:無効なウィンドウタイプ",
     [](int k) { return (k >= 3 && k <= 9) || k == 12; }},
    {35, "__CONTROLBACKCOLOR:無効なウィンドウタイプ",
     [](int k) { return k >= 3 && k <= 12; }},
    {37, "__MAPMODE:無効なウィンドウタイプ", FormOnly},
    {39, "__REDRAW:無効なウィンドウタイプ", FormOnly},
    {50, "__SCROLLRANGE:無効なウィンドウタイプ", [](int k) { return k == 10 || k == 11; }},
    {51, "__SCROLLSTEP:無効なウィンドウタイプ", [](int k) { return k == 10 || k == 11; }},
    {61, "__SYSMENU:無効なウィンドウタイプ", FormOnly},
    {124, "__AXIS:無効なウィンドウタイプ", FormOnly},
    {156, "__MAXLENGTH:無効なウィンドウタイプ", [](int k) { return k == 7 || k == 12; }},
    {172, "__LISTITEMS:無効なウィンドウタイプ", [](int k) { return k == 9 || k == 12; }},
    // Check boxes, option buttons and bitmap buttons take a check state, scroll bars a position.
    {173, "__INITVALUE:無効なウィンドウタイプ",
     [](int k) { return k == 4 || k == 5 || k == 15 || k == 10 || k == 11; }},
    {201, "__SHOWSTATE:無効なウィンドウタイプ", FormOnly},
};

constexpr bool RulesInTagOrder() {
    for (size_t i = 1; i < std::size(kKindRules); ++i)
        if (kKindRules[i - 1].tag >= kKindRules[i].tag) return false;
    return true;
}
static_assert(RulesInTagOrder(), "RuleOf stops at the first rule past the tag");

// Every property of every control is looked up here, most of them in no rule.
const KindRule* RuleOf(uint16_t tag) {
    for (const KindRule& rule : kKindRules)
        if (rule.tag >= tag) return rule.tag == tag ? &rule : nullptr;
    return nullptr;
}

class Player {
public:
    explicit Player(std::span<const uint8_t> bytes) : in_(bytes) {}

    FormDescription Play() {
        in_.Seek(kHeaderSize);
        Stream(0);
        if (!formCreated_) Reject(kNoWindow, 2, in_.Record());
        return std::move(out_);
    }

private:
    // Plays records up to the tag 2 that ends this stream. Depth 0 is the form's stream,
    // depth 1 the stream of its controls (tag 1).
    void Stream(int depth) {
        // The window the properties of this level go to: -1 none yet, else the form (depth 0)
        // or an index into the controls (depth 1). Indices, because the vector grows.
        int current = -1;
        for (;;) {
            in_.BeginRecord();
            uint16_t tag = in_.U16();
            if (tag == 2) return;
            switch (tag) {
                case 0:
                    break;
                case 1:
                    if (current < 0) Reject(kNoWindow, tag, in_.Record());
                    // Our controls have no children of their own.
                    if (depth > 0) Reject(kDeepNesting, tag, in_.Record());
                    Stream(depth + 1);
                    break;
                case 9: {
                    std::string name = in_.Text();
                    std::string icon = in_.Text();
                    if (depth == 0) {
                        out_.className = std::move(name);
                        out_.iconName = std::move(icon);
                    }
                    break;
                }
                case 112:
                    current = Create(depth);
                    break;
                default:
                    if (IsSkipped(tag)) break;
                    if (!IsProperty(tag)) Reject(kUnknownTag, tag, in_.Record());
                    if (current < 0) Reject(kNoWindow, tag, in_.Record());
                    Property(tag, depth == 0 ? out_.form : out_.controls[static_cast<size_t>(current)]);
                    break;
            }
        }
    }

    int Create(int depth) {
        int32_t kind = in_.I32();
        uint32_t style = in_.U32();
        uint32_t exStyle = in_.U32();
        bool valid = kind == 0 || (kind >= 3 && kind <= 18);
        // A resource describes exactly one form, with its controls inside it: a second form,
        // a form among the controls or a control outside the form is as invalid as kind 1.
        bool placed = depth == 0 ? kind == 0 && !formCreated_ : kind != 0;
        if (!valid || !placed) Reject(kBadKind, static_cast<uint32_t>(kind), in_.Record());
        WindowDescription w;
        w.kind = static_cast<ControlKind>(kind);
        w.style = style;
        w.exStyle = exStyle;
        if (depth == 0) {
            out_.form = std::move(w);
            formCreated_ = true;
            return 0;
        }
        out_.controls.push_back(std::move(w));
        return static_cast<int>(out_.controls.size() - 1);
    }

    // Tags the player knows whose effect the program does not use: their payload is stepped
    // over. 38 and 52–57 are known without a documented meaning; we take one int16 for each,
    // like the form settings around them.
    bool IsSkipped(uint16_t tag) {
        switch (tag) {
            case 33:  // text attribute
            case 38: case 52: case 53: case 54: case 55: case 56: case 57:
                in_.Skip(2);
                return true;
            case 10:  // the older window creation, three int16; our resources use 112
                in_.Skip(6);
                return true;
            case 12:  // the older position, four int16; our resources use 159
            case 62: case 213:
                in_.Skip(8);
                return true;
            case 24:  // standard cursor id
            case 36:  // text buffer columns and rows, two int16
            case 60: case 211: case 212:
                in_.Skip(4);
                return true;
            case 22: case 23: case 25: case 58:  // menu, bitmap, cursor names; tooltip
                in_.Text();
                return true;
            case 214:
                in_.Skip(4);
                in_.Text();
                return true;
            default:
                return false;
        }
    }

    static bool IsProperty(uint16_t tag) {
        switch (tag) {
            case 11: case 13: case 14: case 15: case 16: case 21: case 30: case 31: case 32:
            case 34: case 35: case 37: case 39: case 50: case 51: case 61: case 70: case 71:
            case 72: case 73: case 74: case 75: case 76: case 80: case 124: case 156: case 159:
            case 172: case 173: case 186: case 201: case 300:
                return true;
            default:
                return false;
        }
    }

    void RequireKind(const WindowDescription& w, uint16_t tag) {
        if (const KindRule* rule = RuleOf(tag); rule && !rule->allows(static_cast<int>(w.kind)))
            Reject(rule->check, static_cast<uint32_t>(w.kind), in_.Record());
    }

    int16_t PaletteIndex(const char* check) {
        int16_t v = in_.I16();
        if (v < 0 || v > 15) Reject(check, static_cast<uint32_t>(v), in_.Record());
        return v;
    }

    std::string FaceName() {
        std::string face = in_.Text();
        if (face.size() > kMaxFaceBytes)
            Reject(kLongFace, static_cast<uint32_t>(face.size()), in_.Record());
        return face;
    }

    void Property(uint16_t tag, WindowDescription& w) {
        RequireKind(w, tag);
        switch (tag) {
            case 11: w.text = in_.Text(); break;
            case 13: w.showState = in_.I16(); break;
            case 14: w.disabled = in_.I16(); break;
            case 15: w.minimized = in_.I16(); break;
            case 16: w.maximized = in_.I16(); break;
            case 21:
                w.name = in_.Text();
                if (w.name.size() > kMaxNameBytes)
                    Reject(kLongName, static_cast<uint32_t>(w.name.size()), in_.Record());
                break;
            case 30: w.textColourIndex = PaletteIndex("__TEXTCOLOR:無効なカラーコード"); break;
            case 31: w.foreColourIndex = PaletteIndex("__FORECOLOR:無効なカラーコード"); break;
            case 32: w.backColourIndex = PaletteIndex("__BACKCOLOR:無効なカラーコード"); break;
            case 34: w.textColour = in_.U32(); break;
            case 35: w.backColour = in_.U32(); break;
            case 37: w.mappingMode = in_.I16(); break;
            case 39: w.redrawMode = in_.I16(); break;
            case 50: {
                int16_t min = in_.I16();
                w.scrollRange = {{min, in_.I16()}};
                break;
            }
            case 51: {
                int16_t small = in_.I16();
                w.scrollSteps = {{small, in_.I16()}};
                break;
            }
            case 61: w.systemMenuCopy = in_.I16(); break;
            case 70: w.fontSize = in_.I16(); break;
            case 71: w.bold = in_.I16(); break;
            case 72: w.italic = in_.I16(); break;
            case 73: w.underline = in_.I16(); break;
            case 74: w.strikeOut = in_.I16(); break;
            case 75:
                // The face alone: the character set and pitch go back to the defaults.
                w.fontFace = FaceName();
                w.charset.reset();
                w.pitchAndFamily.reset();
                break;
            case 76:
                w.fontFace = FaceName();
                w.charset = in_.I16();
                w.pitchAndFamily = static_cast<int16_t>(in_.U16() & 0xFF);
                break;
            case 80: Events(w); break;
            case 124: w.axisOrientation = in_.I32(); break;
            case 156: w.maxLength = in_.I32(); break;
            case 159: {
                int32_t placement = in_.I32();
                if (placement < 0 || placement > 3)
                    Reject(kBadPlacement, static_cast<uint32_t>(placement), in_.Record());
                w.placement = placement;
                w.geometry.x = in_.I32();
                w.geometry.y = in_.I32();
                w.geometry.width = in_.I32();
                w.geometry.height = in_.I32();
                break;
            }
            case 172: w.items = in_.Text(); break;
            case 173: w.initialValue = in_.I32(); break;
            case 186: w.imeMode = in_.I32(); break;
            case 201: w.showStateCombine = in_.I32(); break;
            case 300: {
                WindowDescription::Message m{};
                m.message = in_.I32();
                m.wParam = in_.I32();
                m.lParam = in_.I32();
                w.messages.push_back(m);
                break;
            }
            default:
                break;
        }
    }

    // Every entry is kept: whether the list binds anything depends on the program's routines,
    // which only the window layer knows.
    void Events(WindowDescription& w) {
        in_.I16();
        w.eventsRecorded = true;
        for (;;) {
            int16_t id = in_.I16();
            if (id == 2) return;
            if (id < 100 || id > 120) Reject(kBadEventId, static_cast<uint32_t>(id), in_.Record());
            w.events.push_back({id, in_.Text()});
        }
    }

    Reader in_;
    FormDescription out_;
    bool formCreated_ = false;
};

}  // namespace

bool PropertyAllowed(uint16_t tag, ControlKind kind) {
    const KindRule* rule = RuleOf(tag);
    return !rule || rule->allows(static_cast<int>(kind));
}

DecodeResult DecodeForm(std::span<const uint8_t> bytes) {
    DecodeResult result;
    if (bytes.size() < kHeaderSize || bytes[0] != 'K' || bytes[1] != 'Q') {
        uint32_t magic = bytes.size() >= 2 ? static_cast<uint32_t>(bytes[0] | bytes[1] << 8) : 0;
        result.error = Refusal(kBadHeader, magic, 0);
        return result;
    }
    try {
        result.form = Player(bytes).Play();
    } catch (Rejected& r) {
        result.error = std::move(r.error);
    }
    return result;
}

}  // namespace rt
