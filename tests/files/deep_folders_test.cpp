// Files in deep folders: every file the customer saves, loads, imports or writes from the screens,
// its path around the old limit of 260 bytes and at the system's own (4,095 bytes), then one byte
// past it. The file dialog starts in that folder however deep it is; up to the system's limit the
// file is written or read as anywhere else, and past it the customer is told which file and why,
// the order stays as it was and nothing is left in the folder.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <set>
#include <tuple>

#include "app/documents/statement_text.h"
#include "app/files/order_file.h"
#include "app/screens/import_screen.h"
#include "runtime/values/encoding.h"
#include "tests/screens/screen_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/long_paths.h"

namespace fs = std::filesystem;

namespace {

enum class Flow { Save, Load, Import, MailAttachment, WorkFeeDetails, Estimate };
struct FlowCase {
    Flow flow;
    const char* name;
    const char* file;   // the name the customer gives it, as the dialog gives it (Shift-JIS)
    const Obj* button;  // the one that opens the dialog
};
void PrintTo(const FlowCase& c, std::ostream* os) { *os << c.name; }
// What a length counts: the Shift-JIS path the program holds, as the old limit did, or the
// absolute UTF-8 path the system is given.
enum class Counted { ProgramPath, SystemPath };
using Length = std::pair<Counted, size_t>;

constexpr const char* kOrderFile = "割引券:0\r\n013,0000,156,0,本\r\n";

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

class DeepFolders : public Screens, public testing::WithParamInterface<std::tuple<FlowCase, Length>> {
protected:
    void TearDown() override {
        Screens::TearDown();
        // By its relative name: the deepest paths are longer than the system takes whole.
        std::error_code ec;
        fs::remove_all(top_, ec);
    }

    // The folders of this case under the current folder, deep enough for the case's length of
    // the chosen file's path. The folders' names are ASCII, the same bytes in both encodings.
    void MakeFolder(const FlowCase& flow, Length length) {
        const std::string cwd = longpaths::CurrentFolder();
        const std::optional<std::string> cwdSjis = rt::Utf8ToSjis(cwd);
        ASSERT_TRUE(cwdSjis) << cwd;
        name_ = flow.file;
        nameUtf8_ = *rt::SjisToUtf8(name_);
        top_ = std::string("deep-") + flow.name + "-" + std::to_string(length.second);
        const size_t fixed = (length.first == Counted::ProgramPath ? cwdSjis->size() + name_.size()
                                                                   : cwd.size() + nameUtf8_.size()) +
                             top_.size() + 3;
        ASSERT_GT(length.second, fixed) << "the test's current folder is too deep for the case";
        relative_ = top_ + "/" + longpaths::Filling(length.second - fixed);
        fs::create_directories(relative_);
        folderSjis_ = *cwdSjis + "/" + relative_ + "/";
        systemPath_ = cwd + "/" + relative_ + "/" + nameUtf8_;
    }

    // The customer picks the file in the dialog, and answers the failure message if one comes.
    void Perform(const FlowCase& c, const std::string& chosen, bool refused) {
        if (c.flow == Flow::MailAttachment) platform.QueueAnswer(rt::Answer::Ok);  // the mail attachment
        platform.QueueFileChoice(chosen);
        if (refused) platform.QueueAnswer(rt::Answer::Ok);
        if (c.flow == Flow::MailAttachment) platform.QueueAnswer(rt::Answer::Cancel);  // no statements
        Click(*c.button);
        if (c.flow == Flow::Import) インポート_SUB();  // the step the main wait loop runs next
    }

