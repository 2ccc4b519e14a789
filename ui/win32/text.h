// Text between the tool (UTF-8) and the Windows controls (UTF-16).
#pragma once

#include "ui/win32/windows_api.h"

#include <string>

namespace marlinq::win32 {

std::wstring Wide(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// The text of a window as UTF-8.
std::string WindowText(HWND hwnd);
void SetWindowTextUtf8(HWND hwnd, const std::string& utf8);

// A multi-line edit breaks lines at CR LF only: a lone LF (or CR) becomes CR LF.
std::string PaneLines(const std::string& text);

}  // namespace marlinq::win32
