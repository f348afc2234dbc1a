// What the scripted driver prints: texts escaped into one line of UTF-8, message boxes, error
// reports and file dialogs with their answers, and form dumps, with paths written so that a
// transcript does not depend on where it ran.
#include "runtime/driver/script_print.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <vector>

#include "runtime/values/encoding.h"
#include "runtime/files/error_record.h"
#include "runtime/values/error.h"
#include "runtime/backends/headless.h"
#include "runtime/driver/script_line.h"
#include "runtime/window/window.h"

namespace rt {

namespace {

const char* ButtonsName(MessageButtons b) {
    switch (b) {
        case MessageButtons::Ok: return "ok";
        case MessageButtons::OkCancel: return "okcancel";
        case MessageButtons::AbortRetryIgnore: return "abortretryignore";
        case MessageButtons::YesNoCancel: return "yesnocancel";
        case MessageButtons::YesNo: return "yesno";
        case MessageButtons::RetryCancel: return "retrycancel";
    }
    return "?";
}

const char* IconName(MessageIcon i) {
    switch (i) {
        case MessageIcon::Stop: return "stop";
        case MessageIcon::Question: return "question";
        case MessageIcon::Exclamation: return "exclamation";
        case MessageIcon::Information: return "information";
        case MessageIcon::None: return "none";
    }
    return "?";
}

// Paths under the current folder are printed from "./", so that what a run prints does not
// depend on where it runs (a script's transcript is compared byte for byte).
std::string RelativeToCurrentFolder(std::string sjis) {
    char buf[PATH_MAX];
    if (!getcwd(buf, sizeof buf)) return sjis;
    const std::optional<std::string> folder = Utf8ToSjis(std::string(buf) + "/");
    if (!folder || *folder == "/") return sjis;
    for (size_t at = sjis.find(*folder); at != std::string::npos; at = sjis.find(*folder, at + 2))
        sjis.replace(at, folder->size(), "./");
    return sjis;
}

// The state folder as README names it, for the one path under it that the driver prints.
std::string StateFolderAsNamed(std::string sjis) {
    const std::filesystem::path record = LastErrorPath();
    if (record.empty()) return sjis;
    const std::optional<std::string> folder = Utf8ToSjis(record.parent_path().parent_path().string() + "/");
    if (!folder || *folder == "/") return sjis;
    const char* state = std::getenv("XDG_STATE_HOME");
    const std::string named = state && *state ? "$XDG_STATE_HOME/" : "~/.local/state/";
    for (size_t at = sjis.find(*folder); at != std::string::npos; at = sjis.find(*folder, at + named.size()))
        sjis.replace(at, folder->size(), named);
    return sjis;
}

}  // namespace

std::string EscapeUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    // Bytes below 0x80 never occur inside a UTF-8 sequence, so escaping byte by byte is safe.
    for (char c : utf8) {
        unsigned char b = static_cast<unsigned char>(c);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default:
                if (b < 0x20 || b == 0x7F)
                    out += ControlByteName(b);
                else
                    out += c;
        }
    }
    return out;
}

std::string EscapeSjis(std::string_view sjis) { return EscapeUtf8(SjisToUtf8Lossy(sjis)); }

const char* KindName(ControlKind k) {
    switch (k) {
        case ControlKind::PushButton: return "button";
        case ControlKind::OptionButton: return "option";
        case ControlKind::CheckBox: return "check";
        case ControlKind::GroupBox: return "group";
        case ControlKind::Edit: return "edit";
        case ControlKind::Label: return "label";
        case ControlKind::ListBox: return "list";
        case ControlKind::HScroll: return "hscroll";
        case ControlKind::VScroll: return "vscroll";
        case ControlKind::ComboBox: return "combo";
        case ControlKind::Form: return "form";
        default: return "other";
    }
}

