// A program directory with a fake adb in its "adb" subdirectory: a small shell script that prints
// what real adb releases print, as the test sets it up, and records every call with its arguments.
//
// Per command (the first argument: devices, push, reboot) the script prints, on its n-th call, the
// file <command>.<n> when present, else <command>.out; <command>.err goes to standard error;
// <command>.hang makes it print its .out and then never end; <command>.later is printed as a second
// burst once the file <command>.go exists. Each output is written at once, as adb does. With devices.sim
// present, holding a virtual-device directory, the device list shows one device while a simulator's ADB
// interface is registered there. Calls are recorded in calls.log, one line each: the number of arguments,
// then every argument in brackets.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/adb_outputs.h"

namespace testsupport {

inline constexpr char kFakeAdbScript[] = R"SH(#!/bin/sh
dir=$(dirname "$0")
{ printf '%d' "$#"; for a in "$@"; do printf ' [%s]' "$a"; done; printf '\n'; } >> "$dir/calls.log"
cmd=$1
echo "$cmd" >> "$dir/commands.log"
n=$(grep -c -x -e "$cmd" "$dir/commands.log")
if [ "$cmd" = devices ] && [ -f "$dir/devices.sim" ]; then
  list='List of devices attached\n'
  for f in "$(cat "$dir/devices.sim")"/*-adb.device; do [ -f "$f" ] && list="${list}SIM0001\tdevice\n"; done
  printf "$list\n"
  exit 0
fi
if [ -f "$dir/$cmd.err" ]; then cat "$dir/$cmd.err" >&2; fi
if [ -f "$dir/$cmd.$n" ]; then cat "$dir/$cmd.$n"; elif [ -f "$dir/$cmd.out" ]; then cat "$dir/$cmd.out"; fi
if [ -f "$dir/$cmd.later" ]; then
  i=0; while [ ! -f "$dir/$cmd.go" ] && [ $i -lt 1000 ]; do sleep 0.01; i=$((i+1)); done
  cat "$dir/$cmd.later"
fi
if [ -f "$dir/$cmd.hang" ]; then echo $$ > "$dir/$cmd.pid"; sleep 1000 & echo $! > "$dir/$cmd.childpid"; wait; fi
exit 0
)SH";

class FakeAdbDir {
  public:
    explicit FakeAdbDir(const std::string& tag) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = std::filesystem::temp_directory_path() /
                 ("marlinq-adb-" + tag + "-" + (info != nullptr ? std::string(info->name()) : "x") + "-" +
                  std::to_string(::getpid()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(AdbDir());
        Write("adb", kFakeAdbScript);
        ::chmod((AdbDir() / "adb").c_str(), 0755);
    }
    ~FakeAdbDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }
    FakeAdbDir(const FakeAdbDir&) = delete;
    FakeAdbDir& operator=(const FakeAdbDir&) = delete;

    // The program directory with its trailing separator.
    std::string AppDir() const { return m_root.string() + "/"; }
    std::filesystem::path AdbDir() const { return m_root / "adb"; }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream out(AdbDir() / name, std::ios::binary | std::ios::trunc);
        out << text;
    }
    void Remove(const std::string& name) const { std::filesystem::remove(AdbDir() / name); }

    // The recorded calls, one per line: "<argc> [arg] [arg]...".
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        std::ifstream in(AdbDir() / "calls.log");
        for (std::string line; std::getline(in, line);) {
            calls.push_back(line);
        }
        return calls;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(AdbDir() / name, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

  private:
    std::filesystem::path m_root;
};

// True once the process is gone or only waits to be collected.
inline bool ProcessEnded(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    return stat.empty() || (close != std::string::npos && close + 2 < stat.size() &&
                            (stat[close + 2] == 'Z' || stat[close + 2] == 'X'));
}

}  // namespace testsupport
