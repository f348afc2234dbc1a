#pragma once
// The readable source of one form: a UTF-8 text that names the form and every control with
// what differs from the common values. ParseFormSource turns it into the FormDescription
// that EncodeForm writes as the binary resource.
//
//   // comment to the end of the line; one key and its values per line
//   form MAINFORM                       the form; first, once
//   text "Kalvoro総合画面"               caption (form; its name if left out) or text (controls)
//   placement 2                         0 at (x, y), 1 keep, 2 desktop centre, 3 parent centre
//   at 141 138                          x y
//   size 646 418                        width height
//   style 0x00cc0115                    window style; exstyle likewise (default 0)
//
//   control TEXT1 label                 a control: name and kind
//   font 16 "ＭＳ Ｐゴシック"            points, then optionally face, charset, pitch-and-family
//   textcolour #FF00FF                  #RRGGBB; backcolour likewise
//   maxlength 6                         edit and combo boxes
//   ime 2                               input method mode
//   state 1                             check state, or a scroll bar's position
//   item "2612310351"                   an initial list item; one line per item
//   range 0 32767                       scroll bars, with steps SMALL LARGE
//   routine BUTTON1_ON                  a routine the program has; must be among the events
//   events _CHANGE _CLICK               replaces the kind's event list; "events none" for none
//
// Kinds: button option check group edit label list hscroll vscroll combo picture item
// bitmapbutton timer media printer.
//
// Left out, a form gets mapping and redraw mode 1, axis 0, palette colours 0, 0 and 15, the
// system menu's copy command, message 0x32 (0, 0) at load, font 18 "FixedSys" charset 128,
// enabled, show state 1 and the form events; a control gets placement 0, font 10
// "ＭＳ Ｐゴシック" charset 1, text colour #000000 and background #FFFFFF where its kind takes
// them, an empty text where it takes one, WS_CHILD, and the events of its kind.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/forms/form_resource.h"

namespace formc {

struct SourceError {
    std::string file;
    int line = 0;        // 1-based; 0 for the file as a whole
    std::string reason;  // UTF-8
    std::string Describe() const;  // "file:line: reason"
};

struct SourceResult {
    std::optional<rt::FormDescription> form;
    std::optional<SourceError> error;
};

SourceResult ParseFormSource(std::string_view utf8, const std::string& fileName);

// The routines a window names when its source lists no events: its name followed by each
// suffix of its kind, in event number order (Shift-JIS name in, Shift-JIS names out).
std::vector<rt::EventBinding> DefaultEvents(rt::ControlKind kind, const std::string& name);

}  // namespace formc
