// The Windows API for the files of the Windows view.
//
// The framework names its messages and constants as the platform does (IDOK, MB_OK, WM_CLOSE,
// BST_CHECKED...), and <windows.h> turns those names into macros. So the framework's headers are
// read first, and code after this header uses the platform's names, which carry the same values.
#pragma once

#include "framework/dialog_driver.h"
#include "framework/display_text.h"
#include "framework/observer.h"
#include "framework/win_app.h"
#include "framework/window_thread.h"
#include "ui/app_host.h"
#include "ui/close_on_termination.h"
#include "ui/view/view_bridge.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
// clang-format on
