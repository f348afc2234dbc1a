// The import screen (FORM4): a customer's file read whole and brought to Shift-JIS, its fields
// moved between the two lists, and a title made of each line, with the titles that lost characters
// counted in a notice.
#include "app/screens/import_screen.h"

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/files/file_messages.h"
#include "app/files/import_encoding.h"
#include "app/files/import_file.h"
#include "app/forms/controls.h"
#include "app/screens/options.h"
#include "app/screens/title_list.h"
#include "runtime/files/file_names.h"
#include "runtime/files/text_reader.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/window/dialogs.h"

Int16 IMPORT_KIND;
Single IMPORT_ROOM;

namespace {

// The lines read (0..IMPORT_ROOM), then the titles made of them.
Array<Text> IMPORT_LINES;
// Per field of line 0: 1 while it is offered in LIST2; the fields in LIST3's order (-1 unused);
// the field shown in each row of LIST2; a scratch list for moving fields back.
Array<Single> FIELD_FREE, FIELD_CHOSEN, FREE_ROW_FIELD, FIELD_SCRATCH;
Single CHOSEN_COUNT;
// The (line, field) cells of a UTF-8 file that hold a character Shift-JIS has no form for.
std::set<std::pair<int, int>> REPLACED_FIELDS;

// At most two fields make up a title: the title itself and, say, its volume.
constexpr int kMostChosenFields = 2;

const char* const kKindWord[kKindCount] = {"コミック", "同人誌", "中綴じ雑誌", "無線綴じ雑誌", "写真集・資料集等"};
const char* const kKindPhrase[kKindCount] = {"コミックは", "同人誌は", "中綴じ雑誌は", "無線綴じ雑誌は", "写真集等は"};

// What stands for a character of a UTF-8 file that Shift-JIS has no form for.
const char* const kReplacement = "？";

// The import's arrays are made anew for every file.
template <class T>
void Redeclare(Array<T>& a, int64_t upper) {
    if (a.allocated()) a.Erase();
    a.Declare({upper});
}

void BackToTheList() {
    SetVisible(FORM2, -1);
    SetVisible(FORM4, 0);
}

void TellTheLimit(int k) {
    Obj main{kMainWindow};
    MessageBox(main, "一度に申込みできるタイトル数に達しました",
               Text(kKindPhrase[k]) + ToFullWidth(IntegerDigits(MAX_TITLES(k))) + "冊までです。", 0, 3);
}

void TellTheReplacements(int titles) {
    Obj main{kMainWindow};
    MessageBox(main, "データ転送のお知らせ",
               Text("このプログラムで使えない文字を「？」に置き換えたタイトルが") + ToFullWidth(IntegerDigits(titles)) +
                   "冊あります。",
               0, 3);
}

// A UTF-8 file's lines in Shift-JIS. A line that lost characters is converted a second time
// with "〓" in their place; once both are split, the fields that differ are the ones holding a
// "？" of the conversion rather than one of the file's own.
std::vector<std::pair<int, Text>> LinesInShiftJis() {
    std::vector<std::pair<int, Text>> marked;
    for (int i = 0; i <= IMPORT_LAST; ++i) {
        const std::string utf8 = IMPORT_LINES(i).bytes();
        int replaced = 0;
        IMPORT_LINES(i) = Text(rt::Utf8ToSjisReplacing(utf8, kReplacement, replaced));
        int again = 0;
        if (replaced > 0) marked.emplace_back(i, Text(rt::Utf8ToSjisReplacing(utf8, "〓", again)));
    }
    return marked;
}

void NoteReplacedFields(int i, const Text& marked) {
    const ImportLine which = i == 0 ? ImportLine::First : ImportLine::Later;
    const std::vector<Text> fields = SplitImportLine(marked, which, static_cast<int>(IMPORT_FIELDS) + 1);
    for (int j = 0; j < static_cast<int>(fields.size()); ++j)
        if (fields[j] != FIELD_TEXT(i, j)) REPLACED_FIELDS.insert({i, j});
}

// Command 1. The file is read whole before anything is shown, so an empty or unreadable file,
// or a line too long, is told and the kind's titles stay as they were.
bool ReadImportFile() {
    const int k = IMPORT_KIND;
    Obj main{kMainWindow};
    std::string bytes;
    // A list of titles is a few kilobytes; one of 64 MiB is a file named by mistake, refused
    // before it fills the memory.
    constexpr size_t kLargestImportFileBytes = size_t{64} << 20;
    const rt::FileResult read = rt::ReadWholeFile(FILE_PATH, bytes, kLargestImportFileBytes);
    if (!read.ok) {
        ReportFileProblem(main, FileAction::Read, FILE_PATH, 0, ReasonOf(read));
        return false;
    }
    // The import reads files of other programs: a lone LF ends a line too, and a UTF-8 file is
    // converted once its lines are known.
    const bool byteOrderMark = StripUtf8ByteOrderMark(bytes);
    rt::TextReader reader(std::move(bytes), rt::LineEnds::CrOrLf);
    IMPORT_FIELDS = 0;
    IMPORT_LAST = 0;
    IMPORT_ROOM = static_cast<Single>(MAX_TITLES(k) - TITLE_COUNT(k));
    QUOTE_MARK = Text("\xFF\xFF", 2);
    Redeclare(IMPORT_LINES, std::max<int64_t>(static_cast<int64_t>(IMPORT_ROOM), 0));
    SetCheck(CHECK5, 1);

    // Line input fails only on an empty file (a problem of the whole file) or a line too long.
    auto refuse = [&](rt::ReadStatus status) {
        if (status == rt::ReadStatus::PastEnd) {
            ReportFileProblem(main, FileAction::Read, FILE_PATH, 0, "ファイルが空です。");
        } else {
            ReportFileProblem(main, FileAction::Read, FILE_PATH, reader.line(), "１行が３２，７６７バイトを超えています。");
        }
        return false;
    };
    if (const rt::ReadStatus s = reader.Line(IMPORT_LINES(0)); s != rt::ReadStatus::Ok) return refuse(s);
    for (;;) {
        if (IMPORT_LAST == IMPORT_ROOM) {
            TellTheLimit(k);
            break;
        }
        if (reader.AtEnd()) break;
        IMPORT_LAST = IMPORT_LAST + 1;
        if (const rt::ReadStatus s = reader.Line(IMPORT_LINES(IMPORT_LAST)); s != rt::ReadStatus::Ok) return refuse(s);
    }
    // Only the lines read decide: the rest of a file longer than the kind's room is never used.
    std::vector<std::string_view> lines;
    for (int i = 0; i <= IMPORT_LAST; ++i) lines.push_back(IMPORT_LINES(i).view());
    std::vector<std::pair<int, Text>> marked;
    REPLACED_FIELDS.clear();
    if (EncodingOfImportLines(byteOrderMark, lines) == ImportEncoding::Utf8) marked = LinesInShiftJis();
    // Every comma of line 0 opens a field, one at its very start too. Neither a comma nor a
    // quote is ever part of a double-byte character, in either encoding.
    const std::string& first = IMPORT_LINES(0).bytes();
    IMPORT_FIELDS = static_cast<Single>(std::count(first.begin(), first.end(), ','));

    if (FIELD_TEXT.allocated()) FIELD_TEXT.Erase();
    FIELD_TEXT.Declare({static_cast<int64_t>(IMPORT_LAST), static_cast<int64_t>(IMPORT_FIELDS)});
    for (int i = 0; i <= IMPORT_LAST; ++i) {
        IMPORT_ROW = static_cast<Single>(i);
        IMPORT_COL = 0;
        IMPORT_LINE = IMPORT_LINES(i);
        INDATA();
    }
    for (const auto& [i, line] : marked) NoteReplacedFields(i, line);
    for (Array<Single>* a : {&FIELD_FREE, &FIELD_CHOSEN, &FREE_ROW_FIELD, &FIELD_SCRATCH})
        Redeclare(*a, static_cast<int64_t>(IMPORT_FIELDS));
    for (int j = 0; j <= IMPORT_FIELDS; ++j) {
        FIELD_FREE(j) = 1;
        FIELD_CHOSEN(j) = -1;
    }
    CHOSEN_COUNT = 0;
    return true;
}

// Command 2: the fields selected on the left join the chosen ones, when there is room for all.
void MoveFieldsRight() {
    const Int32 chosen = ListCount(LIST3), rows = ListCount(LIST2), selected = ListSelCount(LIST2);
    if (chosen >= kMostChosenFields || rows == 0 || selected > kMostChosenFields - chosen) return;
    for (Int32 r = 0; r < rows; ++r) {
        if (!ListIsSelected(LIST2, r)) continue;
        FIELD_FREE(FREE_ROW_FIELD(r)) = 0;
        FIELD_CHOSEN(CHOSEN_COUNT) = FREE_ROW_FIELD(r);
        CHOSEN_COUNT = CHOSEN_COUNT + 1;
    }
}

// Command 3: the chosen field selected on the right goes back; the others keep their order.
void MoveFieldsLeft() {
    const Int32 chosen = ListCount(LIST3);
    if (chosen == 0) return;
    int kept = 0;
    for (Int32 r = 0; r < chosen; ++r) {
        if (ListIsSelected(LIST3, r)) {
            FIELD_FREE(FIELD_CHOSEN(r)) = 1;
        } else {
            FIELD_SCRATCH(kept++) = FIELD_CHOSEN(r);
        }
        FIELD_CHOSEN(r) = -1;
    }
    CHOSEN_COUNT = 0;
    for (Int32 r = 0; r < chosen; ++r) {
        FIELD_CHOSEN(r) = FIELD_SCRATCH(r);
        if (FIELD_CHOSEN(r) > -1) CHOSEN_COUNT = CHOSEN_COUNT + 1;
    }
}

// The title of line i: the first chosen field ("?" when empty), then the second in brackets
// when it has a value, all in full width.
Text TitleOfLine(int i) {
    Text title;
    for (int f = 0; f < CHOSEN_COUNT; ++f) {
        const Text& v = FIELD_TEXT(i, FIELD_CHOSEN(f));
        if (f == 0) {
            title = v.empty() ? Text("?") : v;
        } else if (!v.empty()) {
            title += Text("[") + v + "]";
        }
    }
    return ToFullWidth(title);
}

// Whether the title of line i holds a "？" put in for a character of a UTF-8 file. A field with
// one is never empty, so the title uses it whichever place it was chosen for.
bool TitleHasReplacement(int i) {
    for (int f = 0; f < CHOSEN_COUNT; ++f)
        if (REPLACED_FIELDS.contains({i, static_cast<int>(FIELD_CHOSEN(f))})) return true;
    return false;
}

// Command 4. Every line read becomes a title, the heading line excepted, as far as the kind has
// room; the limit message has told the customer when the file held more, and a notice afterwards
// says how many titles have a "？" for a character of a UTF-8 file.
void TransferTitles() {
    const int k = IMPORT_KIND;
    for (int i = 0; i <= IMPORT_LAST; ++i) IMPORT_LINES(i) = TitleOfLine(i);
    const int firstLine = GetCheck(CHECK5) == 1 ? 1 : 0;
    const int lastLine = std::min<int>(static_cast<int>(IMPORT_LAST), firstLine + static_cast<int>(IMPORT_ROOM) - 1);
    int replaced = 0;
    for (int i = firstLine; i <= lastLine; ++i) {
        if (TitleHasReplacement(i)) ++replaced;
        CUR_KIND = k;
        CUR_TITLE = TITLE_COUNT(k) + i - firstLine;
        TITLE_NAME(CUR_TITLE, k) = IMPORT_LINES(i);
        SETDPI_SUB();
    }
    CUR_KIND = k;
    LIST1_ADD();
    BackToTheList();
    ListClear(LIST2);
    ListClear(LIST3);
    if (replaced > 0) TellTheReplacements(replaced);
}

}  // namespace

