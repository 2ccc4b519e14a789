// Runs the tool's main window headless on its own window thread with the console view, for the
// subcommands of marlinq-cli.
#pragma once

#include <ostream>
#include <thread>

#include "cli/console_view.h"
#include "framework/dialog_driver.h"
#include "ui/marlinq_app.h"

namespace marlinq::cli {

class CConsoleHost {
  public:
    explicit CConsoleHost(std::ostream& out);
    ~CConsoleHost();
    CConsoleHost(const CConsoleHost&) = delete;
    CConsoleHost& operator=(const CConsoleHost&) = delete;

    // Starts the window and waits until it is shown; false when it ended before.
    bool Start();
    fw::CDialogDriver Main();
    fw::CDialogDriver Page(int index);
    // Asks the window to close and waits for the program's end; returns its exit code.
    int Close();
    bool Ended() { return m_view.Ended(); }
    CConsoleView& View() { return m_view; }
    CMarlinqApp& App() { return m_app; }
    // Waits for the window to end by itself; returns the exit code.
    int Wait();

  private:
    CConsoleView m_view;
    CMarlinqApp m_app;
    std::thread m_window;
    int m_exitCode = 0;
};

}  // namespace marlinq::cli
