// What the program says about an error code. One table holds both texts of a code, so that the
// short explanation under the report's first line and the help a customer reads cannot drift
// apart or miss a code the other has.
#include <optional>
#include <string>

#include "runtime/values/encoding.h"
#include "runtime/values/error.h"

namespace rt {
namespace {

struct CodeTexts {
    int code;
    // Under the report's first line. Shops quote these texts on the telephone: they stay as
    // they are.
    const char* brief;
    // What Help says: what happened, in words a customer without a manual understands, and what
    // the customer can do about it.
    const char* customer;
};

// Every code the runtime and the program raise (RaiseError across runtime/ and app/, the codes
// of the file room's errno mapping and of the form player), and a few the original runtime could.
constexpr CodeTexts kTexts[] = {
    {4, "リストに空きがありません",
     "プログラムの内部で使う一覧がいっぱいになりました。プログラムの不具合です。"},
    {5, "引数の値が範囲外です",
     "プログラムが、使える範囲を外れた値で処理をしようとしました。入力した内容が長すぎたか、"
     "想定していない値だった可能性があります。"},
    {6, "オーバーフローしました",
     "計算の結果が、扱える数の大きさを超えました。冊数やページ数などに、とても大きな数を"
     "入力していないかご確認ください。"},
    {7, "メモリが足りません",
     "コンピューターのメモリが足りなくなりました。ほかのプログラムを終了してから、もう一度"
     "お試しください。"},
    {9, "配列の添字が範囲外です",
     "登録できる数を超えた項目を扱おうとしました。タイトルや割引券を、上限を超えて登録しようと"
     "した可能性があります。"},
    {10, "配列が二重に宣言されました",
     "プログラムの内部で、同じ表を二度用意しようとしました。プログラムの不具合です。"},
    {11, "０で除算しました",
     "計算の途中で、０で割る計算が起きました。プログラムの不具合の可能性があります。"},
    {15, "文字列が長すぎます",
     "文字が長すぎて扱えませんでした。ファイルの１行が長すぎるか、入力した文字が多すぎる"
     "可能性があります。"},
    {27, "ファイルの操作に失敗しました",
     "ファイルの読み書きが、コンピューター側の理由で失敗しました。保存先のフォルダやディスクを"
     "ご確認ください。"},
    {50, "チャネル番号が不正です",
     "プログラムの内部で、ファイルの扱いを誤りました。プログラムの不具合です。"},
    {51, "このモードでは使えない操作です",
     "開いたファイルを、開いたときと違う目的で使おうとしました。プログラムの不具合です。"},
    {52, "チャネルまたはファイルは既に開かれています",
     "すでに開いているファイルを、もう一度開こうとしました。プログラムの不具合です。"},
    {54, "ファイルの終わりを越えて読み込もうとしました",
     "ファイルの内容が途中で終わっていました。ファイルが壊れているか、別の種類のファイルを"
     "選んだ可能性があります。"},
    {55, "ファイル名が不正です",
     "ファイル名に使えない文字が含まれているか、名前が長すぎます。別の名前をお使いください。"},
    {57, "チャネルが開かれていません",
     "開いていないファイルを読み書きしようとしました。プログラムの不具合です。"},
    {58, "数値の項目が空です",
     "ファイルの中で、数字が入るはずの欄が空でした。ファイルが壊れているか、別の種類の"
     "ファイルを選んだ可能性があります。"},
    {63, "ファイルまたはパスが見つかりません",
     "ファイルまたはフォルダが見つかりませんでした。名前と場所をご確認ください。"},
    {64, "ファイルは既に存在します",
     "同じ名前のファイルがすでにあります。別の名前をお使いください。"},
    {66, "開いているファイルが多すぎます",
     "開いているファイルが多すぎます。ほかのプログラムを終了してから、もう一度お試しください。"},
    {67, "ディスクがいっぱいです",
     "ディスクに空きがありません。不要なファイルを削除してから、もう一度お試しください。"},
    {72, "装置の準備ができていません",
     "ドライブなどの装置の準備ができていません。接続をご確認ください。"},
    {73, "書き込みが禁止されています",
     "書き込みが禁止された場所です。別の保存先をお選びください。"},
    {75, "アクセスが拒否されました",
     "ファイルまたはフォルダを使う許可がありませんでした。ほかのプログラムが使っていないか、"
     "その場所に書き込めるかをご確認ください。"},
    {81, "スタックが足りません",
     "プログラムの作業領域が足りなくなりました。プログラムの不具合の可能性があります。"},
    {89, "一時領域が足りません",
     "一時的な作業領域が足りなくなりました。ほかのプログラムを終了してから、もう一度"
     "お試しください。"},
    {1000, "ウィンドウが存在しません",
     "すでに閉じられた画面を使おうとしました。プログラムの不具合です。"},
    {1001, "フォームは既に読み込まれています",
     "すでに開いている画面を、もう一度開こうとしました。プログラムの不具合です。"},
    {1002, "このコントロールでは使えない操作です",
     "画面のボタンや入力欄に、それではできない操作をしようとしました。プログラムの不具合です。"},
    {1012, "フォームのリソースが見つかりません",
     "画面の定義が見つかりませんでした。プログラムのファイルが欠けている可能性があります。"
     "プログラムを入れ直してください。"},
    {1013, "その名前のコントロールはありません",
     "画面の中に、あるはずのボタンや入力欄が見つかりませんでした。プログラムの不具合です。"},
    {1014, "フォームのリソースが不正です",
     "画面の定義が壊れています。プログラムのファイルが壊れている可能性があります。"
     "プログラムを入れ直してください。"},
    {1016, "リストボックスが操作を拒否しました",
     "一覧に項目を追加できませんでした。項目が多すぎる可能性があります。"},
    {1017, "コンボボックスが操作を拒否しました",
     "選択欄に項目を追加できませんでした。項目が多すぎる可能性があります。"},
};

// For a code the table does not know.
constexpr const char* kGeneralText =
    "プログラムの実行中に、予期しないエラーが起きました。";

const CodeTexts* Find(int code) {
    for (const CodeTexts& t : kTexts)
        if (t.code == code) return &t;
    return nullptr;
}

// The record's path as the customer reads it out to the shop. A path Shift-JIS cannot hold is
// shown as the rule that makes it, which the shop can follow on the customer's computer.
std::string RecordPathText(const std::string& path) {
    if (std::optional<std::string> sjis = Utf8ToSjis(path)) return *sjis;
    return "$XDG_STATE_HOME/kalvoro/last-error";
}

}  // namespace

std::string ErrorExplanation(int code) {
    const CodeTexts* t = Find(code);
    return t ? t->brief : std::string();
}

std::string ErrorHelpText(const RuntimeError& e, const std::string& recordPath) {
    const CodeTexts* t = Find(e.code);
    std::string text = "エラー[" + std::to_string(e.code) + "]について\r\n";
    text += t ? t->customer : kGeneralText;
    text += "\r\n\r\n「OK」を押すと、プログラムを終了します。\r\n";
    if (!recordPath.empty()) {
        text += "お問い合わせの際は、エラー番号と、次のファイルに残した記録の内容をお知らせください。\r\n";
        text += RecordPathText(recordPath);
    } else {
        text += "エラーの記録はファイルに残せませんでした。お問い合わせの際は、この画面の内容を"
                "お知らせください。";
    }
    return text;
}

}  // namespace rt
