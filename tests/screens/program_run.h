#pragma once
// The program started on a test's back end as the customer starts it (start-up step and first
// refresh, on 7 December 2026), without its wait loop: the test runs the queued routines.
#include <cfenv>
#include <cstdlib>

#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/screens/main_routine.h"
#include "runtime/backends/platform.h"
#include "runtime/window/window.h"

inline void StartProgramForTest(rt::Platform& platform) {
    // A process starts with clear floating-point flags; an earlier test's window system code
    // (a dialog driven without the window layer) may have left some raised.
    std::feclearexcept(FE_ALL_EXCEPT);
    ResetOrderModel();
    setenv("KALVORO_TODAY", "2026-12-07", 1);
    rt::SetRoutineTable(ApplicationRoutines());
    rt::SetPlatform(&platform);
    rt::StartWindowLayer(platform);
    開始_SETSUB();
    総合画面_SETSUB();
}

inline void EndProgramForTest() {
    unsetenv("KALVORO_TODAY");
    rt::ResetWindowLayer();
    rt::SetPlatform(nullptr);
}

// The routines the user's actions queued, run one after the other as the wait loop runs them.
inline void RunQueuedRoutines() {
    while (rt::PendingEvents() > 0) FormWait(Obj{kMainWindow});
    SpeakChangedFigures();
}
