#pragma once
// The Platform on Qt Widgets: real top-level windows with Qt's standard widgets in place of the
// original window system's controls, its message boxes and (non-native) file dialogs.
//
//   rt::QtPlatform platform;          // uses the running QApplication or starts one
//   rt::SetPlatform(&platform);
//
// User actions are reported to the EventSink from inside ProcessPending and WaitForInput, which
// is where the window layer's wait loop lets the windows run.
// No Qt header here: the program's own sources include this one and are compiled with the
// strict Shift-JIS execution character set, which Qt's headers (through <chrono>) do not pass.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/backends/platform.h"

class QApplication;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QSize;
class QObject;
class QPlainTextEdit;
class QTimer;
class QTranslator;
class QWidget;

namespace rt::qt {
class AccessibilityWatch;
}

namespace rt {

// Chooses the display the QApplication will show the windows on, before it is made: the
// platform the user set in QT_QPA_PLATFORM, else the X display (XWayland on a Wayland desktop),
// else native Wayland. False, with one sentence in *why, when no display here can be used.
bool QtChooseDisplay(std::string* why = nullptr);

class QtPlatform final : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    void SetSink(EventSink* sink) override;

    WinHandle Create(const WindowSpec& params) override;
    void Destroy(WinHandle w) override;
    bool Exists(WinHandle w) const override;
    void SetText(WinHandle w, const std::string& text) override;
    std::string GetText(WinHandle w) const override;
    void SetVisible(WinHandle w, bool visible) override;
    bool IsVisible(WinHandle w) const override;
    void SetEnabled(WinHandle w, bool enabled) override;
    bool IsEnabled(WinHandle w) const override;
    void SetGeometry(WinHandle w, const Rect& r) override;
    Rect Geometry(WinHandle w) const override;
    Rect Desktop() const override;
    void SetFont(WinHandle w, const FontSpec& font) override;
    FontSpec Font(WinHandle w) const override;
    void SetColours(WinHandle w, std::optional<Colour> text, std::optional<Colour> background) override;
    void SetFocus(WinHandle w) override;
    WinHandle Focus() const override;
    void AcceptDroppedFiles(WinHandle form) override;

    void SetCheck(WinHandle w, int state) override;
    int GetCheck(WinHandle w) const override;
    void SetPushed(WinHandle w, bool pushed) override;

    int ListAdd(WinHandle w, const std::string& item) override;
    void ListClear(WinHandle w) override;
    int ListCount(WinHandle w) const override;
    std::string ListItem(WinHandle w, int index) const override;
    int ListCurSel(WinHandle w) const override;
    int ListCaret(WinHandle w) const override;
    void ListSetCurSel(WinHandle w, int index) override;
    void ListSetTop(WinHandle w, int index) override;
    int ListTop(WinHandle w) const override;
    bool ListIsSelected(WinHandle w, int index) const override;
    void ListSetSelected(WinHandle w, int index, bool selected) override;

    void SetScrollRange(WinHandle w, int min, int max) override;
    std::pair<int, int> ScrollRange(WinHandle w) const override;
    void SetScrollPos(WinHandle w, int pos) override;
    int ScrollPos(WinHandle w) const override;

    void SetEditSel(WinHandle w, int start, int end) override;
    std::pair<int, int> EditSel(WinHandle w) const override;
    void ScrollCaret(WinHandle w) override;
    void SetMaxLength(WinHandle w, int n) override;
    int MaxLength(WinHandle w) const override;
    void SetImeMode(WinHandle w, int mode) override;
    int ImeMode(WinHandle w) const override;
    void SetSpokenName(WinHandle w, const std::string& name) override;
    void SetSpokenDescription(WinHandle w, const std::string& description) override;
    void SpeakFigures(const std::vector<WinHandle>& labels) override;

    Answer MessageBox(WinHandle owner, const std::string& title, const std::string& text, MessageButtons buttons,
                      MessageIcon icon, DefaultButton defaultButton = DefaultButton::First) override;
    void ErrorReport(WinHandle owner, const std::string& caption, const std::string& report,
                     const std::string& helpText) override;
    std::optional<std::string> FileDialog(const FileDialogSpec& params) override;

    // Commands go into the control's context menu (an edit box's own menu, then a separator);
    // a shortcut works while the control's window is active.
    void SetCommands(WinHandle control, const std::vector<ControlCommand>& commands) override;
    PrintResult PrintText(const PrintJob& job) override;
    PdfResult RenderPdf(const PrintJob& job) override;

    void ProcessPending() override;
    bool WaitForInput() override;

