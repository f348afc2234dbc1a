// The shop's commands without a window: the command line read, then for each order in turn the
// program started afresh on the headless back end with the order loaded as the load command loads
// it, and its figures printed or its statements written.
#include "app/batch/batch_commands.h"

#include <cerrno>
#include <cfenv>
#include <charconv>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>

#include "app/batch/batch_command_line.h"
#include "app/batch/csv_table.h"
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
#include "runtime/files/library_paths.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/values/environment.h"
#include "runtime/values/error.h"
#include "runtime/values/text.h"
#include "runtime/window/window.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// A name as given on the command line, fit for a terminal and for the UTF-8 table: its UTF-8 as
// it is, and each byte of anything else (a name written in Shift-JIS, say) as U+FFFD, so that a
// line on standard error or a row of the table is always UTF-8 a reader can take.
std::string Shown(std::string_view name) {
    std::string shown;
    while (!name.empty()) {
        const size_t length = rt::Utf8CharLength(name);
        shown += length > 0 ? name.substr(0, length) : U8(u8"\uFFFD");
        name.remove_prefix(length > 0 ? length : 1);
    }
    return shown;
}

// The program itself, on the in-memory window system: the start-up step once for the run, then
// for each order the order loaded as the load command takes it over and the main screen's refresh.
// An order leaves nothing the next one reads: taking an order over empties every title and coupon
// slot, the refresh and the statements work every figure out again, and the day, the
// special-discount window, the resolution presets and the title limits are the start-up step's,
// the same for every order of the run (the day is decided once). The forms are kept: the load
// and the refresh write every figure box and the coupon box again, the hidden carried-amount
// boxes are not read without the customer typing in them, and the special-discount box (CHECK8),
// the only control the pricing reads, is ticked only by a customer.
// An order cut short by an error may leave any of that half done; the run then starts a new
// session for the next order, as a new process would start.
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
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Empty when loaded, else the one line that says why not. The file is opened by its name
    // exactly as given: a name need not be one Shift-JIS can hold.
    std::string Load(const std::string& order, std::ostream& err) {
        int replaced = 0;
        const Text inMessages(rt::Utf8ToSjisReplacing(order, "?", replaced));
        const OrderFileRead read = ReadSystemOrderFile(order, inMessages);
        if (!read.content) {
            // The system refuses to open a folder as it refuses a file one may not read; whoever
            // named a folder should be told that, not that access was denied.
            std::error_code unreadable;
            if (std::filesystem::is_directory(rt::LibraryPath(order), unreadable)) return Shown(order) + ": is a folder, not an order file";
            const std::string line = read.problem.line > 0 ? ":" + std::to_string(read.problem.line) : "";
            return Shown(order) + line + ": " + rt::SjisToUtf8Lossy(read.problem.reason.bytes());
        }
        // Told as the window tells it, once: the figures are right, but the shop may want to know
        // the file is not as the program writes it.
        if (read.fromUtf8) err << "kalvoro: " << Shown(order) << ": read as UTF-8 and converted to Shift-JIS\n";
        // No floating-point flag an order raised stays to be blamed on this order's first store,
        // as no event's stays for the next event's.
        std::feclearexcept(FE_ALL_EXCEPT);
        TakeOverOrder(*read.content);
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

std::string TotalsLines() {
    std::string lines;
    for (const auto& [name, value] : Figures()) lines += name + "=" + value + "\n";
    return lines;
}

std::vector<std::string> CsvHeader() {
    std::vector<std::string> header = {"FILE"};
    for (auto& figure : Figures()) header.push_back(std::move(figure.first));
    return header;
}

std::vector<std::string> CsvFigures() {
    std::vector<std::string> row;
    for (auto& figure : Figures()) row.push_back(std::move(figure.second));
    return row;
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
// named after the order file, so that no order's files replace another's. Names as the system
// holds them, as given.
std::string StatementFolder(const BatchCall& call, const std::string& order) {
    if (call.orders.size() == 1) return call.outFolder;
    return rt::SystemPathOf(rt::LibraryPath(call.outFolder) / rt::LibraryPath(order).stem());
}

// Two orders whose statements would go to one folder (the same name with another extension or
// in another folder, or one order named twice): each pair named, and nothing may be written.
bool StatementFoldersClash(const BatchCall& call, std::ostream& err) {
    std::map<std::string, const std::string*> firstFor;
    bool clash = false;
    for (const std::string& order : call.orders) {
        const auto [it, added] = firstFor.emplace(StatementFolder(call, order), &order);
        if (added) continue;
        err << "kalvoro statements: " << Shown(*it->second) << " and " << Shown(order) << " would both write to "
            << Shown(it->first) << "; nothing written\n";
        clash = true;
    }
    return clash;
}

// A failed system call on a file of the batch, as one line: the name as given and the reason in
// the customer's words.
std::string FileProblem(const std::string& name, int err) {
    rt::FileResult failed;
    failed.err = err;
    failed.code = rt::ErrorCodeFromErrno(err);
    failed.reason = rt::SystemReason(err);
    return Shown(name) + ": " + rt::SjisToUtf8Lossy(ReasonOf(failed).bytes());
}

// The folder of one of several orders, made unless it is there. Empty when it is, else the line
// that says why not.
std::string MakeStatementFolder(const std::string& folder) {
    std::error_code made;
    std::filesystem::create_directory(rt::LibraryPath(folder), made);
    // As an errno, on every system: Windows reports its own error numbers here.
    return made ? FileProblem(folder, made.default_error_condition().value()) : std::string();
}

// The statement files are named in the system's own UTF-8, beside whatever names the folder has.
int WriteStatements(const std::string& folder, std::ostream& err) {
    const auto [details, summary] = Statements();
    const std::pair<std::string, std::string> files[] = {
        {folder + "/" + U8(u8"明細書.TXT"), StatementFileBytes(Statement::WorkFeeDetails, details).bytes()},
        {folder + "/" + U8(u8"見積書.TXT"), StatementFileBytes(Statement::Estimate, summary).bytes()},
    };
    for (const auto& [path, bytes] : files) {
        int replaced = 0;
        const Text inMessages(rt::Utf8ToSjisReplacing(path, "?", replaced));
        const rt::FileResult written = rt::WriteSystemFileReplacing(path, inMessages, bytes);
        if (!written.ok) {
            err << "kalvoro statements: " << Shown(path) << ": " << rt::SjisToUtf8Lossy(ReasonOf(written).bytes())
                << "\n";
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
    rt::SetEnvironment("KALVORO_TODAY", day);
}

// A runtime error met while one order was priced, as one line: what the window's report says.
std::string RuntimeErrorLine(const std::string& order, const rt::RuntimeError& e) {
    return Shown(order) + ": " + e.module + " [" + std::to_string(e.line) + "]: error " + std::to_string(e.code) + " " +
           rt::SjisToUtf8Lossy(rt::ErrorExplanation(e.code));
}

// One order priced and what it prints made in `printed`, whole, so that an order cut short
// prints nothing. 0 done, 1 it failed (one line on `err` says why). `blocks` counts the blocks
// made so far.
int RunOne(Session& session, const BatchCall& call, const std::string& order, int& blocks, std::string& printed,
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
    std::ostringstream lines;
    if (call.csv) {
        WriteCsvRow(lines, {Shown(order)}, CsvFigures());
    } else {
        // Blocks of several orders are told apart as head(1) tells its files apart.
        if (several) lines << (blocks > 0 ? "\n" : "") << "==> " << Shown(order) << " <==\n";
        if (call.command == "totals") {
            lines << TotalsLines();
        } else {
            const auto [details, summary] = Statements();
            lines << ForPerson(details) << ForPerson(StatementFileBytes(Statement::Estimate, summary));
        }
        ++blocks;
    }
    printed = std::move(lines).str();
    return 0;
}

// Prints the text and sends it on to standard output at once: a shop script reading it sees the
// orders as they are priced, and a full disk or a reader gone is found at the order that met it.
// Empty when written, else the line that says why not. The system's error is taken only from
// this write: nothing else runs between.
std::string Send(std::ostream& out, std::string_view text) {
    errno = 0;
    out << text;
    out.flush();
    if (out) return {};
    const int failure = errno != 0 ? errno : EIO;
    // A pipe whose reader is gone is told so: the system's reason would read as a fault of this
    // program.
    if (failure == EPIPE) return "standard output: the program reading it has ended; nothing more written";
    return FileProblem("standard output", failure);
}

}  // namespace

int RunBatchCommand(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const BatchCommandLine line = ReadBatchCommandLine(std::move(args), out, err);
    if (!line.call) return line.status;
    const BatchCall& call = *line.call;
    if (call.command == "statements" && StatementFoldersClash(call, err)) return 2;
    FixTheDay(call.today);
    // After a failed write no order is priced: its lines would be lost too.
    auto sent = [&](std::string_view text) {
        const std::string problem = Send(out, text);
        if (!problem.empty()) err << "kalvoro " << call.command << ": " << problem << "\n";
        return problem.empty();
    };
    std::ostringstream header;
    if (call.bom) header << kUtf8ByteOrderMark;
    if (call.csv) WriteCsvRow(header, CsvHeader());
    if (!sent(header.view())) return 1;
    std::optional<Session> session;
    session.emplace();
    int status = 0, blocks = 0;
    for (const std::string& order : call.orders) {
        int done = 1;
        bool cutShort = true;
        std::string printed;
        try {
            done = RunOne(*session, call, order, blocks, printed, err);
            cutShort = false;
        } catch (const rt::RuntimeError& e) {
            // One order the program cannot price must not keep the others from being priced.
            err << "kalvoro " << call.command << ": " << RuntimeErrorLine(order, e) << "\n";
        } catch (const std::exception& e) {
            // Nor one that meets any other error: the memory running out, say.
            err << "kalvoro " << call.command << ": " << Shown(order) << ": not priced (" << e.what() << ")\n";
        }
        if (done != 0) status = 1;
        if (cutShort) {
            // Whatever the order left half done goes with the session it was priced in.
            session.reset();
            session.emplace();
        }
        if (!sent(printed)) return 1;
    }
    return status;
}
