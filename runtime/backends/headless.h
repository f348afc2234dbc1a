#pragma once
// The headless back end: windows and controls in memory with everything a user would see, and
// the standard controls' own behaviour where the program depends on it. A user's actions are
// simulated by the User* calls (the scripted driver and tests make them); message boxes and
// file dialogs take their answers from queues.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/backends/platform.h"

namespace rt {

// A dialog appeared and nothing was queued to answer it.
struct NoAnswerQueued : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class HeadlessPlatform : public Platform {
public:
    struct Window {
        WindowSpec params;
        std::string text;
        bool visible = false;
        bool enabled = true;
        Rect rect;
        FontSpec font;
        std::optional<Colour> textColour, backColour;
        int check = 0;
        bool pushed = false;
        std::vector<std::string> items;
        std::vector<bool> selected;  // multiple-selection lists
        int curSel = -1;
        int top = 0;
        int scrollMin = 0, scrollMax = 100, scrollPos = 0;
        int selStart = 0, selEnd = 0;
        int maxLength = 0;
        int ime = 0;
        bool takesDroppedFiles = false;  // forms
        std::vector<ControlCommand> commands;
        std::string spokenName;
        std::string spokenDescription;
    };

    HeadlessPlatform();

    // Platform
    void SetSink(EventSink* sink) override { sink_ = sink; }
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
    Rect Desktop() const override { return {0, 0, 1024, 768}; }
    void SetFont(WinHandle w, const FontSpec& font) override;
    FontSpec Font(WinHandle w) const override;
    void SetColours(WinHandle w, std::optional<Colour> text, std::optional<Colour> background) override;
    void SetFocus(WinHandle w) override;
    WinHandle Focus() const override { return focus_; }
    void AcceptDroppedFiles(WinHandle form) override { At(form).takesDroppedFiles = true; }
    void SetCheck(WinHandle w, int state) override;
    int GetCheck(WinHandle w) const override;
    void SetPushed(WinHandle w, bool pushed) override;
    int ListAdd(WinHandle w, const std::string& item) override;
    void ListClear(WinHandle w) override;
    int ListCount(WinHandle w) const override;
    std::string ListItem(WinHandle w, int index) const override;
    int ListCurSel(WinHandle w) const override;
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
    void ScrollCaret(WinHandle) override {}
    void SetMaxLength(WinHandle w, int n) override;
    int MaxLength(WinHandle w) const override;
    void SetImeMode(WinHandle w, int mode) override;
    int ImeMode(WinHandle w) const override;
    void SetSpokenName(WinHandle w, const std::string& name) override { At(w).spokenName = name; }
    void SetSpokenDescription(WinHandle w, const std::string& description) override {
        At(w).spokenDescription = description;
    }
    int ListCaret(WinHandle w) const override {
        const Window& win = Get(w);
        return win.curSel >= 0 ? win.curSel : win.items.empty() ? -1 : 0;
    }
    // Kept as the labels' texts at the time, in order: what a screen reader was told.
    void SpeakFigures(const std::vector<WinHandle>& labels) override {
        std::vector<std::string> texts;
        for (WinHandle w : labels) texts.push_back(At(w).text);
        spokenFigures_.push_back(std::move(texts));
    }
    const std::vector<std::vector<std::string>>& SpokenFigures() const { return spokenFigures_; }
    Answer MessageBox(WinHandle owner, const std::string& title, const std::string& text,
                      MessageButtons buttons, MessageIcon icon,
                      DefaultButton defaultButton = DefaultButton::First) override;
    // The button Enter would have pressed in the last message box.
    DefaultButton LastDefaultButton() const { return lastDefault_; }
    // Nobody is there to press OK, and Help never ends the box: the report is kept and told to
    // the observer, with no answer taken from the queue.
    void ErrorReport(WinHandle owner, const std::string& caption, const std::string& report,
                     const std::string& helpText) override;
    std::optional<std::string> FileDialog(const FileDialogSpec& params) override;
    void SetCommands(WinHandle control, const std::vector<ControlCommand>& commands) override;
    // There is no printer in memory: the print dialog is told to the observer and cancelled.
    PrintResult PrintText(const PrintJob& job) override;
    // Nothing here draws pages: no PDF is made, and the reason says so.
    PdfResult RenderPdf(const PrintJob& job) override;
    void ProcessPending() override {}
    bool WaitForInput() override;

