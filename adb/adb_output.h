// Classification of what adb prints: the device list and the push's transfer line.
#pragma once

#include <functional>
#include <string>

namespace adb {

// What a command's output is read as; the values are the kinds' numbers.
enum class AdbOutputKind : int {
    ListDevices = 1,  // adb devices
    Transfer = 5,     // adb push
};

// What the output says; the values are the outcomes' numbers.
enum class AdbOutcome : int {
    NoOutput = 0,
    NoList = 1,          // "List of devices attached" is absent
    DeviceListed = 2,    // a device in the state "device" is listed
    NoDevice = 3,        // the list holds no usable device
    TransferDone = 6,    // the push reported its rate
    TransferFailed = 7,  // anything else
};

inline constexpr char kDeviceListMarker[] = "List of devices attached";

using LogFn = std::function<void(const std::string&)>;

// The text as the tool sees it: up to the first NUL byte.
std::string AdbOutputText(const std::string& output);

// True when some line after the marker names a device whose state is "device". Lines of devices
// in another state (offline, unauthorized, "no permissions ...; see [.../device.html]") and the
// adb server's own lines do not count, even where they contain the word.
bool ListsUsableDevice(const std::string& afterMarker);

// Outcome of output of the given kind, without logging.
AdbOutcome ClassifyAdbOutput(const std::string& output, AdbOutputKind kind);

// Logs "fastboot cmd of no return!" for empty output, else the output as one entry, and returns
// ClassifyAdbOutput.
AdbOutcome ParseAdbOutput(const std::string& output, AdbOutputKind kind, const LogFn& log);

}  // namespace adb
