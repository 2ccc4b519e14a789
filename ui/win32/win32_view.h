// The native Windows view of the dialogs of one window thread. It renders the templates with the
// platform's controls, mirrors every control change, forwards user input to the window thread,
// shows when that thread is busy, and answers its message boxes and file dialogs. It lives on the
// GUI thread, which runs the message loop; the window thread is never the GUI thread.
#pragma once

#include "ui/win32/windows_api.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "framework/dialog_driver.h"
#include "framework/window_thread.h"
#include "ui/view/busy_state.h"
#include "ui/view/view_bridge.h"
#include "ui/win32/control_factory.h"

namespace marlinq::win32 {

// Page windows of a tab control have these child ids (base + index), so a test or a tool finds
// page i with GetDlgItem(tab, kPageIdBase + i).
constexpr int kPageIdBase = 30000;
// The status bar of the main window.
constexpr int kStatusBarId = 30100;

class CWin32View : private view::IViewSink {
  public:
    // GUI thread; attaches to `thread` before the window thread runs.
    CWin32View(fw::CWindowThread& thread, HINSTANCE instance);
    ~CWin32View() override;
    CWin32View(const CWin32View&) = delete;
    CWin32View& operator=(const CWin32View&) = delete;

    // GUI thread. Every message of the loop goes through here before it is dispatched; true when
    // the view took it (input refused while busy, Enter, Escape, keyboard navigation).
    bool PreTranslate(MSG& msg);
    // Runs `fn` on the GUI thread from any thread; false once the view is going away.
    bool PostToGui(std::function<void()> fn);

    HWND MainWindow() const { return m_mainNative; }
    fw::HWND MainHwnd() const { return m_mainHwnd; }
    HWND Control(fw::HWND dialog, int id) const;
    // True while the view shows that the window thread is busy and refuses parameter input.
    bool BusyShown() const { return m_busy.Shown(); }

    std::function<void()> onMainShown;
    std::function<void()> onMainEnded;

  private:
    struct DialogView {
        CWin32View* owner = nullptr;
        fw::HWND hwnd = 0;
        HWND native = nullptr;
        fw::HWND parent = 0;
        bool child = false;
        bool modal = false;
        int hostControlId = 0;
        int hostIndex = 0;
        HWND lastFocus = nullptr;  // a top-level window: its control with the focus when it was left
        std::unique_ptr<fw::DialogTemplate> drawn;  // the template with plain colons, when the font needs it
        RenderedDialog rendered;
    };

    static LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK QueueProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleDialog(DialogView& dv, UINT msg, WPARAM wParam, LPARAM lParam);
    void RunQueued();

    void Created(const fw::DialogInfo& info) override;
    void Shown(fw::HWND hwnd, bool visible) override;
    void Destroyed(fw::HWND hwnd) override;
    void Changed(const fw::ControlChange& change) override;
    void FocusChanged(fw::HWND hwnd, int id) override;
    void MenuChanged(fw::HWND hwnd, const std::vector<fw::MenuItem>& items) override;
    void IconChanged(fw::HWND hwnd, int iconId) override;
    void Busy(bool busy) override;
    int AskMessageBox(fw::HWND owner, const std::string& text, const std::string& caption,
                      fw::UINT type) override;
    std::string AskFile(fw::HWND owner, const fw::FileDialogRequest& request) override;

    void Apply(DialogView& dv, const fw::ControlState& state);
    void SetItems(HWND control, const std::vector<std::string>& items, int curSel, bool tab);
    void SetEditText(DialogView& dv, int id, HWND edit, const std::string& text);
    void OnCommand(DialogView& dv, int id, int code, HWND control);
    void Layout(DialogView& dv);
    void PlacePages(HWND tab);
    void ShowBusy(bool shown);
    // The session ends: the window closes as by its close box, and the call returns once it is gone.
    void CloseForEndOfSession(DialogView& dv);
    DialogView* Find(fw::HWND hwnd);
    DialogView* FindNative(HWND native);
    HWND OwnerOf(fw::HWND hwnd) const;
    fw::CDialogDriver Driver(fw::HWND hwnd) { return fw::CDialogDriver(m_thread, hwnd); }

    fw::CWindowThread& m_thread;
    HINSTANCE m_instance;
    Fonts m_fonts;
    HWND m_queueWindow = nullptr;
    std::mutex m_queueMutex;
    std::deque<std::function<void()>> m_queue;
    bool m_queueClosed = false;

    std::map<fw::HWND, std::unique_ptr<DialogView>> m_views;
    HWND m_mainNative = nullptr;
    fw::HWND m_mainHwnd = 0;
    HWND m_statusBar = nullptr;
    HWND m_logPane = nullptr;
    int m_applying = 0;  // the view itself is changing a control: no input to report
    // Texts the user typed into an edit that the window thread has not confirmed yet.
    std::map<std::pair<fw::HWND, int>, std::deque<std::string>> m_typed;
    view::CBusyState m_busy;
    std::unique_ptr<view::CViewBridge> m_bridge;
};

}  // namespace marlinq::win32
