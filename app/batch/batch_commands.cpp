// The shop's commands without a window: the command line checked, the program started on the
// headless back end with the order loaded as the load command loads it, then the figures printed or
// the statements written.
#include "app/batch/batch_commands.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>

#include "app/documents/fee_summary.h"
#include "app/documents/statement_text.h"
#include "app/documents/work_fee_details.h"
#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/files/file_messages.h"
#include "app/files/order_file.h"
#include "app/screens/main_routine.h"
#include "runtime/backends/headless.h"
#include "runtime/files/channels.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/values/text.h"
#include "runtime/window/window.h"

namespace {

struct Invocation {
    std::string command, order, outFolder;
    std::optional<std::string> today;
};

// A day the calendar has, written YYYY-MM-DD. Checked here, before the date is handed on: the
// start-up would only warn and price the order for the computer's date, and a shop script would
// take its exit status 0 for the prices of the day it asked for.
bool IsDate(const std::string& s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (s[i] < '0' || s[i] > '9') return false;
    return IsCalendarDate(std::stoi(s.substr(0, 4)), std::stoi(s.substr(5, 2)), std::stoi(s.substr(8, 2)));
}

std::optional<Invocation> Parse(const std::vector<std::string>& args, std::ostream& err) {
    Invocation call{args[0], "", "", std::nullopt};
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--today" && i + 1 < args.size()) {
            call.today = args[++i];
        } else if (a == "--out" && i + 1 < args.size()) {
            call.outFolder = args[++i];
        } else if (!a.empty() && a[0] != '-' && call.order.empty()) {
            call.order = a;
        } else {
            err << "kalvoro " << call.command << ": unexpected argument " << a << "\n";
            return std::nullopt;
        }
    }
    if (call.order.empty() || (call.command == "statements") != !call.outFolder.empty()) {
        err << "kalvoro: usage: kalvoro " << call.command << " ORDER"
            << (call.command == "statements" ? " --out DIR" : "") << " [--today YYYY-MM-DD]\n";
        return std::nullopt;
    }
    if (call.today && !IsDate(*call.today)) {
        err << "kalvoro " << call.command << ": --today " << *call.today << ": not a date of the calendar (YYYY-MM-DD)\n";
        return std::nullopt;
    }
    return call;
}

// The program itself, on the in-memory window system: the start-up step and the order loaded
// as the load command takes it over, then the main screen's refresh.
class Session {
public:
    explicit Session(const std::optional<std::string>& today) {
        if (today) setenv("KALVORO_TODAY", today->c_str(), 1);
        rt::SetPlatform(&platform_);
        rt::StartWindowLayer(platform_);
        開始_SETSUB();
    }
    ~Session() {
        rt::CloseAllChannels();
        rt::ResetWindowLayer();
        rt::SetPlatform(nullptr);
    }

    // Empty when loaded, else the one line that says why not.
    std::string Load(const std::string& orderUtf8, std::ostream& err) {
        const std::optional<std::string> path = rt::Utf8ToSjis(orderUtf8);
        if (!path) return orderUtf8 + ": the name has characters Shift-JIS cannot hold";
        const OrderFileRead order = ReadOrderFile(*path);
        if (!order.content) {
            // The system refuses to open a folder as it refuses a file one may not read; whoever
            // named a folder should be told that, not that access was denied.
            std::error_code unreadable;
            if (std::filesystem::is_directory(orderUtf8, unreadable)) return orderUtf8 + ": is a folder, not an order file";
            const std::string line = order.problem.line > 0 ? ":" + std::to_string(order.problem.line) : "";
            return orderUtf8 + line + ": " + rt::SjisToUtf8Lossy(order.problem.reason.bytes());
        }
        // Told as the window tells it, once: the figures are right, but the shop may want to know
        // the file is not as the program writes it.
        if (order.fromUtf8) err << "kalvoro: " << orderUtf8 << ": read as UTF-8 and converted to Shift-JIS\n";
        TakeOverOrder(*order.content);
        総合画面_SETSUB();
        return {};
    }

private:
    rt::HeadlessPlatform platform_;
};

