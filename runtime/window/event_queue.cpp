// The event queue and the wait for the user: FormWait runs the oldest queued routine or lets the
// windows run until there is one; PumpStep lets them run during a long routine; the end of the
// program.
#include <cfenv>
#include <new>

#include "runtime/values/values.h"
#include "runtime/window/window_state.h"

namespace rt {
namespace {

constexpr size_t kQueueCapacity = 64;
constexpr int kPumpInterval = 10;

[[noreturn]] void EndNow(int code) { throw ProgramEnd{code}; }

}  // namespace

namespace detail {

void Enqueue(Int32 formObject, Routine routine) {
    if (!routine) return;
    if (g.queue.size() >= kQueueCapacity) return;  // a full queue drops further events
    g.queue.push_back({formObject, routine});
}

void Raise(WinHandle w, int event) {
    ControlRecord* rec = RecordOf(w);
    FormRecord* form = FormOf(w);
    if (!rec || !form) return;
    Enqueue(form->object, RoutineFor(*rec, event));
}

}  // namespace detail

size_t PendingEvents() { return detail::g.queue.size(); }

const std::vector<std::string>& DroppedFiles() { return detail::g.droppedFiles; }

}  // namespace rt

using namespace rt;
using namespace rt::detail;

void FormWait(const Obj& form, Here here) {
    Platform& p = P();
    // The main window may have been closed while a routine ran; the program ends then too.
    if (!p.Exists(g.mainWindow)) EndNow(0);
    WinHandle waitOn = Require(form, here, ControlKind::Form);
    auto runOldest = [here] {
        QueuedEvent e = g.queue.front();
        g.queue.pop_front();
        Obj owner{e.formObject};
        // Floating exceptions are checked at the program's own stores; whatever the window
        // system's code left in the sticky flags must not count against the routine.
        std::feclearexcept(FE_ALL_EXCEPT);
        // Memory that runs out anywhere in a routine is the out-of-memory error with its report;
        // the texts and arrays that can be asked for too much raise it where they are made.
        try {
            e.routine(owner);
        } catch (const std::bad_alloc&) {
            RaiseError(7, here);
        }
    };
    if (!g.queue.empty()) {
        runOldest();
        return;
    }
    // The program has answered the user: what changed of the figures is heard before the next key.
    SpeakChangedFigures();
    for (;;) {
        p.ProcessPending();
        if (!p.Exists(g.mainWindow)) EndNow(0);
        if (!g.queue.empty()) {
            runOldest();
            return;
        }
        if (!p.Exists(waitOn)) return;
        if (!p.WaitForInput()) EndNow(0);
    }
}

void EndProgram(Int32 code) { EndNow(code); }

void PumpStep() {
    if (g.pumpCounter == 0) {
        g.pumpCounter = kPumpInterval;
        if (g_platform) {
            // Keep the flags of the routine's own arithmetic across the window system's work.
            KeepFloatFlags flags;
            g_platform->ProcessPending();
        }
    } else {
        --g.pumpCounter;
    }
}
