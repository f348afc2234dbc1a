// The user's state and configuration folders on POSIX, from their XDG variables or else under HOME.
#include "runtime/files/user_folders.h"

#include <cstdlib>

namespace rt {
namespace {

std::string Folder(const char* variable, const char* underHome) {
    if (const char* v = std::getenv(variable); v && *v) return v;
    if (const char* h = std::getenv("HOME"); h && *h) {
        std::string home = h;
        if (home.back() != '/') home += '/';
        return home + underHome;
    }
    return {};
}

}  // namespace

std::string StateFolder() { return Folder("XDG_STATE_HOME", ".local/state"); }
const char* OwnFolderName() { return "kalvoro"; }
std::string ConfigFolder() { return Folder("XDG_CONFIG_HOME", ".config"); }

}  // namespace rt
