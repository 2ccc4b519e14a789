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

// A directory search rather than the file's attributes: under Wine a terminal seen through the
// Z: drive (Z:\dev\pts\N) has no attributes but is listed.
bool VirtualDeviceNodeExists(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) {
        return false;
    }
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::FindClose(search);
    return true;
}

}  // namespace platform
