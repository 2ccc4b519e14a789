// Finding the module's AT port among the present serial devices.
#pragma once

#include <string>
#include <vector>

#include "platform/present_devices.h"

// The COM number of the last present serial device whose friendly name contains "AT Port";
// 0 when there is none.
int FindAtPortNumber();
int FindAtPortNumber(const std::vector<platform::PresentSerialDevice>& devices);

// The COM numbers of every present serial device whose friendly name contains "AT Port",
// ascending, each once; the ports of every module attached.
std::vector<int> AllAtPortNumbers();
std::vector<int> AllAtPortNumbers(const std::vector<platform::PresentSerialDevice>& devices);

// Whether a present serial device carries COM com (a port pinned by number, whatever its name).
bool IsComPresent(int com);
bool IsComPresent(int com, const std::vector<platform::PresentSerialDevice>& devices);

// The number written between "COM" and ")" in a friendly name such as "... AT Port (COM12)";
// 0 when there is no such number. At most 99 characters are taken, as digits only.
int ComNumberFromFriendlyName(const std::string& friendly);
