#pragma once
// What the window layer needs from a window system: the services the program's forms were
// built on (windows and standard controls, fonts, colours, message boxes, file dialogs, the
// input method, the message loop). Two back ends implement it: a headless one in memory
// (tests, the scripted driver, batch commands) and one on Qt Widgets.
//
// Every text crossing this interface is Shift-JIS bytes; a back end converts at its own edge.
// The back end keeps the standard controls' own behaviour (an auto check box toggles when
// clicked, an option button unchecks the others of its group, a digits-only edit box refuses
// other characters, max length is kept) and reports the user's actions to the EventSink.
// Changes made through this interface by the program raise nothing, with one exception kept
// from the original window system: SetText on a single-line edit box reports EditChanged.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rt {

using WinHandle = int32_t;  // 0 = no window

// The control kinds of a form resource; the value is the resource's kind number.
enum class ControlKind : int {
    Form = 0,
    PushButton = 3,
    OptionButton = 4,
    CheckBox = 5,
    GroupBox = 6,
    Edit = 7,
    Label = 8,
    ListBox = 9,
    HScroll = 10,
    VScroll = 11,
    ComboBox = 12,
    Picture = 13,
    Item = 14,
    BitmapButton = 15,
    Timer = 16,
    Media = 17,
    Printer = 18,
};

// Window style bits the back ends look at (values of the original window system).
namespace style {
inline constexpr uint32_t kVisible = 0x10000000;
inline constexpr uint32_t kDisabled = 0x08000000;
inline constexpr uint32_t kVScroll = 0x00200000;
inline constexpr uint32_t kHScroll = 0x00100000;
inline constexpr uint32_t kBorder = 0x00800000;
inline constexpr uint32_t kGroup = 0x00020000;
inline constexpr uint32_t kTabStop = 0x00010000;
// buttons (low 4 bits)
inline constexpr uint32_t kBsTypeMask = 0x0000000F;
inline constexpr uint32_t kBsPushButton = 0x0;
inline constexpr uint32_t kBsAutoCheckBox = 0x3;
inline constexpr uint32_t kBsGroupBox = 0x7;
inline constexpr uint32_t kBsAutoRadioButton = 0x9;
// labels
inline constexpr uint32_t kSsTypeMask = 0x0000000F;
inline constexpr uint32_t kSsLeft = 0x0;
inline constexpr uint32_t kSsCenter = 0x1;
inline constexpr uint32_t kSsRight = 0x2;
// edit boxes
inline constexpr uint32_t kEsMultiLine = 0x0004;
inline constexpr uint32_t kEsAutoHScroll = 0x0080;
inline constexpr uint32_t kEsNoHideSel = 0x0100;
inline constexpr uint32_t kEsReadOnly = 0x0800;
inline constexpr uint32_t kEsNumber = 0x2000;
// list boxes
inline constexpr uint32_t kLbsNotify = 0x0001;
inline constexpr uint32_t kLbsSort = 0x0002;
inline constexpr uint32_t kLbsMultipleSel = 0x0008;
// combo boxes
inline constexpr uint32_t kCbsDropDown = 0x0002;
inline constexpr uint32_t kCbsSort = 0x0100;
}  // namespace style

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

enum class FontUnit { Points, Pixels };

struct FontSpec {
    std::string face;          // Shift-JIS face name, as the forms give it ("ＭＳ Ｐゴシック")
    int size = 0;              // character height, in `unit`
    FontUnit unit = FontUnit::Points;
    int weight = 400;          // 700 = bold
    bool italic = false, underline = false, strikeOut = false;
    int charset = 1;
    int pitchAndFamily = 0;
    bool operator==(const FontSpec&) const = default;
};

using Colour = uint32_t;  // 0x00BBGGRR

struct WindowSpec {
    ControlKind kind = ControlKind::Form;
    WinHandle parent = 0;  // 0 for a top-level form
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int controlId = 0;
    std::string className;
};

enum class Notification {
    Clicked,        // push button, check box, option button (after the control's own toggling)
    EditChanged,    // edit box text changed (user typing, or the program's SetText)
    SelChanged,     // list box item clicked by the user (also the one already selected); combo box list choice
    SelMoved,       // list box selection moved by the user's keys: the line is only chosen, not opened
    ComboEdited,    // combo box edit field changed by the user
    DoubleClicked,  // list box, combo box
    DropDown,       // combo box list opened
    SetFocus,       // edit, list and combo boxes and forms, when the user moves the focus;
    KillFocus,      // the program's SetFocus raises nothing
};

// Scroll-bar actions of the user; EndScroll follows every mouse action on the bar.
enum class ScrollAction { LineLeft, LineRight, PageLeft, PageRight, ThumbTrack, ThumbPosition, EndScroll };

// The window layer hears Tab, Enter, Space and Escape; the others are the controls' own (a list
// moves its selection, a scroll bar its thumb), and a back end reports what they did.
enum class Key { Tab, Enter, Space, Left, Right, Up, Down, PageUp, PageDown, Home, End, Escape };

