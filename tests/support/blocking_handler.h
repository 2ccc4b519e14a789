// A handler that holds the window thread until the test lets it go, logging as a long flow does:
// "step 0" to "step 3", the wait for release, then "step 4"; done is set last. The view tests use
// it to show that the GUI stays live and busy while the window thread is held. Defined in its own
// file, so that a test that reads the Windows headers need not read the main window's.
#pragma once

#include <atomic>

#include "framework/window_thread.h"

namespace testsupport {

void QueueBlockingHandler(fw::CWindowThread& thread, fw::HWND main, std::atomic<bool>& release,
                          std::atomic<bool>& done);

}  // namespace testsupport
