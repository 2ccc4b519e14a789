// What real adb releases print, for the tests of the adb output and the runner.
#pragma once

namespace testsupport {

// Real adb outputs.
inline constexpr char kListOneDevice[] = "List of devices attached\n0123456789ABCDEF\tdevice\n\n";
inline constexpr char kListEmpty[] = "List of devices attached\n\n";
inline constexpr char kDaemonStarting[] =
    "* daemon not running; starting now at tcp:5037\n* daemon started successfully\n";
inline constexpr char kPushKb[] = "1234 KB/s (56789 bytes in 0.045s)\n";
inline constexpr char kPushMb[] = "a.xml: 1 file pushed, 0 skipped. 2.1 MB/s (56789 bytes in 0.025s)\n";
inline constexpr char kPushNoDevice[] = "adb: error: failed to get feature set: no devices/emulators found\n";

}  // namespace testsupport
