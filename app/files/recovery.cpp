// The recovery files of the real window: each run's own file and lock in the state folder, kept up
// to date after every change, and the orders of runs that have ended offered at the next start.
#include "app/files/recovery.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <string>
#include <vector>

#include "app/fee/amount_text.h"
#include "app/fee/fee_chain.h"
#include "app/files/file_messages.h"
#include "app/files/order_commands.h"
#include "app/files/order_file.h"
#include "runtime/files/file_names.h"
#include "runtime/files/system_files.h"
#include "runtime/files/user_folders.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/values/local_time.h"
#include "runtime/window/dialogs.h"

// Paths are plain strings and the folder is read with the system's own calls (system_files.h): the
// C++ library's filesystem support would map a further stretch of the library at every start, for
// a folder that usually holds nothing.
namespace {

constexpr Int32 kOkButton = 0, kYesNo = 4, kQuestionIcon = 1, kExclamationIcon = 2;
constexpr Int32 kAnsweredYes = 5;
constexpr const char* kEmptyOrder = "割引券:0\r\n";
constexpr const char* kTitle = "申込みデータの復元";
constexpr size_t kDeclinedKept = 10;
constexpr const char* kDeclined = "recovery-declined-";
constexpr const char* kUnreadable = "recovery-unreadable-";

bool g_enabled = false;
// Whether this run has told that its file cannot be written: once is enough while typing.
bool g_toldUnwritable = false;
// The bytes last kept in the file (or the empty order when there is none), and what was left out
// of them, so that only a change of the order writes.
std::string g_kept = kEmptyOrder;
Text g_keptLeftOut;
// This run's lock, held from the first change kept to the end of the run; -1 until then, or while
// it could not be taken.
rt::SystemFile g_ownLock = rt::kNoFile;

std::string Stamp(const char* format, std::time_t when) {
    const std::tm tm = rt::LocalTime(when);
    char text[40];
    std::strftime(text, sizeof text, format, &tm);
    return text;
}

// This run's name among the others: when it started and which process it is.
const std::string& RunName() {
    static const std::string name = Stamp("%Y%m%d-%H%M%S", std::time(nullptr)) + "-" + std::to_string(rt::ProcessId());
    return name;
}

// The system's separator, with which the folder's paths are made.
char Separator() { return static_cast<char>(rt::kFolderSeparator); }

std::string FileName(const std::string& path) { return path.substr(path.rfind(Separator()) + 1); }

std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind(Separator());
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string InFolder(const std::string& folder, const std::string& name) { return folder + Separator() + name; }

bool EndsWith(const std::string& name, std::string_view end) { return name.ends_with(end) && name.size() > end.size(); }

bool Exists(const std::string& path) { return rt::PathExists(path); }

void Remove(const std::string& path) { rt::RemoveFile(path); }

// A file beside an order's: its name without the extension, and `end`.
std::string Beside(const std::string& order, const char* end) {
    const size_t dot = order.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > order.rfind(Separator()) + 1;
    return (hasExtension ? order.substr(0, dot) : order) + end;
}
constexpr const char* kLockEnd = ".lock";
constexpr const char* kLeftOutEnd = ".left-out";
std::string LockOf(const std::string& order) { return Beside(order, kLockEnd); }
std::string LeftOutOf(const std::string& order) { return Beside(order, kLeftOutEnd); }

// The lock of an order's file, taken without waiting; kNoFile when another program holds it (its
// owner still runs) or it cannot be made.
rt::SystemFile TakeLock(const std::string& lock) { return rt::TakeLock(lock); }

// Removed while still held, so that no other start takes it for a file whose owner has gone.
void DropLock(const std::string& lock, rt::SystemFile held) { rt::DropLock(lock, held); }

bool TakeOwnLock() {
    if (g_ownLock != rt::kNoFile) return true;
    const std::string own = RecoveryPath();
    if (own.empty()) return false;
    rt::MakeFolders(ParentOf(own));
    g_ownLock = TakeLock(LockOf(own));
    return g_ownLock != rt::kNoFile;
}

void ReleaseOwnLock() {
    if (g_ownLock == rt::kNoFile) return;
    DropLock(LockOf(RecoveryPath()), g_ownLock);
    g_ownLock = rt::kNoFile;
}

// An order's file and the note of what it left out go together.
void RemoveOrder(const std::string& file) {
    Remove(file);
    Remove(LeftOutOf(file));
}

void RemoveOwnFile() { RemoveOrder(RecoveryPath()); }

Text Shown(const std::string& path) { return Text(rt::Utf8ToSjis(path).value_or(FileName(path))); }

// A file that will not be offered again goes beside the others under a name of its own, which
// sorts by the time it was set aside. Empty when it could not be moved.
std::string SetAside(const std::string& file, const char* prefix) {
    const std::int64_t now = rt::MillisecondsNow();
    char millis[24];
    std::snprintf(millis, sizeof millis, "-%03d", static_cast<int>(now % 1000));
    const std::string stem = prefix + Stamp("%Y%m%d-%H%M%S", static_cast<std::time_t>(now / 1000)) + millis;
    const std::string folder = ParentOf(file) + Separator();
    std::string aside = folder + stem + ".SAV";
    for (int n = 2; Exists(aside) && n < 100; ++n) aside = folder + stem + "-" + std::to_string(n) + ".SAV";
    if (Exists(aside) || rt::RenameFile(file, aside) != 0) return {};
    // What the order could not keep goes with it, to be read beside the copy.
    rt::RenameFile(LeftOutOf(file), LeftOutOf(aside));
    return aside;
}

// The declined orders are kept for a customer who said no by mistake, the last ten of them.
void KeepTheLastDeclined(const std::string& folder) {
    std::vector<std::string> declined;
    for (const std::string& name : rt::NamesIn(folder)) {
        if (name.starts_with(kDeclined) && EndsWith(name, ".SAV")) declined.push_back(name);
    }
    if (declined.size() <= kDeclinedKept) return;
    std::sort(declined.begin(), declined.end());
    for (size_t i = 0; i + kDeclinedKept < declined.size(); ++i) RemoveOrder(InFolder(folder, declined[i]));
}

// An order left by a program that no longer runs, its lock held by this start while it is asked
// about, so that no other start offers it at the same time.
struct LeftOrder {
    std::string file;
    rt::FileTime changed;
    rt::SystemFile lock = rt::kNoFile;
};

bool IsRecoveryFile(const std::string& name) {
    if (!EndsWith(name, ".SAV")) return false;
    if (name == "recovery.SAV") return true;  // the single file of earlier versions
    return name.starts_with("recovery-") && !name.starts_with(kDeclined) && !name.starts_with(kUnreadable);
}

std::vector<LeftOrder> OrdersLeftBehind(const std::string& folder) {
    std::vector<LeftOrder> left;
    const std::string own = RecoveryPath();
    for (const std::string& name : rt::NamesIn(folder)) {
        const std::string path = InFolder(folder, name);
        if (path == own) continue;
        if (EndsWith(name, kLockEnd) || EndsWith(name, kLeftOutEnd)) {
            // Beside an order that is gone: a run killed after its order was saved.
            const std::string order = path.substr(0, path.rfind('.')) + ".SAV";
            if (Exists(order) || order == own) continue;
            if (const rt::SystemFile held = TakeLock(LockOf(order)); held != rt::kNoFile) {
                Remove(path);
                DropLock(LockOf(order), held);
            }
            continue;
        }
        if (!IsRecoveryFile(name)) continue;
        const rt::SystemFile lock = TakeLock(LockOf(path));
        if (lock == rt::kNoFile) continue;  // its program still runs
        // Another start may have taken it up between the listing and the lock.
        const std::optional<rt::FileTime> changed = rt::ChangedAt(path);
        if (!changed) {
            DropLock(LockOf(path), lock);
            continue;
        }
        left.push_back({path, *changed, lock});
    }
    std::sort(left.begin(), left.end(), [](const LeftOrder& a, const LeftOrder& b) { return a.changed > b.changed; });
    return left;
}

Text WhenChanged(const rt::FileTime& changed) {
    return Text(Stamp("%Y/%m/%d %H:%M", static_cast<std::time_t>(changed.seconds)));
}

void TellUnreadable(Obj& form, bool readable, const OrderFileRead& order, const std::string& aside) {
    Text text = "前回の申込みデータを読み込めませんでした。";
    if (readable && order.problem.line > 0)
        text += Text("（") + IntegerDigits(order.problem.line) + "行目：" + order.problem.reason + "）";
    text += aside.empty() ? Text("\r\nファイルは削除しました。") : Text("\r\nファイルは「") + Shown(aside) + "」に移しました。";
    MessageBox(form, kTitle, text, kOkButton, kExclamationIcon);
}

// Asks about one order left behind, naming what its run could not keep. True when it was taken
// up.
bool Offer(Obj& form, const LeftOrder& left) {
    std::string leftOut;
    rt::ReadSystemFile(LeftOutOf(left.file), Text(), leftOut);
    // The time of the change on a line of its own: a wrapped line would part the date from the
    // time.
    Text question = Text("前回、保存しないまま終了した申込みデータがあります。\r\n（最後の変更：") +
                    WhenChanged(left.changed) +
                    "）\r\n続きから入力しますか？\r\n「いいえ」を選んでも、このデータは削除せず、別の名前で残します。";
    if (!leftOut.empty()) question += Text("\r\n\r\n次のものは保存できる形でなかったため、復元されません。\r\n") + Text(leftOut);
    const Int32 answer = MessageBox(form, kTitle, question, kYesNo, kQuestionIcon);
    if (answer != kAnsweredYes) {
        // Cannot be moved: it stays where it is and is offered again, rather than lost.
        if (!SetAside(left.file, kDeclined).empty()) KeepTheLastDeclined(ParentOf(left.file));
        return false;
    }
    std::string bytes;
    const rt::FileResult read = rt::ReadSystemFile(left.file, Shown(left.file), bytes);
    const OrderFileRead order = read.ok ? ParseOrderFile(bytes) : OrderFileRead{};
    if (!order.content) {
        const std::string aside = SetAside(left.file, kUnreadable);
        // It cannot stay where it is, or every start would offer it again.
        if (aside.empty()) Remove(left.file);
        TellUnreadable(form, read.ok, order, aside);
        return false;
    }
    TakeOverLoadedOrder(*order.content);
    総合画面_SETSUB();
    // The order is this run's now: its own file holds it before the old one goes.
    const std::string taken = OrderFileBytes();
    g_kept = kEmptyOrder;
    KeepRecoveryUpToDate(taken);
    if (g_kept == taken) Remove(left.file);
    return true;
}

// The order in memory equals a file on disk: nothing to recover until it changes again.
void OrderInFile(const std::string& orderBytes) {
    RemoveOwnFile();
    g_kept = orderBytes;
    g_keptLeftOut = Text();
}

}  // namespace

