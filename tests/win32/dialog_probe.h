// Reaches into the running main window for the Windows view tests, from a file that does not see
// the Windows headers (the tool's own types and the platform's share some names).
#pragma once

#include "framework/dialog_driver.h"

namespace marlinq::win32test {

// The mode page the window thinks is current and the one its tab sheet shows (page * 10 + shown).
int CurrentPages(fw::CDialogDriver& main);
// The window-thread handle of mode page `index`.
fw::HWND PageHwnd(fw::CDialogDriver& main, int index);
// Sets the TCP/UDP page's Fault Restart Time as a flow would.
void SetResetTime(fw::CDialogDriver& main, const char* text);
// Queues the Download button's handler for the main window `main` of `thread`.
void QueueDownload(fw::CWindowThread& thread, fw::HWND main);

// Queues a handler that logs `lines` numbered lines.
void QueueLogLines(fw::CWindowThread& thread, fw::HWND main, int lines);

constexpr int kModePageTcp = 0;
constexpr int kModePageMqtt = 3;

}  // namespace marlinq::win32test
