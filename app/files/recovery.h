#pragma once
// The recovery files: in the real window, the order is also kept in the user's state folder after
// every change ($XDG_STATE_HOME/kalvoro/recovery-<run>.SAV, in the saved-order format), so that a
// run that ends without a save (a crash, a killed process, a power cut) loses nothing typed.
// Every running program keeps a file of its own, and holds a lock on it (recovery-<run>.lock)
// from the first change it keeps to its end: a start offers only the files whose program no
// longer runs, so two windows never see, take or delete each other's order, and a window that
// keeps nothing leaves nothing. The order's file goes when the order equals a file on disk (a
// save, the mail attachment, a load) or is empty again. A coupon or title the format cannot
// hold is left out of the file and named beside it (recovery-<run>.left-out), to be told when
// the order is offered.
// The scripted driver and the batch commands never enable it, so nothing is written or offered
// there.
#include <string>

#include "app/files/order_file.h"
#include "runtime/window/window.h"

// Turns the recovery files on for this run (the real window only); off, at the end of the run,
// this run's lock goes, and its order file stays to be offered when it holds an order.
void EnableRecovery(bool on = true);

// Whether this run keeps recovery files: the wait loop forms the order's bytes only then.
bool RecoveryEnabled();

// The folder of the recovery files, and this run's own file in it; empty when no state folder
// can be named.
std::string RecoveryFolder();
std::string RecoveryPath();

// At start: offers, newest first and one question each, the orders left by programs that no
// longer run (a file of an earlier version, recovery.SAV, among them). Yes loads it as "ロード"
// would, and no other is offered in this run; no sets it aside as recovery-declined-<time>.SAV,
// of which the last ten are kept. A file that cannot be read as an order is set aside as
// recovery-unreadable-<time>.SAV, with a message, and nothing of it is loaded. What the writes
// of ended runs left half-done is removed first.
void OfferRecovery(Obj& form);

// After every step of the wait loop, with the order as it would be saved now and what of it the
// format cannot hold (OrderAsFarAsItReadsBack): writes it when it changed since it was last kept,
// removes the file when the order is empty again. A file that cannot be written is told once in
// a run.
void KeepRecoveryUpToDate(const std::string& orderBytes, const Text& leftOut = Text());
inline void KeepRecoveryUpToDate(const KeptOrder& order) { KeepRecoveryUpToDate(order.bytes, order.leftOut); }
