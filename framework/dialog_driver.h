// Drives a running dialog by control id from another thread, as a user would: click, type, press
// keys, select items, and read the state back. Every call goes through the window thread's queue,
// so inputs are handled in order and reads see the effects of earlier inputs.
#pragma once

#include <future>
#include <optional>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/window_thread.h"

namespace fw {

class CDialogDriver {
  public:
    CDialogDriver(CWindowThread& thread, HWND hwnd) : m_thread(&thread), m_hwnd(hwnd) {}

    // Inputs are queued; they return at once. A refused input (disabled control, busy modal
    // child) is dropped as a real window would drop it.
    void Click(int id);
    void Type(int id, const std::string& text);
    void Focus(int id);
    // Selects item `index` of a combo box, or presses tab `index` of a tab control.
    void Select(int id, int index);
    // A key press addressed to whatever control has the keyboard focus.
    void KeyDown(WPARAM vk);
    void Close();
    void SysCommand(UINT id);

    // Reads; they wait until the window thread has handled everything queued before them.
    // Empty when the dialog or the control no longer exists.
    std::optional<ControlState> State(int id);
    std::string Text(int id);
    bool Enabled(int id);
    bool Visible(int id);
    bool Checked(int id);
    int CurSel(int id);
    std::vector<std::string> Items(int id);
    // The focused control of this dialog, 0 when the focus is elsewhere.
    int FocusedControl();
    // True once everything queued so far has been handled; false when the dialog is gone.
    bool Sync();

    // Runs fn on the window thread with the dialog (nullptr when it is gone) and returns its result.
    template <class F>
    auto Call(F fn) -> decltype(fn(static_cast<CDialog*>(nullptr))) {
        using R = decltype(fn(static_cast<CDialog*>(nullptr)));
        auto promise = std::make_shared<std::promise<R>>();
        auto future = promise->get_future();
        m_thread->PostTask(m_hwnd, [promise, fn = std::move(fn)](CDialog* d) mutable {
            if constexpr (std::is_void_v<R>) {
                fn(d);
                promise->set_value();
            } else {
                promise->set_value(fn(d));
            }
        });
        return future.get();
    }

    HWND Hwnd() const { return m_hwnd; }

  private:
    void Input(std::function<void(CDialog&)> fn);

    CWindowThread* m_thread;
    HWND m_hwnd;
};

}  // namespace fw
