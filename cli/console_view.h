// The console view: every log line of the main window goes to an output stream as it is added,
// and message boxes are printed and answered with their default button.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "framework/observer.h"

namespace marlinq::cli {

class CConsoleView : public fw::IDialogObserver, public fw::IUiServices {
  public:
    explicit CConsoleView(std::ostream& out) : m_out(out) {}

    void OnDialogCreated(const fw::DialogInfo& info) override;
    void OnDialogShown(fw::HWND hwnd, bool visible) override;
    void OnDialogDestroyed(fw::HWND hwnd) override;
    void OnControlChanged(const fw::ControlChange& change) override;

    int MessageBox(fw::HWND owner, const std::string& text, const std::string& caption,
                   fw::UINT type) override;
    std::string FileDialog(fw::HWND owner, const fw::FileDialogRequest& request) override;

    // Waits until the main window is shown (true) or gone; any thread.
    bool WaitShown();
    bool Ended();
    // Every complete log line so far, without its line end.
    std::vector<std::string> Lines();
    // Waits until a log line from index `from` on satisfies pred, the window ends, or the timeout
    // passes; the index of the line, or -1.
    int WaitForLine(std::size_t from, const std::function<bool(const std::string&)>& pred,
                    std::chrono::milliseconds timeout);
    // The main window, and page `index` of its tab control; 0 when unknown.
    fw::HWND MainWindow();
    fw::HWND Page(int index);

  private:
    void Write(const std::string& text);

    std::ostream& m_out;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    fw::HWND m_main = 0;
    bool m_shown = false;
    bool m_ended = false;
    std::map<int, fw::HWND> m_pages;
    std::string m_partial;  // log text after its last line break
    std::vector<std::string> m_lines;
};

}  // namespace marlinq::cli
