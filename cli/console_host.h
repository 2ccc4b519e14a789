// The console front end of the tool: the application host with the console view attached, for
// the subcommands of marlinq-cli.
#pragma once

#include <ostream>

#include "cli/console_view.h"
#include "framework/dialog_driver.h"
#include "ui/app_host.h"

namespace marlinq::cli {

// Whether closing the window saves "Config.xml" as the window does on exit. Only `run`, which is
// the window, saves it; every other command leaves the file as it found it.
enum class ConfigAtExit { Kept, Saved };

class CConsoleHost {
  public:
    explicit CConsoleHost(std::ostream& out, ConfigAtExit atExit = ConfigAtExit::Kept);
    CConsoleHost(const CConsoleHost&) = delete;
    CConsoleHost& operator=(const CConsoleHost&) = delete;

    // Starts the window and waits until it is shown; false when it ended before.
    bool Start();
    fw::CDialogDriver Main() { return m_host.Main(); }
    fw::CDialogDriver Page(int index) { return m_host.Page(index); }
    // Asks the window to close and waits for the program's end; returns its exit code.
    int Close() { return m_host.Close(); }
    bool Ended() { return m_host.Ended(); }
    CConsoleView& View() { return m_view; }
    CAppHost& Host() { return m_host; }
    // Waits for the window to end by itself; returns the exit code.
    int Wait() { return m_host.Join(); }

  private:
    CConsoleView m_view;  // outlives the host, which stops the window thread that calls it
    CAppHost m_host;
};

}  // namespace marlinq::cli
