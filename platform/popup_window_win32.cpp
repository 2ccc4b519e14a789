#include <windows.h>

#include "platform/popup_window.h"

namespace platform {

namespace {

// Longest wait for a window to handle the close request. A window that does not answer in this
// time (hung, or owned by a thread that waits for the caller) is asked again in a later round.
constexpr UINT kCloseWaitMs = 5000;

}  // namespace

bool HasSystemPopups() {
    return true;
}

bool CloseTopLevelWindow(const std::string& title) {
    const HWND window = FindWindowA(nullptr, title.c_str());
    if (window == nullptr) {
        return false;
    }
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kCloseWaitMs, &answer);
    return true;
}

}  // namespace platform
