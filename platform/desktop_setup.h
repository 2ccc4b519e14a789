// Preparation of the desktop platform that the application object asks for before its main window
// runs. The tool ignores every result: a step that fails changes nothing, and a platform without
// the facility does nothing (desktop_setup_win32.cpp / desktop_setup_posix.cpp).
#pragma once

#include <string>

namespace platform {

// Loads the rich-edit library "RICHED32.DLL" for the rest of the process.
void LoadRichEditSupport();

// The application's registry key: HKEY_CURRENT_USER\Software\<company> (company in UTF-8) is
// created when it does not exist.
void SetRegistryKey(const std::string& company);

}  // namespace platform
