// Closes the main window on a request from outside the window (a termination signal, the end
// of the session), the same way its close box does, so that the exit path runs. A request that
// comes before the window is shown closes it as soon as it is.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "framework/observer.h"
#include "framework/window_thread.h"

namespace marlinq {

class CCloseRequest : public fw::IDialogObserver {
  public:
    // Watches the dialogs of thread; the object must outlive the window's run.
    explicit CCloseRequest(fw::CWindowThread& thread);
    ~CCloseRequest() override;
    CCloseRequest(const CCloseRequest&) = delete;
    CCloseRequest& operator=(const CCloseRequest&) = delete;

    void OnDialogCreated(const fw::DialogInfo& info) override;
    void OnDialogShown(fw::HWND hwnd, bool visible) override;
    void OnDialogDestroyed(fw::HWND hwnd) override;

    // Asks the main window to close; any thread.
    void Request();
    // Waits until the main window has been destroyed (its exit path has run) or timeout passes.
    bool WaitClosed(std::chrono::milliseconds timeout);

  private:
    void CloseNow(fw::HWND hwnd);

    fw::CWindowThread& m_thread;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    fw::HWND m_main = 0;
    bool m_shown = false;
    bool m_requested = false;
    bool m_closed = false;
};

}  // namespace marlinq
