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

// Wine reports no attributes for a Unix terminal (Z:\dev\pts\N) although it lists it in its folder,
// so a node without attributes counts when its folder lists it by that exact name.
bool VirtualDeviceNodeExists(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    if (path.find_first_of("*?") != std::string::npos) {
        return false;  // a pattern, not a name
    }
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::FindClose(search);
    return true;
}

}  // namespace platform
