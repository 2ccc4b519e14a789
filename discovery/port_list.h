// The entries of the port list: display texts built from friendly names and serial port names,
// and the port numbers read back from them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace discovery {

struct PortListEntry {
    std::string portName;  // "COM5"
    std::string display;   // "(COM5) Sample Port "
};

// The entry of a present device with friendly name friendly; nullopt when its port part does not
// begin with "COM" (such a device is left to the serial port names).
std::optional<PortListEntry> PortEntryFromFriendlyName(const std::string& friendly);

// Order of the port list: ASCII case ignored, then byte order, as a sorted combo box keeps it.
bool PortEntryLess(const std::string& a, const std::string& b);

// All entries: one per device entry, then "(" + name + ")" for every serial port name that no
// device entry carries (byte for byte), sorted.
std::vector<std::string> BuildPortList(const std::vector<std::string>& friendlyNames,
                                       const std::vector<std::string>& serialPortNames);

// The number of an entry: the text between its first "(" and its first ")", without its first
// three characters, read as leading decimal digits; 0 when there is none.
int PortNumberFromEntry(const std::string& entry);

// The decimal value of all digit characters of a port name in their order ("COM12" -> 12);
// 0 when there is none. Values beyond nine digits saturate at 999999999.
int PortNumberFromName(const std::string& name);

}  // namespace discovery
