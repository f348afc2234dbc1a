// The form source's reader: one form and its controls, key by key, each checked against the kind
// of window it describes, with every value left out given its common one (form_source.h).
#include "tools/formc/form_source.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <set>

#include "runtime/values/encoding.h"
#include "tools/formc/form_events.h"
#include "tools/formc/source_words.h"

namespace formc {
namespace {

using rt::ControlKind;
using rt::WindowDescription;

constexpr uint32_t kChildStyle = 0x40000000;
constexpr size_t kMaxNameBytes = 21;
constexpr size_t kMaxFaceBytes = 31;

// Messages are UTF-8; names are kept in Shift-JIS once read.
std::string Utf8(const std::string& sjis) { return rt::SjisToUtf8Lossy(sjis); }

struct KindName {
    const char* word;
    ControlKind kind;
};
constexpr KindName kKinds[] = {
    {"button", ControlKind::PushButton}, {"option", ControlKind::OptionButton},
    {"check", ControlKind::CheckBox},    {"group", ControlKind::GroupBox},
    {"edit", ControlKind::Edit},         {"label", ControlKind::Label},
    {"list", ControlKind::ListBox},      {"hscroll", ControlKind::HScroll},
    {"vscroll", ControlKind::VScroll},   {"combo", ControlKind::ComboBox},
    {"picture", ControlKind::Picture},   {"item", ControlKind::Item},
    {"bitmapbutton", ControlKind::BitmapButton}, {"timer", ControlKind::Timer},
    {"media", ControlKind::Media},       {"printer", ControlKind::Printer},
};

// The source key → the record it becomes, for the check of which kinds accept it.
struct KeyTag {
    const char* key;
    uint16_t tag;
};
constexpr KeyTag kKeyTags[] = {
    {"text", 11}, {"textcolour", 34}, {"backcolour", 35}, {"range", 50}, {"steps", 51},
    {"maxlength", 156}, {"item", 172}, {"state", 173},
};

// One window being read, with what the end of its block still has to check.
struct Block {
    WindowDescription w;
    int line = 0;
    std::set<std::string> keys;
    std::vector<std::string> items;
    std::vector<std::pair<int, std::string>> routines;  // line, name
    std::optional<std::vector<int>> eventNumbers;
};

class Parser {
public:
    rt::FormDescription Run(std::string_view source) {
        if (source.substr(0, 3) == "\xEF\xBB\xBF") source.remove_prefix(3);
        int lineNo = 0;
        while (!source.empty()) {
            size_t end = source.find('\n');
            std::string_view line = source.substr(0, end);
            source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
            ++lineNo;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            std::vector<Token> tokens = Tokenize(line, lineNo);
            if (!tokens.empty()) Line(lineNo, tokens);
        }
        if (!current_) Fail(0, "no form: the first line must be \"form NAME\"");
        Finish();
        return std::move(out_);
    }

private:
    void Line(int lineNo, const std::vector<Token>& tokens) {
        line_ = lineNo;
        args_.assign(tokens.begin() + 1, tokens.end());
        const std::string& key = tokens[0].text;
        if (tokens[0].quoted) Fail(line_, "a line must start with a key, not a text");
        if (key == "form") return StartForm();
        if (!current_) Fail(line_, "the first line must be \"form NAME\"");
        if (key == "control") return StartControl();
        Property(key);
    }

    void StartForm() {
        if (current_) Fail(line_, "a source holds one form");
        Expect(1);
        current_ = Block{};
        WindowDescription& w = current_->w;
        w.kind = ControlKind::Form;
        w.name = Name(args_[0]);
        current_->line = line_;
        out_.className = w.name;
        w.text = w.name;
        w.placement = 0;
        w.mappingMode = 1;
        w.redrawMode = 1;
        w.axisOrientation = 0;
        w.textColourIndex = 0;
        w.foreColourIndex = 0;
        w.backColourIndex = 15;
        w.systemMenuCopy = 1;
        w.messages.push_back({0x32, 0, 0});
        SetFont(w, 18, "FixedSys", 128);
        w.disabled = 0;
        w.showStateCombine = 1;
    }

