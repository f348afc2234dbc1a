#include "runtime/values/error.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/values/encoding.h"

namespace {

TEST(ErrorReport, FirstLineNamesModuleLineAndCode) {
    rt::RuntimeError e;
    const unsigned failingLine = __LINE__ + 2;
    try {
        RaiseError(9);
    } catch (const rt::RuntimeError& caught) {
        e = caught;
    }
    EXPECT_EQ(e.module, "Kalvoro");
    EXPECT_EQ(e.line, failingLine);
    std::string report = rt::ErrorReportText(e);
    std::string head = "\r\nKalvoro [" + std::to_string(e.line) + "行]:エラー[9]";
    EXPECT_EQ(report.substr(0, head.size()), head);
    EXPECT_EQ(report[head.size()], '\n');  // the explanation follows on its own line
    EXPECT_EQ(*rt::SjisToUtf8(report.substr(0, head.size())),
              "\r\nKalvoro [" + std::to_string(e.line) + "\xE8\xA1\x8C]:\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC[9]");
}

TEST(ErrorReport, TheExplanationUnderTheFirstLineIsKeptByteForByte) {
    rt::RuntimeError e;
    e.code = 11;
    e.module = "Kalvoro";
    e.line = 120;
    EXPECT_EQ(rt::ErrorReportText(e), "\r\nKalvoro [120\x8D\x73]:\x83\x47\x83\x89\x81\x5B[11]\n"
                                      "\x82\x4F\x82\xC5\x8F\x9C\x8E\x5A\x82\xB5\x82\xDC\x82\xB5\x82\xBD");
    e.code = 12345;  // a code we have no explanation for ends with the first line
    EXPECT_EQ(rt::ErrorReportText(e), "\r\nKalvoro [120行]:エラー[12345]");
}

// Every code the program can raise has both texts: a short one in the report and one in the
// customer's words behind Help.
class ErrorTexts : public testing::TestWithParam<int> {};

TEST_P(ErrorTexts, EachRaisedCodeHasItsOwnExplanationAndHelp) {
    rt::RuntimeError e;
    e.code = GetParam();
    const std::string help = rt::ErrorHelpText(e, "/state/kalvoro/last-error");
    EXPECT_FALSE(rt::ErrorExplanation(e.code).empty());
    EXPECT_EQ(help.rfind("エラー[" + std::to_string(e.code) + "]について\r\n", 0), 0u);
    EXPECT_EQ(help.find("予期しないエラー"), std::string::npos) << "the general text, not the code's own";
    ASSERT_TRUE(rt::SjisToUtf8(help).has_value()) << "Help shows nothing Shift-JIS cannot hold";
}

INSTANTIATE_TEST_SUITE_P(RaisedCodes, ErrorTexts,
                         testing::Values(5, 6, 7, 9, 10, 11, 15, 27, 50, 51, 52, 54, 55, 57, 58, 63, 64, 66, 67, 72,
                                         73, 75, 1000, 1001, 1002, 1012, 1013, 1014, 1016, 1017));

TEST(ErrorHelp, SaysWhatTheCodeMeansAndWhereTheRecordIs) {
    rt::RuntimeError e;
    e.code = 67;
    const std::string record = "/state/kalvoro/last-error";
    const std::string help = rt::ErrorHelpText(e, record);
    EXPECT_NE(help.find("ディスクに空きがありません。"), std::string::npos);
    EXPECT_NE(help.find("「OK」を押すと、プログラムを終了します。"), std::string::npos);
    EXPECT_EQ(help.substr(help.size() - record.size()), record) << "the path ends the help, on its own line";
    EXPECT_EQ(help.substr(help.size() - record.size() - 2, 2), "\r\n");
}

TEST(ErrorHelp, AnUnknownCodeGetsTheGeneralTextAndAnUnwrittenRecordIsNotNamed) {
    rt::RuntimeError e;
    e.code = 12345;
    const std::string help = rt::ErrorHelpText(e, "");
    EXPECT_EQ(help.rfind("エラー[12345]について\r\nプログラムの実行中に、予期しないエラーが起きました。", 0), 0u);
    EXPECT_EQ(help.find("last-error"), std::string::npos);
    EXPECT_NE(help.find("エラーの記録はファイルに残せませんでした。"), std::string::npos);
}

TEST(Encoding, RoundTripAndRefusals) {
    std::string sjis = "漢字ｶﾅ\\";
    auto utf8 = rt::SjisToUtf8(sjis);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(rt::Utf8ToSjis(*utf8), sjis);
    EXPECT_FALSE(rt::Utf8ToSjis("\xF0\x9F\x98\x80"));  // an emoji has no Shift-JIS form
    EXPECT_FALSE(rt::SjisToUtf8("\x82"));              // a dangling lead byte
    EXPECT_EQ(rt::SjisToUtf8Lossy("A\x82"), "A\xEF\xBF\xBD");
}

}  // namespace
