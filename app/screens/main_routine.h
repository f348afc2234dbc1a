#pragma once
// The program's main routine: the start-up step, then the main wait loop.
#include <span>
#include <string>

#include "runtime/window/window.h"

void メイン_SUB();
// With an order file named (the system's UTF-8), that order is loaded as "ロード" would load it
// instead of the recovered orders being offered.
void MainWithOrderNamed(const std::string& orderUtf8);

// One step of the main wait loop: the customer's next events handled, then the order kept in
// the recovery file when it changed (in the real window only).
void WaitStep();

// Start-up only: caption, dates, forms, fonts, limits and the controls the customer does not use.
void 開始_SETSUB();

// The application's routines that events reach by name.
std::span<const RoutineEntry> ApplicationRoutines();
