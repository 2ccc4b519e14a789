#include "adb/adb_output.h"

#include <string_view>

namespace adb {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The state of a device line "<serial>\t<state>[ more]": the word after the serial.
std::string_view StateWord(std::string_view line) {
    std::size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    const std::size_t serialStart = at;
    while (at < line.size() && !IsBlank(line[at])) {
        ++at;
    }
    if (at == serialStart) {
        return {};
    }
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    const std::size_t stateStart = at;
    while (at < line.size() && !IsBlank(line[at])) {
        ++at;
    }
    return line.substr(stateStart, at - stateStart);
}

}  // namespace

std::string AdbOutputText(const std::string& output) {
    const auto nul = output.find('\0');
    return nul == std::string::npos ? output : output.substr(0, nul);
}

bool ListsUsableDevice(const std::string& afterMarker) {
    std::string_view rest(afterMarker);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        // Lines of the adb server ("* daemon started successfully") start with an asterisk.
        if (!line.empty() && line.front() != '*' && StateWord(line) == "device") {
            return true;
        }
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    return false;
}

AdbOutcome ClassifyAdbOutput(const std::string& output, AdbOutputKind kind) {
    const std::string text = AdbOutputText(output);
    if (text.empty()) {
        return AdbOutcome::NoOutput;
    }
    switch (kind) {
        case AdbOutputKind::ListDevices: {
            const auto marker = text.find(kDeviceListMarker);
            if (marker == std::string::npos) {
                return AdbOutcome::NoList;
            }
            return ListsUsableDevice(text.substr(marker + sizeof kDeviceListMarker - 1))
                       ? AdbOutcome::DeviceListed
                       : AdbOutcome::NoDevice;
        }
        case AdbOutputKind::Transfer:
            // Older adb releases report the rate in KB/s, every release since 2016 in MB/s.
            return text.find("KB/s") != std::string::npos || text.find("MB/s") != std::string::npos
                       ? AdbOutcome::TransferDone
                       : AdbOutcome::TransferFailed;
    }
    return AdbOutcome::NoOutput;
}

AdbOutcome ParseAdbOutput(const std::string& output, AdbOutputKind kind, const LogFn& log) {
    const std::string text = AdbOutputText(output);
    if (text.empty()) {
        log("fastboot cmd of no return!");
        return AdbOutcome::NoOutput;
    }
    log(text);
    return ClassifyAdbOutput(text, kind);
}

}  // namespace adb
