// Message boxes, file dialogs and the print dialog as the routines call them: the arguments
// checked, the filter and initial path read, and the floating-point flags left as the dialog found
// them.
#include "runtime/window/dialogs.h"

#include <unistd.h>

#include <climits>
#include <filesystem>

#include "runtime/values/encoding.h"
#include "runtime/window/window_state.h"

namespace rt {

namespace {
constexpr char kSeparator = '/';

// Returns the owner's window, raising 1000 when it is not live and 1002 when a form is
// required and the object is a control.
WinHandle OwnerWindow(const Obj& owner, bool formOnly, Here here) {
    WinHandle w = WindowOf(owner);
    if (!w || !CurrentPlatform().Exists(w)) RaiseError(1000, here);
    if (formOnly && !IsFormWindow(w)) RaiseError(1002, here);
    return w;
}

std::string UpToNul(const Text& t) {
    std::string_view v = t.view();
    return std::string(v.substr(0, v.find('\0')));
}

// A dialog runs the window system's own event loop inside the routine that asked for it, and
// that code may leave floating-point flags raised (Qt's file dialog does). The routine's next
// store would take them for an invalid operation of its own and end the program with error 5,
// so a dialog leaves the flags as it found them (KeepFloatFlags). While it runs, the forms
// behind it take nothing from the user (DialogOpen).

Text RunFileDialog(FileDialogKind kind, const Obj& owner, const Text& title, const Text& initialPath,
                   const Text& filter, Int32 mode, Here here) {
    WinHandle w = OwnerWindow(owner, true, here);
    // The initial path has no limit of its own: it is the last folder chosen and a name, and a
    // folder the customer could choose is one the dialog can start in. A path the system cannot
    // take is refused later, by the file routine, with a message.
    if (title.size() > 64 || filter.size() > 511) RaiseError(5, here);
    if (mode != 0 && mode != 1) RaiseError(5, here);
    auto filters = ParseFilter(UpToNul(filter));
    if (!filters) RaiseError(5, here);
    FileDialogSpec params;
    params.kind = kind;
    params.owner = w;
    params.title = UpToNul(title);
    InitialPath start = SplitInitialPath(UpToNul(initialPath));
    params.initialFolder = start.folder;
    params.initialName = start.name;
    params.filters = std::move(*filters);
    params.overwritePrompt = kind == FileDialogKind::Save && mode == 0;
    params.fileMustExist = kind == FileDialogKind::Open && mode == 0;
    std::optional<std::string> chosen;
    {
        KeepFloatFlags flags;
        detail::DialogOpen open;
        chosen = CurrentPlatform().FileDialog(params);
    }
    if (!chosen) return TextFromCodes({27});
    return Text(*chosen);
}
}  // namespace

std::optional<std::vector<FileFilter>> ParseFilter(const std::string& filter) {
    std::string text = filter.empty() ? std::string("すべてのﾌｧｲﾙ(*.*)") : filter;
    std::vector<FileFilter> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        std::string entry = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!entry.empty()) {
            size_t open = entry.find('(');
            size_t close = open == std::string::npos ? std::string::npos : entry.find(')', open);
            if (close == std::string::npos) return std::nullopt;
            FileFilter f;
            f.description = entry;
            std::string pat;
            for (char c : entry.substr(open + 1, close - open - 1)) {
                if (c == ' ' || c == '\t') continue;
                if (c == ',') {
                    if (!pat.empty()) f.patterns.push_back(pat);
                    pat.clear();
                } else {
                    pat += c;
                }
            }
            if (!pat.empty()) f.patterns.push_back(pat);
            out.push_back(std::move(f));
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (out.empty()) return std::nullopt;
    return out;
}

InitialPath SplitInitialPath(const std::string& initialPath) {
    // Made absolute against the current folder, as the system's full-path rule does.
    std::string cwd;
    {
        char buf[PATH_MAX];
        // The folder's name comes from the system in UTF-8; the program's paths are Shift-JIS.
        if (getcwd(buf, sizeof buf)) cwd = Utf8ToSjis(buf).value_or(buf);
    }
    std::string full = initialPath;
    if (full.empty() || full[0] != kSeparator) full = cwd + (cwd.empty() || cwd.back() == kSeparator ? "" : "/") + full;
    if (initialPath.empty() && (full.empty() || full.back() != kSeparator)) full += kSeparator;
    size_t cut = full.rfind(kSeparator);
    InitialPath r;
    r.folder = full.substr(0, cut + 1);
    r.name = full.substr(cut + 1);
    return r;
}

}  // namespace rt

using namespace rt;

Int32 MessageBox(const Obj& owner, const Text& title, const Text& text, Int32 buttons, Int32 icon, Here here) {
    WinHandle w = OwnerWindow(owner, false, here);
    constexpr Int32 kSecondDefault = 256;
    const DefaultButton defaultButton = buttons >= kSecondDefault ? DefaultButton::Second : DefaultButton::First;
    if (defaultButton == DefaultButton::Second) buttons -= kSecondDefault;
    if (buttons < 0 || buttons > 5 || icon < 0 || icon > 4) RaiseError(5, here);
    KeepFloatFlags flags;
    detail::DialogOpen open;
    Answer a = CurrentPlatform().MessageBox(w, UpToNul(title), UpToNul(text), static_cast<MessageButtons>(buttons),
                                            static_cast<MessageIcon>(icon), defaultButton);
    return static_cast<Int32>(a);
}

PrintResult PrintTextDialog(const PrintJob& job) {
    KeepFloatFlags flags;
    detail::DialogOpen open;
    return CurrentPlatform().PrintText(job);
}

PdfResult PdfOfText(const PrintJob& job) {
    KeepFloatFlags flags;
    return CurrentPlatform().RenderPdf(job);
}

Text SaveDialog(const Obj& owner, const Text& title, const Text& initialPath, const Text& filter, Int32 mode,
                Here here) {
    return RunFileDialog(FileDialogKind::Save, owner, title, initialPath, filter, mode, here);
}

Text OpenDialog(const Obj& owner, const Text& title, const Text& initialPath, const Text& filter, Int32 mode,
                Here here) {
    return RunFileDialog(FileDialogKind::Open, owner, title, initialPath, filter, mode, here);
}
