// Virtual devices: serial ports (and ADB interfaces) announced by files instead of hardware.
//
// The directory $XDG_RUNTIME_DIR/marlinq/devices/ (or $TMPDIR/marlinq-<uid>/devices/, /tmp without
// TMPDIR, when XDG_RUNTIME_DIR is unset) holds one file per device, named <anything>.device, of
// key=value lines:
//   path=<tty node>            com=<COM number>
//   friendly=<friendly name>   hwid=<hardware identifier>  (one or more)
//   adb=1                      (an ADB interface rather than a serial port)
//   pid=<process id>           (optional: the process that announced it; a file whose process
//                               has gone is stale and may be replaced)
// A device is present while its file exists and, for a serial port, its node exists.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

struct VirtualDevice {
    std::string file;  // the .device file it was read from
    std::string path;
    int com = 0;
    std::string friendly;
    std::vector<std::string> hwids;
    bool adb = false;
    long pid = 0;
};

// The directory of the device files, with its trailing separator. On POSIX it and the folder
// above it are used only when they belong to the user and no one else can write to them (checked
// without following a symbolic link); missing ones are made with mode 0700. When one is refused,
// the next of <folder>.1 to <folder>.9 that passes is used, else a fresh folder of a random name,
// and a warning on standard error names the refused folder. Empty when none could be made.
std::string VirtualDeviceDirectory();

// True when the node a device file names exists (a terminal, or any file standing for one).
bool VirtualDeviceNodeExists(const std::string& path);

// Parses the text of one device file. Unknown keys are ignored; lines and values are bounded.
VirtualDevice ParseVirtualDevice(const std::string& text);

// Text of a device file for dev (the inverse of ParseVirtualDevice).
std::string FormatVirtualDevice(const VirtualDevice& dev);

// All present devices, in file-name order.
std::vector<VirtualDevice> ListVirtualDevices();

// Writes dev to <directory>/<name>.device atomically, creating the directory.
// With exclusive set the call fails when such a file already exists. Returns the file path or "".
std::string WriteVirtualDevice(const std::string& name, const VirtualDevice& dev, bool exclusive);

// True when dev names an owner process that no longer runs.
bool IsStaleVirtualDevice(const VirtualDevice& dev);

// Reads one device file; nullopt when it cannot be read.
std::optional<VirtualDevice> ReadVirtualDeviceFile(const std::string& file);

// Removes a device file written by WriteVirtualDevice.
void RemoveVirtualDevice(const std::string& file);

}  // namespace platform
