#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/virtual_devices.h"

namespace platform {

// %LOCALAPPDATA%\marlinq\devices\, or the temporary folder's marlinq\devices\ without it.
std::string VirtualDeviceDirectory() {
    const char* local = std::getenv("LOCALAPPDATA");
    if (local != nullptr && local[0] != '\0') {
        return std::string(local) + "\\marlinq\\devices\\";
    }
    char temp[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathA(sizeof temp, temp);
    std::string base = n > 0 && n < sizeof temp ? std::string(temp, n) : std::string(".\\");
    if (base.back() != '\\') {
        base += '\\';
    }
    return base + "marlinq\\devices\\";
}

}  // namespace platform
