#pragma once
// What the fuzz harnesses share: a finding ends the run loudly, so that the fuzzer keeps the
// input; the program is started afresh on the headless back end for every input, so that no
// input's state reaches the next and every finding replays on its own.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "app/forms/controls.h"
#include "runtime/backends/headless.h"
#include "runtime/values/error.h"
#include "tests/screens/program_run.h"
#include "tests/support/test_home.h"

namespace fuzz {

[[noreturn]] inline void Finding(std::string_view what) {
    std::fprintf(stderr, "finding: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

inline void Check(bool holds, std::string_view what) {
    if (!holds) Finding(what);
}

// The input as a file in the harness's own home (tests/support/test_home), by its full name,
// which is ASCII and so the same in Shift-JIS.
inline std::string PutFile(const char* name, const uint8_t* data, size_t size) {
    const std::string path = (testhome::Root() / "work" / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    return path;
}

// The program as the customer starts it, with answers enough for every message an action of the
// harness can bring; a runtime error escaping any routine is a finding.
class Program {
public:
    Program() { StartProgramForTest(platform); Run(); }
    ~Program() { EndProgramForTest(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    void Run() {
        try {
            RunQueuedRoutines();
        } catch (const rt::RuntimeError& e) {
            Finding("runtime error " + std::to_string(e.code) + " at line " + std::to_string(e.line) + " of " +
                    e.file);
        } catch (const rt::NoAnswerQueued& e) {
            Finding(e.what());
        }
    }
    bool Reachable(const Obj& o) const { return platform.Reachable(rt::WindowOf(o)); }
    bool Visible(const Obj& o) const { return platform.IsVisible(rt::WindowOf(o)); }
    int Count(const Obj& o) const { return static_cast<int>(platform.Get(rt::WindowOf(o)).items.size()); }
    // The user's actions, taken only on what is shown and enabled, as a user can.
    void Click(const Obj& o) {
        if (!Reachable(o)) return;
        platform.UserClick(rt::WindowOf(o));
        Run();
    }
    void Select(const Obj& o, int index) {
        if (!Reachable(o) || index < 0 || index >= Count(o)) return;
        platform.UserSelect(rt::WindowOf(o), index);
        Run();
    }
    void Toggle(const Obj& o, int index) {
        if (!Reachable(o) || index < 0 || index >= Count(o)) return;
        platform.UserToggle(rt::WindowOf(o), index);
        Run();
    }
    // Answers for the messages of the next action only.
    void Answers(int n, rt::Answer a = rt::Answer::Ok) {
        platform.ForgetQueued();
        for (int i = 0; i < n; ++i) platform.QueueAnswer(a);
    }

    // Every kind's title list, its first and last title opened on the entry screen and closed
    // again, then the two statements: whatever an order holds, each screen must take it.
    void VisitEverything() {
        const Obj* kinds[] = {&BUTTON5, &BUTTON6, &BUTTON7, &BUTTON8, &BUTTON9};
        for (const Obj* kind : kinds) {
            Click(*kind);
            if (!Visible(FORM2)) continue;
            const int n = Count(LIST1) - 1;  // the last line adds a title
            for (int i : {0, n - 1}) {
                if (i < 0 || i >= n) continue;
                Answers(4);
                Select(LIST1, i);
                Click(BUTTON14);
            }
            Click(BUTTON11);
        }
        Answers(1, rt::Answer::Cancel);  // no mail attachment
        platform.QueueAnswer(rt::Answer::Ok);
        Click(BUTTON2);
        if (Visible(FORM5)) {
            Click(BUTTON21);  // the fee summary
            Click(BUTTON21);  // back to the main screen
        }
    }

    rt::HeadlessPlatform platform;
};

}  // namespace fuzz