void EnableRecovery(bool on) {
    g_enabled = on;
    g_kept = kEmptyOrder;
    g_keptLeftOut = Text();
    g_toldUnwritable = false;
    // The lock is taken with the first change kept.
    if (!on) ReleaseOwnLock();
    ListenForOrderInFile(on ? OrderInFile : nullptr);
}

bool RecoveryEnabled() { return g_enabled; }

std::string RecoveryFolder() {
    const std::string state = rt::StateFolder();
    return state.empty() ? state : InFolder(state, rt::OwnFolderName());
}

std::string RecoveryPath() {
    const std::string folder = RecoveryFolder();
    return folder.empty() ? folder : InFolder(folder, "recovery-" + RunName() + ".SAV");
}

void OfferRecovery(Obj& form) {
    const std::string folder = RecoveryFolder();
    if (!g_enabled || folder.empty()) return;
    // Every run writes files of its own names, so a write killed half-way is never followed by
    // one that would take its temporary: the start takes those whose writer no longer holds
    // them. A pid in the name would not tell, since pids are used again.
    rt::RemoveLeftoverTemporaries(folder, "recovery");
    bool takenUp = false;
    for (const LeftOrder& left : OrdersLeftBehind(folder)) {
        // One order fits the window; the others wait, untouched, for the next start.
        if (!takenUp && Exists(left.file)) takenUp = Offer(form, left);
        if (Exists(left.file)) {
            rt::ReleaseLock(left.lock);
        } else {
            Remove(LeftOutOf(left.file));
            DropLock(LockOf(left.file), left.lock);
        }
    }
}

