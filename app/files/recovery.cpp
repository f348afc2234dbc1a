#include "app/files/recovery.h"

#include <ctime>
#include <string>

#include "app/fee/amount_text.h"
#include "app/fee/fee_chain.h"
#include "app/files/file_messages.h"
#include "app/files/order_commands.h"
#include "app/files/order_file.h"
#include "runtime/files/user_folders.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/window/dialogs.h"

namespace {

constexpr Int32 kOkButton = 0, kYesNo = 4, kQuestionIcon = 1, kExclamationIcon = 2;
constexpr Int32 kAnsweredYes = 5;
constexpr const char* kEmptyOrder = "割引券:0\r\n";

bool g_enabled = false;
// Whether this run has told that the file cannot be written: once is enough while typing.
bool g_toldUnwritable = false;
// The bytes last kept in the file (or the empty order when there is none), so that only a change
// of the order writes.
std::string g_kept = kEmptyOrder;

void Remove() {
    std::error_code ec;
    std::filesystem::remove(RecoveryPath(), ec);
}

// A recovery file that cannot be read goes beside the others under a name of its own, for the
// shop to look at; the next start does not offer it again.
std::filesystem::path SetAside(const std::filesystem::path& file) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    const std::filesystem::path aside = file.parent_path() / (std::string("recovery-unreadable-") + stamp + ".SAV");
    std::error_code ec;
    std::filesystem::rename(file, aside, ec);
    if (!ec) return aside;
    // It cannot stay where it is, or every start would offer it again.
    std::filesystem::remove(file, ec);
    return {};
}

Text Shown(const std::filesystem::path& path) { return Text(rt::Utf8ToSjis(path.string()).value_or(path.filename().string())); }

}  // namespace

void EnableRecovery(bool on) {
    g_enabled = on;
    g_kept = kEmptyOrder;
    g_toldUnwritable = false;
}

std::filesystem::path RecoveryPath() {
    const std::filesystem::path state = rt::StateFolder();
    return state.empty() ? state : state / "kalvoro" / "recovery.SAV";
}

void OfferRecovery(Obj& form) {
    const std::filesystem::path file = RecoveryPath();
    std::error_code ec;
    if (!g_enabled || file.empty() || !std::filesystem::exists(file, ec)) return;
    const Int32 answer =
        MessageBox(form, "申込みデータの復元",
                   "前回、保存しないまま終了した申込みデータがあります。\r\n続きから入力しますか？\r\n"
                   "「いいえ」を選ぶと、このデータは削除されます。",
                   kYesNo, kQuestionIcon);
    if (answer != kAnsweredYes) {
        Remove();
        return;
    }
    std::string bytes;
    const rt::FileResult read = rt::ReadSystemFile(file.string(), Shown(file), bytes);
    const OrderFileRead order = read.ok ? ParseOrderFile(bytes) : OrderFileRead{};
    if (!order.content) {
        const std::filesystem::path aside = SetAside(file);
        Text text = "前回の申込みデータを読み込めませんでした。";
        if (read.ok && order.problem.line > 0) text += Text("（") + IntegerDigits(order.problem.line) + "行目：" + order.problem.reason + "）";
        text += aside.empty() ? Text("\r\nファイルは削除しました。") : Text("\r\nファイルは「") + Shown(aside) + "」に移しました。";
        MessageBox(form, "申込みデータの復元", text, kOkButton, kExclamationIcon);
        return;
    }
    TakeOverLoadedOrder(*order.content);
    総合画面_SETSUB();
    g_kept = OrderFileBytes();
}

void KeepRecoveryUpToDate() {
    if (!g_enabled) return;
    const std::string now = OrderFileBytes();
    if (now == g_kept) return;
    const std::filesystem::path file = RecoveryPath();
    if (file.empty()) return;
    if (now == kEmptyOrder) {
        Remove();
    } else {
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        // A disk that cannot take it leaves the order on screen as it is, and the next change
        // tries again; the customer is told once that only a save keeps the order now.
        const rt::FileResult written = rt::WriteSystemFileReplacing(file.string(), Shown(file), now);
        if (!written.ok) {
            if (!g_toldUnwritable) {
                g_toldUnwritable = true;
                Obj main{kMainWindow};
                MessageBox(main, "申込みデータの復元",
                           Text("復元用のファイル「") + Shown(file) + "」に書き込めません。\r\n" + ReasonOf(written) +
                               "\r\n入力中の申込みデータは「セーブ」で保存してください。",
                           kOkButton, kExclamationIcon);
            }
            return;
        }
    }
    g_kept = now;
}

void RecoverySaved() {
    if (!g_enabled) return;
    Remove();
    g_kept = OrderFileBytes();
}
