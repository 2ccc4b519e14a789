#include <windows.h>

#include <shellapi.h>

#include "platform/desktop_open.h"

namespace platform {

bool OpenWithDesktop(const std::string& path, const std::string& opener) {
    if (!opener.empty()) {
        const HINSTANCE r =
            ShellExecuteA(nullptr, "open", opener.c_str(), path.c_str(), nullptr, SW_SHOWMAXIMIZED);
        return reinterpret_cast<INT_PTR>(r) > 32;
    }
    const HINSTANCE r = ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    return reinterpret_cast<INT_PTR>(r) > 32;
}

}  // namespace platform
