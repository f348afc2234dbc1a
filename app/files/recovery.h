#pragma once
// The recovery file: in the real window, the order is also kept in the user's state folder after
// every change ($XDG_STATE_HOME/kalvoro/recovery.SAV, in the saved-order format), so that a run
// that ends without a save (a crash, a killed process, a power cut) loses nothing typed. A save
// or a change back to the empty order removes it; the next start offers to take it up again.
// The scripted driver and the batch commands never enable it, so it is never written or offered
// there.
#include <filesystem>

#include "runtime/window/window.h"

// Turns the recovery file on for this run (the real window only); tests turn it off again.
void EnableRecovery(bool on = true);

// Where the file is kept; empty when no state folder can be named.
std::filesystem::path RecoveryPath();

// At start, when a recovery file is there: asks whether to take the order up again. Yes loads it
// as "ロード" would; no deletes it. A file that cannot be read as an order is set aside under
// another name, with a message, and nothing of it is loaded.
void OfferRecovery(Obj& form);

// After every step of the wait loop: writes the order when it changed since it was last kept,
// removes the file when the order is empty again. A file that cannot be written is told once
// in a run.
void KeepRecoveryUpToDate();

// After a successful save: the order is in the customer's own file, the recovery file goes.
void RecoverySaved();
