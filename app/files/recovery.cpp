#include "app/files/recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
#include "runtime/files/user_folders.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/window/dialogs.h"

namespace fs = std::filesystem;

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
// The bytes last kept in the file (or the empty order when there is none), so that only a change
// of the order writes.
std::string g_kept = kEmptyOrder;
// This run's lock, held from the start to the end of the run; -1 while it could not be taken.
int g_ownLock = -1;

std::string Stamp(const char* format, std::time_t when) {
    std::tm tm{};
    localtime_r(&when, &tm);
    char text[40];
    std::strftime(text, sizeof text, format, &tm);
    return text;
}

// This run's name among the others: when it started and which process it is.
const std::string& RunName() {
    static const std::string name = Stamp("%Y%m%d-%H%M%S", std::time(nullptr)) + "-" + std::to_string(getpid());
    return name;
}

fs::path LockOf(const fs::path& order) { return fs::path(order).replace_extension(".lock"); }

// The lock of an order's file, taken without waiting; -1 when another program holds it (its
// owner still runs) or it cannot be made.
int TakeLock(const fs::path& lock) {
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Removed while still held, so that no other start takes it for a file whose owner has gone.
void DropLock(const fs::path& lock, int fd) {
    std::error_code ec;
    fs::remove(lock, ec);
    ::close(fd);
}

bool TakeOwnLock() {
    if (g_ownLock >= 0) return true;
    const fs::path own = RecoveryPath();
    if (own.empty()) return false;
    std::error_code ec;
    fs::create_directories(own.parent_path(), ec);
    g_ownLock = TakeLock(LockOf(own));
    return g_ownLock >= 0;
}

void ReleaseOwnLock() {
    if (g_ownLock < 0) return;
    std::error_code ec;
    if (!fs::exists(RecoveryPath(), ec)) fs::remove(LockOf(RecoveryPath()), ec);
    ::close(g_ownLock);
    g_ownLock = -1;
}

void RemoveOwnFile() {
    std::error_code ec;
    fs::remove(RecoveryPath(), ec);
}

Text Shown(const fs::path& path) { return Text(rt::Utf8ToSjis(path.string()).value_or(path.filename().string())); }

// A file that will not be offered again goes beside the others under a name of its own, which
// sorts by the time it was set aside. Empty when it could not be moved.
fs::path SetAside(const fs::path& file, const char* prefix) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    char millis[24];
    std::snprintf(millis, sizeof millis, "-%03ld", now.tv_nsec / 1000000);
    const std::string stem = prefix + Stamp("%Y%m%d-%H%M%S", now.tv_sec) + millis;
    std::error_code ec;
    fs::path aside = file.parent_path() / (stem + ".SAV");
    for (int n = 2; fs::exists(aside, ec) && n < 100; ++n) aside = file.parent_path() / (stem + "-" + std::to_string(n) + ".SAV");
    if (fs::exists(aside, ec)) return {};
    fs::rename(file, aside, ec);
    return ec ? fs::path() : aside;
}

// The declined orders are kept for a customer who said no by mistake, the last ten of them.
void KeepTheLastDeclined(const fs::path& folder) {
    std::vector<fs::path> declined;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kDeclined, 0) == 0 && entry.path().extension() == ".SAV") declined.push_back(entry.path());
    }
    if (declined.size() <= kDeclinedKept) return;
    std::sort(declined.begin(), declined.end());
    for (size_t i = 0; i + kDeclinedKept < declined.size(); ++i) fs::remove(declined[i], ec);
}

// An order left by a program that no longer runs, its lock held by this start while it is asked
// about, so that no other start offers it at the same time.
struct LeftOrder {
    fs::path file;
    timespec changed{};
    int lock = -1;
};

bool IsRecoveryFile(const fs::path& path) {
    const std::string name = path.filename().string();
    if (path.extension() != ".SAV") return false;
    if (name == "recovery.SAV") return true;  // the single file of earlier versions
    return name.rfind("recovery-", 0) == 0 && name.rfind(kDeclined, 0) != 0 && name.rfind(kUnreadable, 0) != 0;
}

std::vector<LeftOrder> OrdersLeftBehind(const fs::path& folder) {
    std::vector<LeftOrder> left;
    std::error_code ec;
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(folder, ec)) entries.push_back(entry.path());
    for (const fs::path& path : entries) {
        if (path == RecoveryPath()) continue;
        if (path.extension() == ".lock") {
            // The lock of a run that ended with nothing to recover.
            if (fs::exists(fs::path(path).replace_extension(".SAV"), ec) || path == LockOf(RecoveryPath())) continue;
            if (const int fd = TakeLock(path); fd >= 0) DropLock(path, fd);
            continue;
        }
        if (!IsRecoveryFile(path)) continue;
        const int lock = TakeLock(LockOf(path));
        if (lock < 0) continue;  // its program still runs
        // Another start may have taken it up between the listing and the lock.
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            DropLock(LockOf(path), lock);
            continue;
        }
        left.push_back({path, st.st_mtim, lock});
    }
    std::sort(left.begin(), left.end(), [](const LeftOrder& a, const LeftOrder& b) {
        return a.changed.tv_sec != b.changed.tv_sec ? a.changed.tv_sec > b.changed.tv_sec : a.changed.tv_nsec > b.changed.tv_nsec;
    });
    return left;
}

