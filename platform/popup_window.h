// System pop-up windows that the tool closes while it runs.
#pragma once

#include <string>

namespace platform {

// True when this platform shows system pop-ups that a closer can dismiss.
bool HasSystemPopups();

// Looks for a top-level window of any program and any window class whose title is exactly title;
// when one exists, sends it a close request and waits (a bounded time, so a hung window cannot
// hold the caller) until it has been handled. Returns true when a window was found.
bool CloseTopLevelWindow(const std::string& title);

}  // namespace platform
