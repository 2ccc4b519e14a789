// The modal questions of the window thread as the platform's own boxes: MessageBox and the
// common open and save dialogs. Called on the GUI thread.
#pragma once

#include "ui/win32/windows_api.h"

#include <string>

#include "framework/observer.h"

namespace marlinq::win32 {

// Shows a message box owned by `owner`; the caption is drawn without control characters.
// Returns IDOK, IDCANCEL, IDYES or IDNO.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, fw::UINT type);

// The filter of the common dialogs: the parts between the '|' of a framework filter, without the
// blanks around them, each ending in a NUL, and one more NUL at the end of the list.
// "xml file(*.xml)|*.xml||" -> "xml file(*.xml)\0*.xml\0\0".
std::string DialogFilter(const std::string& filter);

// Shows GetSaveFileNameA or GetOpenFileNameA for the request; the chosen path, or the empty
// text when the user cancelled.
std::string AskFileName(HWND owner, const fw::FileDialogRequest& request);

}  // namespace marlinq::win32
