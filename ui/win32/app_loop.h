// The GUI thread of the Windows program: the application host with the Windows view attached.
// The view lives on the thread that calls Run; the application runs on the host's window thread.
#pragma once

#include "ui/win32/windows_api.h"

#include "ui/app_host.h"
#include "ui/win32/win32_view.h"

namespace marlinq::win32 {

class CAppLoop {
  public:
    explicit CAppLoop(HINSTANCE instance);
    ~CAppLoop();
    CAppLoop(const CAppLoop&) = delete;
    CAppLoop& operator=(const CAppLoop&) = delete;

    // Starts the window thread; the GUI thread's message loop shows what it does.
    void Start();
    // Runs the message loop until the main window has ended, then joins the window thread and
    // returns the program's exit code.
    int Run();
    // Runs the messages that wait now, each through the view first. False once WM_QUIT came.
    bool Pump();
    // Closes the window and joins its thread while serving the GUI (for a loop that ended early).
    int Finish();

    CWin32View& View() { return m_view; }
    CAppHost& Host() { return m_host; }

  private:
    CAppHost m_host;
    CWin32View m_view;
    bool m_quit = false;
};

}  // namespace marlinq::win32
