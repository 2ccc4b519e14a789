// CAppHost: runs the tool's application object on a window thread of its own, for every front
// end (the Qt view, the console). A front end attaches its view to Thread() before Start, drives
// the main window through Main() and Page(), and ends the program with Close, which returns the
// program's exit code.
#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "framework/dialog_driver.h"
#include "framework/observer.h"
#include "ui/marlinq_app.h"

namespace marlinq {

class CAppHost : private fw::IDialogObserver {
  public:
    CAppHost();
    // Closes the main window and joins the window thread when the program still runs.
    ~CAppHost() override;
    CAppHost(const CAppHost&) = delete;
    CAppHost& operator=(const CAppHost&) = delete;

    fw::CWindowThread& Thread() { return m_app.Thread(); }
    CMarlinqApp& App() { return m_app; }

    // Starts the window thread, which runs the application; onEnded runs on it once the
    // application has ended and the exit code is known. Once only.
    void Start(std::function<void()> onEnded = {});
    // Waits until the main window is shown (true) or the program has ended (false). Any thread.
    bool WaitShown();
    // True once the main window is gone.
    bool Ended();

    // The main window, and mode page `index` of its tab sheet; drivers of hwnd 0 when unknown.
    fw::CDialogDriver Main();
    fw::CDialogDriver Page(int index);

    // Asks the main window to close (as its close box does); nothing once it is gone. Any thread.
    void RequestClose();
    // Waits for the program to end and returns its exit code. `serve`, when given, is called
    // again and again while waiting, for a front end whose own thread must keep answering the
    // window thread (a message box shown by a GUI).
    int Join(const std::function<void()>& serve = {});
    // Waits for a window that is still coming up, then RequestClose and Join.
    int Close(const std::function<void()>& serve = {});

  private:
    // Waits until done() holds (called under m_mutex), calling serve between looks when given.
    void WaitFor(const std::function<bool()>& done, const std::function<void()>& serve);
    void OnDialogCreated(const fw::DialogInfo& info) override;
    void OnDialogShown(fw::HWND hwnd, bool visible) override;
    void OnDialogDestroyed(fw::HWND hwnd) override;

    CMarlinqApp m_app;
    std::thread m_window;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    fw::HWND m_main = 0;
    std::map<int, fw::HWND> m_pages;
    bool m_shown = false;
    bool m_ended = false;     // the main window is gone
    bool m_finished = false;  // the application has ended; m_exitCode holds its result
    int m_exitCode = 0;
};

}  // namespace marlinq