    void StartControl() {
        Expect(2);
        Finish();
        std::string name = Name(args_[0]);
        for (const WindowDescription& c : out_.controls)
            if (SameName(c.name, name)) Fail(line_, "a second control named " + args_[0].text);
        if (SameName(out_.form.name, name)) Fail(line_, "a control named like the form");
        auto k = std::find_if(std::begin(kKinds), std::end(kKinds),
                              [&](const KindName& n) { return args_[1].text == n.word; });
        if (k == std::end(kKinds)) Fail(line_, "unknown control kind \"" + args_[1].text + "\"");
        current_ = Block{};
        WindowDescription& w = current_->w;
        w.kind = k->kind;
        w.name = std::move(name);
        current_->line = line_;
        w.placement = 0;
        SetFont(w, 10, "ＭＳ Ｐゴシック", 1);
        if (rt::PropertyAllowed(11, w.kind)) w.text = "";
        if (rt::PropertyAllowed(34, w.kind)) w.textColour = 0x000000;
        if (rt::PropertyAllowed(35, w.kind)) w.backColour = 0xFFFFFF;
    }

    void Property(const std::string& key) {
        Block& b = *current_;
        WindowDescription& w = b.w;
        bool repeatable = key == "item" || key == "routine";
        if (!repeatable && !b.keys.insert(key).second) Fail(line_, "\"" + key + "\" given twice");
        for (const KeyTag& kt : kKeyTags)
            if (key == kt.key && !rt::PropertyAllowed(kt.tag, w.kind))
                Fail(line_, "\"" + key + "\" does not apply to this kind of window");
        bool form = w.kind == ControlKind::Form;

        if (key == "text") {
            Expect(1);
            w.text = Sjis(Quoted(0));
        } else if (key == "icon" && form) {
            Expect(1);
            out_.iconName = Sjis(Quoted(0));
        } else if (key == "placement") {
            Expect(1);
            w.placement = Number(0, 0, 3);
        } else if (key == "at") {
            Expect(2);
            w.geometry.x = Number(0, INT32_MIN, INT32_MAX);
            w.geometry.y = Number(1, INT32_MIN, INT32_MAX);
        } else if (key == "size") {
            Expect(2);
            w.geometry.width = Number(0, 0, INT32_MAX);
            w.geometry.height = Number(1, 0, INT32_MAX);
        } else if (key == "style" || key == "exstyle") {
            Expect(1);
            (key == "style" ? w.style : w.exStyle) = static_cast<uint32_t>(Number(0, 0, UINT32_MAX));
        } else if (key == "font") {
            if (args_.empty() || args_.size() > 4)
                Fail(line_, "font takes a size, then optionally face, charset and pitch");
            w.fontSize = static_cast<int16_t>(Number(0, 1, INT16_MAX));
            if (args_.size() > 1) {
                w.fontFace = Sjis(Quoted(1));
                if (w.fontFace->size() > kMaxFaceBytes) Fail(line_, "a face name is at most 31 bytes");
            }
            if (args_.size() > 2) w.charset = static_cast<int16_t>(Number(2, 0, 255));
            if (args_.size() > 3) w.pitchAndFamily = static_cast<int16_t>(Number(3, 0, 255));
        } else if (key == "textcolour" || key == "backcolour") {
            Expect(1);
            (key == "textcolour" ? w.textColour : w.backColour) = Colour(0);
        } else if (key == "maxlength" || key == "ime" || key == "state") {
            Expect(1);
            int32_t v = static_cast<int32_t>(Number(0, INT32_MIN, INT32_MAX));
            (key == "maxlength" ? w.maxLength : key == "ime" ? w.imeMode : w.initialValue) = v;
        } else if (key == "item") {
            Expect(1);
            b.items.push_back(Sjis(Quoted(0)));
        } else if (key == "range" || key == "steps") {
            Expect(2);
            std::pair<int16_t, int16_t> p{static_cast<int16_t>(Number(0, INT16_MIN, INT16_MAX)),
                                          static_cast<int16_t>(Number(1, INT16_MIN, INT16_MAX))};
            (key == "range" ? w.scrollRange : w.scrollSteps) = p;
        } else if (key == "routine") {
            Expect(1);
            b.routines.emplace_back(line_, Sjis(Word(0)));
        } else if (key == "events") {
            Events();
        } else {
            Fail(line_, "unknown key \"" + key + "\"" + (form ? " for the form" : ""));
        }
    }

    void Events() {
        std::vector<int> numbers;
        if (args_.size() == 1 && args_[0].text == "none" && !args_[0].quoted) {
            current_->eventNumbers = numbers;
            return;
        }
        if (args_.empty()) Fail(line_, "events takes suffixes such as _ON, or none");
        for (size_t i = 0; i < args_.size(); ++i) {
            const std::string& suffix = Word(i);
            const std::optional<int> number = EventNumber(suffix);
            if (!number) Fail(line_, "unknown event suffix \"" + suffix + "\"");
            numbers.push_back(*number);
        }
        current_->eventNumbers = std::move(numbers);
    }

