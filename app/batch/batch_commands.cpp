// The shop's commands without a window: the command line read, then for each order in turn the
// program started afresh on the headless back end with the order loaded as the load command loads
// it, and its figures printed or its statements written.
#include "app/batch/batch_commands.h"

#include <cfenv>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>

#include "app/batch/batch_command_line.h"
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
#include "runtime/files/file_names.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/values/error.h"
#include "runtime/values/text.h"
#include "runtime/window/window.h"

namespace {

// The program itself, on the in-memory window system: the start-up step once for the run, then
// for each order the order loaded as the load command takes it over and the main screen's refresh.
// Each order starts from what a new process starts its order from (StartAfresh), so that no
// figure depends on the orders before it.
class Session {
public:
    Session() {
        ResetOrderModel();
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
        StartAfresh();
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
    // The order's globals as a new process has them after the start-up step: every title,
    // coupon, flag, total, working value and DOC_LINE emptied, the customer's name and the two
    // carried amounts gone, then the day, the special-discount window (which the start-up step
    // only ever opens, never shuts), the resolution presets and the title limits decided again.
    // No file stays open and no floating-point flag stays raised to be blamed on the next
    // order's first store.
    // The forms are kept: a fresh set would cost more than the pricing itself, and an order
    // leaves nothing in them that the next one reads. The load and the refresh write every figure
    // box and the coupon box again, the hidden carried-amount boxes are not read without the
    // customer typing in them, and the special-discount box (CHECK8), the only control the
    // pricing reads, is ticked only by a customer.
    void StartAfresh() {
        ResetOrderModel();
        起動_SUB();
        rt::CloseAllChannels();
        std::feclearexcept(FE_ALL_EXCEPT);
    }

    rt::HeadlessPlatform platform_;
};

// A plain decimal number: never in exponent form, as few digits as give the value back.
std::string Plain(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<float>(value), std::chars_format::fixed);
    return ec == std::errc() ? std::string(buf, end) : std::string("nan");
}

// The main screen's figures, named and in the order `totals` has always printed them; the
// table's header is made of the same names.
std::vector<std::pair<std::string, std::string>> Figures() {
    std::vector<std::pair<std::string, std::string>> figures;
    for (int k = 0; k < kKindCount; ++k) figures.emplace_back("KIND_SUBTOTAL" + std::to_string(k), Plain(KIND_SUBTOTAL(k)));
    for (int k = 0; k < kKindCount; ++k) figures.emplace_back("TITLE_COUNT" + std::to_string(k), std::to_string(TITLE_COUNT(k)));
    const std::pair<const char*, Single> totals[] = {
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
    for (const auto& [name, value] : totals) figures.emplace_back(name, Plain(value));
    return figures;
}

void PrintTotals(std::ostream& out) {
    for (const auto& [name, value] : Figures()) out << name << "=" << value << "\n";
}

// A field of the table as RFC 4180 writes it: in double quotes, its own doubled, when it holds a
// comma, a double quote or a line end (a file name may hold any of them).
std::string CsvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void PrintCsvHeader(std::ostream& out) {
    out << "FILE";
    for (const auto& figure : Figures()) out << "," << figure.first;
    out << "\r\n";
}

void PrintCsvRow(std::ostream& out, const std::string& orderUtf8) {
    out << CsvField(orderUtf8);
    for (const auto& figure : Figures()) out << "," << figure.second;
    out << "\r\n";
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

// Where an order's statements go: the folder given for one order; for several, a folder in it
// named after the order file, so that no order's files replace another's.
std::string StatementFolder(const BatchCall& call, const std::string& orderUtf8) {
    if (call.orders.size() == 1) return call.outFolder;
    return (std::filesystem::path(call.outFolder) / std::filesystem::path(orderUtf8).stem()).string();
}

// Two orders whose statements would go to one folder (the same name with another extension or
// in another folder, or one order named twice): each pair named, and nothing may be written.
bool StatementFoldersClash(const BatchCall& call, std::ostream& err) {
    std::map<std::string, const std::string*> firstFor;
    bool clash = false;
    for (const std::string& order : call.orders) {
        const auto [it, added] = firstFor.emplace(StatementFolder(call, order), &order);
        if (added) continue;
        err << "kalvoro statements: " << *it->second << " and " << order << " would both write to " << it->first
            << "; nothing written\n";
        clash = true;
    }
    return clash;
}

// The folder of one of several orders, made unless it is there. Empty when it is, else the line
// that says why not.
std::string MakeStatementFolder(const std::string& folderUtf8) {
    std::error_code made;
    std::filesystem::create_directory(folderUtf8, made);
    if (!made) return {};
    rt::FileResult failed;
    failed.err = made.value();
    failed.code = rt::ErrorCodeFromErrno(failed.err);
    failed.reason = rt::SystemReason(failed.err);
    return folderUtf8 + ": " + rt::SjisToUtf8Lossy(ReasonOf(failed).bytes());
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

// The day every order of the run is priced for, decided once: the one asked for, else the
// computer's (or KALVORO_TODAY's) day when the run starts, so that a run over midnight prices
// its last orders as its first.
void FixTheDay(const std::optional<std::string>& today) {
    std::string day = today.value_or(TodayText().bytes());
    day[4] = day[7] = '-';
    setenv("KALVORO_TODAY", day.c_str(), 1);
}

// A runtime error met while one order was priced, as one line: what the window's report says.
std::string RuntimeErrorLine(const std::string& orderUtf8, const rt::RuntimeError& e) {
    return orderUtf8 + ": " + e.module + " [" + std::to_string(e.line) + "]: error " + std::to_string(e.code) + " " +
           rt::SjisToUtf8Lossy(rt::ErrorExplanation(e.code));
}

// One order priced and its output made. 0 done, 1 it failed (one line on `err` says why).
// `blocks` counts the blocks printed so far.
int RunOne(Session& session, const BatchCall& call, const std::string& order, int& blocks, std::ostream& out,
           std::ostream& err) {
    const bool several = call.orders.size() > 1;
    if (const std::string problem = session.Load(order, err); !problem.empty()) {
        err << "kalvoro " << call.command << ": " << problem << "\n";
        return 1;
    }
    if (call.command == "statements") {
        const std::string folder = StatementFolder(call, order);
        if (several) {
            if (const std::string problem = MakeStatementFolder(folder); !problem.empty()) {
                err << "kalvoro statements: " << problem << "\n";
                return 1;
            }
        }
        return WriteStatements(folder, err);
    }
    if (call.csv) {
        PrintCsvRow(out, order);
        return 0;
    }
    // Blocks of several orders are told apart as head(1) tells its files apart.
    if (several) out << (blocks++ > 0 ? "\n" : "") << "==> " << order << " <==\n";
    if (call.command == "totals") {
        PrintTotals(out);
    } else {
        const auto [details, summary] = Statements();
        out << ForPerson(details) << ForPerson(StatementFileBytes(Statement::Estimate, summary));
    }
    return 0;
}

}  // namespace

int RunBatchCommand(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const BatchCommandLine line = ReadBatchCommandLine(std::move(args), out, err);
    if (!line.call) return line.status;
    const BatchCall& call = *line.call;
    if (call.command == "statements" && StatementFoldersClash(call, err)) return 2;
    FixTheDay(call.today);
    if (call.csv) PrintCsvHeader(out);
    Session session;
    int status = 0, blocks = 0;
    for (const std::string& order : call.orders) {
        int done = 1;
        try {
            done = RunOne(session, call, order, blocks, out, err);
        } catch (const rt::RuntimeError& e) {
            // One order the program cannot price must not keep the others from being priced.
            err << "kalvoro " << call.command << ": " << RuntimeErrorLine(order, e) << "\n";
        }
        if (done != 0) status = 1;
    }
    return status;
}
