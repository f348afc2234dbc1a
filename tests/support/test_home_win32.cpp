// The test binary's own home on Windows: a fresh folder under the system's temporary folder,
// with LOCALAPPDATA (where the program keeps its state), the home and temporary variables and the
// current folder in it, and the per-user registry moved to a key of this run's own, so that
// neither the error record nor any order reaches the user's.
#include "tests/support/test_home.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <system_error>

namespace testhome {
namespace {

constexpr const char* kMoved[] = {"LOCALAPPDATA", "APPDATA", "USERPROFILE", "HOME", "TMP", "TEMP",
                                  "XDG_STATE_HOME", "XDG_CONFIG_HOME"};

[[noreturn]] void GiveUp(const char* what, const std::string& where) {
    // Running on without a home of our own would write into the user's files.
    std::fprintf(stderr, "test home: %s %s (error %lu)\n", what, where.c_str(), GetLastError());
    std::abort();
}

class Home {
public:
    Home() {
        for (const char* name : kMoved)
            if (const char* v = std::getenv(name)) original_[name] = v;
        std::error_code here;
        startFolder_ = std::filesystem::current_path(here);
        std::error_code ec;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
        if (ec) GiveUp("no temporary folder", "");
        std::random_device random;
        for (int tries = 0; root_.empty(); ++tries) {
            const std::filesystem::path p = temp / ("kalvoro-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                                    std::to_string(random() % 1000000));
            if (std::filesystem::create_directory(p, ec)) root_ = p;
            else if (tries > 100) GiveUp("cannot make", p.string());
        }
        const std::pair<const char*, const char*> folders[] = {
            {"LOCALAPPDATA", "state"}, {"APPDATA", "config"}, {"USERPROFILE", "home"}, {"HOME", "home"},
            {"TMP", "tmp"},            {"TEMP", "tmp"},       {"XDG_STATE_HOME", "state"}, {"XDG_CONFIG_HOME", "config"}};
        for (auto [name, folder] : folders) {
            const std::filesystem::path p = root_ / folder;
            std::filesystem::create_directory(p, ec);
            if (!std::filesystem::is_directory(p)) GiveUp("cannot make", p.string());
            _putenv_s(name, p.string().c_str());
        }
        const std::filesystem::path work = root_ / "work";
        if (!std::filesystem::create_directory(work, ec)) GiveUp("cannot make", work.string());
        MoveRegistry();
#ifndef KALVORO_TEST_HOME_STAYS_IN_FOLDER
        std::filesystem::current_path(work, ec);
        if (ec) GiveUp("cannot enter", work.string());
#endif
    }

    ~Home() {
        if (registry_) {
            RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
            RegCloseKey(registry_);
            RegDeleteTreeW(HKEY_CURRENT_USER, registryName_.c_str());
        }
        // Leave the folder before removing it; the test's own files go with it.
        std::error_code ec;
        std::filesystem::current_path(startFolder_, ec);
        std::filesystem::remove_all(root_, ec);
    }

    const std::filesystem::path& Root() const { return root_; }
    const std::filesystem::path& StartFolder() const { return startFolder_; }
    std::string Original(const char* name) const {
        auto it = original_.find(name);
        return it == original_.end() ? std::string() : it->second;
    }

private:
    // HKEY_CURRENT_USER is a key of this run's own while the binary runs, removed at its end; not a
    // volatile one, under which the program could make no key of its own.
    void MoveRegistry() {
        registryName_ = L"Software\\KalvoroTests\\" + std::to_wstring(GetCurrentProcessId());
        if (RegCreateKeyExW(HKEY_CURRENT_USER, registryName_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &registry_, nullptr) != ERROR_SUCCESS ||
            RegOverridePredefKey(HKEY_CURRENT_USER, registry_) != ERROR_SUCCESS)
            GiveUp("cannot move the registry to", "HKCU\\Software\\KalvoroTests");
    }

    std::filesystem::path root_, startFolder_;
    std::map<std::string, std::string> original_;
    std::wstring registryName_;
    HKEY registry_ = nullptr;
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
