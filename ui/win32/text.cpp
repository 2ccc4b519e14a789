#include "ui/win32/text.h"

#include <vector>

namespace marlinq::win32 {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    }
    return out;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                            nullptr);
    }
    return out;
}

std::string WindowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    if (n <= 0) {
        return {};
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, buffer.data(), n + 1);
    return Narrow(std::wstring(buffer.data(), static_cast<size_t>(got > 0 ? got : 0)));
}

void SetWindowTextUtf8(HWND hwnd, const std::string& utf8) {
    SetWindowTextW(hwnd, Wide(utf8).c_str());
}

std::string PaneLines(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace marlinq::win32
