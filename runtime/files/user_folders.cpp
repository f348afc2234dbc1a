#include "runtime/files/user_folders.h"

#include <cstdlib>

namespace rt {
namespace {

std::filesystem::path Folder(const char* variable, const char* underHome) {
    if (const char* v = std::getenv(variable); v && *v) return v;
    if (const char* h = std::getenv("HOME"); h && *h) return std::filesystem::path(h) / underHome;
    return {};
}

}  // namespace

std::filesystem::path StateFolder() { return Folder("XDG_STATE_HOME", ".local/state"); }
std::filesystem::path ConfigFolder() { return Folder("XDG_CONFIG_HOME", ".config"); }

}  // namespace rt