const char* AnswerName(Answer a) {
    switch (a) {
        case Answer::Ok: return "ok";
        case Answer::Cancel: return "cancel";
        case Answer::Abort: return "abort";
        case Answer::Retry: return "retry";
        case Answer::Ignore: return "ignore";
        case Answer::Yes: return "yes";
        case Answer::No: return "no";
    }
    return "?";
}

void PrintMessageBox(std::ostream& out, const std::string& title, const std::string& text, MessageButtons b,
                     MessageIcon i, std::optional<Answer> a) {
    out << "message \"" << EscapeSjis(title) << "\" \"" << EscapeSjis(RelativeToCurrentFolder(text)) << "\" buttons=" << ButtonsName(b)
        << " icon=" << IconName(i) << " -> " << (a ? AnswerName(*a) : "?") << "\n";
}

void PrintErrorReport(std::ostream& out, const std::string& report, const std::string& help) {
    // The report itself is printed raw, as the driver always has: its first line is what
    // callers of the driver search for.
    out << SjisToUtf8Lossy(report) << "\n";
    out << "help \"" << EscapeSjis(RelativeToCurrentFolder(StateFolderAsNamed(help))) << "\"\n";
}

void PrintFileDialog(std::ostream& out, const FileDialogSpec& params, const std::optional<std::string>* chosen) {
    std::string filter;
    for (const FileFilter& f : params.filters) filter += (filter.empty() ? "" : ";") + f.description;
    out << "dialog " << (params.kind == FileDialogKind::Save ? "save" : "open") << " \"" << EscapeSjis(params.title)
        << "\" \"" << EscapeSjis(RelativeToCurrentFolder(params.initialFolder + params.initialName)) << "\" \""
        << EscapeSjis(filter)
        << "\" -> ";
    if (!chosen)
        out << "?\n";
    else
        out << (*chosen ? EscapeSjis(RelativeToCurrentFolder(**chosen)) : std::string("cancel")) << "\n";
}

std::string SelectionText(const HeadlessPlatform& platform, WinHandle w, ControlKind kind) {
    const HeadlessPlatform::Window& win = platform.Get(w);
    if (kind == ControlKind::ListBox && (win.params.style & style::kLbsMultipleSel)) {
        std::string s = "[";
        bool first = true;
        for (int i = 0; i < platform.ListCount(w); ++i) {
            if (!platform.ListIsSelected(w, i)) continue;
            s += (first ? "" : ",") + std::to_string(i);
            first = false;
        }
        return s + "]";
    }
    return std::to_string(platform.ListCurSel(w));
}

void PrintForm(std::ostream& out, const HeadlessPlatform& platform, Int32 formHandle) {
    std::vector<ControlInfo> ws = FormWindows(formHandle);
    out << "form " << ws[0].name << " visible=" << platform.IsVisible(ws[0].window) << " text=\""
        << EscapeSjis(platform.GetText(ws[0].window)) << "\"\n";
    for (size_t i = 1; i < ws.size(); ++i) {
        const ControlInfo& c = ws[i];
        WinHandle w = c.window;
        out << c.name << " kind=" << KindName(c.kind) << " visible=" << platform.IsVisible(w)
            << " enabled=" << platform.IsEnabled(w) << " text=\"" << EscapeSjis(platform.Get(w).text) << "\"";
        if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::OptionButton)
            out << " check=" << platform.GetCheck(w);
        if (c.kind == ControlKind::HScroll || c.kind == ControlKind::VScroll) {
            auto [lo, hi] = platform.ScrollRange(w);
            out << " pos=" << platform.ScrollPos(w) << " min=" << lo << " max=" << hi;
        }
        if (c.kind == ControlKind::ListBox || c.kind == ControlKind::ComboBox) {
            out << " sel=" << SelectionText(platform, w, c.kind) << " items=[";
            for (int k = 0; k < platform.ListCount(w); ++k)
                out << (k ? "," : "") << "\"" << EscapeSjis(platform.ListItem(w, k)) << "\"";
            out << "]";
        }
        out << "\n";
    }
}

}  // namespace rt
