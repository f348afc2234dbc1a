#include "runtime/values/error.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "runtime/values/encoding.h"

namespace rt {
namespace {

ErrorPresenter& Presenter() {
    static ErrorPresenter presenter;
    return presenter;
}

bool g_handling = false;

std::filesystem::path StateFolder() {
    if (const char* s = std::getenv("XDG_STATE_HOME"); s && *s) return s;
    if (const char* h = std::getenv("HOME"); h && *h) return std::filesystem::path(h) / ".local/state";
    return {};
}

}  // namespace

std::string ErrorExplanation(int code) {
    switch (code) {
        case 4: return "リストに空きがありません";
        case 5: return "引数の値が範囲外です";
        case 6: return "オーバーフローしました";
        case 7: return "メモリが足りません";
        case 9: return "配列の添字が範囲外です";
        case 10: return "配列が二重に宣言されました";
        case 11: return "０で除算しました";
        case 15: return "文字列が長すぎます";
        case 27: return "ファイルの操作に失敗しました";
        case 50: return "チャネル番号が不正です";
        case 51: return "このモードでは使えない操作です";
        case 52: return "チャネルまたはファイルは既に開かれています";
        case 54: return "ファイルの終わりを越えて読み込もうとしました";
        case 55: return "ファイル名が不正です";
        case 57: return "チャネルが開かれていません";
        case 58: return "数値の項目が空です";
        case 63: return "ファイルまたはパスが見つかりません";
        case 64: return "ファイルは既に存在します";
        case 66: return "開いているファイルが多すぎます";
        case 67: return "ディスクがいっぱいです";
        case 72: return "装置の準備ができていません";
        case 73: return "書き込みが禁止されています";
        case 75: return "アクセスが拒否されました";
        case 81: return "スタックが足りません";
        case 89: return "一時領域が足りません";
        case 1000: return "ウィンドウが存在しません";
        case 1001: return "フォームは既に読み込まれています";
        case 1002: return "このコントロールでは使えない操作です";
        case 1012: return "フォームのリソースが見つかりません";
        case 1013: return "その名前のコントロールはありません";
        case 1014: return "フォームのリソースが不正です";
        case 1016: return "リストボックスが操作を拒否しました";
        case 1017: return "コンボボックスが操作を拒否しました";
        default: return {};
    }
}

std::string ErrorReportText(const RuntimeError& e) {
    char head[128];
    std::snprintf(head, sizeof head, "\r\n%s [%u行]:エラー[%d]", e.module.c_str(),
                  static_cast<unsigned>(e.line), e.code);
    std::string text = head;
    if (std::string why = ErrorExplanation(e.code); !why.empty()) text += "\n" + why;
    return text;
}

bool RecordLastError(const RuntimeError& e) {
    std::filesystem::path folder = StateFolder();
    if (folder.empty()) return false;
    folder /= "kalvoro";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return false;
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char when[64];
    std::snprintf(when, sizeof when, "%d/%02d/%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    // The file is for people diagnosing a failure on Linux, so it is UTF-8 like any state file.
    std::string body;
    body += "MODL=" + e.module + "\n";
    body += "LINE=" + std::to_string(e.line) + "\n";
    body += "CODE=" + std::to_string(e.code) + "\n";
    body += "FUNC=" + std::to_string(e.detail >> 16) + "\n";
    body += "INFO=" + std::to_string(e.detail & 0xFFFF) + "\n";
    body += std::string("TIME=") + when + "\n";
    body += "MODE=" + SjisToUtf8Lossy("独立型") + "\n";
    body += "RTL=V6.30 L10 U002+1\n";
    std::ofstream out(folder / "last-error", std::ios::binary | std::ios::trunc);
    out << body;
    return static_cast<bool>(out);
}

void SetErrorPresenter(ErrorPresenter presenter) { Presenter() = std::move(presenter); }

int EndWithRuntimeError(const RuntimeError& e) {
    if (g_handling) return 1;
    g_handling = true;
    RecordLastError(e);
    std::string report = ErrorReportText(e);
    try {
        if (Presenter()) {
            Presenter()(report);
        } else {
            std::fprintf(stderr, "%s\n", SjisToUtf8Lossy(report).c_str());
        }
    } catch (...) {
        // The report could not be shown (no window system left); it is recorded all the same.
        std::fprintf(stderr, "%s\n", SjisToUtf8Lossy(report).c_str());
    }
    g_handling = false;
    return 1;
}

std::string ExecutableCaption() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string base = ec ? std::string("kalvoro") : exe.filename().string();
    return base + ".EXE";
}

}  // namespace rt

void RaiseError(int code, Here here, uint32_t detail) {
    rt::RuntimeError e;
    e.code = code;
    e.detail = detail;
    e.module = rt::kModuleName;
    e.line = static_cast<uint16_t>(here.line());
    e.file = here.file_name();
    throw e;
}
