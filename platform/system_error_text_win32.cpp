#include <windows.h>

#include "platform/system_error_text.h"

namespace platform {

int LastSystemError() {
    return static_cast<int>(GetLastError());
}

std::string SystemErrorText(int code) {
    if (code == 0) {
        return {};
    }
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string out(text, n);
    while (!out.empty() &&
           (out.back() == '\r' || out.back() == '\n' || out.back() == ' ' || out.back() == '.')) {
        out.pop_back();
    }
    return out.empty() ? "error " + std::to_string(code) : out;
}

}  // namespace platform