    // The user's actions, with the events the window system raises for them.
    void UserClick(WinHandle w);
    void UserType(WinHandle w, const std::string& text);  // replaces the text as typing would
    void UserSelect(WinHandle w, int index);
    void UserToggle(WinHandle w, int index);
    void UserScroll(WinHandle w, ScrollAction action, int pos = 0);
    // Press and release; a key the window layer does not take acts as the control's own key.
    void UserKey(WinHandle w, Key key, bool shift);
    void UserClose(WinHandle form);
    // Chooses the control's command `index` (from its context menu).
    void UserCommand(WinHandle control, int index);
    // As a drop from the desktop: reported only by a form that accepts files and can be reached.
    void UserDropFiles(WinHandle form, const std::vector<std::string>& paths);

    // Answers for the next dialogs, in order.
    void QueueAnswer(Answer a) { answers_.push_back(a); }
    void QueueFileChoice(std::optional<std::string> pathSjis) { choices_.push_back(std::move(pathSjis)); }
    size_t QueuedAnswers() const { return answers_.size() + choices_.size(); }
    // Drops answers no dialog took, so that they cannot answer a later, unrelated one.
    void ForgetQueued() {
        answers_.clear();
        choices_.clear();
    }

    // Where input comes from when the program waits: returns false when there is no more.
    void SetInputSource(std::function<bool()> source) { input_ = std::move(source); }
    // Told of every dialog with the answer it got, nullopt / nullptr when none was queued (the
    // scripted driver prints them).
    using MessageObserver = std::function<void(const std::string& title, const std::string& text, MessageButtons,
                                               MessageIcon, std::optional<Answer>)>;
    using DialogObserver = std::function<void(const FileDialogSpec&, const std::optional<std::string>* chosen)>;
    void SetMessageObserver(MessageObserver f) { messageObserver_ = std::move(f); }
    void SetDialogObserver(DialogObserver f) { dialogObserver_ = std::move(f); }
    using PrintObserver = std::function<void(const PrintJob&, const PrintResult&)>;
    void SetPrintObserver(PrintObserver f) { printObserver_ = std::move(f); }

    // The error reports shown, in order.
    struct ShownReport {
        std::string caption, report, help;
    };
    const std::vector<ShownReport>& ErrorReports() const { return errorReports_; }
    using ErrorReportObserver = std::function<void(const ShownReport&)>;
    void SetErrorReportObserver(ErrorReportObserver f) { errorReportObserver_ = std::move(f); }

    const Window& Get(WinHandle w) const;
    // Every live window, in the order they were created (parents before their children).
    std::vector<WinHandle> Windows() const;
    // Whether a user can reach the control: it and its form are visible and enabled.
    bool Reachable(WinHandle w) const;

private:
    Window& At(WinHandle w);
    bool IsSingleLineEdit(const Window& win) const;
    void Notify(WinHandle w, Notification n) {
        if (sink_) sink_->OnNotify(w, n);
    }
    // Option buttons inside the same group box rectangle are one group, as a user sees them.
    std::vector<WinHandle> OptionGroup(WinHandle w) const;

    std::map<WinHandle, Window> windows_;
    WinHandle next_ = 1;
    WinHandle focus_ = 0;
    EventSink* sink_ = nullptr;
    std::deque<Answer> answers_;
    DefaultButton lastDefault_ = DefaultButton::First;
    std::deque<std::optional<std::string>> choices_;
    std::function<bool()> input_;
    MessageObserver messageObserver_;
    DialogObserver dialogObserver_;
    PrintObserver printObserver_;
    std::vector<ShownReport> errorReports_;
    ErrorReportObserver errorReportObserver_;
    std::vector<std::vector<std::string>> spokenFigures_;
};

}  // namespace rt
