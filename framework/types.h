// Basic types, message numbers and constants of the dialog framework.
//
// The names follow the desktop dialog conventions that the tool's code is written against, so
// handlers read as they would on the original platform.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace fw {

class CDialog;

using BOOL = int;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window handle: the number under which a dialog is registered with its window thread; 0 is none.
using HWND = int;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// Messages.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
// Internal: a posted task (input from a view or a test, or work handed to the window thread).
constexpr UINT WM_TASK = 0x7F00;

// Notification codes.
constexpr UINT BN_CLICKED = 0;
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT TCN_SELCHANGE = 0u - 551u;

// Command ids and keys.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDC_STATIC = -1;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;

// System commands of the default system menu.
constexpr UINT SC_SIZE = 0xF000;
constexpr UINT SC_MOVE = 0xF010;
constexpr UINT SC_MINIMIZE = 0xF020;
constexpr UINT SC_MAXIMIZE = 0xF030;
constexpr UINT SC_CLOSE = 0xF060;
constexpr UINT SC_RESTORE = 0xF120;

// Check states.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

// Message box types (the button set).
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr UINT MB_ICONINFORMATION = 0x40;

constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) {
    return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr unsigned LOWORD(WPARAM w) {
    return static_cast<unsigned>(w & 0xFFFFu);
}
constexpr unsigned HIWORD(WPARAM w) {
    return static_cast<unsigned>((w >> 16) & 0xFFFFu);
}

// One queued message. `ctrlId` names the control a key or mouse message is addressed to;
// `payload` owns the text of a message whose word parameter points to a text (`textParam`); `task` is the
// body of WM_TASK and is called with the target dialog, or with nullptr when that dialog is gone.
struct MSG {
    HWND hwnd = 0;
    int ctrlId = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::string payload;
    bool textParam = false;  // wParam is set to point to payload when the message is dispatched
    std::function<void(CDialog*)> task;
};

// Notification header of WM_NOTIFY (lParam points to it).
struct NMHDR {
    HWND hwndFrom = 0;
    int idFrom = 0;
    UINT code = 0;
};

}  // namespace fw
