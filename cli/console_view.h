// The console view: every log line of the main window goes to an output stream as it is added,
// and message boxes are printed and answered with their default button. Which dialog is the main
// window, and whether it has ended, the application host knows (CAppHost); the view asks it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "framework/observer.h"

namespace marlinq::cli {

class CConsoleView : public fw::IDialogObserver, public fw::IUiServices {
  public:
    // mainWindow: the main window's handle, 0 while unknown; ended: true once it is gone. Both
    // are called on any thread, ended also under the view's lock.
    CConsoleView(std::ostream& out, std::function<fw::HWND()> mainWindow, std::function<bool()> ended)
        : m_out(out), m_mainWindow(std::move(mainWindow)), m_ended(std::move(ended)) {}

    void OnDialogDestroyed(fw::HWND hwnd) override;
    void OnControlChanged(const fw::ControlChange& change) override;

    int MessageBox(fw::HWND owner, const std::string& text, const std::string& caption,
                   fw::UINT type) override;
    std::string FileDialog(fw::HWND owner, const fw::FileDialogRequest& request) override;

    // Every complete log line so far, without its line end.
    std::vector<std::string> Lines();
    // Waits until a log line from index `from` on satisfies pred, the window ends, or the timeout
    // passes; the index of the line, or -1.
    int WaitForLine(std::size_t from, const std::function<bool(const std::string&)>& pred,
                    std::chrono::milliseconds timeout);
    // Wakes the waiters of WaitForLine to look at the window's state again; any thread.
    void Wake();

  private:
    void Write(const std::string& text);

    std::ostream& m_out;
    std::function<fw::HWND()> m_mainWindow;
    std::function<bool()> m_ended;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::string m_partial;  // log text after its last line break
    std::vector<std::string> m_lines;
};

}  // namespace marlinq::cli
