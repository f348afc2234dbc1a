#pragma once
// The binary form resource ("KQ"): a header and a stream of tagged records that describes a
// form and its controls. DecodeForm reads a resource into a FormDescription, which the window
// layer plays (creates the windows); EncodeForm is its mirror, used by the resource compiler
// and by tests that build small forms of their own.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/backends/platform.h"

namespace rt {

struct EventBinding {
    int16_t id = 0;        // 100..120; the event number is id − 100
    std::string routine;   // "BUTTON2_ON"
};

// One window of the form: the form itself (kind Form) or a control. Fields hold what the
// records set; a record that is absent leaves std::nullopt (or the empty value).
struct WindowDescription {
    ControlKind kind = ControlKind::Form;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    std::string name;                         // tag 21
    std::optional<std::string> text;          // tag 11
    std::optional<int16_t> showState;         // tag 13 (0 → hidden)
    std::optional<int16_t> disabled;          // tag 14
    std::optional<int16_t> minimized;         // tag 15
    std::optional<int16_t> maximized;         // tag 16
    std::optional<int16_t> textColourIndex;   // tag 30 (form)
    std::optional<int16_t> foreColourIndex;   // tag 31 (form)
    std::optional<int16_t> backColourIndex;   // tag 32 (form)
    std::optional<uint32_t> textColour;       // tag 34 (control)
    std::optional<uint32_t> backColour;       // tag 35 (control)
    std::optional<int16_t> mappingMode;       // tag 37
    std::optional<int16_t> redrawMode;        // tag 39
    std::optional<std::pair<int16_t, int16_t>> scrollRange;  // tag 50
    std::optional<std::pair<int16_t, int16_t>> scrollSteps;  // tag 51
    std::optional<int16_t> systemMenuCopy;    // tag 61
    std::optional<int16_t> fontSize;          // tag 70
    std::optional<int16_t> bold, italic, underline, strikeOut;  // tags 71–74
    std::optional<std::string> fontFace;      // tag 75 or 76
    std::optional<int16_t> charset;           // tag 76
    std::optional<int16_t> pitchAndFamily;    // tag 76 (low byte)
    std::vector<EventBinding> events;         // tag 80
    bool eventsRecorded = false;              // a tag 80 was present
    std::optional<int32_t> axisOrientation;   // tag 124
    std::optional<int32_t> maxLength;         // tag 156
    std::optional<int32_t> placement;         // tag 159
    Rect geometry;                            // tag 159
    std::optional<std::string> items;         // tag 172, CR LF separated
    std::optional<int32_t> initialValue;      // tag 173
    std::optional<int32_t> imeMode;           // tag 186
    std::optional<int32_t> showStateCombine;  // tag 201
    struct Message { int32_t message, wParam, lParam; };
    std::vector<Message> messages;            // tag 300
};

struct FormDescription {
    std::string className;  // tag 9, first text ("K7Q2WC" + this is the window class)
    std::string iconName;   // tag 9, second text
    WindowDescription form;
    std::vector<WindowDescription> controls;  // in resource order
};

// A record the player rejects. `message` is the text of the "PlayScript" message box
// (Shift-JIS, e.g. "未定義のリソーススクリプト 1f4"); `code` is the runtime error that follows
// (1014, or 7/27 for a resource that cannot be loaded).
struct FormError {
    std::string message;
    int code = 1014;
    size_t offset = 0;  // byte offset of the failing record, for our own diagnosis
};

struct DecodeResult {
    std::optional<FormDescription> form;
    std::optional<FormError> error;
};

DecodeResult DecodeForm(std::span<const uint8_t> bytes);
std::vector<uint8_t> EncodeForm(const FormDescription& form);

// Whether the player accepts the property record `tag` on a window of `kind` (a caption on a
// list box, a scroll range on a button and the like are refused). Tags it does not know as
// properties are allowed here; DecodeForm rejects those on its own.
bool PropertyAllowed(uint16_t tag, ControlKind kind);

// The embedded resources of the program, looked up without regard to letter case.
std::optional<std::span<const uint8_t>> FindFormResource(std::string_view name);

}  // namespace rt
