#include "tests/support/test_home.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <system_error>

namespace testhome {
namespace {

constexpr const char* kMoved[] = {"HOME",          "XDG_STATE_HOME", "XDG_CONFIG_HOME",
                                  "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMPDIR"};

[[noreturn]] void GiveUp(const char* what, const std::string& where) {
    // Running on without a home of our own would write into the user's files.
    std::perror((std::string("test home: ") + what + " " + where).c_str());
    std::abort();
}

class Home {
public:
    Home() {
        for (const char* name : kMoved)
            if (const char* v = std::getenv(name)) original_[name] = v;
        std::error_code here;
        startFolder_ = std::filesystem::current_path(here);
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kalvoro-test-XXXXXX";
        if (!mkdtemp(pattern.data())) GiveUp("cannot make", pattern);
        root_ = pattern;
        const std::pair<const char*, const char*> folders[] = {
            {"HOME", "home"},          {"XDG_STATE_HOME", "state"}, {"XDG_CONFIG_HOME", "config"},
            {"XDG_DATA_HOME", "data"}, {"XDG_CACHE_HOME", "cache"}, {"TMPDIR", "tmp"}};
        for (auto [name, folder] : folders) {
            std::filesystem::path p = root_ / folder;
            std::error_code ec;
            if (!std::filesystem::create_directory(p, ec)) GiveUp("cannot make", p.string());
            setenv(name, p.c_str(), 1);
        }
        std::filesystem::path work = root_ / "work";
        std::error_code ec;
        if (!std::filesystem::create_directory(work, ec)) GiveUp("cannot make", work.string());
#ifndef KALVORO_TEST_HOME_STAYS_IN_FOLDER
        if (chdir(work.c_str()) != 0) GiveUp("cannot enter", work.string());
#endif
    }

    ~Home() {
        // Leave the folder before removing it; the test's own files go with it.
        if (chdir("/") == 0) {
            std::error_code ec;
            std::filesystem::remove_all(root_, ec);
        }
    }

    const std::filesystem::path& Root() const { return root_; }
    const std::filesystem::path& StartFolder() const { return startFolder_; }
    std::string Original(const char* name) const {
        auto it = original_.find(name);
        return it == original_.end() ? std::string() : it->second;
    }

private:
    std::filesystem::path root_, startFolder_;
    std::map<std::string, std::string> original_;
};

const Home& TheHome() {
    static const Home home;
    return home;
}

// Made while the binary starts, before main and so before any test; the first caller makes it
// should another initializer come first.
[[maybe_unused]] const Home& g_made = TheHome();

}  // namespace

const std::filesystem::path& Root() { return TheHome().Root(); }
std::string Original(const char* name) { return TheHome().Original(name); }
const std::filesystem::path& StartFolder() { return TheHome().StartFolder(); }

}  // namespace testhome