    std::string top_, relative_, name_, nameUtf8_, folderSjis_, systemPath_;
};

TEST_P(DeepFolders, UsableUpToTheSystemsLimitAndToldPastIt) {
    const auto [flowCase, length] = GetParam();
    const Flow flow = flowCase.flow;
    ASSERT_NO_FATAL_FAILURE(MakeFolder(flowCase, length));
    const fs::path file = relative_ + "/" + nameUtf8_;
    const bool refused = systemPath_.size() > PATH_MAX - 1;  // the system's buffer holds the NUL too

    switch (flow) {
        case Flow::Load: PutFileBytes(file, kOrderFile); break;
        case Flow::Import:
            PutFileBytes(file, "題名,巻\r\nA,1\r\n");
            Click(BUTTON5);
            break;
        case Flow::Save:
        case Flow::MailAttachment: EnterComic(); break;
        case Flow::WorkFeeDetails:
        case Flow::Estimate:
            EnterComic();
            platform.QueueAnswer(rt::Answer::Cancel);  // no mail attachment
            platform.QueueAnswer(rt::Answer::Ok);      // the statements
            Click(BUTTON2);
            if (flow == Flow::Estimate) Click(BUTTON21);
            break;
    }
    // The dialog starts in the folder of the last file chosen: this one.
    LAST_DIR = Text(folderSjis_);
    std::vector<std::string> dialogFolders;
    platform.SetDialogObserver([&](const rt::FileDialogSpec& s, const std::optional<std::string>*) {
        dialogFolders.push_back(s.initialFolder);
    });
    messages.clear();
    const std::string orderBefore = OrderFileBytes();
    const std::set<std::string> namesBefore = Names(relative_);

    const std::string chosen = folderSjis_ + name_;
    Perform(flowCase, chosen, refused);

    EXPECT_EQ(dialogFolders, std::vector<std::string>{folderSjis_});
    EXPECT_EQ(platform.QueuedAnswers(), 0u);
    std::vector<std::string> told;
    for (const std::string& m : messages)
        if (m.find("に書き込めません。") != std::string::npos || m.find("を読み込めません。") != std::string::npos)
            told.push_back(m);
    if (refused) {
        ASSERT_EQ(told.size(), 1u) << "one file message";
        EXPECT_NE(told[0].find("ファイル「" + chosen + "」"), std::string::npos) << told[0];
        EXPECT_NE(told[0].find("パスまたはファイル名が長すぎます。"), std::string::npos) << told[0];
        EXPECT_EQ(OrderFileBytes(), orderBefore);
        EXPECT_EQ(Names(relative_), namesBefore) << "nothing is left in the folder";
        if (flow == Flow::Import) {
            EXPECT_TRUE(Visible(FORM2)) << "back on the title list";
        }
        return;
    }
    EXPECT_TRUE(told.empty()) << told.front();
    switch (flow) {
        case Flow::Save:
        case Flow::MailAttachment: EXPECT_EQ(FileBytes(file), orderBefore); break;
        case Flow::Load: EXPECT_EQ(OrderFileBytes(), kOrderFile); break;
        case Flow::Import:
            EXPECT_TRUE(Visible(FORM4));
            EXPECT_EQ(Items(LIST2), (std::vector<std::string>{"題名", "巻"}));
            break;
        case Flow::WorkFeeDetails:
        case Flow::Estimate: {
            const Statement kind = flow == Flow::Estimate ? Statement::Estimate : Statement::WorkFeeDetails;
            EXPECT_EQ(FileBytes(file), StatementFileBytes(kind, Text(Shown(EDIT6))).bytes());
            break;
        }
    }
    EXPECT_EQ(Names(relative_), std::set<std::string>{nameUtf8_}) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(
    EveryFile, DeepFolders,
    testing::Combine(testing::Values(FlowCase{Flow::Save, "Save", "注文.SAV", &BUTTON3},
                                     FlowCase{Flow::Load, "Load", "注文.SAV", &BUTTON4},
                                     FlowCase{Flow::Import, "Import", "題名.CSV", &BUTTON10},
                                     FlowCase{Flow::MailAttachment, "MailAttachment", "メール添付用.TXT", &BUTTON2},
                                     FlowCase{Flow::WorkFeeDetails, "WorkFeeDetails", "明細書.TXT", &BUTTON22},
                                     FlowCase{Flow::Estimate, "Estimate", "見積書.TXT", &BUTTON22}),
                     testing::Values(Length{Counted::ProgramPath, 259}, Length{Counted::ProgramPath, 260},
                                     Length{Counted::ProgramPath, 261}, Length{Counted::SystemPath, PATH_MAX - 1},
                                     Length{Counted::SystemPath, PATH_MAX})),
    [](const testing::TestParamInfo<std::tuple<FlowCase, Length>>& info) {
        const Length length = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) +
               (length.first == Counted::ProgramPath ? "_Path" : "_SystemPath") + std::to_string(length.second);
    });

}  // namespace