Text WhenChanged(const timespec& changed) { return Text(Stamp("%Y/%m/%d %H:%M", changed.tv_sec)); }

void TellUnreadable(Obj& form, bool readable, const OrderFileRead& order, const fs::path& aside) {
    Text text = "前回の申込みデータを読み込めませんでした。";
    if (readable && order.problem.line > 0)
        text += Text("（") + IntegerDigits(order.problem.line) + "行目：" + order.problem.reason + "）";
    text += aside.empty() ? Text("\r\nファイルは削除しました。") : Text("\r\nファイルは「") + Shown(aside) + "」に移しました。";
    MessageBox(form, kTitle, text, kOkButton, kExclamationIcon);
}

// Asks about one order left behind. True when it was taken up.
bool Offer(Obj& form, const LeftOrder& left) {
    const Int32 answer = MessageBox(form, kTitle,
                                    Text("前回、保存しないまま終了した申込みデータがあります（最後の変更：") +
                                        WhenChanged(left.changed) +
                                        "）。\r\n続きから入力しますか？\r\n"
                                        "「いいえ」を選んでも、このデータは削除せず、別の名前で残します。",
                                    kYesNo, kQuestionIcon);
    std::error_code ec;
    if (answer != kAnsweredYes) {
        // Cannot be moved: it stays where it is and is offered again, rather than lost.
        if (!SetAside(left.file, kDeclined).empty()) KeepTheLastDeclined(left.file.parent_path());
        return false;
    }
    std::string bytes;
    const rt::FileResult read = rt::ReadSystemFile(left.file.string(), Shown(left.file), bytes);
    const OrderFileRead order = read.ok ? ParseOrderFile(bytes) : OrderFileRead{};
    if (!order.content) {
        fs::path aside = SetAside(left.file, kUnreadable);
        // It cannot stay where it is, or every start would offer it again.
        if (aside.empty()) fs::remove(left.file, ec);
        TellUnreadable(form, read.ok, order, aside);
        return false;
    }
    TakeOverLoadedOrder(*order.content);
    総合画面_SETSUB();
    // The order is this run's now: its own file holds it before the old one goes.
    const std::string taken = OrderFileBytes();
    g_kept = kEmptyOrder;
    KeepRecoveryUpToDate(taken);
    if (g_kept == taken) fs::remove(left.file, ec);
    return true;
}

// The order in memory equals a file on disk: nothing to recover until it changes again.
void OrderInFile(const std::string& orderBytes) {
    RemoveOwnFile();
    g_kept = orderBytes;
}

}  // namespace

void EnableRecovery(bool on) {
    g_enabled = on;
    g_kept = kEmptyOrder;
    g_toldUnwritable = false;
    if (on) {
        TakeOwnLock();
        ListenForOrderInFile(OrderInFile);
    } else {
        ReleaseOwnLock();
        ListenForOrderInFile(nullptr);
    }
}

bool RecoveryEnabled() { return g_enabled; }

fs::path RecoveryFolder() {
    const fs::path state = rt::StateFolder();
    return state.empty() ? state : state / "kalvoro";
}

fs::path RecoveryPath() {
    const fs::path folder = RecoveryFolder();
    return folder.empty() ? folder : folder / ("recovery-" + RunName() + ".SAV");
}

void OfferRecovery(Obj& form) {
    const fs::path folder = RecoveryFolder();
    if (!g_enabled || folder.empty()) return;
    bool takenUp = false;
    for (const LeftOrder& left : OrdersLeftBehind(folder)) {
        // One order fits the window; the others wait, untouched, for the next start.
        std::error_code ec;
        if (!takenUp && fs::exists(left.file, ec)) takenUp = Offer(form, left);
        if (fs::exists(left.file, ec)) {
            ::close(left.lock);
        } else {
            DropLock(LockOf(left.file), left.lock);
        }
    }
}

void KeepRecoveryUpToDate(const std::string& orderBytes) {
    if (!g_enabled || orderBytes == g_kept) return;
    const fs::path file = RecoveryPath();
    if (file.empty()) return;
    if (orderBytes == kEmptyOrder) {
        RemoveOwnFile();
        g_kept = orderBytes;
        return;
    }
    // Without its lock the file could be taken for one whose program has gone; a disk that cannot
    // take it leaves the order on screen as it is, and the next change tries again. The customer
    // is told once that only a save keeps the order now.
    rt::FileResult written;
    if (TakeOwnLock()) {
        written = rt::WriteSystemFileReplacing(file.string(), Shown(file), orderBytes);
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
    g_kept = orderBytes;
}
