// A visible top-level window with a given class and title, on a thread of its own that serves its
// messages until the window is destroyed. Kept free of <windows.h>, so that tests may include it
// beside the tool's own Windows-like type names.
#pragma once

#include <memory>

namespace testsupport {

class TestWindow {
  public:
    TestWindow(const char* className, const char* title);
    ~TestWindow();  // closes the window when it still exists and joins its thread
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    // False when the window could not be created (under Wine: no display).
    bool Created() const;
    // True while the window exists.
    bool Exists() const;
    // Close requests (WM_CLOSE) the window has received.
    int CloseRequests() const;

  private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace testsupport
