// The record of the error that ended the program, in the per-user registry on Windows: kept in a
// key of the test's own, which the current user's key is redirected to.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "runtime/files/error_record.h"

namespace {

class ErrorRecordInRegistry : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KalvoroTests", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &own_, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, own_), ERROR_SUCCESS);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(own_);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KalvoroTests");
    }

    std::wstring Text(const wchar_t* name) {
        wchar_t value[64] = {};
        DWORD size = sizeof value;
        EXPECT_EQ(RegGetValueW(own_, kKey, name, RRF_RT_REG_SZ, nullptr, value, &size), ERROR_SUCCESS) << name;
        return value;
    }
    DWORD Number(const wchar_t* name) {
        DWORD value = 0, size = sizeof value;
        EXPECT_EQ(RegGetValueW(own_, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size), ERROR_SUCCESS) << name;
        return value;
    }

    static constexpr const wchar_t* kKey = L"Software\\Kalvoro\\RUNTIME\\ERROR";
    HKEY own_ = nullptr;
};

TEST_F(ErrorRecordInRegistry, KeepsEveryValueOfTheLastError) {
    rt::RuntimeError e;
    e.code = 9;
    e.line = 65535;
    e.module = rt::kModuleName;
    e.detail = 0x0005FFFF;
    ASSERT_TRUE(rt::RecordLastError(e));
    EXPECT_EQ(Text(L"MODL"), L"Kalvoro");
    EXPECT_EQ(Number(L"LINE"), 65535u);
    EXPECT_EQ(Number(L"CODE"), 9u);
    EXPECT_EQ(Number(L"FUNC"), 5u);
    EXPECT_EQ(Number(L"INFO"), 0xFFFFu);
    EXPECT_EQ(Text(L"MODE"), L"\u72EC\u7ACB\u578B");  // 独立型, whatever the user's code page
    EXPECT_EQ(Text(L"RTL"), L"V6.30 L10 U002+1");
    const std::wstring when = Text(L"TIME");  // "2026/12/08 09:05:03"
    ASSERT_EQ(when.size(), 19u) << std::string(when.begin(), when.end());
    EXPECT_EQ(when.substr(4, 1) + when.substr(7, 1) + when.substr(10, 1) + when.substr(13, 1) + when.substr(16, 1),
              L"// ::");
    EXPECT_EQ(rt::LastErrorPath().string(), "HKEY_CURRENT_USER\\Software\\Kalvoro\\RUNTIME\\ERROR");
}

}  // namespace