// The window layer's side of the back end: the back end calls these when the user acts.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void OnNotify(WinHandle control, Notification what) = 0;
    virtual void OnScroll(WinHandle control, ScrollAction action, int trackPos) = 0;
    // The user asks to close a top-level form (its close box).
    virtual void OnClose(WinHandle form) = 0;
    // A key on the focused control or form; true when the window layer took it. Auto-repeated
    // presses and keys with Alt, Ctrl or Meta held are not reported.
    virtual bool OnKey(WinHandle focus, Key key, bool shift, bool pressed) = 0;
    // The user chose command `index` of a control's commands (Platform::SetCommands), from its
    // context menu or by its shortcut. A sink that never gives a control commands hears none.
    virtual void OnCommand(WinHandle /*control*/, int /*index*/) {}
    // Files dropped on a form that accepts them (AcceptDroppedFiles), anywhere on it, its
    // controls included: their paths in Shift-JIS, in the order the drop gave them.
    virtual void OnDropFiles(WinHandle form, const std::vector<std::string>& paths) = 0;
};

struct FileFilter {
    std::string description;            // shown as is ("ﾃｷｽﾄ形式(*.TXT,*.CSV)")
    std::vector<std::string> patterns;  // "*.TXT", "*.CSV"; matched regardless of letter case
};

enum class FileDialogKind { Save, Open };

struct FileDialogSpec {
    FileDialogKind kind = FileDialogKind::Save;
    WinHandle owner = 0;
    std::string title;
    std::string initialFolder;  // absolute, Shift-JIS
    std::string initialName;    // may be empty or a pattern such as "*.SAV"
    std::vector<FileFilter> filters;
    bool overwritePrompt = false;  // save: ask before replacing a file
    bool fileMustExist = false;    // open: only existing files
};

// A command the program adds to a control's context menu, after the control's own entries.
struct ControlCommand {
    std::string caption;   // "印刷…"
    std::string shortcut;  // "Ctrl+P": works while the control's form is active; empty for none
};

// A text set on paper as the statement box shows it: one line a row, one Shift-JIS byte one
// half-width cell of a fixed-pitch face (so the columns stay aligned), as large as the control's
// font or as much smaller as the widest line needs to fit the page; every page numbered.
struct PrintJob {
    WinHandle owner = 0;       // the form the print dialog belongs to
    std::string caption;       // the print dialog's ("明細書の印刷")
    std::string documentName;  // the print queue's name for the job, the PDF's title
    std::string text;          // lines ended by CR LF
    FontSpec font;             // the control's
};

enum class PrintOutcome { Printed, Cancelled, Failed };
struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Cancelled;
    std::string reason;  // when failed: the system's reason, English, ASCII
};

// The bytes of a PDF file, or nullopt and the reason (English, ASCII) when none could be made.
struct PdfResult {
    std::optional<std::string> bytes;
    std::string reason;
};

enum class MessageButtons { Ok = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
enum class MessageIcon { Stop = 0, Question = 1, Exclamation = 2, Information = 3, None = 4 };
// The button that Enter presses: the first, or the second for a question whose "yes" cannot be
// taken back.
enum class DefaultButton { First = 0, Second = 1 };
// Answer codes as the program sees them.
enum class Answer { Ok = 0, Cancel = 1, Abort = 2, Retry = 3, Ignore = 4, Yes = 5, No = 6 };

class Platform {
public:
    virtual ~Platform() = default;

    virtual void SetSink(EventSink* sink) = 0;

    // Windows.
    // A form starts hidden whatever its style; a control follows kVisible.
    virtual WinHandle Create(const WindowSpec& params) = 0;
    virtual void Destroy(WinHandle w) = 0;
    virtual bool Exists(WinHandle w) const = 0;
    virtual void SetText(WinHandle w, const std::string& text) = 0;
    virtual std::string GetText(WinHandle w) const = 0;
    virtual void SetVisible(WinHandle w, bool visible) = 0;
    virtual bool IsVisible(WinHandle w) const = 0;  // the window's own flag, not its parent's
    virtual void SetEnabled(WinHandle w, bool enabled) = 0;
    virtual bool IsEnabled(WinHandle w) const = 0;
    virtual void SetGeometry(WinHandle w, const Rect& r) = 0;  // client coordinates of the parent
    // A drop-down combo box's rectangle includes its dropped-down list.
    virtual Rect Geometry(WinHandle w) const = 0;
    virtual Rect Desktop() const = 0;
    virtual void SetFont(WinHandle w, const FontSpec& font) = 0;
    virtual FontSpec Font(WinHandle w) const = 0;
    virtual void SetColours(WinHandle w, std::optional<Colour> text, std::optional<Colour> background) = 0;
    virtual void SetFocus(WinHandle w) = 0;
    // While no window of the program is active (one was hidden, the user is elsewhere), the
    // window that had the focus last.
    virtual WinHandle Focus() const = 0;
    // The form takes files dropped on it from the desktop and reports them (OnDropFiles); other
    // forms leave a drag alone.
    virtual void AcceptDroppedFiles(WinHandle form) = 0;