    // Completes the window of the block just read and files it.
    void Finish() {
        Block& b = *current_;
        WindowDescription& w = b.w;
        bool form = w.kind == ControlKind::Form;
        for (const char* required : {"size", "style"})
            if (!b.keys.count(required))
                Fail(b.line, (form ? "the form" : "control " + Utf8(w.name)) + " has no " + required);
        if (!form) {
            w.style |= kChildStyle;
            if (!b.keys.count("at")) Fail(b.line, "control " + Utf8(w.name) + " has no position (at)");
        }
        if (!b.items.empty()) {
            std::string joined;
            for (const std::string& item : b.items) joined += (joined.empty() ? "" : "\r\n") + item;
            w.items = joined;
        }
        w.events = b.eventNumbers ? Bindings(*b.eventNumbers, w.name) : DefaultEvents(w.kind, w.name);
        w.eventsRecorded = !w.events.empty();
        for (const auto& [line, routine] : b.routines)
            if (std::none_of(w.events.begin(), w.events.end(),
                             [&name = routine](const rt::EventBinding& e) { return e.routine == name; }))
                Fail(line, "routine " + Utf8(routine) + " is not among the events of " + Utf8(w.name));
        if (form) out_.form = std::move(w);
        else out_.controls.push_back(std::move(w));
        current_.reset();
    }

    void Expect(size_t n) {
        if (args_.size() != n)
            Fail(line_, "expected " + std::to_string(n) + " value" + (n == 1 ? "" : "s") + ", found " +
                            std::to_string(args_.size()));
    }

    const std::string& Word(size_t i) {
        if (args_[i].quoted) Fail(line_, "value " + std::to_string(i + 1) + " must not be quoted");
        return args_[i].text;
    }

    const std::string& Quoted(size_t i) {
        if (!args_[i].quoted) Fail(line_, "value " + std::to_string(i + 1) + " must be a quoted text");
        return args_[i].text;
    }

    std::string Sjis(const std::string& utf8) {
        std::optional<std::string> s = rt::Utf8ToSjis(utf8);
        if (!s) Fail(line_, "\"" + utf8 + "\" cannot be written in Shift-JIS");
        return *s;
    }

    std::string Name(const Token& t) {
        if (t.quoted) Fail(line_, "a name is written without quotes");
        std::string name = Sjis(t.text);
        if (name.size() > kMaxNameBytes) Fail(line_, "the name " + t.text + " is longer than 21 bytes");
        return name;
    }

    int64_t Number(size_t i, int64_t min, int64_t max) {
        std::string_view s = Word(i);
        bool negative = !s.empty() && s[0] == '-';
        if (negative) s.remove_prefix(1);
        int base = 10;
        if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
            s.remove_prefix(2);
            base = 16;
        }
        uint64_t v = 0;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
        int64_t value = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
        bool whole = !s.empty() && ec == std::errc() && end == s.data() + s.size() && v <= UINT32_MAX;
        if (!whole || value < min || value > max)
            Fail(line_, "\"" + args_[i].text + "\" is not a number from " + std::to_string(min) + " to " +
                            std::to_string(max));
        return value;
    }

    // "#RRGGBB" as written by people → 0x00BBGGRR as the window system keeps colours.
    uint32_t Colour(size_t i) {
        std::string_view s = Word(i);
        uint32_t rgb = 0;
        bool hex = s.size() == 7 && s[0] == '#' &&
                   std::from_chars(s.data() + 1, s.data() + 7, rgb, 16).ptr == s.data() + 7;
        if (!hex)
            Fail(line_, "a colour is written #RRGGBB");
        return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    }

    static void SetFont(WindowDescription& w, int16_t size, const char* face, int16_t charset) {
        w.fontSize = size;
        w.fontFace = face;
        w.charset = charset;
        w.pitchAndFamily = 0;
    }

    static bool SameName(std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
            return up(x) == up(y);
        });
    }

    rt::FormDescription out_;
    std::optional<Block> current_;
    int line_ = 0;
    std::vector<Token> args_;
};

}  // namespace

std::string SourceError::Describe() const {
    return line > 0 ? file + ":" + std::to_string(line) + ": " + reason : file + ": " + reason;
}

SourceResult ParseFormSource(std::string_view utf8, const std::string& fileName) {
    SourceResult result;
    try {
        result.form = Parser().Run(utf8);
    } catch (const Failed& f) {
        result.error = SourceError{fileName, f.line, f.reason};
    }
    return result;
}

}  // namespace formc
