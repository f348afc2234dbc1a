// Which Qt platform shows the windows: the displays the session names asked whether they answer,
// the platform plugins looked for, X taken first, and a sentence saying why when none will do.
#include "runtime/backends/qt/qt_display.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QLibraryInfo>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/backends/qt/qt_platform.h"

namespace rt::qt {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A socket file whose server has gone is left behind on disk: only a connection tells.
bool ConnectsTo(const std::string& socketPath, bool abstract) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    if (socketPath.size() + offset >= sizeof address.sun_path) {
        ::close(fd);
        return false;
    }
    std::memcpy(address.sun_path + offset, socketPath.data(), socketPath.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + socketPath.size());
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
    ::close(fd);
    return ok;
}

// A local X display (":0", "unix:0.0") answers when its socket accepts a connection; a display
// on another host is taken as answering.
bool XDisplayAnswers(const std::string& display) {
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") return true;
    std::string number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    if (number.empty()) return false;
    const std::string path = "/tmp/.X11-unix/X" + number;
    return ConnectsTo(path, true) || ConnectsTo(path, false);
}

// The name is a path of its own or a socket in the runtime folder, as the Wayland library takes it.
bool WaylandDisplayAnswers(const std::string& display) {
    if (display.front() == '/') return ConnectsTo(display, false);
    const std::string runtime = Env("XDG_RUNTIME_DIR");
    return !runtime.empty() && ConnectsTo(runtime + "/" + display, false);
}

// Where Qt looks for its platform plugins when the QApplication is made.
QStringList PlatformPluginFolders() {
    QStringList folders;
    if (const QString own = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH"); !own.isEmpty()) folders << own;
    for (const QString& path : qEnvironmentVariable("QT_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts)) {
        folders << path + QStringLiteral("/platforms");
    }
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    return folders;
}

// A file name against a pattern with at most one '*'. Matched by hand: QDir's name filters would
// compile a regular expression, which brings in the regular-expression library and its compiler
// at every start under X.
bool NameMatches(std::string_view name, std::string_view pattern) {
    const size_t star = pattern.find('*');
    if (star == std::string_view::npos) return name == pattern;
    const std::string_view head = pattern.substr(0, star), tail = pattern.substr(star + 1);
    return name.size() >= head.size() + tail.size() && name.starts_with(head) && name.ends_with(tail);
}

bool PluginInstalled(const QStringList& folders, std::string_view pattern) {
    for (const QString& folder : folders) {
        DIR* dir = ::opendir(QFile::encodeName(folder).constData());
        if (!dir) continue;
        bool found = false;
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_type != DT_DIR && NameMatches(entry->d_name, pattern)) {
                found = true;
                break;
            }
        }
        ::closedir(dir);
        if (found) return true;
    }
    return false;
}

constexpr const char* kXcbPlugin = "libqxcb.so";
constexpr const char* kWaylandPlugins = "libqwayland*.so";

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// What is wrong with one display that was named, as a clause of the refusal.
std::string Problem(const char* kind, const std::string& name, const char* variable, bool answers,
                    const char* plugin) {
    const std::string display = std::string("the ") + kind + " display " + Quoted(name);
    if (!answers) return display + " named by " + variable + " cannot be reached";
    return display + " answers, but Qt's platform plugin for it (" + plugin + ") is not installed";
}

}  // namespace

DisplayChoice ChooseDisplay(const DisplayFacts& facts) {
    // A platform chosen by the user (offscreen, vnc, wayland, …) is the user's to answer for.
    if (!facts.chosenPlatform.empty()) return {facts.chosenPlatform, {}};
    if (facts.xAnswers && facts.xcbPlugin) return {"xcb", {}};
    if (facts.waylandAnswers && facts.waylandPlugin) return {"wayland", {}};
    if (facts.x.empty() && facts.wayland.empty()) {
        return {{},
                "There is no display to show windows on: neither DISPLAY nor WAYLAND_DISPLAY is set "
                "(QT_QPA_PLATFORM=offscreen runs without one)."};
    }
    std::string why;
    if (!facts.x.empty()) why = Problem("X", facts.x, "DISPLAY", facts.xAnswers, kXcbPlugin);
    if (!facts.wayland.empty()) {
        why += why.empty() ? "" : ", and ";
        why += Problem("Wayland", facts.wayland, "WAYLAND_DISPLAY", facts.waylandAnswers, kWaylandPlugins);
    }
    why.front() = 'T';
    return {{}, why + "."};
}

DisplayFacts ProbeDisplay() {
    DisplayFacts facts;
    facts.chosenPlatform = Env("QT_QPA_PLATFORM");
    if (!facts.chosenPlatform.empty()) return facts;
    facts.x = Env("DISPLAY");
    facts.wayland = Env("WAYLAND_DISPLAY");
    facts.xAnswers = !facts.x.empty() && XDisplayAnswers(facts.x);
    facts.waylandAnswers = !facts.wayland.empty() && WaylandDisplayAnswers(facts.wayland);
    if (facts.xAnswers || facts.waylandAnswers) {
        const QStringList folders = PlatformPluginFolders();
        facts.xcbPlugin = facts.xAnswers && PluginInstalled(folders, kXcbPlugin);
        facts.waylandPlugin = facts.waylandAnswers && PluginInstalled(folders, kWaylandPlugins);
    }
    return facts;
}

}  // namespace rt::qt

namespace rt {

bool QtChooseDisplay(std::string* why) {
    const qt::DisplayChoice choice = qt::ChooseDisplay(qt::ProbeDisplay());
    if (choice.platform.empty()) {
        if (why) *why = choice.why;
        return false;
    }
    // Qt reads the platform from the environment when the QApplication is made. The user's own
    // choice stays as it was; a program started from here would find the same display answering.
    setenv("QT_QPA_PLATFORM", choice.platform.c_str(), 0);
    return true;
}

}  // namespace rt
