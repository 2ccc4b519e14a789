// A program directory (its name holds blanks) with the fake adb.exe in its "adb" folder, for the
// Windows runner tests. The fake is built beside the test program (tests/win32/fake_adb_main.cpp
// says what it does with the files written here).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/app_directory.h"

namespace testsupport {

class FakeAdbDir {
  public:
    explicit FakeAdbDir(const std::string& tag) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = std::filesystem::temp_directory_path() /
                 ("marlinq adb " + tag + " " + (info != nullptr ? std::string(info->name()) : "x") + " " +
                  std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(AdbDir());
        std::error_code ec;
        std::filesystem::copy_file(platform::ExecutableDirectory() + "fake_adb.exe", AdbDir() / "adb.exe",
                                   ec);
        EXPECT_FALSE(ec) << "fake_adb.exe beside the test program: " << ec.message();
    }
    ~FakeAdbDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }
    FakeAdbDir(const FakeAdbDir&) = delete;
    FakeAdbDir& operator=(const FakeAdbDir&) = delete;

    // The program directory with its trailing backslash.
    std::string AppDir() const { return m_root.string() + "\\"; }
    std::filesystem::path AdbDir() const { return m_root / "adb"; }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream out(AdbDir() / name, std::ios::binary | std::ios::trunc);
        out << text;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(AdbDir() / name); }
    std::string Read(const std::string& name) const {
        std::ifstream in(AdbDir() / name, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    // One entry per line of a log the fake keeps: calls.log ("<argc> [arg]...") or cwd.log.
    std::vector<std::string> Lines(const std::string& name) const {
        std::vector<std::string> lines;
        std::ifstream in(AdbDir() / name);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line);
        }
        return lines;
    }
    std::vector<std::string> Calls() const { return Lines("calls.log"); }

  private:
    std::filesystem::path m_root;
};

// True once the process pid has ended (or no longer exists), waiting at most timeoutMs for it.
inline bool ProcessEnds(DWORD pid, DWORD timeoutMs) {
    const HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (h == nullptr) {
        return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process any more
    }
    const bool ended = WaitForSingleObject(h, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ended;
}

}  // namespace testsupport
