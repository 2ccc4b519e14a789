// Classification of what adb prints: the device list and the push's transfer line.
#pragma once

#include <functional>
#include <string>

namespace adb {

// Kinds of output.
inline constexpr int ADB_LIST_DEVICES = 1;
inline constexpr int ADB_TRANSFER = 5;

// Outcomes.
inline constexpr int ADB_NO_OUTPUT = 0;
inline constexpr int ADB_NO_LIST = 1;          // "List of devices attached" is absent
inline constexpr int ADB_DEVICE_LISTED = 2;    // a device in the state "device" is listed
inline constexpr int ADB_NO_DEVICE = 3;        // the list holds no usable device
inline constexpr int ADB_TRANSFER_DONE = 6;    // the push reported its rate
inline constexpr int ADB_TRANSFER_FAILED = 7;  // anything else

inline constexpr char kDeviceListMarker[] = "List of devices attached";

using LogFn = std::function<void(const std::string&)>;

// The text as the tool sees it: up to the first NUL byte.
std::string AdbOutputText(const std::string& output);

// True when some line after the marker names a device whose state is "device". Lines of devices
// in another state (offline, unauthorized, "no permissions ...; see [.../device.html]") and the
// adb server's own lines do not count, even where they contain the word.
bool ListsUsableDevice(const std::string& afterMarker);

// Outcome of output of the given kind, without logging.
int ClassifyAdbOutput(const std::string& output, int kind);

// Logs "fastboot cmd of no return!" for empty output, else the output as one entry, and returns
// ClassifyAdbOutput. An unknown kind logs the output and returns ADB_NO_OUTPUT.
int ParseAdbOutput(const std::string& output, int kind, const LogFn& log);

}  // namespace adb