    // Renders a form (shown or not) into a PNG file; false when it cannot be written.
    bool Screenshot(WinHandle form, const std::string& pngPathUtf8);

    // The widget behind a handle and back, for tests and tools that drive real input.
    QWidget* Widget(WinHandle w) const;
    WinHandle HandleOf(const QObject* widget) const;

    struct Window;  // one created window (qt_window.h)

private:
    friend class QtKeyFilter;
    friend class QtDropFilter;

    Window* Find(WinHandle w) const;
    // The window of a handle that is there (one in windows_, widget or not).
    Window& WindowAt(WinHandle w) const;
    // The window with its widget, made now when its form has not made its controls' yet.
    Window* Built(WinHandle w) const;
    // Keeps `change` for when the control gets its widget: true when it has none yet.
    bool Later(Window& win, std::function<void()> change);
    void Build(Window& form);
    void MakeControl(Window& win);
    QWidget* MakeWidget(Window& win, QWidget* parent);
    void Wire(Window& win);
    void WireEdit(Window& win);
    void WireMultiLineEdit(Window& win);
    void WireList(Window& win);
    void WireCombo(Window& win);
    void WireScrollBar(Window& win);
    void ApplyColours(Window& win);
    void ApplyImeMode(Window& win);
    void ApplyInputRules(Window& win);
    void ApplyComboGeometry(Window& win);
    void Regroup(WinHandle form);
    // A form that shows a statement may be enlarged, its box growing with it (qt_form_growth.cpp).
    void LetGrow(Window& form);
    void Grow(Window& form, QSize smallest);
    void FollowGrowth(Window& form);
    void NameByCaptions(WinHandle form);  // qt_accessible.cpp
    void NamesChanged(Window& win);        // the names of its form are given again before events
    void RenameStaleForms();
    void OptionClicked(Window& win);
    void FocusChanged(QWidget* old, QWidget* now);
    void MarkFocus(QWidget* now);
    void ActivateForm(Window& form);
    // What the program asked of its windows, made real before the window system may draw them
    // or a dialog runs over them: the forms shown or hidden, then the fonts of the shown ones.
    void BeforeEvents();
    void ApplyVisibility();
    void ApplyFont(Window& win);
    void ApplyPendingFonts(WinHandle form);
    void ApplyShownFonts();
    QLineEdit* LineEditOf(const Window& win) const;
    QPlainTextEdit* TextEditOf(const Window& win) const;
    QWidget* OwnerWidget(WinHandle owner) const;
    void FlushDeletes();

    // The sink, and whether a change being made comes from the program (which raises nothing).
    void Notify(WinHandle w, Notification what);
    bool ProgramChanging() const { return programChanging_ > 0; }
    struct ProgramChange;

    std::unique_ptr<QApplication> ownApp_;
    std::unique_ptr<QTranslator> translator_;
    std::unique_ptr<QObject> keyFilter_;
    std::unique_ptr<QObject> dropFilter_;  // made when a form first takes dropped files
    std::unique_ptr<QTimer> wake_;
    // Whether a screen reader listens, and the watch that says so: the accessible names are
    // placed only then (NameByCaptions).
    bool accessibleNames_ = false;
    std::unique_ptr<qt::AccessibilityWatch> accessibilityWatch_;
    EventSink* sink_ = nullptr;
    int programChanging_ = 0;
    bool building_ = false;  // a form's controls are getting their widgets
    WinHandle nextHandle_ = 1;
    WinHandle focusReported_ = 0;
    // The control the program gave the focus while its window was not active yet: the window
    // system hands it over when the window becomes active, and that arrival raises nothing.
    WinHandle focusPending_ = 0;
    WinHandle focusLast_ = 0;   // the control that had the focus last
    WinHandle markedForm_ = 0;  // the form whose focus frame marks a control
    std::map<WinHandle, std::unique_ptr<Window>> windows_;
    // The forms to be shown or hidden by ApplyVisibility, in the order the program last asked.
    std::vector<WinHandle> visibilityLater_;
    // The same windows by handle, for the lookups of every call: handles are handed out in order
    // and never again, so an index finds one without a search.
    std::vector<Window*> byHandle_;
    // The control each widget the program made stands for (HandleOf).
    std::unordered_map<const QObject*, WinHandle> handleOfWidget_;
    // Whether a file was chosen in a dialog of this run: until then, a dialog the program starts
    // in the current folder starts in the folder remembered from the last run instead.
    bool fileChosen_ = false;
    // (form, group box or 0) → the buttons of one option group; owned by the form's widget.
    std::map<std::pair<WinHandle, WinHandle>, QButtonGroup*> optionGroups_;
};

}  // namespace rt
