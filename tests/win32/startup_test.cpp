// The start-up steps on Windows: once the main window shows, the application's registry key
// exists; the rich-edit step, which the Windows program's entry runs, loads its library. A program
// of its own, so that nothing in the same process has loaded the library already.
// The framework's headers first: <windows.h> turns the names they share into macros.
#include "platform/desktop_setup.h"
#include "ui/app_host.h"

// clang-format off
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

namespace {

const wchar_t kCompanyKey[] = L"Software\\应用程序向导生成的本地应用程序";

bool CompanyKeyExists() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kCompanyKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

TEST(Win32Startup, TheMainWindowOpensWithTheCompanyKeySet) {
    // The key of this build's own Wine prefix, left by an earlier run, goes first.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kCompanyKey);
    ASSERT_FALSE(CompanyKeyExists());

    marlinq::CAppHost host;
    host.Start();
    ASSERT_TRUE(host.WaitShown());
    EXPECT_TRUE(CompanyKeyExists());
    EXPECT_EQ(host.Close(), 0);
}

TEST(Win32Startup, TheRichEditStepLoadsItsLibrary) {
    ASSERT_EQ(::GetModuleHandleA("RICHED32.DLL"), nullptr) << "nothing has loaded it before";
    platform::LoadRichEditSupport();
    EXPECT_NE(::GetModuleHandleA("RICHED32.DLL"), nullptr);
}

}  // namespace