void KeepRecoveryUpToDate(const std::string& orderBytes, const Text& leftOut) {
    if (!g_enabled || (orderBytes == g_kept && leftOut == g_keptLeftOut)) return;
    const std::string file = RecoveryPath();
    if (file.empty()) return;
    // An order of which nothing reads back still has its note kept, so that the next start names
    // what was typed and lost.
    if (orderBytes == kEmptyOrder && leftOut.empty()) {
        RemoveOwnFile();
        g_kept = orderBytes;
        g_keptLeftOut = leftOut;
        return;
    }
    // Without its lock the file could be taken for one whose program has gone; a disk that cannot
    // take it leaves the order on screen as it is, and the next change tries again. The customer
    // is told once that only a save keeps the order now.
    rt::FileResult written;
    if (TakeOwnLock()) {
        written = rt::WriteSystemFileReplacing(file, Shown(file), orderBytes);
    } else {
        written.code = rt::ErrorCodeFromErrno(errno, rt::FileStep::Opening);
        written.reason = rt::SystemReason(errno);
    }
    if (!written.ok) {
        if (!g_toldUnwritable) {
            g_toldUnwritable = true;
            Obj main{kMainWindow};
            MessageBox(main, kTitle,
                       Text("復元用のファイル「") + Shown(file) + "」に書き込めません。\r\n" + ReasonOf(written) +
                           "\r\n入力中の申込みデータは「セーブ」で保存してください。",
                       kOkButton, kExclamationIcon);
        }
        return;
    }
    // Only a help for the question at the next start: the order's file is what counts.
    if (leftOut.empty()) {
        Remove(LeftOutOf(file));
    } else {
        rt::WriteSystemFileReplacing(LeftOutOf(file), Shown(LeftOutOf(file)), leftOut.bytes());
    }
    g_kept = orderBytes;
    g_keptLeftOut = leftOut;
}