// A plain decimal number: never in exponent form, as few digits as give the value back.
std::string Plain(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<float>(value), std::chars_format::fixed);
    return ec == std::errc() ? std::string(buf, end) : std::string("nan");
}

void PrintTotals(std::ostream& out) {
    for (int k = 0; k < kKindCount; ++k) out << "KIND_SUBTOTAL" << k << "=" << Plain(KIND_SUBTOTAL(k)) << "\n";
    for (int k = 0; k < kKindCount; ++k) out << "TITLE_COUNT" << k << "=" << TITLE_COUNT(k) << "\n";
    const std::pair<const char*, Single> figures[] = {
        {"WORK_FEE", WORK_FEE},
        {"MEDIA_FEE", MEDIA_FEE},
        {"RETURN_SHIPPING", RETURN_SHIPPING},
        {"SUBTOTAL", SUBTOTAL},
        {"COUPON_DISCOUNT", COUPON_DISCOUNT},
        {"SPECIAL_DISCOUNT", SPECIAL_DISCOUNT},
        {"BOX_DISCOUNT", BOX_DISCOUNT},
        {"DISCOUNT_TOTAL", DISCOUNT_TOTAL},
        {"COMPENSATION_TOTAL", COMPENSATION_TOTAL},
        {"GRAND_TOTAL", GRAND_TOTAL},
    };
    for (const auto& [name, value] : figures) out << name << "=" << Plain(value) << "\n";
}

// The two statements as the statement screen makes them: the details first (they price every
// title again), then the summary from the totals.
std::pair<Text, Text> Statements() {
    const Text details = 作業代明細_SUB();
    const Text summary = 見積書_SUB();
    return {details, summary};
}

std::string ForPerson(const Text& text) {
    // Read as in the window: the yen sign as "¥", a cut character's lead byte as one "?".
    std::string utf8 = rt::SjisToUtf8Shown(text.bytes()), out;
    for (char c : utf8)
        if (c != '\r') out += c;
    return out;
}

int WriteStatements(const std::string& folderUtf8, std::ostream& err) {
    const std::optional<std::string> folder = rt::Utf8ToSjis(folderUtf8 + "/");
    if (!folder) {
        err << "kalvoro statements: " << folderUtf8 << ": the name has characters Shift-JIS cannot hold\n";
        return 1;
    }
    const auto [details, summary] = Statements();
    const std::pair<Text, std::string> files[] = {
        {Text(*folder) + "明細書.TXT", StatementFileBytes(Statement::WorkFeeDetails, details).bytes()},
        {Text(*folder) + "見積書.TXT", StatementFileBytes(Statement::Estimate, summary).bytes()},
    };
    for (const auto& [path, bytes] : files) {
        const rt::FileResult written = rt::WriteFileReplacing(path, bytes);
        if (!written.ok) {
            err << "kalvoro statements: " << rt::SjisToUtf8Lossy(path.bytes()) << ": "
                << rt::SjisToUtf8Lossy(ReasonOf(written).bytes()) << "\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace

bool IsBatchCommand(const std::string& word) { return word == "totals" || word == "statements" || word == "estimate"; }

int RunBatchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<Invocation> call = Parse(args, err);
    if (!call) return 2;
    Session session(call->today);
    if (const std::string problem = session.Load(call->order, err); !problem.empty()) {
        err << "kalvoro " << call->command << ": " << problem << "\n";
        return 1;
    }
    if (call->command == "totals") {
        PrintTotals(out);
        return 0;
    }
    if (call->command == "statements") return WriteStatements(call->outFolder, err);
    const auto [details, summary] = Statements();
    out << ForPerson(details) << ForPerson(StatementFileBytes(Statement::Estimate, summary));
    return 0;
}
