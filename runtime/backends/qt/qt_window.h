#pragma once
// What QtPlatform keeps about each window it created (shared by its source files).
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/backends/qt/qt_focus_frame.h"
#include "runtime/backends/qt/qt_option_groups.h"
#include "runtime/backends/qt/qt_platform.h"
#include "runtime/backends/qt/qt_widgets.h"

namespace rt {

struct QtPlatform::Window {
    WinHandle handle = 0;
    WinHandle parent = 0;  // the form of a control; the owner (or 0) of a form
    ControlKind kind = ControlKind::Form;
    uint32_t style = 0;
    QPointer<QWidget> widget;

    // The text the program set and what it became on screen: GetText gives the program's own
    // bytes back while the user has not changed what is shown.
    std::string textBytes;
    QString textShown;

    std::optional<FontSpec> font;
    std::optional<Colour> textColour;
    std::optional<Colour> backColour;
    int imeMode = 0;
    int maxLength = 0;      // in Shift-JIS bytes; 0 = none but the system's largest
    Rect requested;         // combo boxes: the rectangle including the dropped-down list
    int comboTop = 0;
    WinHandle optionGroupBox = 0;  // option buttons: the group box holding them, 0 = none
    bool onGroupBox = false;       // option buttons and check boxes: inside a group box
    QString multiLineBefore;       // multi-line edit boxes: the text before the user's change
    qt::SjisInputValidator* validator = nullptr;
    qt::FocusFrame* focusFrame = nullptr;  // forms: the mark of their focused control
    bool shownOnce = false;    // forms: shown at least once
    std::optional<bool> visibleLater;  // forms: to be shown (true) or hidden by ApplyVisibility
    bool fontPending = false;  // `font` is not given to the widget yet
    QString spokenName;        // the name the program gave for a screen reader, if any
    QString spokenDescription;  // and the description
    bool namesStale = false;   // forms: a text or a visibility changed since the names were given
    // A form and its controls get their widgets when the form is first shown or looked at
    // (QtPlatform::Build): until then each has only this record, and the form keeps the
    // program's changes to them, in order, to be made on the widgets then.
    bool awaitingWidget = false;
    bool controlsBuilt = false;  // forms
    WinHandle filler = 0;        // forms: the box that grows with the form, 0 = it keeps its size
    std::vector<std::function<void()>> later;  // forms

    bool Is(ControlKind k) const { return kind == k; }
    uint32_t ButtonType() const { return style & style::kBsTypeMask; }
    bool MultiLine() const { return kind == ControlKind::Edit && (style & style::kEsMultiLine); }
    bool ReadOnly() const { return kind == ControlKind::Edit && (style & style::kEsReadOnly); }
    bool DigitsOnly() const { return kind == ControlKind::Edit && (style & style::kEsNumber); }
    // Multi-line read-only boxes show tables aligned by byte counts.
    bool ByteColumns() const { return MultiLine() && ReadOnly(); }
    bool IsList() const { return kind == ControlKind::ListBox; }
    bool IsCombo() const { return kind == ControlKind::ComboBox; }
    // The kinds whose place decides which group box holds a button (Regroup).
    bool Grouped() const {
        return kind == ControlKind::GroupBox || kind == ControlKind::OptionButton || kind == ControlKind::CheckBox;
    }
    bool IsScrollBar() const { return kind == ControlKind::HScroll || kind == ControlKind::VScroll; }
};

// Marks the changes the program makes: they raise nothing.
struct QtPlatform::ProgramChange {
    explicit ProgramChange(QtPlatform& platform) : platform_(platform) { ++platform_.programChanging_; }
    ~ProgramChange() { --platform_.programChanging_; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;

private:
    QtPlatform& platform_;
};

}  // namespace rt
