// Every file the customer writes from the screens (the saved order, the mail attachment and the
// two statements) against a disk that fails it: a full disk, a read-only folder, a folder that
// is gone, a name the system cannot be given, a rename that fails. Each time the customer is
// told which file and why, the order in memory is what it was, the file of that name keeps its
// old bytes and nothing half-written is left beside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/files/order_file.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "tests/screens/screen_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/full_disk.h"

namespace fs = std::filesystem;

namespace {

enum class Write { Save, MailAttachment, WorkFeeDetails, Estimate };
enum class Failure { FullDisk, ReadOnlyFolder, VanishedFolder, UnusableName, FailingRename };

const char* NameOf(Write w) {
    switch (w) {
        case Write::Save: return "Save";
        case Write::MailAttachment: return "MailAttachment";
        case Write::WorkFeeDetails: return "WorkFeeDetails";
        case Write::Estimate: return "Estimate";
    }
    return "";
}

const char* NameOf(Failure f) {
    switch (f) {
        case Failure::FullDisk: return "FullDisk";
        case Failure::ReadOnlyFolder: return "ReadOnlyFolder";
        case Failure::VanishedFolder: return "VanishedFolder";
        case Failure::UnusableName: return "UnusableName";
        case Failure::FailingRename: return "FailingRename";
    }
    return "";
}

// What the customer reads as the reason.
const char* ReasonOf(Failure f) {
    switch (f) {
        case Failure::FullDisk: return "ディスクがいっぱいです。";
        case Failure::ReadOnlyFolder: return "アクセスが許可されていません。";
        case Failure::VanishedFolder: return "ファイルまたはフォルダが見つかりません。";
        case Failure::UnusableName: return "ファイル名が正しくありません。";
        case Failure::FailingRename: return "アクセスが許可されていません。";  // a busy file, as the system says
    }
    return "";
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) names.insert(entry.path().filename().string());
    return names;
}

constexpr const char* kOldBytes = "前のファイル\r\n";

class WriteFailures : public Screens, public testing::WithParamInterface<std::tuple<Write, Failure>> {
protected:
    // The statement screen with the document to be written, reached without writing anything.
    void OpenStatement(Write w) {
        platform.QueueAnswer(rt::Answer::Cancel);  // no mail attachment
        platform.QueueAnswer(rt::Answer::Ok);      // the statements
        Click(BUTTON2);
        if (w == Write::Estimate) Click(BUTTON21);
        messages.clear();
    }

    // The customer writes the document to `chosen` and answers the failure message.
    void WriteTo(Write w, const std::string& chosen) {
        switch (w) {
            case Write::Save:
                platform.QueueFileChoice(chosen);
                platform.QueueAnswer(rt::Answer::Ok);
                Click(BUTTON3);
                break;
            case Write::MailAttachment:
                platform.QueueAnswer(rt::Answer::Ok);  // the mail attachment
                platform.QueueFileChoice(chosen);
                platform.QueueAnswer(rt::Answer::Ok);      // the failure
                platform.QueueAnswer(rt::Answer::Cancel);  // no statements
                Click(BUTTON2);
                break;
            case Write::WorkFeeDetails:
            case Write::Estimate:
                platform.QueueFileChoice(chosen);
                platform.QueueAnswer(rt::Answer::Ok);
                Click(BUTTON22);
                break;
        }
    }
};

int ReadOnlyFolder(int, const char*, int, mode_t) {
    errno = EACCES;
    return -1;
}
int BusyRename(int, const char*, int, const char*) {
    errno = EBUSY;
    return -1;
}

TEST_P(WriteFailures, TellWhyAndKeepTheOrderAndTheOldFile) {
    const auto [write, failure] = GetParam();
    const fs::path folder = fs::current_path() / (std::string("fails-") + NameOf(write) + "-" + NameOf(failure));
    fs::create_directory(folder);
    PutFileBytes(folder / "old.TXT", kOldBytes);
    // The chosen name, as the dialog gives it in Shift-JIS: "注文.TXT", which already exists.
    std::string chosen = folder.string() + "/注文.TXT";
    PutFileBytes(folder / *rt::SjisToUtf8("注文.TXT"), kOldBytes);

    EnterComic();
    if (write == Write::WorkFeeDetails || write == Write::Estimate) OpenStatement(write);
    const std::string orderBefore = OrderFileBytes();
    const std::set<std::string> namesBefore = Names(folder);

    rt::FileCalls calls = rt::SystemFileCalls();
    switch (failure) {
        case Failure::FullDisk: calls.write = NoRoomLeft; break;
        case Failure::ReadOnlyFolder:
            // Folder permissions do not stop root, who runs CI; the system's answer is the same.
            if (geteuid() == 0) {
                calls.openat = ReadOnlyFolder;
            } else {
                fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
            }
            break;
        case Failure::VanishedFolder: chosen = folder.string() + "/gone/注文.TXT"; break;
        case Failure::UnusableName: chosen = folder.string() + "/\x81\x7f.TXT"; break;  // no such character
        case Failure::FailingRename: calls.renameat = BusyRename; break;
    }
    {
        rt::ScopedFileCalls failing(calls);
        WriteTo(write, chosen);
    }
    fs::permissions(folder, fs::perms::owner_all);

    std::vector<std::string> told;
    for (const std::string& m : messages)
        if (m.find("に書き込めません。") != std::string::npos) told.push_back(m);
    ASSERT_EQ(told.size(), 1u) << "one failure message";
    EXPECT_NE(told[0].find("ファイル「" + chosen + "」"), std::string::npos) << told[0];
    EXPECT_NE(told[0].find(ReasonOf(failure)), std::string::npos) << told[0];
    EXPECT_EQ(OrderFileBytes(), orderBefore);
    EXPECT_EQ(Names(folder), namesBefore) << "no temporary or partial file is left";
    EXPECT_EQ(FileBytes(folder / *rt::SjisToUtf8("注文.TXT")), kOldBytes);
    EXPECT_EQ(FileBytes(folder / "old.TXT"), kOldBytes);
    EXPECT_EQ(platform.QueuedAnswers(), 0u);
    // The customer is where the write was asked for and can try again.
    if (write == Write::WorkFeeDetails || write == Write::Estimate) {
        EXPECT_TRUE(Visible(FORM5));
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryWrite, WriteFailures,
    testing::Combine(testing::Values(Write::Save, Write::MailAttachment, Write::WorkFeeDetails, Write::Estimate),
                     testing::Values(Failure::FullDisk, Failure::ReadOnlyFolder, Failure::VanishedFolder,
                                     Failure::UnusableName, Failure::FailingRename)),
    [](const testing::TestParamInfo<std::tuple<Write, Failure>>& info) {
        return std::string(NameOf(std::get<0>(info.param))) + "_" + NameOf(std::get<1>(info.param));
    });

}  // namespace
