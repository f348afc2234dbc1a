#pragma once
// A user at a back end's mouse and keyboard, so that the window layer's behaviour suite runs the
// same on the headless back end and on real widgets.
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "runtime/backends/headless.h"
#include "runtime/backends/platform.h"

class UserInput {
public:
    virtual ~UserInput() = default;
    virtual rt::Platform& platform() = 0;
    virtual void Click(rt::WinHandle w) = 0;
    virtual void Select(rt::WinHandle list, int index) = 0;
    // Line and page actions click an arrow or the trough; ThumbTrack drags the thumb to `pos`
    // and keeps the mouse button down.
    virtual void Scroll(rt::WinHandle bar, rt::ScrollAction action, int pos = 0) = 0;
    virtual void Key(rt::WinHandle w, rt::Key key, bool shift) = 0;
    // Replaces the text of an edit box or a combo box's edit field by typing `sjis`.
    virtual void Type(rt::WinHandle w, const std::string& sjis) = 0;
    virtual void Close(rt::WinHandle form) = 0;
    // Lets the window system deliver what the user did, and show what the program showed.
    virtual void Settle() {}
};

struct Backend {
    std::string name;
    std::function<std::unique_ptr<UserInput>()> make;
};
inline void PrintTo(const Backend& backend, std::ostream* os) { *os << backend.name; }

// The back ends this test program runs the suite on; each test program defines it.
std::vector<Backend> Backends();

class HeadlessInput final : public UserInput {
public:
    rt::Platform& platform() override { return p; }
    void Click(rt::WinHandle w) override { p.UserClick(w); }
    void Select(rt::WinHandle list, int index) override { p.UserSelect(list, index); }
    void Scroll(rt::WinHandle bar, rt::ScrollAction action, int pos) override { p.UserScroll(bar, action, pos); }
    void Key(rt::WinHandle w, rt::Key key, bool shift) override { p.UserKey(w, key, shift); }
    void Type(rt::WinHandle w, const std::string& sjis) override { p.UserType(w, sjis); }
    void Close(rt::WinHandle form) override { p.UserClose(form); }

    rt::HeadlessPlatform p;
};
