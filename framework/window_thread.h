// The message queue of one window thread: posted messages and tasks, timers, the registry of the
// thread's dialogs, the keyboard focus, and the observers and services of its views.
//
// Posting is allowed from any thread; everything else runs on the window thread. Timer messages
// are made when a timer is due and no posted message waits, so posted work is never starved.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/observer.h"
#include "framework/types.h"

namespace fw {

class CWindowThread {
  public:
    explicit CWindowThread(const ITemplateSource* templates = nullptr);
    ~CWindowThread();
    CWindowThread(const CWindowThread&) = delete;
    CWindowThread& operator=(const CWindowThread&) = delete;

    // The calling thread becomes the window thread.
    void BindToCurrentThread();
    bool IsWindowThread() const;

    // Any thread. Returns false when the queue is closed; a task is then called with nullptr.
    bool Post(MSG msg);
    bool PostTask(HWND hwnd, std::function<void(CDialog*)> task);

    // Window thread. Get blocks until a message is available (false once closed); Peek does not.
    bool Get(MSG& msg);
    bool Peek(MSG& msg);
    // Blocks until a message or a due timer is available, or the queue is closed.
    void WaitMessage();
    void Dispatch(MSG& msg);

    // Ends the queue: every waiting task is called with nullptr and later posts are refused.
    void Close();
    bool IsClosed() const;

    void SetTimer(HWND hwnd, UINT id, UINT ms);
    void KillTimer(HWND hwnd, UINT id);

    HWND Register(CDialog* dialog);
    void Unregister(HWND hwnd);
    CDialog* Find(HWND hwnd) const;

    // The program moves the keyboard focus: recorded and always announced to the observers, as the
    // real focus of a view may have wandered to what this thread does not follow.
    void SetFocus(HWND hwnd, int ctrlId);
    // A view reports where the user put the keyboard focus: recorded only, the view shows it already.
    void NoteFocus(HWND hwnd, int ctrlId);
    HWND FocusWindow() const { return m_focusHwnd; }
    int FocusControl() const { return m_focusId; }

    void AddObserver(IDialogObserver* observer);
    void RemoveObserver(IDialogObserver* observer);
    const std::vector<IDialogObserver*>& Observers() const { return m_observers; }
    void SetServices(IUiServices* services) { m_services = services; }
    IUiServices* Services() const { return m_services; }
    const ITemplateSource* Templates() const { return m_templates; }

  private:
    struct Timer {
        HWND hwnd;
        UINT id;
        std::chrono::steady_clock::duration interval;
        std::chrono::steady_clock::time_point due;
        bool fired;  // a WM_TIMER of it is being handled; no second one until it returns
    };

    bool TakeLocked(MSG& msg);
    void SetBusy(bool busy);

    const ITemplateSource* m_templates;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<MSG> m_queue;
    std::vector<Timer> m_timers;
    bool m_closed = false;
    std::atomic<std::thread::id> m_owner{};

    std::map<HWND, CDialog*> m_windows;  // window thread only
    HWND m_nextHwnd = 1;
    HWND m_focusHwnd = 0;
    int m_focusId = 0;
    std::vector<IDialogObserver*> m_observers;
    IUiServices* m_services = nullptr;
    bool m_busy = false;
};

}  // namespace fw
