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
    const int list = adb::ParseAdbOutput(output, adb::ADB_LIST_DEVICES, log);
    Check(list >= adb::ADB_NO_OUTPUT && list <= adb::ADB_NO_DEVICE);
    const int transfer = adb::ParseAdbOutput(output, adb::ADB_TRANSFER, log);
    Check(transfer == adb::ADB_NO_OUTPUT || transfer == adb::ADB_TRANSFER_DONE ||
          transfer == adb::ADB_TRANSFER_FAILED);
    Check((list == adb::ADB_NO_OUTPUT) == (transfer == adb::ADB_NO_OUTPUT));
    Check(logged == 2);
    return 0;
}
