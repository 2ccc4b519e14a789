// A program directory of the test's own with a fake adb in its "adb" folder, on Linux and on
// Windows alike; its name holds blanks, as a user's folder may. The fake prints what real adb
// releases print, as the test sets it up with the files written here, and records every call.
//
// Per command (the first argument: devices, push, reboot) the fake prints, on its n-th call, the
// file <command>.<n> when present, else <command>.out; <command>.err goes to standard error;
// <command>.hang makes it print its .out and then never end (its process id in <command>.pid,
// that of a child it waits for in <command>.childpid); <command>.later is printed as a second
// burst once the file <command>.go exists. Each output is written at once, as adb does. Calls are
// recorded in calls.log, one line each: the number of arguments, then every argument in brackets.
// On Linux the fake is a shell script (fake_adb_posix.cpp), where devices.sim, holding a
// virtual-device directory, makes the device list show one device while a simulator's ADB
// interface is registered there; on Windows it is fake_adb.exe, built beside the test program
// (tests/win32/fake_adb_main.cpp).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/adb_outputs.h"

namespace testsupport {

// Puts the fake adb program into adbDir; one definition per system.
void InstallFakeAdb(const std::filesystem::path& adbDir);

// This process's id, for names that no other test process uses at the same time.
long ThisProcessId();

// A time-out for a stand-in window's adb commands, in the window's milliseconds (on the tests'
// clock a hundredth of it passes): far above what a call of the fake takes on a loaded machine (a
// shell script here, a program started under Wine on Windows), so that only a hang reaches it.
std::uint32_t FakeAdbTimeoutMs();

// True once the process pid is gone, or has ended and only waits to be collected.
bool ProcessEnded(long pid);

class FakeAdbDir {
  public:
    explicit FakeAdbDir(const std::string& tag) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = std::filesystem::temp_directory_path() /
                 ("marlinq adb " + tag + " " + (info != nullptr ? std::string(info->name()) : "x") + " " +
                  std::to_string(ThisProcessId()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(AdbDir());
        InstallFakeAdb(AdbDir());
    }
    ~FakeAdbDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }
    FakeAdbDir(const FakeAdbDir&) = delete;
    FakeAdbDir& operator=(const FakeAdbDir&) = delete;

    // The program directory with its trailing separator.
    std::string AppDir() const { return (m_root / "").string(); }
    std::filesystem::path AdbDir() const { return m_root / "adb"; }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream out(AdbDir() / name, std::ios::binary | std::ios::trunc);
        out << text;
    }
    void Remove(const std::string& name) const { std::filesystem::remove(AdbDir() / name); }
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
    // The recorded calls, one per line: "<argc> [arg] [arg]...".
    std::vector<std::string> Calls() const { return Lines("calls.log"); }

  private:
    std::filesystem::path m_root;
};

}  // namespace testsupport
