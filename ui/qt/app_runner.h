// The Qt front end of the tool: the application host with the Qt view attached. The view lives
// on the GUI thread that calls Exec; the application runs on the host's window thread.
#pragma once

#include "ui/app_host.h"
#include "ui/qt/qt_view.h"

namespace marlinq::qt {

class CAppRunner {
  public:
    CAppRunner();
    ~CAppRunner();
    CAppRunner(const CAppRunner&) = delete;
    CAppRunner& operator=(const CAppRunner&) = delete;

    // Starts the window thread; the GUI thread's event loop shows what it does.
    void Start();
    // Runs the GUI event loop until the main window has ended, then joins the window thread and
    // returns the program's exit code.
    int Exec();
    // Closes the window and joins its thread while serving the GUI (for a GUI loop that ended early).
    int Finish();

    CQtView& View() { return m_view; }
    CMarlinqApp& App() { return m_host.App(); }
    CAppHost& Host() { return m_host; }

  private:
    CAppHost m_host;
    CQtView m_view;
};

}  // namespace marlinq::qt
