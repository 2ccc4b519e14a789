// ParseAdbOutput over arbitrary adb output of at most one read (4095 bytes), both kinds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "adb/adb_output.h"
#include "fuzz/fuzz_check.h"

using fuzzcheck::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string output(reinterpret_cast<const char*>(data), size > 4095 ? 4095 : size);
    std::size_t logged = 0;
    const adb::LogFn log = [&](const std::string& text) {
        Check(text.find('\0') == std::string::npos);
        Check(text.size() <= output.size() || text == "fastboot cmd of no return!");
        ++logged;
    };
    const adb::AdbOutcome list = adb::ParseAdbOutput(output, adb::AdbOutputKind::ListDevices, log);
    Check(list == adb::AdbOutcome::NoOutput || list == adb::AdbOutcome::NoList ||
          list == adb::AdbOutcome::DeviceListed || list == adb::AdbOutcome::NoDevice);
    const adb::AdbOutcome transfer = adb::ParseAdbOutput(output, adb::AdbOutputKind::Transfer, log);
    Check(transfer == adb::AdbOutcome::NoOutput || transfer == adb::AdbOutcome::TransferDone ||
          transfer == adb::AdbOutcome::TransferFailed);
    Check((list == adb::AdbOutcome::NoOutput) == (transfer == adb::AdbOutcome::NoOutput));
    Check(logged == 2);
    return 0;
}
