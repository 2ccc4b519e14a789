// The fake adb of the tests on Linux: a shell script (tests/support/fake_adb.h says what it does).
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/fake_adb.h"

namespace testsupport {
namespace {

// Shell built-ins only, apart from cat for the outputs: a call starts as few processes as it can.
inline constexpr char kFakeAdbScript[] = R"SH(#!/bin/sh
case $0 in */*) dir=${0%/*} ;; *) dir=. ;; esac
{ printf '%d' "$#"; for a in "$@"; do printf ' [%s]' "$a"; done; printf '\n'; } >> "$dir/calls.log"
cmd=$1
echo "$cmd" >> "$dir/commands.log"
n=0
while IFS= read -r line; do [ "$line" = "$cmd" ] && n=$((n+1)); done < "$dir/commands.log"
if [ "$cmd" = devices ] && [ -f "$dir/devices.sim" ]; then
  IFS= read -r sims < "$dir/devices.sim"
  list='List of devices attached\n'
  for f in "$sims"/*-adb.device; do [ -f "$f" ] && list="${list}SIM0001\tdevice\n"; done
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

}  // namespace

void InstallFakeAdb(const std::filesystem::path& adbDir) {
    const auto adb = adbDir / "adb";
    std::ofstream(adb, std::ios::binary | std::ios::trunc) << kFakeAdbScript;
    ::chmod(adb.c_str(), 0755);
}

std::uint32_t FakeAdbTimeoutMs() {
    return 30000;  // 0.3 s on the tests' clock
}

long ThisProcessId() {
    return static_cast<long>(::getpid());
}

bool ProcessEnded(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    return stat.empty() || (close != std::string::npos && close + 2 < stat.size() &&
                            (stat[close + 2] == 'Z' || stat[close + 2] == 'X'));
}

}  // namespace testsupport