void BUTTON10_ON(Obj& form) {
    const int k = CUR_KIND;
    if (MAX_TITLES(k) <= TITLE_COUNT(k)) return;  // the kind is full
    FILE_PATH = OpenDialog(form, "データファイルの読み込み", LAST_DIR, "ﾃｷｽﾄ形式(*.TXT,*.CSV)", 0);
    if (DialogCancelled(FILE_PATH)) return;
    const PathParts parts = SplitPath(FILE_PATH);
    LAST_DIR = parts.drive + parts.folder;
    SetVisible(MAINFORM, 0);
    SetVisible(FORM2, 0);
    SetVisible(FORM4, -1);
    COMMAND = kReadImportFile;
    SetText(FORM4, Text("ユーザーデータの読み込み（") + kKindWord[k] + "のタイトル作成）");
}

void BUTTON16_ON(Obj&) {
    COMMAND = 0;
    BackToTheList();
}

void FORM4_QUERYCLOSE(Obj& form) { BUTTON16_ON(form); }

void BUTTON17_ON(Obj&) { COMMAND = kMoveFieldsRight; }
void BUTTON18_ON(Obj&) { COMMAND = kMoveFieldsLeft; }
void BUTTON19_ON(Obj&) { COMMAND = kTransferTitles; }

void LIST_RESET() {
    ListClear(LIST2);
    ListClear(LIST3);
    int row = 0;
    for (int j = 0; j <= IMPORT_FIELDS; ++j) {
        if (FIELD_FREE(j) == 1) {
            ListAdd(LIST2, FIELD_TEXT(0, j));
            FREE_ROW_FIELD(row++) = static_cast<Single>(j);
        }
        if (FIELD_CHOSEN(j) > -1) ListAdd(LIST3, FIELD_TEXT(0, FIELD_CHOSEN(j)));
        FIELD_SCRATCH(j) = -1;
    }
}

void インポート_SUB() {
    if (COMMAND < kReadImportFile || COMMAND > kTransferTitles) return;
    IMPORT_KIND = CUR_KIND;
    switch (COMMAND) {
        case kReadImportFile:
            if (!ReadImportFile()) {
                BackToTheList();
                return;
            }
            break;
        case kMoveFieldsRight: MoveFieldsRight(); break;
        case kMoveFieldsLeft: MoveFieldsLeft(); break;
        case kTransferTitles: TransferTitles(); return;
    }
    LIST_RESET();
}
