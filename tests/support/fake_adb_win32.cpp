// The fake adb of the tests on Windows: fake_adb.exe, built beside the test program
// (tests/win32/fake_adb_main.cpp says what it does with the files a test writes).
#include <windows.h>

#include <system_error>

#include "platform/app_directory.h"
#include "tests/support/fake_adb.h"

namespace testsupport {

void InstallFakeAdb(const std::filesystem::path& adbDir) {
    std::error_code ec;
    std::filesystem::copy_file(platform::ExecutableDirectory() + "fake_adb.exe", adbDir / "adb.exe", ec);
    EXPECT_FALSE(ec) << "fake_adb.exe beside the test program: " << ec.message();
}

std::uint32_t FakeAdbTimeoutMs() {
    return 60000;  // 0.6 s on the tests' clock
}

long ThisProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

bool ProcessEnded(long pid) {
    const HANDLE h =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (h == nullptr) {
        return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process any more
    }
    const bool ended = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ended;
}

}  // namespace testsupport
