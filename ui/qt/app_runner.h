// Runs the tool with the Qt view: the application object on its own window thread, the view on
// the GUI thread that calls Exec.
#pragma once

#include <thread>

#include "ui/marlinq_app.h"
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
    // Joins the window thread after asking the window to close (for a GUI loop that ended early).
    int Finish();

    CQtView& View() { return m_view; }
    CMarlinqApp& App() { return m_app; }

  private:
    CMarlinqApp m_app;
    CQtView m_view;
    std::thread m_window;
    int m_exitCode = 0;
};

}  // namespace marlinq::qt