    // Buttons: 0 unchecked, 1 checked, 2 indeterminate.
    // Changes this button only: the program may leave two option buttons of a group checked,
    // or none.
    virtual void SetCheck(WinHandle w, int state) = 0;
    virtual int GetCheck(WinHandle w) const = 0;
    virtual void SetPushed(WinHandle w, bool pushed) = 0;  // the pressed look of a push button

    // List and combo boxes. ListAdd returns the index of the new item, −1 when refused.
    virtual int ListAdd(WinHandle w, const std::string& item) = 0;
    virtual void ListClear(WinHandle w) = 0;  // a combo box's edit field is emptied too
    virtual int ListCount(WinHandle w) const = 0;
    virtual std::string ListItem(WinHandle w, int index) const = 0;
    virtual int ListCurSel(WinHandle w) const = 0;           // −1 none
    // The line with the keyboard caret, the one a screen reader announces (−1 none): a list
    // with lines has it on its first line until the keys or the program move it.
    virtual int ListCaret(WinHandle w) const = 0;
    virtual void ListSetCurSel(WinHandle w, int index) = 0;   // −1 clears
    virtual void ListSetTop(WinHandle w, int index) = 0;
    virtual int ListTop(WinHandle w) const = 0;
    virtual bool ListIsSelected(WinHandle w, int index) const = 0;  // multiple-selection lists
    virtual void ListSetSelected(WinHandle w, int index, bool selected) = 0;

    // Scroll bars.
    virtual void SetScrollRange(WinHandle w, int min, int max) = 0;
    virtual std::pair<int, int> ScrollRange(WinHandle w) const = 0;
    virtual void SetScrollPos(WinHandle w, int pos) = 0;
    virtual int ScrollPos(WinHandle w) const = 0;

    // Edit boxes and the edit field of combo boxes.
    // Offsets are Shift-JIS bytes into GetText's text, CR LF counting two; start −1 removes the
    // selection, end −1 is the end of the text.
    virtual void SetEditSel(WinHandle w, int start, int end) = 0;
    virtual std::pair<int, int> EditSel(WinHandle w) const = 0;
    virtual void ScrollCaret(WinHandle w) = 0;
    // Shift-JIS bytes the user may type; SetText is never cut; 0 = no limit. MaxLength returns
    // what was set (0 before).
    virtual void SetMaxLength(WinHandle w, int n) = 0;
    virtual int MaxLength(WinHandle w) const = 0;
    virtual void SetImeMode(WinHandle w, int mode) = 0;
    virtual int ImeMode(WinHandle w) const = 0;
    // The name a screen reader announces, in place of the one the form's captions give.
    virtual void SetSpokenName(WinHandle w, const std::string& name) = 0;
    // What a screen reader says after the name: what a control does, where its caption does not
    // say it.
    virtual void SetSpokenDescription(WinHandle w, const std::string& description) = 0;
    // Tells a screen reader, once and without moving the focus, the figures of labels that have
    // just changed, each as it is announced (its caption and the figure), in the order given.
    // Nothing shows on screen.
    virtual void SpeakFigures(const std::vector<WinHandle>& labels) = 0;

    // Modal dialogs.
    virtual Answer MessageBox(WinHandle owner, const std::string& title, const std::string& text,
                              MessageButtons buttons, MessageIcon icon,
                              DefaultButton defaultButton = DefaultButton::First) = 0;
    // The report of the runtime error that ends the program: the warning icon, OK and Help.
    // Help shows helpText and brings the report back; the call returns when OK (or Esc, or the
    // close box) is pressed. Kept apart from MessageBox, whose six button sets are the
    // program's own and have no Help.
    virtual void ErrorReport(WinHandle owner, const std::string& caption, const std::string& report,
                             const std::string& helpText) = 0;
    // The chosen path (Shift-JIS, with the system's separators), or nullopt when cancelled.
    virtual std::optional<std::string> FileDialog(const FileDialogSpec& params) = 0;

    // Commands and printing.
    // Replaces the control's commands (an empty list removes them); choosing the i-th is
    // reported as OnCommand(control, i). Set on a control whose form is shown or hidden alike.
    virtual void SetCommands(WinHandle control, const std::vector<ControlCommand>& commands) = 0;
    // The system's print dialog, owned by job.owner, then the pages on the printer chosen there.
    virtual PrintResult PrintText(const PrintJob& job) = 0;
    // The same pages on A4 as the bytes of a PDF file, which the program writes as it writes any
    // file: into a new file that replaces the old one only once complete.
    virtual PdfResult RenderPdf(const PrintJob& job) = 0;

    // The message loop. ProcessPending handles whatever input is waiting without blocking;
    // WaitForInput blocks briefly for input and returns false when no more input can ever come
    // (the end of a script).
    virtual void ProcessPending() = 0;
    virtual bool WaitForInput() = 0;
};

// The back end the program runs on; set once at start-up.
Platform& CurrentPlatform();
void SetPlatform(Platform* platform);

}  // namespace rt
