// Whether windows can be shown here, asked before a QApplication is made: Qt ends the process
// when its platform plugin finds no display.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/backends/qt/qt_platform.h"

namespace rt {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

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

// A local X display (":0", "unix:0.0") is reachable when its socket accepts a connection; a
// display on another host is taken as reachable.
bool XDisplayReachable(const std::string& display) {
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

bool WaylandDisplayReachable(const std::string& display) {
    const std::string path = display.front() == '/' ? display : Env("XDG_RUNTIME_DIR") + "/" + display;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

bool QtDisplayAvailable(std::string* why) {
    // A platform chosen by the user (offscreen, vnc, …) is the user's to answer for.
    if (!Env("QT_QPA_PLATFORM").empty()) return true;
    const std::string wayland = Env("WAYLAND_DISPLAY");
    const std::string x = Env("DISPLAY");
    if (!wayland.empty() && WaylandDisplayReachable(wayland)) return true;
    if (!x.empty() && XDisplayReachable(x)) return true;
    if (why) {
        if (!x.empty()) {
            *why = "The X display \"" + x + "\" named by DISPLAY cannot be reached.";
        } else if (!wayland.empty()) {
            *why = "The Wayland display \"" + wayland + "\" named by WAYLAND_DISPLAY cannot be reached.";
        } else {
            *why = "There is no display to show windows on: neither DISPLAY nor WAYLAND_DISPLAY is set "
                   "(QT_QPA_PLATFORM=offscreen runs without one).";
        }
    }
    return false;
}

}  // namespace rt
